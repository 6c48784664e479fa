#include "display/WaterfallPan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

namespace {

using Clock = WaterfallPan::Clock;
using namespace std::chrono_literals;

constexpr WaterfallPan::Band band{0, 30'000'000};
constexpr double spanHz = 100'000;
constexpr double tolerance = spanHz / 1024;

// Taps and drags through the view are tried in its tests; here the edges and
// the timing that a view test cannot control.
TEST(WaterfallPanTest, DragStopsAtTheTopOfTheBand)
{
    WaterfallPan pan;
    const auto move = pan.dragChanged(-500, 1000, spanHz, 29'880'000, 29'950, band);
    ASSERT_TRUE(move);
    EXPECT_EQ(std::pair(move->startHz, move->kHz), std::pair(29'900'000.0, 29'970.0));
    // Further past the top is the same place: nothing to retune.
    EXPECT_FALSE(pan.dragChanged(-700, 1000, spanHz, 29'880'000, 29'970, band));
    // A span wider than the band pins the start to the base.
    WaterfallPan wide;
    const auto pinned = wide.dragChanged(100, 1000, 40'000'000, 0, 15'000, band);
    ASSERT_TRUE(pinned);
    EXPECT_EQ(std::pair(pinned->startHz, pinned->kHz), std::pair(0.0, 15'000.0));
}

TEST(WaterfallPanTest, SettlesWhenTheServerCatchesUpOrTheDeadlinePasses)
{
    const Clock::time_point start{};
    WaterfallPan pan;
    ASSERT_TRUE(pan.dragChanged(100, 1000, spanHz, 7'000'000, 7050, band));
    // Nothing settles while the pointer is down.
    pan.settle(6'990'000, tolerance, start);
    EXPECT_EQ(pan.panStartHz(), 6'990'000);

    pan.dragEnded(start);
    EXPECT_EQ(pan.settleDeadline(), start + 1s);
    pan.settle(7'000'000, tolerance, start + 999ms);
    EXPECT_EQ(pan.panStartHz(), 6'990'000);
    pan.settle(7'000'000, tolerance, start + 1001ms);
    EXPECT_FALSE(pan.panStartHz() || pan.settleDeadline());

    // Within one pixel ends it at once.
    ASSERT_TRUE(pan.dragChanged(100, 1000, spanHz, 7'000'000, 7050, band));
    pan.dragEnded(start);
    pan.settle(6'990'000 + tolerance, tolerance, start + 10ms);
    EXPECT_FALSE(pan.panStartHz());
}

} // namespace
