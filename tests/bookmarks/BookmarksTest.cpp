#include "bookmarks/Bookmarks.h"

#include <gtest/gtest.h>

#include <QSet>

#include <cmath>
#include <limits>

namespace {

const QUuid firstId = QUuid::fromString(QStringLiteral("1b4e28ba-2fa1-11d2-883f-0016d3cca427"));
const QUuid secondId = QUuid::fromString(QStringLiteral("00000000-0000-4000-8000-00000000000a"));
const QString firstIdText = QStringLiteral("1B4E28BA-2FA1-11D2-883F-0016D3CCA427");

TEST(BookmarksText, IsACompactArrayWithUpperCaseIds)
{
    EXPECT_EQ(Bookmarks{}.toText(), QStringLiteral("[]"));

    const Bookmarks list{{{firstId, QStringLiteral("http://a.example:8073/")},
                          {secondId, QStringLiteral("b")}}};
    EXPECT_EQ(list.toText(), QStringLiteral("[{\"id\":\"1B4E28BA-2FA1-11D2-883F-0016D3CCA427\","
                                            "\"url\":\"http://a.example:8073/\"},"
                                            "{\"id\":\"00000000-0000-4000-8000-00000000000A\",\"url\":\"b\"}]"));
}

TEST(BookmarksText, RoundTripsAwkwardAddresses)
{
    const Bookmarks list{{{firstId, QStringLiteral("  http://x/\"quoted\"\\back\nline\tä €, ; = @")},
                          {secondId, QString()},
                          {firstId, QStringLiteral("duplicate id")}}};
    const std::optional<Bookmarks> read = Bookmarks::fromText(list.toText());
    ASSERT_TRUE(read);
    EXPECT_EQ(read->items, list.items);
    EXPECT_EQ(*read, list);
}

TEST(BookmarksText, ReadsEscapedSlashesLowerCaseIdsAndAnyKeyOrder)
{
    const std::optional<Bookmarks> read = Bookmarks::fromText(
        QStringLiteral("[ {\"url\" : \"http:\\/\\/a\\/\", \"id\":\"1b4e28ba-2fa1-11d2-883f-0016d3cca427\", "
                       "\"extra\": 1} ]"));
    ASSERT_TRUE(read);
    ASSERT_EQ(read->items.size(), 1);
    EXPECT_EQ(read->items[0].id, firstId);
    EXPECT_EQ(read->items[0].url, QStringLiteral("http://a/"));
    EXPECT_EQ(read->toText(), QStringLiteral("[{\"id\":\"%1\",\"url\":\"http://a/\"}]").arg(firstIdText));
}

TEST(BookmarksText, AnyBadElementMakesTheWholeTextUnreadable)
{
    const QString good = QStringLiteral("{\"id\":\"%1\",\"url\":\"a\"}").arg(firstIdText);
    const QStringList texts{
        QString(),
        QStringLiteral("not json"),
        QStringLiteral("{}"),
        QStringLiteral("[%1] trailing").arg(good),
        QStringLiteral("[%1,1]").arg(good),
        QStringLiteral("[%1,{\"url\":\"b\"}]").arg(good),
        QStringLiteral("[%1,{\"id\":\"%2\"}]").arg(good, firstIdText),
        QStringLiteral("[{\"id\":\"%1\",\"url\":5}]").arg(firstIdText),
        QStringLiteral("[{\"id\":\"%1\",\"url\":null}]").arg(firstIdText),
        QStringLiteral("[{\"id\":\"{%1}\",\"url\":\"a\"}]").arg(firstIdText),
        QStringLiteral("[{\"id\":\"1B4E28BA2FA111D2883F0016D3CCA427\",\"url\":\"a\"}]"),
        QStringLiteral("[{\"id\":\"1B4E28BA-2FA1-11D2-883F-0016D3CCA42G\",\"url\":\"a\"}]"),
        QStringLiteral("[{\"id\":\"1B4E28BA-2FA1-11D2-883F-0016D3CCA4270\",\"url\":\"a\"}]"),
        QStringLiteral("[{\"id\":7,\"url\":\"a\"}]"),
    };
    for (const QString& text : texts)
        EXPECT_FALSE(Bookmarks::fromText(text)) << text.toStdString();
    EXPECT_TRUE(Bookmarks::fromText(QStringLiteral("[%1]").arg(good)));
}

TEST(BookmarksOperations, AddTrimsAndIgnoresDuplicatesAndBlanks)
{
    Bookmarks list;
    list.add(QStringLiteral("  http://a:8073/\n"));
    ASSERT_EQ(list.items.size(), 1);
    EXPECT_EQ(list.items[0].url, QStringLiteral("http://a:8073/"));
    EXPECT_FALSE(list.items[0].id.isNull());

    list.add(QStringLiteral("http://a:8073/"));
    list.add(QStringLiteral("\t http://a:8073/ \r\n"));
    list.add(QStringLiteral(" \n\t"));
    EXPECT_EQ(list.items.size(), 1);

    list.add(QStringLiteral("HTTP://A:8073/"));
    ASSERT_EQ(list.items.size(), 2);
    EXPECT_NE(list.items[0].id, list.items[1].id);
}

TEST(BookmarksOperations, ContainsComparesTrimmedTextWithStoredUrls)
{
    Bookmarks list{{{firstId, QStringLiteral(" spaced ")}, {secondId, QString()}}};
    EXPECT_TRUE(list.contains(QString()));
    EXPECT_TRUE(list.contains(QStringLiteral("  \n")));
    // Stored urls are not trimmed, so a trimmed address never meets them.
    EXPECT_FALSE(list.contains(QStringLiteral(" spaced ")));
    list.items.removeLast();
    EXPECT_FALSE(list.contains(QString()));
}

TEST(BookmarksOperations, NonBlankItemsTrimOnlySpacesAndTabs)
{
    const Bookmarks list{{{firstId, QStringLiteral(" \t ")},
                          {secondId, QStringLiteral("\n")},
                          {firstId, QString()},
                          {secondId, QStringLiteral(" x ")}}};
    const QList<Bookmark> shown = list.nonBlankItems();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[0].url, QStringLiteral("\n"));
    EXPECT_EQ(shown[1].url, QStringLiteral(" x "));
}

TEST(BookmarksEquality, ComparesOrderAndHashesItems)
{
    const Bookmark a{firstId, QStringLiteral("a")};
    const Bookmark b{secondId, QStringLiteral("b")};
    EXPECT_EQ((Bookmarks{{a, b}}), (Bookmarks{{a, b}}));
    EXPECT_NE((Bookmarks{{a, b}}), (Bookmarks{{b, a}}));
    EXPECT_NE(a, (Bookmark{firstId, QStringLiteral("A")}));
    EXPECT_EQ(qHash(a), qHash(Bookmark{firstId, QStringLiteral("a")}));
    EXPECT_EQ((QSet<Bookmark>{a, b, a}).size(), 2);
}

TEST(FrequencyBookmarksText, LeavesOutAnAbsentName)
{
    const FrequencyBookmarks list{{{firstId, 7200.0, KiwiMode::lsb, std::nullopt},
                                   {secondId, 14074.5, KiwiMode::usb, QStringLiteral("FT8 / \"x\"")}}};
    EXPECT_EQ(list.toText(),
              QStringLiteral("[{\"frequencyKHz\":7200,\"id\":\"%1\",\"mode\":\"lsb\"},"
                             "{\"frequencyKHz\":14074.5,\"id\":\"00000000-0000-4000-8000-00000000000A\","
                             "\"mode\":\"usb\",\"name\":\"FT8 / \\\"x\\\"\"}]")
                  .arg(firstIdText));
    EXPECT_EQ(FrequencyBookmarks{}.toText(), QStringLiteral("[]"));
}

TEST(FrequencyBookmarksText, RoundTripsEveryModeAndExactFrequencies)
{
    FrequencyBookmarks list;
    const double frequencies[] = {0.01, 7200.004, 1e-300, 123456789.123456789, -5.5, 1e300};
    int index = 0;
    for (const KiwiMode mode : allKiwiModes) {
        const double frequency = frequencies[index % std::size(frequencies)];
        std::optional<QString> name;
        if (index % 3 == 1)
            name = QStringLiteral("n%1 ü/").arg(index);
        else if (index % 3 == 2)
            name = QString();
        list.items.append({QUuid::createUuid(), frequency, mode, name});
        ++index;
    }
    const std::optional<FrequencyBookmarks> read = FrequencyBookmarks::fromText(list.toText());
    ASSERT_TRUE(read);
    EXPECT_EQ(read->items, list.items);
}

TEST(FrequencyBookmarksText, ReadsNullNameAsAbsentAndEscapedSlashes)
{
    const std::optional<FrequencyBookmarks> read = FrequencyBookmarks::fromText(
        QStringLiteral("[{\"mode\":\"cw\",\"name\":null,\"id\":\"%1\",\"frequencyKHz\":7030},"
                       "{\"id\":\"%1\",\"frequencyKHz\":1e3,\"mode\":\"am\",\"name\":\"a\\/b\"}]")
            .arg(firstIdText));
    ASSERT_TRUE(read);
    ASSERT_EQ(read->items.size(), 2);
    EXPECT_EQ(read->items[0], (FrequencyBookmark{firstId, 7030.0, KiwiMode::cw, std::nullopt}));
    EXPECT_EQ(read->items[1], (FrequencyBookmark{firstId, 1000.0, KiwiMode::am, QStringLiteral("a/b")}));
}

TEST(FrequencyBookmarksText, AnyBadElementMakesTheWholeTextUnreadable)
{
    const QString good = QStringLiteral("{\"id\":\"%1\",\"frequencyKHz\":7200,\"mode\":\"lsb\"}").arg(firstIdText);
    const auto element = [](const QString& frequency, const QString& mode, const QString& extra = QString()) {
        return QStringLiteral("{\"id\":\"1B4E28BA-2FA1-11D2-883F-0016D3CCA427\",\"frequencyKHz\":%1,\"mode\":%2%3}")
            .arg(frequency, mode, extra);
    };
    const QStringList bad{
        element(QStringLiteral("7200"), QStringLiteral("\"LSB\"")),
        element(QStringLiteral("7200"), QStringLiteral("\"fm\"")),
        element(QStringLiteral("7200"), QStringLiteral("null")),
        element(QStringLiteral("\"7200\""), QStringLiteral("\"lsb\"")),
        element(QStringLiteral("null"), QStringLiteral("\"lsb\"")),
        element(QStringLiteral("true"), QStringLiteral("\"lsb\"")),
        element(QStringLiteral("1e999"), QStringLiteral("\"lsb\"")),
        element(QStringLiteral("-1e999"), QStringLiteral("\"lsb\"")),
        element(QStringLiteral("7200"), QStringLiteral("\"lsb\""), QStringLiteral(",\"name\":5")),
        element(QStringLiteral("7200"), QStringLiteral("\"lsb\""), QStringLiteral(",\"name\":[]")),
        QStringLiteral("{\"frequencyKHz\":7200,\"mode\":\"lsb\"}"),
        QStringLiteral("{\"id\":\"%1\",\"mode\":\"lsb\"}").arg(firstIdText),
        QStringLiteral("{\"id\":\"%1\",\"frequencyKHz\":7200}").arg(firstIdText),
        QStringLiteral("[]"),
    };
    for (const QString& element : bad) {
        const QString text = QStringLiteral("[%1,%2]").arg(good, element);
        EXPECT_FALSE(FrequencyBookmarks::fromText(text)) << text.toStdString();
    }
    EXPECT_FALSE(FrequencyBookmarks::fromText(QStringLiteral("{\"items\":[]}")));
    EXPECT_TRUE(FrequencyBookmarks::fromText(QStringLiteral("[%1,%1]").arg(good)));
}

TEST(FrequencyBookmarksText, NonFiniteFrequenciesNeverReachTheText)
{
    const FrequencyBookmarks list{{{firstId, std::numeric_limits<double>::quiet_NaN(), KiwiMode::am, std::nullopt},
                                   {secondId, 7200.0, KiwiMode::am, std::nullopt},
                                   {firstId, -std::numeric_limits<double>::infinity(), KiwiMode::am, std::nullopt}}};
    const std::optional<FrequencyBookmarks> read = FrequencyBookmarks::fromText(list.toText());
    ASSERT_TRUE(read);
    ASSERT_EQ(read->items.size(), 1);
    EXPECT_EQ(read->items[0].id, secondId);
}

TEST(FrequencyBookmarksText, NegativeZeroIsStoredAsZero)
{
    const FrequencyBookmarks list{{{firstId, -0.0, KiwiMode::am, std::nullopt}}};
    const std::optional<FrequencyBookmarks> read = FrequencyBookmarks::fromText(list.toText());
    ASSERT_TRUE(read);
    EXPECT_EQ(read->toText(), list.toText());
    EXPECT_TRUE(list.toText().contains(QStringLiteral("\"frequencyKHz\":0,")));
}

TEST(FrequencyBookmarksOperations, AddRoundsToHundredthsAndSkipsNearbyOfTheSameMode)
{
    FrequencyBookmarks list;
    list.add(KiwiMode::lsb, 7200.004);
    ASSERT_EQ(list.items.size(), 1);
    EXPECT_EQ(list.items[0].frequencyKHz, 7200.0);
    EXPECT_EQ(list.items[0].mode, KiwiMode::lsb);
    EXPECT_FALSE(list.items[0].name);

    list.add(KiwiMode::lsb, 7199.996);
    EXPECT_EQ(list.items.size(), 1);
    EXPECT_TRUE(list.contains(KiwiMode::lsb, 7200.0049));
    EXPECT_FALSE(list.contains(KiwiMode::lsb, 7200.0051));

    list.add(KiwiMode::usb, 7200.0);
    ASSERT_EQ(list.items.size(), 2);
    EXPECT_EQ(list.items[1].mode, KiwiMode::usb);
    EXPECT_NE(list.items[0].id, list.items[1].id);
}

TEST(FrequencyBookmarksOperations, AddRoundsHalvesAwayFromZero)
{
    // Eighths are exact in binary, so these are true halves of a hundredth.
    const struct {
        double in;
        double stored;
    } cases[] = {{7200.125, 7200.13}, {-7200.125, -7200.13}, {0.375, 0.38}, {1e307, 1e307}};
    for (const auto& c : cases) {
        FrequencyBookmarks list;
        list.add(KiwiMode::am, c.in);
        ASSERT_EQ(list.items.size(), 1) << c.in;
        EXPECT_EQ(list.items[0].frequencyKHz, c.stored) << c.in;
    }
}

TEST(FrequencyBookmarksOperations, AddIgnoresNonFiniteFrequencies)
{
    FrequencyBookmarks list;
    list.add(KiwiMode::am, std::numeric_limits<double>::quiet_NaN());
    list.add(KiwiMode::am, std::numeric_limits<double>::infinity());
    list.add(KiwiMode::am, -std::numeric_limits<double>::infinity());
    EXPECT_TRUE(list.items.isEmpty());
    EXPECT_FALSE(list.contains(KiwiMode::am, std::numeric_limits<double>::quiet_NaN()));
}

TEST(FrequencyBookmarksEquality, ComparesEveryFieldAndOrder)
{
    const FrequencyBookmark a{firstId, 7200.0, KiwiMode::lsb, std::nullopt};
    const FrequencyBookmark b{secondId, 3500.0, KiwiMode::cw, QStringLiteral("x")};
    EXPECT_EQ((FrequencyBookmarks{{a, b}}), (FrequencyBookmarks{{a, b}}));
    EXPECT_NE((FrequencyBookmarks{{a, b}}), (FrequencyBookmarks{{b, a}}));

    FrequencyBookmark namedEmpty = a;
    namedEmpty.name = QString();
    EXPECT_NE(a, namedEmpty);
    FrequencyBookmark nudged = a;
    nudged.frequencyKHz = std::nextafter(7200.0, 8000.0);
    EXPECT_NE(a, nudged);
    FrequencyBookmark otherMode = a;
    otherMode.mode = KiwiMode::usb;
    EXPECT_NE(a, otherMode);

    EXPECT_EQ(qHash(b), qHash(FrequencyBookmark{secondId, 3500.0, KiwiMode::cw, QStringLiteral("x")}));
    EXPECT_EQ((QSet<FrequencyBookmark>{a, b, a, namedEmpty}).size(), 3);
}

} // namespace
