// The lists fetched from a server on this machine as the window fetches them:
// the cache, the refresh limit, validators, and what a failing source leaves.
#include "HttpFrontEnd.h"
#include "directory/online/DirectorySources.h"

#include <QFile>
#include <QHttpServerRequest>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QByteArray sample(const char* name)
{
    QFile file(QStringLiteral(DIRECTORY_SAMPLES "/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Serves one list with an ETag, answering 304 to a request that has it.
struct ListServer {
    explicit ListServer(QByteArray served) : body(std::move(served)) {}

    QString url(const char* path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(QLatin1String(path));
    }
    void goOffline()
    {
        for (QTcpServer* server : http.servers())
            server->close();
    }

    QByteArray body;
    QByteArray etag = "\"list-1\"";
    bool neverAnswer = false;
    int requests = 0;
    QByteArray userAgent;
    QByteArray ifNoneMatch;
    HttpFrontEnd http{HttpFrontEnd::RequestHandler([this](const QHttpServerRequest& request) {
        ++requests;
        userAgent = request.value("user-agent");
        ifNoneMatch = request.value("if-none-match");
        HttpPage page;
        page.neverAnswer = neverAnswer;
        page.headers = {{"ETag", etag}};
        if (ifNoneMatch == etag) {
            page.statusCode = 304;
            page.reason = "Not Modified";
        } else {
            page.body = body;
        }
        return page;
    })};
    quint16 port = http.listen(QHostAddress::LocalHost, 0);
};

class DirectorySourcesTest : public ::testing::Test {
protected:
    DirectorySources::Options options(
        std::chrono::milliseconds minimumInterval = DirectorySourcesOptions().minimumInterval)
    {
        DirectorySources::Options o;
        o.cacheFolder = cache.path();
        o.minimumInterval = minimumInterval;
        return o;
    }

    QTemporaryDir cache;
    ListServer kiwi{sample("kiwisdr-public.html")};
    ListServer book{sample("receiverbook-map.html")};
};

// Four KiwiSDRs on the KiwiSDR page, three more receivers on the map.
constexpr qsizetype receiversListed = 7;

TEST_F(DirectorySourcesTest, EachListIsFetchedOnceKeptAndShownFromTheCacheAtTheNextStart)
{
    const QStringList urls{kiwi.url("/public/"), book.url("/map")};
    {
        DirectorySources sources(urls, options());
        sources.start();
        ASSERT_TRUE(QTest::qWaitFor([&] { return sources.receivers().size() == receiversListed; }, 10000));
        EXPECT_TRUE(kiwi.userAgent.startsWith("Farlisten/")) << kiwi.userAgent.constData();
        EXPECT_TRUE(sources.problems().isEmpty());

        // Refresh asks no server again within the interval, and says when it may.
        QTest::qWait(100);
        sources.refresh();
        QTest::qWait(300);
        EXPECT_EQ(kiwi.requests, 1);
        EXPECT_EQ(book.requests, 1);
        const std::optional<QDateTime> next = sources.nextRefreshAllowed();
        ASSERT_TRUE(next);
        EXPECT_NEAR(QDateTime::currentDateTime().secsTo(*next), 30 * 60, 60);
    }
    DirectorySources again(urls, options());
    again.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return again.receivers().size() == receiversListed; }, 10000));
    EXPECT_GT(again.receivers().front().asOfMs, 0);
    EXPECT_TRUE(again.oldestList());
    QTest::qWait(300);
    EXPECT_EQ(kiwi.requests + book.requests, 2) << "the copies are recent: no server is asked";
}

TEST_F(DirectorySourcesTest, AnUnchangedListIsNotSentAgainAndAFailingSourceLeavesItsListAndOneLine)
{
    DirectorySources sources({kiwi.url("/public/"), book.url("/map")}, options(std::chrono::milliseconds(0)));
    sources.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return sources.receivers().size() == receiversListed; }, 10000));

    sources.refresh();
    ASSERT_TRUE(QTest::qWaitFor([&] { return kiwi.requests == 2 && !sources.isBusy(); }, 10000));
    EXPECT_EQ(kiwi.ifNoneMatch, kiwi.etag);
    EXPECT_TRUE(sources.problems().isEmpty());
    EXPECT_EQ(sources.receivers().size(), receiversListed);

    // The map changes its form; the KiwiSDR server goes away.
    book.body = "<html><body>We moved.</body></html>";
    book.etag = "\"list-2\"";
    kiwi.goOffline();
    sources.refresh();
    ASSERT_TRUE(QTest::qWaitFor([&] { return sources.problems().size() == 2 && !sources.isBusy(); }, 10000));
    const QString problems = sources.problems().join(u'\n');
    EXPECT_TRUE(problems.contains(QStringLiteral("could not be reached"))) << problems.toStdString();
    EXPECT_TRUE(problems.contains(QStringLiteral("no receiver list"))) << problems.toStdString();
    EXPECT_EQ(problems.count(QStringLiteral("Showing its list saved")), 2);
    EXPECT_EQ(sources.receivers().size(), receiversListed) << "both last good lists stay";
}

TEST_F(DirectorySourcesTest, AListTooLargeOrTooSlowIsRefused)
{
    ListServer huge{QByteArray(16 * 1024 * 1024 + 1, 'x')};
    DirectorySources::Options o = options();
    o.timeout = std::chrono::milliseconds(5000);
    kiwi.neverAnswer = true;
    DirectorySources sources({huge.url("/public/"), kiwi.url("/public/")}, o);
    sources.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return sources.problems().size() == 2; }, 20000));
    const QString problems = sources.problems().join(u'\n');
    EXPECT_TRUE(problems.contains(QStringLiteral("larger than 16 MB"))) << problems.toStdString();
    EXPECT_TRUE(problems.contains(QStringLiteral("did not answer within 5 seconds"))) << problems.toStdString();
    EXPECT_TRUE(sources.receivers().isEmpty());
}

} // namespace
