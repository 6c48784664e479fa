#include "display/ClickSnap.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

namespace {

// 1001 values over 7000–7100 kHz (100 Hz apart) on a 1000-point strip, so a
// point is 100 Hz: a floor at -120 dB with two lines.
std::vector<double> syntheticRow()
{
    std::vector<double> row(1001, -120);
    for (std::size_t i = 0; i < row.size(); i += 7)
        row[i] = -118; // noise that never stands out
    row[500] = -100;   // 7050 kHz, 20 dB up
    row[499] = row[501] = -110;
    row[700] = -114;   // 7070 kHz, only 6 dB up
    return row;
}

TEST(ClickSnapTest, TakesAStrongLineWithinReachElseTheStep)
{
    const std::vector<double> row = syntheticRow();
    const SpectrumLine spectrum{row, 7'000'000, 100'000};
    // Where the click lands, the mode, whether exact, where it tunes.
    const std::tuple<double, Mode, bool, double> cases[] = {
        {7'050'370, Mode::cw, false, 7050},      // 3.7 points away: the line
        {7'049'620, Mode::usb, false, 7050},     // from below too
        {7'050'450, Mode::cw, false, 7050.45},   // 4.5 points: the cw step
        {7'050'370, Mode::am, true, 7050.37},    // Alt: exact
        {7'070'120, Mode::usb, false, 7070.1},   // too weak: the usb step
        {7'020'000, Mode::am, false, 7020},      // nothing there
        {6'990'000, Mode::am, false, 6990},      // left of the row
    };
    for (const auto& [clickHz, mode, exact, expectedKHz] : cases) {
        SCOPED_TRACE(clickHz);
        const auto kHz = snappedClickKHz(spectrum, clickHz, 1000, mode, exact);
        ASSERT_TRUE(kHz);
        EXPECT_DOUBLE_EQ(*kHz, expectedKHz);
    }
    // Hostile or empty input snaps to the step or gives nothing, never reads
    // out of the row.
    const std::vector<double> empty;
    EXPECT_DOUBLE_EQ(*snappedClickKHz({empty, 0, 0}, 7'000'123, 1000, Mode::am, false), 7000);
    EXPECT_FALSE(snappedClickKHz(spectrum, std::nan(""), 1000, Mode::am, false));
    EXPECT_FALSE(strongestLineHz(spectrum, 7'050'000, 0));
    EXPECT_FALSE(strongestLineHz({row, 7'000'000, 1e-300}, 7'000'000, 1000));
}

} // namespace
