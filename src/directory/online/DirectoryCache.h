#pragma once
// The last good copy of each receiver list, in the user's cache folder, so
// that the Receivers window shows a list at once on the next start and
// offline: the bytes as fetched, when, when the source was last asked, and
// the validators for the next request. The cache is only a copy: a file that
// is missing, too large or unreadable is simply no copy.

#include "directory/online/ListDownload.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

struct CachedList {
    QByteArray body;
    std::int64_t fetchedAtMs = 0;
    std::int64_t lastAttemptMs = 0;
    ListValidators validators;
};

class DirectoryCache {
public:
    // The program's cache folder (XDG_CACHE_HOME), "receiver-lists" within.
    static QString defaultFolder();

    explicit DirectoryCache(QString folder = defaultFolder());

    std::optional<CachedList> load(const QString& source) const;
    // The whole copy; the list's bytes are written only when given.
    bool store(const QString& source, const CachedList& list, bool withBody) const;

private:
    QString pathFor(const QString& source, const char* suffix) const;

    QString m_folder;
};
