#include "directory/online/ListDownload.h"

#include "directory/DirectoryFormats.h"

#include <QCoreApplication>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

namespace {

ListDownloadResult failure(QString problem, bool reachedServer)
{
    ListDownloadResult result;
    result.problem = std::move(problem);
    result.reachedServer = reachedServer;
    return result;
}

ListDownloadResult readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(
            QCoreApplication::translate("ListDownload", "The file cannot be read: %1").arg(file.errorString()), false);
    ListDownloadResult result;
    result.body = file.read(maxListingBytes + 1);
    if (result.body.size() > maxListingBytes)
        return failure(directoryProblemText(DirectoryProblem::tooLarge), false);
    result.outcome = ListDownloadResult::Outcome::received;
    return result;
}

} // namespace

QByteArray ListDownload::userAgent()
{
    return QByteArrayLiteral("Farlisten/" FARLISTEN_VERSION " (receiver list reader; Linux)");
}

bool ListDownload::isWebSource(const QString& source)
{
    const QString scheme = QUrl(source).scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

ListDownload::ListDownload(QNetworkAccessManager& network, const QString& source, const ListValidators& validators,
    std::chrono::milliseconds timeout, std::function<void(const ListDownloadResult&)> done, QObject* parent)
    : QObject(parent)
    , m_done(std::move(done))
    , m_timeout(timeout)
{
    if (!isWebSource(source)) {
        const QString path = source.startsWith(QLatin1String("file:")) ? QUrl(source).toLocalFile() : source;
        QMetaObject::invokeMethod(this, [this, path] { complete(readFile(path)); }, Qt::QueuedConnection);
        return;
    }
    QNetworkRequest request{QUrl(source)};
    request.setHeader(QNetworkRequest::UserAgentHeader, userAgent());
    if (!validators.etag.isEmpty())
        request.setRawHeader("If-None-Match", validators.etag);
    if (!validators.lastModified.isEmpty())
        request.setRawHeader("If-Modified-Since", validators.lastModified);
    request.setTransferTimeout(static_cast<int>(timeout.count()));
    m_reply = network.get(request);
    m_reply->setParent(this);
    connect(m_reply, &QNetworkReply::readyRead, this, &ListDownload::readAvailable);
    connect(m_reply, &QNetworkReply::finished, this, &ListDownload::finish);
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        m_timedOut = true;
        m_reply->abort();
    });
    m_deadline.start(timeout);
}

ListDownload::~ListDownload()
{
    m_finished = true;
    if (m_reply)
        m_reply->disconnect(this);
}

void ListDownload::readAvailable()
{
    if (m_tooLarge || !m_reply->isOpen())
        return;
    m_body += m_reply->read(maxListingBytes + 1 - m_body.size());
    if (m_body.size() > maxListingBytes) {
        m_tooLarge = true;
        m_body.clear();
        m_reply->abort();
    }
}

void ListDownload::finish()
{
    if (m_finished)
        return;
    readAvailable();
    m_deadline.stop();
    const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (m_tooLarge) {
        complete(failure(directoryProblemText(DirectoryProblem::tooLarge), true));
    } else if (m_timedOut || m_reply->error() == QNetworkReply::OperationCanceledError
        || m_reply->error() == QNetworkReply::TimeoutError) {
        const auto seconds = (m_timeout.count() + 999) / 1000;
        const QString problem = seconds == 1
            ? QCoreApplication::translate("ListDownload", "The server did not answer within a second.")
            : QCoreApplication::translate("ListDownload", "The server did not answer within %1 seconds.").arg(seconds);
        complete(failure(problem, true));
    } else if (!status.isValid()) {
        const QString reason = m_reply->errorString();
        complete(failure(QCoreApplication::translate("ListDownload", "The server could not be reached: %1").arg(reason),
            false));
    } else if (status.toInt() == 304) {
        ListDownloadResult result;
        result.outcome = ListDownloadResult::Outcome::notModified;
        result.reachedServer = true;
        complete(result);
    } else if (status.toInt() != 200) {
        const int code = status.toInt();
        complete(failure(QCoreApplication::translate("ListDownload", "The server answered with status %1.").arg(code),
            true));
    } else {
        ListDownloadResult result;
        result.outcome = ListDownloadResult::Outcome::received;
        result.reachedServer = true;
        result.body = std::move(m_body);
        // Kept only when short and printable: they go back in our next request.
        const auto validator = [this](const QByteArray& name) {
            const QByteArray value = m_reply->rawHeader(name);
            const bool printable = std::all_of(value.begin(), value.end(), [](char c) { return c >= 0x20 && c < 0x7f; });
            return value.size() <= 200 && printable ? value : QByteArray();
        };
        result.validators = {validator("ETag"), validator("Last-Modified")};
        complete(result);
    }
}

void ListDownload::complete(const ListDownloadResult& result)
{
    m_finished = true;
    if (m_done)
        m_done(result);
}
