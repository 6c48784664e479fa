#pragma once
// How a listener has set up the waterfall and the spectrum of a window: the
// colour map, the level range, the picture's speed and the spectrum's
// averaging and peak hold. Stored under one preference key; each window
// starts from the stored value and writes back what it is changed to.

#include <QString>

#include <array>
#include <optional>

enum class ColourMap { classic, uniform, blueYellow, heat, grey };
inline constexpr std::array<ColourMap, 5> allColourMaps{
    ColourMap::classic, ColourMap::uniform, ColourMap::blueYellow, ColourMap::heat, ColourMap::grey};

enum class SpectrumAveraging { off, light, heavy };
inline constexpr std::array<SpectrumAveraging, 3> allSpectrumAveragings{
    SpectrumAveraging::off, SpectrumAveraging::light, SpectrumAveraging::heavy};

// How many lines a second the picture takes. Off adds none, while the
// spectrum still follows every row.
enum class WaterfallSpeed { off, slow, medium, fast };
inline constexpr std::array<WaterfallSpeed, 4> allWaterfallSpeeds{
    WaterfallSpeed::off, WaterfallSpeed::slow, WaterfallSpeed::medium, WaterfallSpeed::fast};

// The rows a second the rows of a receiver that does not slow its own
// waterfall are averaged down to; none for every row.
std::optional<double> averagedRowsPerSecond(WaterfallSpeed speed);

struct WaterfallLook {
    // The hand-set range: a floor and a ceiling at least this far apart.
    static constexpr double lowestFloorDB = -160;
    static constexpr double highestCeilingDB = 0;
    static constexpr double minimumRangeDB = 10;

    ColourMap colourMap = ColourMap::classic;
    bool autoRange = true;
    double floorDB = -110;
    double ceilingDB = -40;
    SpectrumAveraging averaging = SpectrumAveraging::off;
    bool peakHold = false;
    WaterfallSpeed speed = WaterfallSpeed::fast;

    // The floor and ceiling brought into their range (a value that is not a
    // number falls back to the default).
    WaterfallLook clamped() const;
    friend bool operator==(const WaterfallLook&, const WaterfallLook&) = default;
};

// The words the preferences store them under.
QString storedName(ColourMap map);
QString storedName(SpectrumAveraging averaging);
QString storedName(WaterfallSpeed speed);
std::optional<ColourMap> colourMapFromStoredName(const QString& name);
std::optional<SpectrumAveraging> spectrumAveragingFromStoredName(const QString& name);
std::optional<WaterfallSpeed> waterfallSpeedFromStoredName(const QString& name);
