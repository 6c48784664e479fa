#include "app/TuningKeys.h"

#include <gtest/gtest.h>

namespace {

TEST(TuningKeysTest, SixKeysWithTheirSteps)
{
    const struct {
        int key;
        std::optional<double> step;
    } cases[] = {
        {Qt::Key_Left, -0.1}, {Qt::Key_Right, 0.1}, {Qt::Key_A, -0.1}, {Qt::Key_S, -0.01},
        {Qt::Key_D, 0.01}, {Qt::Key_F, 0.1}, {Qt::Key_Up, std::nullopt}, {Qt::Key_G, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(tuningKeyStep(c.key, Qt::NoModifier), c.step) << c.key;
}

TEST(TuningKeysTest, ControlAltAndMetaPassTheKeyOnButShiftDoesNot)
{
    EXPECT_EQ(tuningKeyStep(Qt::Key_Right, Qt::ShiftModifier), 0.1);
    EXPECT_EQ(tuningKeyStep(Qt::Key_Right, Qt::KeypadModifier), 0.1);
    for (const Qt::KeyboardModifiers blocking :
        {Qt::KeyboardModifiers(Qt::ControlModifier), Qt::KeyboardModifiers(Qt::AltModifier),
            Qt::KeyboardModifiers(Qt::MetaModifier), Qt::ShiftModifier | Qt::ControlModifier}) {
        EXPECT_EQ(tuningKeyStep(Qt::Key_Right, blocking), std::nullopt) << blocking.toInt();
        EXPECT_EQ(tuningKeyStep(Qt::Key_S, blocking), std::nullopt) << blocking.toInt();
    }
}

TEST(TuningKeysTest, NewFrequencyIsRoundedToHundredthsHalvesAwayFromZero)
{
    const struct {
        double current;
        double step;
        double expected;
    } cases[] = {
        {7199.95, 0.1, 7200.05}, {7200.004, -0.01, 7199.99}, {0.0, -0.1, -0.1},
        {0.005, 0.0, 0.01}, {-0.005, 0.0, -0.01}, {14230.126, 0.1, 14230.23},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(steppedFrequencyKHz(c.current, c.step), c.expected) << c.current << " " << c.step;
}

} // namespace
