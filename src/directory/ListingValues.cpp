#include "directory/ListingValues.h"

#include "directory/ReceiverListing.h"
#include "directory/PlainText.h"
#include "model/ServerValues.h"

#include <QLocale>
#include <QUrl>

#include <cmath>

namespace {

constexpr qsizetype maxUrlLength = 2048;
constexpr double maxFrequencyHz = 100e9;

std::optional<double> numberFrom(QStringView text)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

std::optional<QString> normalizedReceiverUrl(const QString& text)
{
    const QString written = text.trimmed();
    if (written.isEmpty() || written.size() > maxUrlLength)
        return std::nullopt;
    const QUrl url(written, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        || url.host().isEmpty() || !url.userInfo().isEmpty())
        return std::nullopt;
    const int port = url.port(scheme == QLatin1String("https") ? 443 : 80);
    if (port <= 0 || port > 65535)
        return std::nullopt;
    const QString host = url.host(QUrl::FullyEncoded).toLower();
    const bool ipv6 = host.contains(u':');
    return scheme + QLatin1String("://") + (ipv6 ? u'[' + host + u']' : host) + u':' + QString::number(port);
}

std::optional<GeoPoint> positionFromGps(const QString& text)
{
    QString inner = text.trimmed();
    if (inner.size() > 100)
        return std::nullopt;
    if (inner.startsWith(u'('))
        inner.remove(0, 1);
    if (inner.endsWith(u')'))
        inner.chop(1);
    const QStringList parts = inner.split(u',');
    if (parts.size() < 2)
        return std::nullopt;
    const std::optional<double> latitude = numberFrom(parts[0]);
    const std::optional<double> longitude = numberFrom(parts[1]);
    if (!latitude || !longitude)
        return std::nullopt;
    if ((*latitude == -69 && *longitude == 90) || (*latitude == 0 && *longitude == 0))
        return std::nullopt;
    return checkedGeoPoint(*latitude, *longitude);
}

std::optional<int> countFromText(const QString& text)
{
    const std::optional<std::int64_t> value = parseServerInteger(text.trimmed());
    if (!value || *value < 0 || *value > 1000)
        return std::nullopt;
    return int(*value);
}

std::optional<std::pair<std::int64_t, std::int64_t>> bandsFromText(const QString& text)
{
    const qsizetype dash = text.indexOf(u'-', 1);
    if (dash < 0 || text.size() > 100)
        return std::nullopt;
    const std::optional<double> low = numberFrom(QStringView(text).first(dash));
    const std::optional<double> high = numberFrom(QStringView(text).sliced(dash + 1));
    if (!low || !high || *low < 0 || *high > maxFrequencyHz || *low > *high)
        return std::nullopt;
    return std::pair{std::int64_t(std::llround(*low)), std::int64_t(std::llround(*high))};
}

std::optional<int> snrFromText(const QString& text)
{
    if (text.size() > 100)
        return std::nullopt;
    const qsizetype comma = text.indexOf(u',');
    const std::optional<double> value = numberFrom(QStringView(text).first(comma < 0 ? text.size() : comma));
    if (!value || *value < -50 || *value > 150)
        return std::nullopt;
    return int(std::lround(*value));
}

QString versionFromSoftware(const QString& text)
{
    const qsizetype marker = text.indexOf(QLatin1String("_v"));
    return plainListText(marker < 0 ? QStringView(text) : QStringView(text).sliced(marker + 2), maxListingTextLength);
}
