#pragma once
// The arithmetic and texts of the S-meter: where a reading sits on the scale
// of S-units, and what is written and spoken about it.

#include "model/ReceiverModel.h"

#include <QList>
#include <QString>

#include <optional>

// The scale value at S9; above it one unit is 6 dB.
inline constexpr double sMeterS9 = 9;
// The scale value at the bar's right end, S9+60.
inline constexpr double sMeterFullScale = 19;
// A relative meter (OpenWebRX) runs from -120 dB to -20 dB over the same
// bar and turns red only in its top tenth, near full scale, where a
// receiver's own page warns; the rest of the range is normal listening.
inline constexpr double sMeterRelativeFloorDB = -120;
inline constexpr double sMeterRelativeTopDB = -20;
inline constexpr double sMeterRelativeRedDB = -30;

// Scale units of a level in dB relative to an unknown reference.
double sMeterRelativeUnits(double dB);
// Scale units of a reading: 0 without one; (dBm + 127) / 6 when calibrated,
// the relative level on its range when not; never negative.
double sMeterUnits(const std::optional<SMeterReading>& reading);
// Where the bar turns red, in scale units: S9, or the relative warning level.
double sMeterRedFrom(bool calibrated);
// The filled part of a bar whose right end is `fullScale` units, 0..1.
double sMeterFraction(double units, double fullScale);

// "S9+13", "-30 dB", or without a reading "S–" (calibrated) or "– dB".
QString sMeterMainText(const std::optional<SMeterReading>& reading, bool calibrated = true);
// "-73.0 dBm" in the user's locale, "relative", or without a reading
// "— dBm" (calibrated) or "relative".
QString sMeterDetailText(const std::optional<SMeterReading>& reading, bool calibrated = true);
// What assistive technology reads as the meter's value.
QString sMeterAccessibleValue(const std::optional<SMeterReading>& reading);

struct SMeterMark {
    QString label;
    double position; // scale units
};
// Calibrated: "1" to "9" at odd units, then "+20", "+40", "+60" dB over S9.
// Relative: every 20 dB from -100 to -20.
const QList<SMeterMark>& sMeterMarks(bool calibrated = true);
