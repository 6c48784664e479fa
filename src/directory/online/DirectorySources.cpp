#include "directory/online/DirectorySources.h"

#include "directory/DirectoryFormats.h"
#include "directory/ListAge.h"
#include "directory/ListingMerger.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QUrl>
#include <QtConcurrent/QtConcurrentRun>

struct DirectorySources::Source {
    QString source;
    DirectoryRead read;
    CachedList saved;
    QString problem;
    std::unique_ptr<ListDownload> download;
    bool reading = false;
};

namespace {

std::int64_t nowMs()
{
    return QDateTime::currentMSecsSinceEpoch();
}

} // namespace

QStringList DirectorySources::defaultSources()
{
    return {QStringLiteral("http://kiwisdr.com/public/"), QStringLiteral("https://www.receiverbook.de/map")};
}

DirectorySources::DirectorySources(QStringList sources, Options options, QObject* parent)
    : QObject(parent)
    , m_options(std::move(options))
    , m_cache(m_options.cacheFolder)
    , m_network(new QNetworkAccessManager(this))
{
    sources.removeDuplicates();
    for (const QString& source : std::as_const(sources)) {
        auto state = std::make_unique<Source>();
        state->source = source;
        m_sources.push_back(std::move(state));
    }
    connect(&m_checkTimer, &QTimer::timeout, this, &DirectorySources::refresh);
}

DirectorySources::~DirectorySources() = default;

void DirectorySources::start()
{
    for (const auto& source : m_sources) {
        if (const std::optional<CachedList> saved = m_cache.load(source->source)) {
            source->saved = *saved;
            if (saved->fetchedAtMs > 0)
                readList(*source, *saved, false);
        }
    }
    refresh();
    m_checkTimer.start(m_options.checkInterval);
}

void DirectorySources::refresh()
{
    const std::int64_t now = nowMs();
    for (const auto& source : m_sources) {
        if (isDue(*source, now))
            fetch(*source);
    }
    emit stateChanged();
}

bool DirectorySources::isDue(const Source& source, std::int64_t now) const
{
    return !source.download && !source.reading
        && (source.saved.lastAttemptMs <= 0 || now - source.saved.lastAttemptMs >= m_options.minimumInterval.count()
            || now < source.saved.lastAttemptMs);
}

bool DirectorySources::isBusy() const
{
    return std::any_of(m_sources.begin(), m_sources.end(),
        [](const auto& source) { return source->download || source->reading; });
}

std::optional<QDateTime> DirectorySources::nextRefreshAllowed() const
{
    const std::int64_t now = nowMs();
    std::optional<std::int64_t> next;
    for (const auto& source : m_sources) {
        if (isDue(*source, now))
            return std::nullopt;
        if (source->download || source->reading)
            continue;
        const std::int64_t due = source->saved.lastAttemptMs + m_options.minimumInterval.count();
        next = next ? std::min(*next, due) : due;
    }
    if (!next || isBusy())
        return std::nullopt;
    return QDateTime::fromMSecsSinceEpoch(*next);
}

QStringList DirectorySources::problems() const
{
    QStringList lines;
    for (const auto& source : m_sources) {
        if (!source->problem.isEmpty())
            lines.append(source->problem);
    }
    return lines;
}

std::optional<QDateTime> DirectorySources::oldestList() const
{
    std::optional<std::int64_t> oldest;
    for (const auto& source : m_sources) {
        if (source->saved.fetchedAtMs > 0 && !source->read.receivers.isEmpty())
            oldest = oldest ? std::min(*oldest, source->saved.fetchedAtMs) : source->saved.fetchedAtMs;
    }
    if (!oldest)
        return std::nullopt;
    return QDateTime::fromMSecsSinceEpoch(*oldest);
}

QString DirectorySources::title(const Source& source) const
{
    if (!ListDownload::isWebSource(source.source))
        return QFileInfo(source.source).fileName();
    QString host = QUrl(source.source).host();
    if (host.startsWith(QLatin1String("www.")))
        host.remove(0, 4);
    return host;
}

QString DirectorySources::withOldList(const Source& source, const QString& problem) const
{
    const QString line = QCoreApplication::translate("DirectorySources", "%1: %2").arg(title(source), problem);
    if (source.saved.fetchedAtMs <= 0 || source.read.receivers.isEmpty())
        return line;
    return QCoreApplication::translate("DirectorySources", "%1 Showing its list saved %2 ago.")
        .arg(line, listAgeText(nowMs() - source.saved.fetchedAtMs));
}

void DirectorySources::fetch(Source& source)
{
    source.download = std::make_unique<ListDownload>(*m_network, source.source, source.saved.validators,
        m_options.timeout, [this, &source](const ListDownloadResult& result) {
            // The download is deleted on a later turn: this runs inside its signal.
            QMetaObject::invokeMethod(this, [this, &source, result] {
                source.download.reset();
                fetched(source, result);
            }, Qt::QueuedConnection);
        });
}

void DirectorySources::fetched(Source& source, const ListDownloadResult& result)
{
    if (result.reachedServer) {
        source.saved.lastAttemptMs = nowMs();
        m_cache.store(source.source, source.saved, false);
    }
    switch (result.outcome) {
    case ListDownloadResult::Outcome::received: {
        CachedList list = source.saved;
        list.body = result.body;
        list.validators = result.validators;
        list.fetchedAtMs = nowMs();
        readList(source, list, true);
        return;
    }
    case ListDownloadResult::Outcome::notModified:
        source.saved.fetchedAtMs = nowMs();
        source.problem.clear();
        m_cache.store(source.source, source.saved, false);
        for (ReceiverListing& listing : source.read.receivers)
            listing.asOfMs = source.saved.fetchedAtMs;
        publish();
        break;
    case ListDownloadResult::Outcome::failed:
        source.problem = withOldList(source, result.problem);
        break;
    }
    emit stateChanged();
}

void DirectorySources::readList(Source& source, const CachedList& list, bool fresh)
{
    source.reading = true;
    QtConcurrent::run([body = list.body] { return readDirectory(body); })
        .then(this, [this, &source, list, fresh](DirectoryRead read) {
            listRead(source, std::move(read), list, fresh);
        });
}

void DirectorySources::listRead(Source& source, DirectoryRead read, const CachedList& list, bool fresh)
{
    source.reading = false;
    if (read.error) {
        if (fresh)
            source.problem = withOldList(source, *read.error);
        emit stateChanged();
        return;
    }
    for (ReceiverListing& listing : read.receivers)
        listing.asOfMs = list.fetchedAtMs;
    source.read = std::move(read);
    if (fresh) {
        source.problem.clear();
        const std::int64_t lastAttempt = source.saved.lastAttemptMs;
        source.saved = list;
        source.saved.lastAttemptMs = lastAttempt;
        m_cache.store(source.source, source.saved, true);
    }
    // The bytes are read; only the cache keeps them.
    source.saved.body.clear();
    publish();
    emit stateChanged();
}

void DirectorySources::publish()
{
    QList<DirectoryRead> reads;
    for (const auto& source : m_sources)
        reads.append(source->read);
    m_receivers = mergeDirectoryReads(reads).receivers;
    emit receiversChanged();
}
