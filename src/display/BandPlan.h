#pragma once
// The band plan shipped with the program: the amateur bands of the three ITU
// regions, the shortwave broadcast bands and the standard time-signal
// frequencies, as band bars for the frequency scale.

#include "model/ScaleLabels.h"

#include <optional>
#include <vector>

// Every band of the plan, read once from the program's resources.
const std::vector<BandBar>& shippedBandPlan();
// The bars of one ITU region (1, 2 or 3): its own and those of all regions.
std::vector<BandBar> bandPlanForRegion(const std::vector<BandBar>& bars, int region);

// The channel raster of AM broadcasting at a frequency in a region: 9 kHz
// on long and medium wave (10 kHz in region 2), 5 kHz on short wave;
// none outside the plan's broadcast bands.
std::optional<double> broadcastRasterHz(double hz, int region);
