// Reading the public lists from untrusted bytes, and what the window makes of
// them: plain texts, range-checked values, limits, positions and orders.
#include "directory/DirectoryFormats.h"
#include "directory/ListingMerger.h"
#include "directory/ListingValues.h"
#include "directory/PlainText.h"
#include "directory/ReceiverFilter.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

QByteArray sample(const char* name)
{
    QFile file(QStringLiteral(DIRECTORY_SAMPLES "/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

ReceiverListing listing(const char* url, std::optional<std::int64_t> highHz, std::optional<int> users,
    std::optional<int> snr, std::optional<GeoPoint> at)
{
    ReceiverListing l;
    l.url = QString::fromLatin1(url);
    l.name = l.url;
    if (highHz) {
        l.lowHz = 0;
        l.highHz = highHz;
    }
    if (users) {
        l.users = users;
        l.usersMax = 4;
    }
    l.snrDb = snr;
    if (at) {
        l.latitude = at->latitude;
        l.longitude = at->longitude;
    }
    return l;
}

TEST(DirectoryText, ListTextsBecomePlainBoundedAndVisible)
{
    EXPECT_EQ(plainListText(u"<b>Kiwi</b> &amp; <font color=red>Co</font><br>Ltd", 200),
        QStringLiteral("Kiwi & Co Ltd"));
    EXPECT_EQ(plainListText(u"I <3 DX, a < b", 200), QStringLiteral("I <3 DX, a < b"));
    EXPECT_EQ(plainListText(u"Cut here <a href=\"http://x", 200), QStringLiteral("Cut here"));
    EXPECT_EQ(plainListText(u"&lt;b&gt;not bold&lt;/b&gt; &#x1F4E1; &#0; &bogus;", 200),
        QStringLiteral("<b>not bold</b> \U0001F4E1 &#0; &bogus;"));
    // Bidirectional overrides and invisible separators are gone; emoji and
    // their joiners stay; controls are blanks.
    EXPECT_EQ(plainListText(u"a\u202Eb\u2063c\u200Bd \U0001F468\u200D\U0001F4BB\te\nf", 200),
        QStringLiteral("abcd \U0001F468\u200D\U0001F4BB e f"));
    // The cut never splits a surrogate pair.
    const QString cut = plainListText(QString(199, u'x') + QStringLiteral("\U0001F4E1"), 200);
    EXPECT_EQ(cut, QString(199, u'x'));
}

TEST(DirectoryValues, NumbersAndAddressesAreCheckedBeforeUse)
{
    EXPECT_EQ(normalizedReceiverUrl(QStringLiteral(" HTTP://Kiwi.Example.ORG:8073/path?q#f ")),
        QStringLiteral("http://kiwi.example.org:8073"));
    EXPECT_EQ(normalizedReceiverUrl(QStringLiteral("http://x.proxy.kiwisdr.com/")),
        QStringLiteral("http://x.proxy.kiwisdr.com:80"));
    EXPECT_EQ(normalizedReceiverUrl(QStringLiteral("https://owrx.example")),
        QStringLiteral("https://owrx.example:443"));
    for (const char* bad : {"javascript:alert(1)", "ftp://x.example", "http://user:pw@x.example", "http://:80", "",
             "http://x.example:99999"})
        EXPECT_FALSE(normalizedReceiverUrl(QString::fromLatin1(bad))) << bad;

    EXPECT_EQ(positionFromGps(QStringLiteral("(50.85,4.30,12z)")), (GeoPoint{50.85, 4.30}));
    for (const char* nowhere : {"(-69.0, 90.0)", "(0.000000, 0.000000)", "(91, 0)", "(0, 181)", "(nan, 1)", "()", "5"})
        EXPECT_FALSE(positionFromGps(QString::fromLatin1(nowhere))) << nowhere;
    EXPECT_EQ(countFromText(QStringLiteral("1000")), 1000);
    EXPECT_FALSE(countFromText(QStringLiteral("1001")));
    EXPECT_FALSE(countFromText(QStringLiteral("-1")));
    EXPECT_EQ(bandsFromText(QStringLiteral("10489500000-10490000000")),
        (std::pair<std::int64_t, std::int64_t>{10'489'500'000, 10'490'000'000}));
    EXPECT_FALSE(bandsFromText(QStringLiteral("30000000-0")));
    EXPECT_FALSE(bandsFromText(QStringLiteral("0-100000000001")));
    EXPECT_EQ(snrFromText(QStringLiteral("23,26")), 23);
    EXPECT_FALSE(snrFromText(QStringLiteral("1e300,2")));
    EXPECT_EQ(versionFromSoftware(QStringLiteral("KiwiSDR_v1.602")), QStringLiteral("1.602"));
}

TEST(DirectoryLists, RefusedWholeWhenTooLargeCutShortOrUnknown)
{
    const auto refused = [](const QByteArray& bytes) { return readDirectory(bytes).error.value_or(QString()); };
    EXPECT_EQ(refused(QByteArray(maxListingBytes + 1, ' ')), directoryProblemText(DirectoryProblem::tooLarge));
    EXPECT_EQ(refused("<html>no list here</html>"), directoryProblemText(DirectoryProblem::unknownForm));

    const QByteArray map = sample("receiverbook-map.html");
    ASSERT_FALSE(map.isEmpty());
    EXPECT_EQ(refused(map.left(map.indexOf("{\"label\":\"Unknown place\""))),
        directoryProblemText(DirectoryProblem::cutShort));
    EXPECT_EQ(refused("var kiwisdr_com = [ {\"name\": \"never closes\"}, {\"name\": \"x ]\"}"),
        directoryProblemText(DirectoryProblem::cutShort));

    QByteArray many = "var kiwisdr_com = [";
    for (qsizetype i = 0; i <= maxListingEntries; ++i)
        many += "{},";
    EXPECT_EQ(refused(many + "];"), directoryProblemText(DirectoryProblem::tooManyEntries));
    // As many as allowed are read (and each empty entry skipped).
    many.chop(3);
    EXPECT_EQ(readDirectory(many + "];").skipped, maxListingEntries);
}

TEST(DirectoryLists, ADeepOrBrokenEntryCostsOnlyItself)
{
    const QByteArray deep = QByteArray(100, '[') + QByteArray(100, ']');
    const DirectoryRead read = readDirectory("var kiwisdr_com = [" + deep + ", {\"url\": \"http://ok.example:8073\"},"
        + "{\"url\": 12}, {\"name\": \"a\" \"b\"}, ];");
    ASSERT_FALSE(read.error);
    ASSERT_EQ(read.receivers.size(), 1);
    EXPECT_EQ(read.receivers.front().url, QStringLiteral("http://ok.example:8073"));
    EXPECT_EQ(read.skipped, 3);
}

TEST(DirectoryGeo, LocatorsDistancesAndBearings)
{
    const GeoPoint berlin = *maidenheadCentre(u"JO62qm");
    EXPECT_NEAR(berlin.latitude, 52.52, 0.03);
    EXPECT_NEAR(berlin.longitude, 13.37, 0.05);
    EXPECT_EQ(maidenheadCentre(u"jo62QM"), berlin);
    EXPECT_EQ(maidenheadCentre(u"JJ00"), (GeoPoint{0.5, 1}));
    for (const char16_t* bad : {u"", u"J", u"SA00", u"JO6", u"JO62yy", u"JO62qm0"})
        EXPECT_FALSE(maidenheadCentre(bad));
    EXPECT_EQ(readListenerPosition(QStringLiteral(" -33.87; 151.21 ")), (GeoPoint{-33.87, 151.21}));
    EXPECT_FALSE(readListenerPosition(QStringLiteral("52.5")));

    const GeoPoint sydney{-33.87, 151.21};
    EXPECT_NEAR(distanceKm(berlin, sydney), 16'090, 30);
    EXPECT_NEAR(bearingDegrees(berlin, GeoPoint{60, berlin.longitude}), 0, 0.01);
    EXPECT_NEAR(bearingDegrees(GeoPoint{0, 0}, GeoPoint{0, -10}), 270, 0.01);
    EXPECT_NEAR(distanceKm(GeoPoint{0, 179.5}, GeoPoint{0, -179.5}), 111.2, 0.5);
}

TEST(DirectoryFilter, FiltersDropOnlyWhatIsKnownNotToMatch)
{
    const GeoPoint here{52.5, 13.4};
    QList<ReceiverRow> rows;
    rows.append(receiverRow(listing("http://near:80", 30'000'000, 2, 20, GeoPoint{52, 13}), here));
    rows.append(receiverRow(listing("http://full:80", 30'000'000, 4, 30, GeoPoint{48, 11}), here));
    rows.append(receiverRow(listing("http://vhf:80", 10'000, 0, 40, GeoPoint{-33, 151}), here));
    ReceiverListing owrx = listing("http://owrx:80", std::nullopt, std::nullopt, std::nullopt, std::nullopt);
    owrx.kind = ServerKind::openWebRX;
    owrx.antenna = QStringLiteral("Beverage NORTH");
    rows.append(receiverRow(owrx, here));
    const std::vector<qsizetype> all{0, 1, 2, 3};
    const auto shown = [&](const ReceiverQuery& query) {
        QStringList urls;
        for (const qsizetype row : filteredRows(rows, all, query))
            urls.append(rows[row].listing.url);
        return urls.join(u' ');
    };
    EXPECT_EQ(shown({QStringLiteral("beverage"), {}, false, {}, {}}), QStringLiteral("http://owrx:80"));
    EXPECT_EQ(shown({{}, ServerKind::kiwiSDR, true, 9500, {}}), QStringLiteral("http://near:80"));
    EXPECT_EQ(shown({{}, {}, false, 9500, {}}), QStringLiteral("http://near:80 http://full:80 http://owrx:80"));
    EXPECT_EQ(shown({{}, {}, false, {}, 1000}), QStringLiteral("http://near:80 http://full:80"));

    // Best for 9500 kHz: covered and free, covered and full, unknown, not covered.
    const std::vector<qsizetype> best = rowsBestFor(rows, 9500);
    EXPECT_EQ(best, (std::vector<qsizetype>{0, 1, 3, 2}));
    EXPECT_NEAR(bestScore(rows[0]), 20 - distanceKm(here, {52, 13}) / 500, 1e-9);
    // Unknown values sort last in either direction.
    EXPECT_EQ(rowsByColumn(rows, ReceiverColumn::snr, false, 0), (std::vector<qsizetype>{2, 1, 0, 3}));
    EXPECT_EQ(rowsByColumn(rows, ReceiverColumn::snr, true, 0), (std::vector<qsizetype>{0, 1, 2, 3}));
}

TEST(DirectoryMerge, ALaterEntryFillsOnlyWhatTheFirstLacks)
{
    DirectoryRead kiwi;
    kiwi.receivers.append(listing("http://kiwi:8073", 30'000'000, 1, 20, std::nullopt));
    kiwi.skipped = 1;
    DirectoryRead book;
    ReceiverListing same = listing("http://kiwi:8073", 32'000'000, 3, 10, GeoPoint{1, 2});
    same.name = QStringLiteral("Other name");
    book.receivers.append(same);
    book.receivers.append(same);
    book.unsupported = 2;
    DirectoryRead broken;
    broken.error = QStringLiteral("refused");
    broken.receivers.append(listing("http://ignored:80", {}, {}, {}, {}));

    const DirectoryRead merged = mergeDirectoryReads({kiwi, book, broken});
    ASSERT_EQ(merged.receivers.size(), 1);
    const ReceiverListing& row = merged.receivers.front();
    EXPECT_EQ(row.name, QStringLiteral("http://kiwi:8073"));
    EXPECT_EQ(row.highHz, 30'000'000);
    EXPECT_EQ(row.users, 1);
    EXPECT_EQ(row.latitude, 1);
    EXPECT_EQ(merged.duplicates, 2);
    EXPECT_EQ(merged.unsupported, 2);
    EXPECT_EQ(merged.skipped, 1);
}

} // namespace
