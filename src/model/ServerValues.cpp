#include "model/ServerValues.h"

#include "model/StrictInteger.h"

#include <QByteArray>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

// Beyond any receiver's coverage, far below where the geometry overflows.
constexpr double maxBandwidthHz = 1e10;
constexpr double twoTo63 = 9223372036854775808.0;

std::optional<std::int64_t> toInt64(double value)
{
    if (!std::isfinite(value) || value < -twoTo63 || value >= twoTo63)
        return std::nullopt;
    return static_cast<std::int64_t>(value);
}

} // namespace

std::optional<double> parseServerNumber(const std::optional<QString>& value)
{
    if (!value)
        return std::nullopt;
    QStringView text(*value);
    // from_chars takes a minus sign but not a plus sign.
    if (text.startsWith(u'+')) {
        text = text.sliced(1);
        if (text.startsWith(u'-'))
            return std::nullopt;
    }
    for (const QChar c : text) {
        if (c.unicode() > 0x7F)
            return std::nullopt;
    }
    const QByteArray ascii = text.toLatin1();
    double number = 0;
    const char* end = ascii.constData() + ascii.size();
    const auto [last, error] = std::from_chars(ascii.constData(), end, number, std::chars_format::general);
    if (error != std::errc() || last != end || !std::isfinite(number))
        return std::nullopt;
    return number;
}

std::optional<std::int64_t> parseServerInteger(const std::optional<QString>& value)
{
    if (!value)
        return std::nullopt;
    return parseStrictInteger(*value);
}

bool isUsableBandwidth(double hz)
{
    return std::isfinite(hz) && hz > 0 && hz <= maxBandwidthHz;
}

int clampedZoom(std::int64_t zoom)
{
    return static_cast<int>(std::clamp<std::int64_t>(zoom, 0, maxZoomLevel));
}

std::optional<std::int64_t> truncatedToInt64(double value)
{
    return toInt64(value);
}

std::optional<std::int64_t> roundedToInt64(double value)
{
    return toInt64(std::round(value));
}
