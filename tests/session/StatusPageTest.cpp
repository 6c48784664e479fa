#include "session/StatusPage.h"
#include "session/StrictInteger.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using Page = QHash<QString, QString>;

QString text(const char* s)
{
    return QString::fromUtf8(s);
}

TEST(StrictInteger, AcceptsSignAndDigitsOnly)
{
    struct Case {
        const char* text;
        std::optional<std::int64_t> value;
    };
    const Case cases[] = {
        {"3", 3},
        {"+3", 3},
        {"-3", -3},
        {"007", 7},
        {"-0", 0},
        {"9223372036854775807", std::numeric_limits<std::int64_t>::max()},
        {"-9223372036854775808", std::numeric_limits<std::int64_t>::min()},
        {"+00000000000000000000000000000042", 42},
        {"9223372036854775808", std::nullopt},
        {"-9223372036854775809", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"", std::nullopt},
        {"+", std::nullopt},
        {"-", std::nullopt},
        {"+-3", std::nullopt},
        {"3 ", std::nullopt},
        {" 3", std::nullopt},
        {"3.5", std::nullopt},
        {"1e3", std::nullopt},
        {"0x10", std::nullopt},
        {"\xD9\xA3", std::nullopt}, // ARABIC-INDIC DIGIT THREE
        {"\xEF\xBC\x93", std::nullopt}, // FULLWIDTH DIGIT THREE
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseStrictInteger(text(c.text)), c.value) << '"' << c.text << '"';
}

TEST(ParseStatusPage, SplitsAtEveryLineBreak)
{
    const QByteArray body = "a=1\nb=2\vc=3\fd=4\re=5\xC2\x85" "f=6\xE2\x80\xA8g=7\xE2\x80\xA9h=8\r\ni=9";
    EXPECT_EQ(parseStatusPage(body),
        (Page{{"a", "1"}, {"b", "2"}, {"c", "3"}, {"d", "4"}, {"e", "5"}, {"f", "6"}, {"g", "7"},
            {"h", "8"}, {"i", "9"}}));
}

TEST(ParseStatusPage, CrLfReadsLikeLf)
{
    EXPECT_EQ(parseStatusPage("name=A\r\nusers=3\r\n\r\nloc=X\r\n"),
        parseStatusPage("name=A\nusers=3\n\nloc=X\n"));
    EXPECT_EQ(parseStatusPage("name=A\r\nusers=3\r\n").value(QStringLiteral("name")), QStringLiteral("A"));
}

TEST(ParseStatusPage, KeysAndValuesAroundTheFirstEquals)
{
    EXPECT_EQ(parseStatusPage("a=b=c\nno equals here\n=empty key\nspaced = kept \nlast=\n"),
        (Page{{"a", "b=c"}, {"", "empty key"}, {"spaced ", " kept "}, {"last", ""}}));
}

TEST(ParseStatusPage, LaterLinesWin)
{
    EXPECT_EQ(parseStatusPage("users=1\nusers=2").value(QStringLiteral("users")), QStringLiteral("2"));
}

TEST(ParseStatusPage, RepairsBadUtf8AndHandlesEmptyBodies)
{
    EXPECT_EQ(parseStatusPage("name=\xFF"), (Page{{"name", QString(QChar::ReplacementCharacter)}}));
    EXPECT_TRUE(parseStatusPage("").isEmpty());
    EXPECT_TRUE(parseStatusPage("\r\n\n\r").isEmpty());
}

TEST(ApplyStatusPage, DescriptiveTextsFillOnlyWhatIsAbsent)
{
    const Page page{{"name", "Alpha"}, {"loc", "Here"}, {"antenna", "Loop"}, {"grid", "JO62"}};
    KiwiReceiverInfo known;
    known.name = QStringLiteral("Beta");
    known.location = QStringLiteral("There");
    known.antenna = QStringLiteral("Dipole");
    known.grid = QString();
    KiwiReceiverInfo fresh;

    applyStatusPage(known, page);
    applyStatusPage(fresh, page);

    EXPECT_EQ(known.name, QStringLiteral("Beta"));
    EXPECT_EQ(known.location, QStringLiteral("There"));
    EXPECT_EQ(known.antenna, QStringLiteral("Dipole"));
    EXPECT_EQ(known.grid, QString());
    EXPECT_EQ(fresh.name, QStringLiteral("Alpha"));
    EXPECT_EQ(fresh.location, QStringLiteral("Here"));
    EXPECT_EQ(fresh.antenna, QStringLiteral("Loop"));
    EXPECT_EQ(fresh.grid, QStringLiteral("JO62"));
}

TEST(ApplyStatusPage, ReplacesTheRest)
{
    KiwiReceiverInfo info;
    info.softwareVersion = QStringLiteral("v1.0");
    applyStatusPage(info,
        parseStatusPage("gps=(52.5, 13.4)\nsdr_hw=KiwiSDR 2\nsw_version=v1.7\nusers=+3\nusers_max=8\n"
                        "uptime=86400\next_api=4\n"));
    EXPECT_EQ(info.gps, QStringLiteral("(52.5, 13.4)"));
    EXPECT_EQ(info.hardware, QStringLiteral("KiwiSDR 2"));
    EXPECT_EQ(info.softwareVersion, QStringLiteral("v1.7"));
    EXPECT_EQ(info.users, 3);
    EXPECT_EQ(info.maxUsers, 8);
    EXPECT_EQ(info.uptime, 86400);
    EXPECT_EQ(info.apiChannels, 4);
}

TEST(ApplyStatusPage, UnreadableIntegersAndMissingKeysBecomeAbsent)
{
    for (const char* users : {"3 ", "3.5", "", "-", "99999999999999999999"}) {
        KiwiReceiverInfo info;
        info.users = 1;
        applyStatusPage(info, Page{{"users", text(users)}});
        EXPECT_EQ(info.users, std::nullopt) << '"' << users << '"';
    }

    KiwiReceiverInfo info;
    info.name = QStringLiteral("Beta");
    info.gps = QStringLiteral("(1, 2)");
    info.hardware = QStringLiteral("hw");
    info.softwareVersion = QStringLiteral("v1");
    info.users = 1;
    info.maxUsers = 2;
    info.uptime = 3;
    info.apiChannels = 4;
    info.rxChannel = 0;
    applyStatusPage(info, Page{{"unrelated", "x"}});
    KiwiReceiverInfo expected;
    expected.name = QStringLiteral("Beta");
    expected.rxChannel = 0;
    EXPECT_EQ(info, expected);
}

TEST(ApplyStatusPage, EmptyTextIsNotAbsent)
{
    KiwiReceiverInfo info;
    applyStatusPage(info, parseStatusPage("gps=\nname=\n"));
    EXPECT_EQ(info.gps, QString());
    EXPECT_EQ(info.name, QString());
}

} // namespace
