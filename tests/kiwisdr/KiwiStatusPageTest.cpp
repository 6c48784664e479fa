#include "kiwisdr/KiwiStatusPage.h"
#include "model/StrictInteger.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using Page = QHash<QString, QString>;

TEST(StrictInteger, AcceptsSignAndDigitsOnly)
{
    const std::pair<const char*, std::optional<std::int64_t>> cases[] = {
        {"+3", 3}, {"-3", -3}, {"007", 7},
        {"9223372036854775807", std::numeric_limits<std::int64_t>::max()},
        {"-9223372036854775808", std::numeric_limits<std::int64_t>::min()},
        {"9223372036854775808", std::nullopt}, {"-9223372036854775809", std::nullopt},
        {"", std::nullopt}, {"-", std::nullopt}, {"+-3", std::nullopt}, {"3 ", std::nullopt}, {" 3", std::nullopt},
        {"3.5", std::nullopt}, {"0x10", std::nullopt},
        {"\xD9\xA3", std::nullopt}, // ARABIC-INDIC DIGIT THREE
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(parseStrictInteger(QString::fromUtf8(text)), value) << '"' << text << '"';
}

TEST(ParseKiwiStatusPage, LinesAndKeys)
{
    const std::pair<QByteArray, Page> cases[] = {
        {"a=1\nb=2\vc=3\fd=4\re=5\xC2\x85" "f=6\xE2\x80\xA8g=7\xE2\x80\xA9h=8\r\ni=9",
            {{"a", "1"}, {"b", "2"}, {"c", "3"}, {"d", "4"}, {"e", "5"}, {"f", "6"}, {"g", "7"}, {"h", "8"},
                {"i", "9"}}},
        {"a=b=c\nno equals here\n=empty key\nspaced = kept \nlast=\n",
            {{"a", "b=c"}, {"", "empty key"}, {"spaced ", " kept "}, {"last", ""}}},
        {"users=1\nusers=2", {{"users", "2"}}},
        {"\r\n\n\r", {}},
    };
    for (const auto& [body, expected] : cases)
        EXPECT_EQ(parseKiwiStatusPage(body), expected) << body.toStdString();
}

TEST(ApplyKiwiStatusPage, DescriptiveTextsFillOnlyWhatIsAbsentAndTheRestIsReplaced)
{
    ReceiverInfo known;
    known.name = "Beta", known.grid = QString(), known.users = 1, known.maxUsers = 2, known.rxChannel = 0;
    ReceiverInfo fresh;
    const Page page = parseKiwiStatusPage("name=Alpha\nloc=Here\ngrid=JO62\ngps=(52.5, 13.4)\nsdr_hw=KiwiSDR 2\n"
                                      "sw_version=v1.7\nusers=3 \nuptime=+86400\next_api=4\nantenna=\n");
    applyKiwiStatusPage(known, page);
    applyKiwiStatusPage(fresh, page);
    EXPECT_EQ(std::tuple(known.name, known.grid, known.location), std::tuple("Beta", QString(), "Here"));
    // Empty text is not absent.
    EXPECT_EQ(std::tuple(fresh.name, fresh.grid, fresh.antenna), std::tuple("Alpha", "JO62", QString()));
    // An unreadable integer is absent, and a missing key clears the value.
    for (const ReceiverInfo& info : {known, fresh})
        EXPECT_EQ(std::tuple(info.gps, info.hardware, info.softwareVersion, info.users, info.maxUsers, info.uptime,
                      info.apiChannels),
            std::tuple("(52.5, 13.4)", "KiwiSDR 2", "v1.7", std::nullopt, std::nullopt, 86400, 4));
    EXPECT_EQ(known.rxChannel, 0) << "not the status page's";
}

} // namespace
