#pragma once
// The public receiver lists the Receivers window shows, kept current
// politely: each source is asked at most once per minimum interval (also
// across restarts, as the cache remembers the last try), with the validators
// of the copy held, and the last good list of each is kept in the cache
// folder and shown at once on the next start. A source that fails or no
// longer reads as a list leaves one plain line in problems() and its last
// good list in place; the others are unaffected. Lists are read on a worker
// thread. Lives on the GUI thread.

#include "directory/ReceiverListing.h"
#include "directory/online/DirectoryCache.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <memory>
#include <optional>

class QNetworkAccessManager;

struct DirectorySourcesOptions {
    QString cacheFolder = DirectoryCache::defaultFolder();
    // Each source is fetched at most once in this time.
    std::chrono::milliseconds minimumInterval{30 * 60'000};
    std::chrono::milliseconds timeout{10'000};
    // How often due sources are fetched by themselves.
    std::chrono::milliseconds checkInterval{60'000};
};

class DirectorySources : public QObject {
    Q_OBJECT
public:
    // kiwisdr.com's public page and the receiverbook map.
    static QStringList defaultSources();

    using Options = DirectorySourcesOptions;

    explicit DirectorySources(QStringList sources, Options options = Options(), QObject* parent = nullptr);
    ~DirectorySources() override;

    // Shows the cached lists, then fetches the sources that are due, and
    // keeps doing so while it lives.
    void start();
    // Fetches every source that is due now; the others wait their turn.
    void refresh();
    // When the next source may be fetched; none while one is under way or
    // one is due now.
    std::optional<QDateTime> nextRefreshAllowed() const;
    bool isBusy() const;

    // Every receiver of the last good lists, merged (sources in order).
    const QList<ReceiverListing>& receivers() const { return m_receivers; }
    // One plain line for each source in trouble.
    QStringList problems() const;
    // When the oldest list shown was fetched; none before any.
    std::optional<QDateTime> oldestList() const;

signals:
    void receiversChanged();
    // Problems, busy or the next refresh time changed.
    void stateChanged();

private:
    struct Source;

    void fetch(Source& source);
    void fetched(Source& source, const ListDownloadResult& result);
    void readList(Source& source, const CachedList& list, bool fresh);
    void listRead(Source& source, DirectoryRead read, const CachedList& list, bool fresh);
    QString withOldList(const Source& source, const QString& problem) const;
    void publish();
    bool isDue(const Source& source, std::int64_t nowMs) const;
    QString title(const Source& source) const;

    Options m_options;
    DirectoryCache m_cache;
    QNetworkAccessManager* m_network;
    std::vector<std::unique_ptr<Source>> m_sources;
    QList<ReceiverListing> m_receivers;
    QTimer m_checkTimer;
};
