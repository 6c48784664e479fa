#include "display/BandPlan.h"
#include "kiwisdr/KiwiParamValues.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QUrl>

#include <algorithm>
#include <map>
#include <tuple>

namespace {

TEST(BandPlanTest, EveryRegionHasItsBandsWithoutOverlapsInsideShortwave)
{
    // Region, the top of 40 m and of 80 m, the broadcast bars: 60 m is in two
    // pieces around 5 MHz, region 2 has no 75 m, and only region 1 long wave.
    const std::tuple<int, double, double, int> cases[] = {
        {1, 7'200'000, 3'800'000, 17}, {2, 7'300'000, 4'000'000, 15}, {3, 7'200'000, 3'900'000, 16}};
    for (const auto& [region, fortyMetresTopHz, eightyMetresTopHz, broadcastBars] : cases) {
        SCOPED_TRACE(region);
        std::vector<BandBar> bars = bandPlanForRegion(shippedBandPlan(), region);
        // 2200 m to 10 m, long and medium wave and 120 m to 11 m, the time signals.
        std::map<QString, int> coloured;
        for (const BandBar& bar : bars)
            ++coloured[bar.colour];
        EXPECT_EQ(coloured, (std::map<QString, int>{{"#34c759", 12}, {"#ff9f0a", broadcastBars}, {"#bf5af2", 9}}));
        const auto named = [&bars](const QString& name) {
            return *std::find_if(bars.begin(), bars.end(), [&name](const BandBar& b) { return b.name == name; });
        };
        EXPECT_EQ(named("40 m").highHz, fortyMetresTopHz);
        EXPECT_EQ(named("80 m").highHz, eightyMetresTopHz);
        std::sort(bars.begin(), bars.end(), [](const BandBar& a, const BandBar& b) { return a.lowHz < b.lowHz; });
        for (std::size_t i = 0; i < bars.size(); ++i) {
            EXPECT_FALSE(bars[i].name.isEmpty());
            EXPECT_GT(bars[i].lowHz, 0);
            EXPECT_LE(bars[i].highHz, 30'000'000);
            if (i > 0) {
                EXPECT_LE(bars[i - 1].highHz, bars[i].lowHz) << bars[i - 1].name.toStdString() << " overlaps "
                                                            << bars[i].name.toStdString();
            }
        }
    }
}

// A receiver's band list in the same shape: hostile members are dropped or
// bounded, never trusted.
TEST(BandPlanTest, ReadsAReceiversBandsBounded)
{
    const QByteArray text = R"({"band_svc":[{"key":"B","color":"red","name":"Broad<i>cast</i>"}],"bands":[
        {"min":5900,"max":6200,"name":"49m\u0007 <b>bc</b>","svc":"B","itu":7},
        {"min":7000,"max":7000,"name":"empty"},
        {"min":-1,"max":10,"name":"below"},
        {"min":1e300,"max":2e300,"name":"absurd"},
        {"min":"x","max":10,"name":"text"},
        {"min":10000,"max":10100,"name":")" + QByteArray(200, 'n') + R"(","svc":"?","itu":2}]})";
    const std::vector<BandBar> bars = readBandBars(QJsonDocument::fromJson(text).object());
    ASSERT_EQ(bars.size(), 2u);
    EXPECT_EQ(bars[0], (BandBar{5'900'000, 6'200'000, "49m <b>bc</b>", "red", 0, "Broad<i>cast</i>"}));
    EXPECT_EQ(bars[1].name.size(), maxLabelNameLength);
    EXPECT_EQ(bars[1].colour, QString());
    EXPECT_EQ(bars[1].region, 2);

    // A KiwiSDR sends it percent-encoded in "load_dxcfg"; too long or not
    // an object is nothing at all.
    EXPECT_EQ(readKiwiBandBars(QString::fromLatin1(QUrl::toPercentEncoding(QString::fromUtf8(text)))), bars);
    EXPECT_FALSE(readKiwiBandBars(QStringLiteral("%5B%5D")));
    EXPECT_FALSE(readKiwiBandBars(QString(2 * 1024 * 1024, u'%')));
}

} // namespace
