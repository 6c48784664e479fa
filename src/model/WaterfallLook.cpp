#include "model/WaterfallLook.h"

#include <algorithm>
#include <cmath>

namespace {

template <typename Value, std::size_t count>
std::optional<Value> fromStoredName(const QString& name, const std::array<Value, count>& all)
{
    for (const Value value : all) {
        if (storedName(value) == name)
            return value;
    }
    return std::nullopt;
}

} // namespace

WaterfallLook WaterfallLook::clamped() const
{
    const WaterfallLook standard;
    WaterfallLook result = *this;
    if (!std::isfinite(result.floorDB) || !std::isfinite(result.ceilingDB)) {
        result.floorDB = standard.floorDB;
        result.ceilingDB = standard.ceilingDB;
    }
    result.floorDB = std::clamp(result.floorDB, lowestFloorDB, highestCeilingDB - minimumRangeDB);
    result.ceilingDB = std::clamp(result.ceilingDB, result.floorDB + minimumRangeDB, highestCeilingDB);
    return result;
}

QString storedName(ColourMap map)
{
    switch (map) {
    case ColourMap::classic:
        return QStringLiteral("classic");
    case ColourMap::uniform:
        return QStringLiteral("uniform");
    case ColourMap::blueYellow:
        return QStringLiteral("blueYellow");
    case ColourMap::heat:
        return QStringLiteral("heat");
    case ColourMap::grey:
        return QStringLiteral("grey");
    }
    return QStringLiteral("classic");
}

QString storedName(SpectrumAveraging averaging)
{
    switch (averaging) {
    case SpectrumAveraging::off:
        return QStringLiteral("off");
    case SpectrumAveraging::light:
        return QStringLiteral("light");
    case SpectrumAveraging::heavy:
        return QStringLiteral("heavy");
    }
    return QStringLiteral("off");
}

std::optional<ColourMap> colourMapFromStoredName(const QString& name)
{
    return fromStoredName(name, allColourMaps);
}

std::optional<SpectrumAveraging> spectrumAveragingFromStoredName(const QString& name)
{
    return fromStoredName(name, allSpectrumAveragings);
}

std::optional<double> averagedRowsPerSecond(WaterfallSpeed speed)
{
    // About what a KiwiSDR sends at its slow and medium speeds.
    switch (speed) {
    case WaterfallSpeed::slow:
        return 5;
    case WaterfallSpeed::medium:
        return 13;
    case WaterfallSpeed::off:
    case WaterfallSpeed::fast:
        break;
    }
    return std::nullopt;
}

QString storedName(WaterfallSpeed speed)
{
    switch (speed) {
    case WaterfallSpeed::off:
        return QStringLiteral("off");
    case WaterfallSpeed::slow:
        return QStringLiteral("slow");
    case WaterfallSpeed::medium:
        return QStringLiteral("medium");
    case WaterfallSpeed::fast:
        break;
    }
    return QStringLiteral("fast");
}

std::optional<WaterfallSpeed> waterfallSpeedFromStoredName(const QString& name)
{
    return fromStoredName(name, allWaterfallSpeeds);
}
