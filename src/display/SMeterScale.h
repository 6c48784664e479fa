#pragma once
// The arithmetic and texts of the S-meter: where a reading sits on the scale
// of S-units, and what is written and spoken about it.

#include "model/ReceiverModel.h"

#include <QList>
#include <QString>

#include <optional>

// The scale value at S9; above it one unit is 6 dB.
inline constexpr double sMeterS9 = 9;

// Scale units of a reading: 0 without one; (dBm + 127) / 6 when calibrated,
// (dB + 110) / 90 * 19 when not; never negative.
double sMeterUnits(const std::optional<SMeterReading>& reading);
// The filled part of a bar whose right end is `fullScale` units, 0..1.
double sMeterFraction(double units, double fullScale);

// "S9+13", "-30 dB", or "S–" without a reading.
QString sMeterMainText(const std::optional<SMeterReading>& reading);
// "-73.0 dBm" in the user's locale, "relative", or "— dBm" without a reading.
QString sMeterDetailText(const std::optional<SMeterReading>& reading);
// What assistive technology reads as the meter's value.
QString sMeterAccessibleValue(const std::optional<SMeterReading>& reading);

struct SMeterMark {
    QString label;
    double position; // scale units
};
// "1" to "9" at odd units, then "+20", "+40", "+60" dB over S9.
const QList<SMeterMark>& sMeterMarks();
