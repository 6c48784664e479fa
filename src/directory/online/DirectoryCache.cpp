#include "directory/online/DirectoryCache.h"

#include "directory/ReceiverListing.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

constexpr qint64 maxMetaBytes = 64 * 1024;

std::optional<QByteArray> readBounded(const QString& path, qint64 limit)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.read(limit + 1);
    if (bytes.size() > limit)
        return std::nullopt;
    return bytes;
}

bool writeAtomically(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

QString DirectoryCache::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/receiver-lists");
}

DirectoryCache::DirectoryCache(QString folder) : m_folder(std::move(folder)) {}

QString DirectoryCache::pathFor(const QString& source, const char* suffix) const
{
    const QByteArray key = QCryptographicHash::hash(source.toUtf8(), QCryptographicHash::Sha1).toHex();
    return m_folder + u'/' + QString::fromLatin1(key) + QLatin1StringView(suffix);
}

std::optional<CachedList> DirectoryCache::load(const QString& source) const
{
    const std::optional<QByteArray> metaBytes = readBounded(pathFor(source, ".json"), maxMetaBytes);
    if (!metaBytes)
        return std::nullopt;
    const QJsonObject meta = QJsonDocument::fromJson(*metaBytes).object();
    if (meta.value(QStringLiteral("source")).toString() != source)
        return std::nullopt;
    CachedList list;
    list.fetchedAtMs = static_cast<std::int64_t>(meta.value(QStringLiteral("fetchedAtMs")).toDouble());
    list.lastAttemptMs = static_cast<std::int64_t>(meta.value(QStringLiteral("lastAttemptMs")).toDouble());
    list.validators.etag = meta.value(QStringLiteral("etag")).toString().toLatin1();
    list.validators.lastModified = meta.value(QStringLiteral("lastModified")).toString().toLatin1();
    if (list.fetchedAtMs > 0) {
        const std::optional<QByteArray> body = readBounded(pathFor(source, ".list"), maxListingBytes);
        if (!body)
            return std::nullopt;
        list.body = *body;
    }
    return list;
}

bool DirectoryCache::store(const QString& source, const CachedList& list, bool withBody) const
{
    if (!QDir().mkpath(m_folder))
        return false;
    if (withBody && !writeAtomically(pathFor(source, ".list"), list.body))
        return false;
    const QJsonObject meta{
        {QStringLiteral("source"), source},
        {QStringLiteral("fetchedAtMs"), double(list.fetchedAtMs)},
        {QStringLiteral("lastAttemptMs"), double(list.lastAttemptMs)},
        {QStringLiteral("etag"), QString::fromLatin1(list.validators.etag)},
        {QStringLiteral("lastModified"), QString::fromLatin1(list.validators.lastModified)},
    };
    return writeAtomically(pathFor(source, ".json"), QJsonDocument(meta).toJson(QJsonDocument::Compact));
}
