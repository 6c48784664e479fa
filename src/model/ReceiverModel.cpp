#include "model/ReceiverModel.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double levelLimit = 1e6;

// Halves round away from zero.
long long rounded(double boundedValue)
{
    return std::llround(boundedValue);
}

} // namespace

QString boundedServerText(QString text, qsizetype maxLength)
{
    if (text.size() <= maxLength)
        return text;
    qsizetype length = maxLength;
    if (length > 0 && text[length - 1].isHighSurrogate())
        --length;
    text.truncate(length);
    return text;
}

double SMeterReading::boundedLevel() const
{
    if (std::isnan(dBm))
        return -levelLimit;
    return std::clamp(dBm, -levelLimit, levelLimit);
}

QString SMeterReading::displayText() const
{
    const double level = boundedLevel();
    if (!isCalibrated)
        return QString::number(rounded(level)) + QStringLiteral(" dB");
    if (level + 73 > 0)
        return QStringLiteral("S9+") + QString::number(rounded(level + 73));
    const double sUnits = std::floor(std::max((level + 127) / 6, 0.0));
    return QStringLiteral("S") + QString::number(static_cast<int>(sUnits));
}
