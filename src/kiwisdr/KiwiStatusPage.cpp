#include "kiwisdr/KiwiStatusPage.h"

#include "model/StrictInteger.h"

#include <limits>

namespace {

bool isLineBreak(QChar c)
{
    switch (c.unicode()) {
    case u'\n':
    case u'\v':
    case u'\f':
    case u'\r':
    case u'\u0085':
    case u'\u2028':
    case u'\u2029':
        return true;
    default:
        return false;
    }
}

void addLine(QHash<QString, QString>& page, QStringView line)
{
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0)
        return;
    page.insert(line.first(equals).toString(), line.sliced(equals + 1).toString());
}

std::optional<QString> text(const QHash<QString, QString>& page, const QString& key)
{
    const auto it = page.constFind(key);
    if (it == page.constEnd())
        return std::nullopt;
    return *it;
}

std::optional<std::int64_t> integer(const QHash<QString, QString>& page, const QString& key)
{
    const auto it = page.constFind(key);
    if (it == page.constEnd())
        return std::nullopt;
    return parseStrictInteger(*it);
}

void fillIfAbsent(std::optional<QString>& field, const QHash<QString, QString>& page, const QString& key)
{
    if (!field)
        field = text(page, key);
}

} // namespace

QHash<QString, QString> parseKiwiStatusPage(const QByteArray& body)
{
    const QString decoded = QString::fromUtf8(body);
    const QStringView all(decoded);
    QHash<QString, QString> page;
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < all.size(); ++i) {
        if (!isLineBreak(all[i]))
            continue;
        if (i > lineStart)
            addLine(page, all.sliced(lineStart, i - lineStart));
        // CR LF is one break.
        if (all[i] == u'\r' && i + 1 < all.size() && all[i + 1] == u'\n')
            ++i;
        lineStart = i + 1;
    }
    if (lineStart < all.size())
        addLine(page, all.sliced(lineStart));
    return page;
}

QUrl kiwiStatusPageURL(const QUrl& serverURL)
{
    QUrl url = serverURL;
    url.setPath(serverURL.path() + QStringLiteral("status"));
    return url;
}

void applyKiwiStatusPage(ReceiverInfo& info, const QHash<QString, QString>& page, bool addOwnConnection)
{
    fillIfAbsent(info.name, page, QStringLiteral("name"));
    fillIfAbsent(info.location, page, QStringLiteral("loc"));
    fillIfAbsent(info.antenna, page, QStringLiteral("antenna"));
    fillIfAbsent(info.grid, page, QStringLiteral("grid"));
    info.gps = text(page, QStringLiteral("gps"));
    info.hardware = text(page, QStringLiteral("sdr_hw"));
    // "KiwiSDR_v1.560" here is "1.560" in the receiver's own messages: one
    // form for both.
    info.softwareVersion = text(page, QStringLiteral("sw_version"));
    if (info.softwareVersion && info.softwareVersion->startsWith(QLatin1String("KiwiSDR_v")))
        info.softwareVersion->remove(0, 9);
    info.users = integer(page, QStringLiteral("users"));
    info.maxUsers = integer(page, QStringLiteral("users_max"));
    if (addOwnConnection && info.users && *info.users < info.maxUsers.value_or(std::numeric_limits<std::int64_t>::max()))
        ++*info.users;
    info.uptime = integer(page, QStringLiteral("uptime"));
    info.apiChannels = integer(page, QStringLiteral("ext_api"));
}
