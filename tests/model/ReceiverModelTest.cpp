#include "model/ReceiverModel.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(SMeterReading, DisplayText)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::tuple<double, bool, const char*> cases[] = {
        {-60.4, true, "S9+13"}, {-73, true, "S9"}, {-72.5, true, "S9+1"}, {-72.9, true, "S9+0"}, {-73.1, true, "S8"},
        {-100, true, "S4"}, {-121, true, "S1"}, {-121.01, true, "S0"}, {6426.5, true, "S9+6500"},
        {-12.5, false, "-13 dB"}, {12.5, false, "13 dB"}, {-12.4, false, "-12 dB"},
        // Whatever a server sends, the text stays short and no conversion is undefined.
        {inf, true, "S9+1000073"}, {-inf, true, "S0"}, {nan, true, "S0"},
        {inf, false, "1000000 dB"}, {-1e300, false, "-1000000 dB"}, {nan, false, "-1000000 dB"},
    };
    for (const auto& [dBm, isCalibrated, text] : cases)
        EXPECT_EQ((SMeterReading{dBm, isCalibrated}.displayText()), QString::fromUtf8(text))
            << "dBm " << dBm << (isCalibrated ? " calibrated" : " relative");
}

TEST(BoundedServerText, CutsAtTheLimitWithoutSplittingASurrogatePair)
{
    const QString radio = QString::fromUtf16(u"\U0001F4FB"); // two UTF-16 units
    const QString fill(maxServerTextLength - 1, u'a');
    const std::pair<QString, QString> cases[] = {
        {fill + u'b', fill + u'b'},
        {fill + QStringLiteral("bc"), fill + u'b'},
        // The pair would straddle the cut: it goes whole.
        {fill + radio, fill},
        {fill.chopped(1) + radio + u'c', fill.chopped(1) + radio},
        // Nothing is cut from a text within the limit, whatever it ends with.
        {fill + radio.front(), fill + radio.front()},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(boundedServerText(text), expected) << text.size();
}

} // namespace
