#include "session/KiwiModel.h"

#include <algorithm>
#include <cmath>

namespace {

// A server can send any double. Levels are bounded before they become
// integers: far beyond any real signal, yet safe to convert, and short to
// show. A level that is not a number reads as the bottom of the scale.
constexpr double levelLimit = 1e6;

double boundedLevel(double dB)
{
    if (std::isnan(dB))
        return -levelLimit;
    return std::clamp(dB, -levelLimit, levelLimit);
}

// Halves round away from zero.
long long rounded(double boundedValue)
{
    return std::llround(boundedValue);
}

} // namespace

QString SMeterReading::displayText() const
{
    const double level = boundedLevel(dBm);
    if (!isCalibrated)
        return QString::number(rounded(level)) + QStringLiteral(" dB");
    if (level + 73 > 0)
        return QStringLiteral("S9+") + QString::number(rounded(level + 73));
    const double sUnits = std::floor(std::max((level + 127) / 6, 0.0));
    return QStringLiteral("S") + QString::number(static_cast<int>(sUnits));
}
