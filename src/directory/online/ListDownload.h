#pragma once
// One download of a public receiver list, politely: an honest User-Agent,
// the validators of the copy we hold (If-None-Match, If-Modified-Since), a
// time limit, and a size cap past which the list is refused whole. A source
// that is no http(s) address is read as a local file under the same cap.

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <chrono>
#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

struct ListValidators {
    QByteArray etag;
    QByteArray lastModified;
};

struct ListDownloadResult {
    enum class Outcome { received, notModified, failed };
    Outcome outcome = Outcome::failed;
    QByteArray body;
    ListValidators validators;
    // Plain words on what went wrong; empty unless failed.
    QString problem;
    // Whether the server was reached (an answer came, or it was too slow):
    // such a try counts against the refresh limit.
    bool reachedServer = false;
};

class ListDownload : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds defaultTimeout{10'000};

    // The User-Agent every list request carries: the program and its version.
    static QByteArray userAgent();
    // Whether the source is fetched over the network rather than read as a file.
    static bool isWebSource(const QString& source);

    // `done` runs once, on a later turn of the event loop.
    ListDownload(QNetworkAccessManager& network, const QString& source, const ListValidators& validators,
        std::chrono::milliseconds timeout, std::function<void(const ListDownloadResult&)> done,
        QObject* parent = nullptr);
    ~ListDownload() override;

private:
    void readAvailable();
    void finish();
    void complete(const ListDownloadResult& result);

    std::function<void(const ListDownloadResult&)> m_done;
    std::chrono::milliseconds m_timeout;
    QPointer<QNetworkReply> m_reply;
    QTimer m_deadline;
    QByteArray m_body;
    bool m_tooLarge = false;
    bool m_timedOut = false;
    bool m_finished = false;
};
