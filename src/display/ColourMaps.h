#pragma once
// The waterfall's colour maps as tables of 256 colours, from the weakest
// level to the strongest. Besides the classic map, each map has a lightness
// that rises evenly along the table, so that a stronger signal always looks
// brighter, also in grey and to eyes that tell red from green poorly.

#include "model/WaterfallLook.h"

#include <QString>

#include <array>
#include <cstdint>

// 256 entries of red, green, blue, 255.
using ColourTable = std::array<std::uint8_t, 1024>;

ColourTable colourTable(ColourMap map);
// The name in the menu.
QString colourMapTitle(ColourMap map);
