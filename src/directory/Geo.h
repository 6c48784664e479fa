#pragma once
// Positions on the earth: Maidenhead locators, the listener's own position as
// typed, and the great-circle distance and initial bearing between two.

#include <QString>
#include <QStringView>

#include <optional>

struct GeoPoint {
    double latitude = 0;  // -90 .. 90
    double longitude = 0; // -180 .. 180

    friend bool operator==(const GeoPoint&, const GeoPoint&) = default;
};

// A point whose numbers are finite and in range.
std::optional<GeoPoint> checkedGeoPoint(double latitude, double longitude);

// The centre of a Maidenhead square of 2, 4, 6 or 8 characters ("JO62qm"),
// in either case; nothing for any other text.
std::optional<GeoPoint> maidenheadCentre(QStringView locator);

// What a listener types as their position: a locator, or latitude and
// longitude in degrees ("52.5, 13.4", "-33.9 151.2").
std::optional<GeoPoint> readListenerPosition(const QString& text);

// Along the great circle, on a sphere of the earth's mean radius.
double distanceKm(GeoPoint from, GeoPoint to);
// The initial bearing from `from` towards `to`, 0 .. 360 degrees from north.
double bearingDegrees(GeoPoint from, GeoPoint to);
