#include "bookmarks/Bookmarks.h"

#include <gtest/gtest.h>

#include <limits>
#include <tuple>
#include <vector>

namespace {

const QUuid firstId = QUuid::fromString(QStringLiteral("1b4e28ba-2fa1-11d2-883f-0016d3cca427"));
const QUuid secondId = QUuid::fromString(QStringLiteral("00000000-0000-4000-8000-00000000000a"));
const QString firstIdText = QStringLiteral("1B4E28BA-2FA1-11D2-883F-0016D3CCA427");
constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

// The stored texts are what earlier versions wrote and read: their exact form matters.
TEST(BookmarksText, CompactArraysWithUpperCaseIdsThatRoundTrip)
{
    EXPECT_EQ(Bookmarks{}.toText(), QStringLiteral("[]"));
    const Bookmarks list{{{firstId, QStringLiteral("http://a.example:8073/")}, {secondId, QStringLiteral("b")}}};
    EXPECT_EQ(list.toText(), QStringLiteral("[{\"id\":\"%1\",\"url\":\"http://a.example:8073/\"},"
                                            "{\"id\":\"00000000-0000-4000-8000-00000000000A\",\"url\":\"b\"}]")
                                 .arg(firstIdText));
    const Bookmarks awkward{{{firstId, QStringLiteral("  http://x/\"quoted\"\\back\nline\tä €, ; = @")},
                             {secondId, QString()},
                             {firstId, QStringLiteral("duplicate id")}}};
    const auto readAwkward = Bookmarks::fromText(awkward.toText());
    ASSERT_TRUE(readAwkward);
    EXPECT_EQ(readAwkward->items, awkward.items);
    const auto read = Bookmarks::fromText(QStringLiteral(
        "[ {\"url\" : \"http:\\/\\/a\\/\", \"id\":\"1b4e28ba-2fa1-11d2-883f-0016d3cca427\", \"extra\": 1} ]"));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->toText(), QStringLiteral("[{\"id\":\"%1\",\"url\":\"http://a/\"}]").arg(firstIdText));

    const FrequencyBookmarks frequencies{{{firstId, 7200.0, Mode::lsb, std::nullopt},
        {secondId, 14074.5, Mode::usb, QStringLiteral("FT8 / \"x\"")}, {firstId, -0.0, Mode::am, std::nullopt},
        {secondId, nan, Mode::am, std::nullopt}, {secondId, -inf, Mode::am, std::nullopt}}};
    // An absent name is left out; numbers that are not finite never reach the text.
    EXPECT_EQ(frequencies.toText(),
        QStringLiteral("[{\"frequencyKHz\":7200,\"id\":\"%1\",\"mode\":\"lsb\"},"
                       "{\"frequencyKHz\":14074.5,\"id\":\"00000000-0000-4000-8000-00000000000A\","
                       "\"mode\":\"usb\",\"name\":\"FT8 / \\\"x\\\"\"},{\"frequencyKHz\":0,\"id\":\"%1\",\"mode\":\"am\"}]")
            .arg(firstIdText));

    FrequencyBookmarks all;
    const double values[] = {0.01, 7200.004, 1e-300, 123456789.123456789, -5.5, 1e300};
    int index = 0;
    for (const Mode mode : allModes) {
        const std::optional<QString> name = index % 3 == 1 ? std::optional(QStringLiteral("n%1 ü/").arg(index))
            : index % 3 == 2                              ? std::optional(QString())
                                                          : std::nullopt;
        all.items.append({QUuid::createUuid(), values[index % std::size(values)], mode, name});
        ++index;
    }
    const auto readAll = FrequencyBookmarks::fromText(all.toText());
    ASSERT_TRUE(readAll);
    EXPECT_EQ(readAll->items, all.items);

    const auto readFrequencies = FrequencyBookmarks::fromText(
        QStringLiteral("[{\"mode\":\"cw\",\"name\":null,\"id\":\"%1\",\"frequencyKHz\":7030},"
                       "{\"id\":\"%1\",\"frequencyKHz\":1e3,\"mode\":\"am\",\"name\":\"a\\/b\"}]")
            .arg(firstIdText));
    ASSERT_TRUE(readFrequencies);
    EXPECT_EQ(readFrequencies->items, (QList<FrequencyBookmark>{{firstId, 7030.0, Mode::cw, std::nullopt},
                                          {firstId, 1000.0, Mode::am, QStringLiteral("a/b")}}));
}

TEST(BookmarksText, AnyBadElementMakesTheWholeTextUnreadable)
{
    const QString good = QStringLiteral("{\"id\":\"%1\",\"url\":\"a\"}").arg(firstIdText);
    for (const QString& text : {QString(), QStringLiteral("{}"), QStringLiteral("[%1] trailing").arg(good),
             QStringLiteral("[%1,1]").arg(good), QStringLiteral("[%1,{\"url\":\"b\"}]").arg(good),
             QStringLiteral("[%1,{\"id\":\"%2\"}]").arg(good, firstIdText),
             QStringLiteral("[{\"id\":\"%1\",\"url\":null}]").arg(firstIdText),
             QStringLiteral("[{\"id\":\"{%1}\",\"url\":\"a\"}]").arg(firstIdText),
             QStringLiteral("[{\"id\":\"1B4E28BA2FA111D2883F0016D3CCA427\",\"url\":\"a\"}]"),
             QStringLiteral("[{\"id\":\"1B4E28BA-2FA1-11D2-883F-0016D3CCA42G\",\"url\":\"a\"}]"),
             QStringLiteral("[{\"id\":7,\"url\":\"a\"}]")})
        EXPECT_FALSE(Bookmarks::fromText(text)) << text.toStdString();
    EXPECT_TRUE(Bookmarks::fromText(QStringLiteral("[%1]").arg(good)));

    const QString goodFrequency =
        QStringLiteral("{\"id\":\"%1\",\"frequencyKHz\":7200,\"mode\":\"lsb\"}").arg(firstIdText);
    const auto element = [](const char* frequency, const char* mode, const char* extra = "") {
        return QStringLiteral("{\"id\":\"1B4E28BA-2FA1-11D2-883F-0016D3CCA427\",\"frequencyKHz\":%1,\"mode\":%2%3}")
            .arg(QLatin1String(frequency), QLatin1String(mode), QLatin1String(extra));
    };
    for (const QString& bad : {element("7200", "\"LSB\""), element("7200", "\"fm\""), element("7200", "null"),
             element("\"7200\"", "\"lsb\""), element("null", "\"lsb\""), element("1e999", "\"lsb\""),
             element("7200", "\"lsb\"", ",\"name\":5"), QStringLiteral("{\"frequencyKHz\":7200,\"mode\":\"lsb\"}"),
             QStringLiteral("{\"id\":\"%1\",\"frequencyKHz\":7200}").arg(firstIdText), QStringLiteral("[]")}) {
        const QString text = QStringLiteral("[%1,%2]").arg(goodFrequency, bad);
        EXPECT_FALSE(FrequencyBookmarks::fromText(text)) << text.toStdString();
    }
    EXPECT_FALSE(FrequencyBookmarks::fromText(QStringLiteral("{\"items\":[]}")));
    EXPECT_TRUE(FrequencyBookmarks::fromText(QStringLiteral("[%1,%1]").arg(goodFrequency)));
}

TEST(BookmarksOperations, AddContainsAndNonBlankItems)
{
    Bookmarks list;
    for (const char* url : {"  http://a:8073/\n", "\t http://a:8073/ \r\n", " \n\t", "HTTP://A:8073/"})
        list.add(url);
    ASSERT_EQ(list.items.size(), 2);
    EXPECT_EQ(list.items[0].url, QStringLiteral("http://a:8073/"));
    EXPECT_NE(list.items[0].id, list.items[1].id);

    Bookmarks stored{{{firstId, QStringLiteral(" spaced ")}, {secondId, QString()}}};
    EXPECT_TRUE(stored.contains(QStringLiteral("  \n")));
    // Stored urls are not trimmed, so a trimmed address never meets them.
    EXPECT_FALSE(stored.contains(QStringLiteral(" spaced ")));

    // Only spaces and tabs count as blank.
    const Bookmarks shown{{{firstId, QStringLiteral(" \t ")}, {secondId, QStringLiteral("\n")},
                           {firstId, QString()}, {secondId, QStringLiteral(" x ")}}};
    EXPECT_EQ(shown.nonBlankItems(), (QList<Bookmark>{shown.items[1], shown.items[3]}));
}

TEST(FrequencyBookmarksOperations, AddRoundsToHundredthsAndSkipsNearbyOfTheSameMode)
{
    FrequencyBookmarks list;
    for (const auto& [mode, kHz] : {std::pair{Mode::lsb, 7200.004}, {Mode::lsb, 7199.996}, {Mode::am, nan},
                                    {Mode::am, inf}})
        list.add(mode, kHz);
    EXPECT_EQ(list.items, (QList<FrequencyBookmark>{{list.items.value(0).id, 7200.0, Mode::lsb, std::nullopt}}));
    EXPECT_TRUE(list.contains(Mode::lsb, 7200.0049));
    EXPECT_FALSE(list.contains(Mode::lsb, 7200.0051));
    EXPECT_FALSE(list.contains(Mode::am, nan));
    list.add(Mode::usb, 7200.0);
    EXPECT_EQ(list.items.size(), 2);

    // Eighths are exact in binary, so these are true halves of a hundredth.
    const std::pair<double, double> cases[] = {{7200.125, 7200.13}, {-7200.125, -7200.13}, {0.375, 0.38}, {1e307, 1e307}};
    for (const auto& [in, stored] : cases) {
        FrequencyBookmarks one;
        one.add(Mode::am, in);
        ASSERT_EQ(one.items.size(), 1) << in;
        EXPECT_EQ(one.items[0].frequencyKHz, stored) << in;
    }
}

// Another program's changes to the stored list are kept unless ours touch
// the same item; an address both added is kept once.
TEST(BookmarksOperations, MergedKeepsBothProgramsChangesById)
{
    const QUuid thirdId = QUuid::createUuid();
    const auto list = [](std::initializer_list<Bookmark> items) { return Bookmarks{QList<Bookmark>(items)}; };
    const Bookmark a{firstId, QStringLiteral("a")};
    const Bookmark b{secondId, QStringLiteral("b")};
    const Bookmark bEdited{secondId, QStringLiteral("b2")};
    const Bookmark c{thirdId, QStringLiteral("c")};
    const Bookmark cAgain{QUuid::createUuid(), QStringLiteral("c")};
    const Bookmark d{QUuid::createUuid(), QStringLiteral("d")};
    const Bookmarks base = list({a, b});
    // ours, theirs, merged
    const std::vector<std::tuple<Bookmarks, Bookmarks, Bookmarks>> cases{
        {list({a, b, c}), list({a, b, d}), list({a, b, c, d})},
        {list({b}), list({a, bEdited}), list({bEdited})},
        {list({a, bEdited}), list({a}), list({a, bEdited})},
        {list({b, a}), list({a, b, cAgain}), list({b, a, cAgain})},
        {list({a, b, c}), list({a, b, cAgain}), list({a, b, c})},
    };
    for (const auto& [ours, theirs, merged] : cases)
        EXPECT_EQ(Bookmarks::merged(base, ours, theirs), merged) << merged.toText().toStdString();
}

} // namespace
