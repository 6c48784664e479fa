#include "directory/Geo.h"

#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double earthRadiusKm = 6371.0088;

double radians(double degrees)
{
    return degrees * std::numbers::pi / 180;
}

} // namespace

std::optional<GeoPoint> checkedGeoPoint(double latitude, double longitude)
{
    if (!std::isfinite(latitude) || !std::isfinite(longitude) || std::abs(latitude) > 90
        || std::abs(longitude) > 180)
        return std::nullopt;
    return GeoPoint{latitude, longitude};
}

std::optional<GeoPoint> maidenheadCentre(QStringView locator)
{
    const qsizetype length = locator.size();
    if (length < 2 || length > 8 || length % 2 != 0)
        return std::nullopt;
    // Each pair narrows the square: fields of 20 x 10 degrees (A-R), squares
    // of 2 x 1 (0-9), subsquares of 5' x 2.5' (a-x), extended squares (0-9).
    const struct {
        char first;
        int count;
    } pairs[] = {{'A', 18}, {'0', 10}, {'A', 24}, {'0', 10}};
    double longitude = -180;
    double latitude = -90;
    double width = 360;
    double height = 180;
    for (qsizetype pair = 0; pair < length / 2; ++pair) {
        const bool letters = pairs[pair].first == 'A';
        width /= pairs[pair].count;
        height /= pairs[pair].count;
        for (int axis = 0; axis < 2; ++axis) {
            QChar c = locator[pair * 2 + axis];
            if (letters)
                c = c.toUpper();
            const int value = c.unicode() - pairs[pair].first;
            if (value < 0 || value >= pairs[pair].count)
                return std::nullopt;
            (axis == 0 ? longitude : latitude) += value * (axis == 0 ? width : height);
        }
    }
    return GeoPoint{latitude + height / 2, longitude + width / 2};
}

std::optional<GeoPoint> readListenerPosition(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.size() > 100)
        return std::nullopt;
    if (const std::optional<GeoPoint> centre = maidenheadCentre(trimmed))
        return centre;
    static const QRegularExpression separator(QStringLiteral("\\s*[,;]\\s*|\\s+"));
    const QStringList parts = trimmed.split(separator, Qt::SkipEmptyParts);
    if (parts.size() != 2)
        return std::nullopt;
    bool latitudeOk = false;
    bool longitudeOk = false;
    const double latitude = QLocale::c().toDouble(parts[0], &latitudeOk);
    const double longitude = QLocale::c().toDouble(parts[1], &longitudeOk);
    if (!latitudeOk || !longitudeOk)
        return std::nullopt;
    return checkedGeoPoint(latitude, longitude);
}

double distanceKm(GeoPoint from, GeoPoint to)
{
    const double dLatitude = radians(to.latitude - from.latitude);
    const double dLongitude = radians(to.longitude - from.longitude);
    const double a = std::pow(std::sin(dLatitude / 2), 2)
        + std::cos(radians(from.latitude)) * std::cos(radians(to.latitude)) * std::pow(std::sin(dLongitude / 2), 2);
    return 2 * earthRadiusKm * std::asin(std::sqrt(std::clamp(a, 0.0, 1.0)));
}

double bearingDegrees(GeoPoint from, GeoPoint to)
{
    const double phi1 = radians(from.latitude);
    const double phi2 = radians(to.latitude);
    const double dLongitude = radians(to.longitude - from.longitude);
    const double y = std::sin(dLongitude) * std::cos(phi2);
    const double x = std::cos(phi1) * std::sin(phi2) - std::sin(phi1) * std::cos(phi2) * std::cos(dLongitude);
    const double degrees = std::atan2(y, x) * 180 / std::numbers::pi;
    return std::fmod(degrees + 360, 360);
}
