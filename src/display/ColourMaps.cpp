#include "display/ColourMaps.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <span>

namespace {

constexpr std::uint8_t opaque = 255;

struct Rgb {
    double red;
    double green;
    double blue;
};

struct ColourStop {
    double position;
    Rgb colour;
};

// The palette the waterfall always had.
constexpr std::array<ColourStop, 6> classicStops{{
    {0.0, {0.0, 0.0, 0.0}},
    {0.2, {0.0, 0.0, 0.55}},
    {0.4, {0.0, 0.6, 0.9}},
    {0.6, {0.95, 0.95, 0.0}},
    {0.8, {1.0, 0.15, 0.0}},
    {1.0, {1.0, 1.0, 1.0}},
}};

// Hues along the even-lightness maps, evenly spaced; the lightness itself is
// laid over them from the first colour's to the last's.
constexpr std::array<Rgb, 5> uniformHues{{
    {0.27, 0.00, 0.33}, {0.23, 0.32, 0.55}, {0.13, 0.57, 0.55}, {0.37, 0.79, 0.38}, {0.99, 0.91, 0.14}}};
// Blue to yellow only: the axis that red-green colour blindness keeps.
constexpr std::array<Rgb, 3> blueYellowHues{{{0.00, 0.13, 0.30}, {0.48, 0.48, 0.50}, {1.00, 0.91, 0.27}}};
constexpr std::array<Rgb, 5> heatHues{{
    {0.02, 0.02, 0.02}, {0.55, 0.05, 0.05}, {0.95, 0.35, 0.05}, {1.00, 0.85, 0.20}, {1.00, 1.00, 1.00}}};

struct Lab {
    double lightness;
    double a;
    double b;
};

double toLinear(double c)
{
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double fromLinear(double c)
{
    c = std::clamp(c, 0.0, 1.0);
    return c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
}

// The Oklab space: equal steps in it look like equal steps of colour.
Lab toLab(Rgb colour)
{
    const double r = toLinear(colour.red);
    const double g = toLinear(colour.green);
    const double b = toLinear(colour.blue);
    const double l = std::cbrt(0.4122214708 * r + 0.5363325363 * g + 0.0514459929 * b);
    const double m = std::cbrt(0.2119034982 * r + 0.6806995451 * g + 0.1073969566 * b);
    const double s = std::cbrt(0.0883024619 * r + 0.2817188376 * g + 0.6299787005 * b);
    return {0.2104542553 * l + 0.7936177850 * m - 0.0040720468 * s,
        1.9779984951 * l - 2.4285922050 * m + 0.4505937099 * s,
        0.0259040371 * l + 0.7827717662 * m - 0.8086757660 * s};
}

Rgb fromLab(Lab lab)
{
    const double l = std::pow(lab.lightness + 0.3963377774 * lab.a + 0.2158037573 * lab.b, 3);
    const double m = std::pow(lab.lightness - 0.1055613458 * lab.a - 0.0638541728 * lab.b, 3);
    const double s = std::pow(lab.lightness - 0.0894841775 * lab.a - 1.2914855480 * lab.b, 3);
    return {fromLinear(4.0767416621 * l - 3.3077115913 * m + 0.2309699292 * s),
        fromLinear(-1.2684380046 * l + 2.6097574011 * m - 0.3413193965 * s),
        fromLinear(-0.0041960863 * l - 0.7034186147 * m + 1.7076147010 * s)};
}

void put(ColourTable& table, int index, Rgb colour)
{
    const auto byte = [](double c) { return static_cast<std::uint8_t>(std::lround(std::clamp(c, 0.0, 1.0) * 255)); };
    const auto i = static_cast<std::size_t>(4 * index);
    table[i] = byte(colour.red);
    table[i + 1] = byte(colour.green);
    table[i + 2] = byte(colour.blue);
    table[i + 3] = opaque;
}

ColourTable classicTable()
{
    ColourTable table{};
    for (int i = 0; i < 256; ++i) {
        const double t = i / 255.0;
        std::size_t k = 5;
        if (t <= 0)
            k = 0;
        else if (t <= 0.2)
            k = 1;
        else if (t <= 0.4)
            k = 2;
        else if (t <= 0.6)
            k = 3;
        else if (t <= 0.8)
            k = 4;
        const ColourStop& lower = classicStops[k == 0 ? 0 : k - 1];
        const ColourStop& upper = classicStops[k];
        const double f = lower.position < upper.position
            ? (t - lower.position) / (upper.position - lower.position)
            : 0;
        // Truncated, not rounded: the palette stays exactly as it was.
        const auto component = [f](double low, double high) {
            return static_cast<std::uint8_t>((low + (high - low) * f) * 255);
        };
        const auto at = static_cast<std::size_t>(4 * i);
        table[at] = component(lower.colour.red, upper.colour.red);
        table[at + 1] = component(lower.colour.green, upper.colour.green);
        table[at + 2] = component(lower.colour.blue, upper.colour.blue);
        table[at + 3] = opaque;
    }
    return table;
}

ColourTable evenLightnessTable(std::span<const Rgb> hues)
{
    ColourTable table{};
    const double first = toLab(hues.front()).lightness;
    const double last = toLab(hues.back()).lightness;
    const double segments = static_cast<double>(hues.size() - 1);
    for (int i = 0; i < 256; ++i) {
        const double t = i / 255.0;
        const auto k = std::min(static_cast<std::size_t>(t * segments), hues.size() - 2);
        const double f = t * segments - static_cast<double>(k);
        const Lab lower = toLab(hues[k]);
        const Lab upper = toLab(hues[k + 1]);
        put(table, i, fromLab({first + (last - first) * t, lower.a + (upper.a - lower.a) * f,
                           lower.b + (upper.b - lower.b) * f}));
    }
    return table;
}

ColourTable greyTable()
{
    ColourTable table{};
    for (int i = 0; i < 256; ++i)
        put(table, i, {i / 255.0, i / 255.0, i / 255.0});
    return table;
}

} // namespace

ColourTable colourTable(ColourMap map)
{
    switch (map) {
    case ColourMap::classic:
        break;
    case ColourMap::uniform:
        return evenLightnessTable(uniformHues);
    case ColourMap::blueYellow:
        return evenLightnessTable(blueYellowHues);
    case ColourMap::heat:
        return evenLightnessTable(heatHues);
    case ColourMap::grey:
        return greyTable();
    }
    return classicTable();
}

QString colourMapTitle(ColourMap map)
{
    switch (map) {
    case ColourMap::classic:
        break;
    case ColourMap::uniform:
        return QCoreApplication::translate("ColourMaps", "Even (Purple to Yellow)");
    case ColourMap::blueYellow:
        return QCoreApplication::translate("ColourMaps", "Colour-Blind Safe (Blue to Yellow)");
    case ColourMap::heat:
        return QCoreApplication::translate("ColourMaps", "Heat");
    case ColourMap::grey:
        return QCoreApplication::translate("ColourMaps", "Grey");
    }
    return QCoreApplication::translate("ColourMaps", "Classic");
}
