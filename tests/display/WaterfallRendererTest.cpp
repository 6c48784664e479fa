#include "display/WaterfallRenderer.h"

#include "display/ColourMaps.h"
#include "display/SpectrumLevels.h"
#include "display/WaterfallRowAverager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <tuple>
#include <utility>

namespace {

using Colour = std::array<int, 3>;

constexpr double spanHz = 1'024'000; // 1000 Hz per pixel at width 1024
constexpr double startHz = 7'000'000;

// Levels written as the picture keeps them: a byte b is b - 255 dB.
WaterfallRow row(const std::vector<std::uint8_t>& bins, double start = startHz, double span = spanHz)
{
    WaterfallRow r;
    r.bins.resize(bins.size());
    std::transform(bins.begin(), bins.end(), r.bins.begin(), [](std::uint8_t b) { return b - 255.0f; });
    r.startHz = start;
    r.spanHz = span;
    return r;
}

WaterfallRow flatRow(std::uint8_t bin, double start = startHz, double span = spanHz)
{
    return row(std::vector<std::uint8_t>(1024, bin), start, span);
}

Colour paletteColour(int index)
{
    const auto palette = WaterfallRenderer::makePalette();
    return {palette[4 * index], palette[4 * index + 1], palette[4 * index + 2]};
}

// Read as the painter reads it, whatever the image's pixel format.
Colour pixel(const QImage& image, int x, int y)
{
    const QRgb p = image.pixel(x, y);
    return {qRed(p), qGreen(p), qBlue(p)};
}

const Colour black{0, 0, 0};

// A renderer whose palette index equals the bin value: floor -255, ceiling 0.
WaterfallRenderer identityRenderer()
{
    WaterfallRenderer renderer;
    renderer.autoRange = false;
    renderer.minDB = -255;
    renderer.maxDB = 0;
    return renderer;
}

TEST(WaterfallRendererTest, FirstRowSetsTheAutoRangeAtOnceThenItEases)
{
    WaterfallRenderer renderer;
    const auto image = renderer.pushRow(flatRow(155)); // -100 dB
    ASSERT_TRUE(image);
    EXPECT_EQ(std::pair(renderer.minDB, renderer.maxDB), std::pair(-105.0, -70.0)); // the top raised to low + 35
    const Colour expected = paletteColour(36); // round(5 / 35 * 255)
    for (int x = 0; x < 1024; x += 97)
        EXPECT_EQ(pixel(*image, x, 0), expected) << x;
    EXPECT_EQ(pixel(*image, 500, 1), black);

    renderer.pushRow(flatRow(175)); // -80 dB: low -85, high -50
    EXPECT_EQ(std::pair(renderer.minDB, renderer.maxDB), std::pair(-105 + 20 * 0.05, -70 + 20 * 0.05));
}

TEST(WaterfallRendererTest, AutoRangeUsesThePercentiles)
{
    // Index 153 is the 15th percentile of 1024, 1018 the 99.5th; neighbours differ.
    std::vector<std::uint8_t> sorted(1024, 155);
    std::fill(sorted.begin(), sorted.begin() + 153, 55);
    sorted[153] = 100;
    sorted[1017] = 200;
    sorted[1018] = 235;
    std::fill(sorted.begin() + 1019, sorted.end(), 240);
    std::vector<std::uint8_t> bins(sorted.rbegin(), sorted.rend());
    WaterfallRenderer renderer;
    renderer.pushRow(row(bins));
    EXPECT_EQ(std::pair(renderer.minDB, renderer.maxDB), std::pair(-155.0 - 5, -20.0 + 5));
}

// More bins than columns take every other one, fewer are each shown twice.
TEST(WaterfallRendererTest, ResamplesToTheWidth)
{
    for (const std::size_t size : {2048u, 512u}) {
        std::vector<std::uint8_t> bins(size);
        for (std::size_t i = 0; i < size; ++i)
            bins[i] = static_cast<std::uint8_t>(i * 7);
        WaterfallRenderer renderer = identityRenderer();
        const auto image = renderer.pushRow(row(bins));
        ASSERT_TRUE(image);
        for (std::size_t x = 0; x < 1024; x += 31) {
            const std::uint8_t bin = bins[x * size / 1024];
            EXPECT_EQ(renderer.spectrum()[x], bin - 255.0) << size << " bins, x " << x;
            EXPECT_EQ(pixel(*image, static_cast<int>(x), 0), paletteColour(bin)) << size << " bins, x " << x;
        }
    }
}

// A move of the start shifts the shown lines by whole pixels; less than half
// a pixel waits until the drift adds up.
TEST(WaterfallRendererTest, AMovedStartShiftsTheOldLinesByWholePixels)
{
    std::vector<std::uint8_t> bins(1024, 100);
    bins[0] = 150;
    bins[5] = 200;
    bins[1023] = 250;
    WaterfallRenderer higher = identityRenderer();
    const auto first = higher.pushRow(row(bins));
    const auto image = higher.pushRow(flatRow(10, startHz + 1000));
    ASSERT_TRUE(first && image);
    // An image handed out earlier does not change.
    EXPECT_EQ(pixel(*first, 1023, 0), paletteColour(250));
    EXPECT_EQ(pixel(*first, 1023, 1), black);
    EXPECT_EQ(pixel(*image, 4, 1), paletteColour(200));
    EXPECT_EQ(pixel(*image, 1022, 1), paletteColour(250));
    EXPECT_EQ(pixel(*image, 1023, 1), black);
    EXPECT_EQ(pixel(*image, 1023, 0), paletteColour(10));
    EXPECT_EQ(higher.imageStartHz(), startHz + spanHz / 1024);

    WaterfallRenderer lower = identityRenderer();
    lower.pushRow(row(bins));
    const auto moved = lower.pushRow(flatRow(50, startHz - 3000));
    ASSERT_TRUE(moved);
    EXPECT_EQ(pixel(*moved, 3, 1), paletteColour(150));
    for (int x = 0; x < 3; ++x)
        EXPECT_EQ(pixel(*moved, x, 1), black);
    EXPECT_EQ(lower.imageStartHz(), startHz - 3000);
    // Columns new at the edge take the new level; the others blend.
    EXPECT_EQ(lower.spectrum()[0], 50 - 255.0);
    EXPECT_DOUBLE_EQ(lower.spectrum()[3], 0.6 * (150 - 255.0) + 0.4 * (50 - 255.0));

    WaterfallRenderer drifting = identityRenderer();
    drifting.pushRow(row(bins));
    auto drifted = drifting.pushRow(row(bins, startHz + 400));
    ASSERT_TRUE(drifted);
    EXPECT_EQ(drifting.imageStartHz(), startHz);
    EXPECT_EQ(pixel(*drifted, 5, 1), paletteColour(200));
    drifted = drifting.pushRow(row(bins, startHz + 800));
    ASSERT_TRUE(drifted);
    EXPECT_EQ(drifting.imageStartHz(), startHz + 1000);
    EXPECT_EQ(pixel(*drifted, 4, 1), paletteColour(200));
    EXPECT_EQ(pixel(*drifted, 4, 2), paletteColour(200));
}

TEST(WaterfallRendererTest, FullWidthShiftOrNewSpanStartsOver)
{
    const std::tuple<const char*, double, double> cases[] = {
        {"shift by the width", startHz + spanHz, spanHz},
        {"shift beyond the width", startHz - 5 * spanHz, spanHz},
        {"new span", startHz, spanHz / 2},
    };
    for (const auto& [name, start, span] : cases) {
        SCOPED_TRACE(name);
        WaterfallRenderer renderer;
        renderer.pushRow(flatRow(155));
        renderer.pushRow(flatRow(155));
        const auto image = renderer.pushRow(flatRow(195, start, span)); // -60 dB
        ASSERT_TRUE(image);
        for (const int y : {1, 2, 299})
            EXPECT_EQ(pixel(*image, 512, y), black);
        // The range jumped to the new data instead of easing, and the
        // spectrum is the new row itself.
        EXPECT_EQ(std::tuple(renderer.minDB, renderer.spectrum()[512], renderer.imageStartHz(), renderer.lastSpan()),
            std::tuple(-65.0, -60.0, start, std::optional(span)));
    }
}

TEST(WaterfallRendererTest, ManualRangeOfLessThanOneDecibelUsesOne)
{
    WaterfallRenderer renderer;
    renderer.autoRange = false;
    renderer.minDB = -100.25;
    renderer.maxDB = -100;
    auto image = renderer.pushRow(flatRow(155)); // -100 dB: 0.25 of 1 dB
    ASSERT_TRUE(image);
    EXPECT_EQ(pixel(*image, 0, 0), paletteColour(64));
    EXPECT_EQ(renderer.minDB, -100.25);

    image = renderer.pushRow(flatRow(100)); // far below the floor
    EXPECT_EQ(pixel(*image, 0, 0), black);
    image = renderer.pushRow(flatRow(200)); // far above the ceiling
    EXPECT_EQ(pixel(*image, 0, 0), paletteColour(255));
}

// Rows without a place are also kept from the view; see its tests.
TEST(WaterfallRendererTest, RowsWithoutBinsOrPlaceAreIgnored)
{
    for (const WaterfallRow& bad : {row({}), flatRow(200, -std::numeric_limits<double>::infinity())}) {
        WaterfallRenderer renderer;
        renderer.pushRow(flatRow(155));
        const double minDB = renderer.minDB;
        EXPECT_FALSE(renderer.pushRow(bad));
        EXPECT_EQ(std::tuple(renderer.imageStartHz(), renderer.minDB, renderer.spectrum()[0]),
            std::tuple(startHz, minDB, -100.0));
        EXPECT_EQ(pixel(renderer.makeImage(), 0, 1), black);
    }
}

TEST(WaterfallRendererTest, HostileGeometryStaysBounded)
{
    WaterfallRenderer renderer;
    // Ten million bins are sampled, not copied.
    ASSERT_TRUE(renderer.pushRow(row(std::vector<std::uint8_t>(10'000'000, 155), -1e308, 1e308)));
    // A start whose distance from the last one overflows to infinity.
    ASSERT_TRUE(renderer.pushRow(flatRow(155, 1e308, 1e308)));
    EXPECT_EQ(renderer.imageStartHz(), 1e308);
    // The smallest positive span: every move is beyond the width.
    ASSERT_TRUE(renderer.pushRow(flatRow(155, 0, std::numeric_limits<double>::denorm_min())));
    ASSERT_TRUE(renderer.pushRow(flatRow(155, 1, std::numeric_limits<double>::denorm_min())));
    EXPECT_EQ(std::pair(renderer.imageStartHz(), renderer.spectrum().size()), std::pair(1.0, std::size_t{1024}));

    // Levels beyond any real one are bounded to the picture's whole-dB scale.
    const float inf = std::numeric_limits<float>::infinity();
    std::vector<std::uint8_t> kept;
    for (const float level : {std::numeric_limits<float>::quiet_NaN(), inf, -inf, -254.5f, -254.0f, -100.7f, -0.5f, 12.5f})
        kept.push_back(WaterfallRenderer::levelByte(level));
    EXPECT_EQ(kept, (std::vector<std::uint8_t>{0, 255, 0, 0, 1, 154, 254, 255}));

    // Levels from the view that are not numbers colour as the floor.
    renderer.autoRange = false;
    renderer.minDB = std::numeric_limits<double>::quiet_NaN();
    const auto image = renderer.pushRow(flatRow(155, 1, std::numeric_limits<double>::denorm_min()));
    ASSERT_TRUE(image);
    EXPECT_EQ(pixel(*image, 0, 0), black);

    // Odd sizes are raised to one pixel.
    WaterfallRenderer tiny(0, -3);
    const auto one = tiny.pushRow(flatRow(155));
    ASSERT_TRUE(one);
    EXPECT_EQ(std::pair(one->size(), tiny.spectrum().size()), std::pair(QSize(1, 1), std::size_t{1}));
}

TEST(WaterfallRendererTest, ColourMapTables)
{
    // Relative luminance of an entry, from its sRGB bytes.
    const auto luminance = [](const ColourTable& table, int i) {
        const auto linear = [](std::uint8_t c) {
            const double v = c / 255.0;
            return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        const auto at = static_cast<std::size_t>(4 * i);
        return 0.2126 * linear(table[at]) + 0.7152 * linear(table[at + 1]) + 0.0722 * linear(table[at + 2]);
    };
    for (const ColourMap map : allColourMaps) {
        SCOPED_TRACE(storedName(map).toStdString());
        const ColourTable table = colourTable(map);
        EXPECT_EQ(colourMapFromStoredName(storedName(map)), map);
        for (int i = 0; i < 256; ++i)
            ASSERT_EQ(table[static_cast<std::size_t>(4 * i + 3)], 255);
        if (map != ColourMap::classic) {
            EXPECT_NE(table, colourTable(ColourMap::classic));
            // Rounding to bytes may wobble by far less than one step of green.
            for (int i = 1; i < 256; ++i)
                EXPECT_GE(luminance(table, i), luminance(table, i - 1) - 0.0005) << "entry " << i;
            EXPECT_GT(luminance(table, 255) - luminance(table, 0), 0.5);
        }
    }
}

// A new colour map recolouring the picture is the waterfall view's to check.
TEST(WaterfallRendererTest, NewRangeRecoloursTheShownLinesFromTheirLevels)
{
    WaterfallRenderer renderer = identityRenderer();
    // Three lines of levels 10, 100, 200 (newest at the top), in grey.
    for (const std::uint8_t bin : {10, 100, 200})
        ASSERT_TRUE(renderer.pushRow(flatRow(bin)));
    renderer.setColourMap(ColourMap::grey);

    // A narrower hand-set range colours the same levels brighter.
    renderer.minDB = -255;
    renderer.maxDB = -155;
    renderer.recolour();
    EXPECT_EQ(pixel(renderer.makeImage(), 5, 1), (Colour{255, 255, 255}));
    EXPECT_EQ(pixel(renderer.makeImage(), 5, 2), (Colour{26, 26, 26}));

    // Levels move with the picture when it pans and go when it starts over.
    ASSERT_TRUE(renderer.pushRow(flatRow(50, startHz + 1000)));
    renderer.setColourMap(ColourMap::classic);
    EXPECT_EQ(pixel(renderer.makeImage(), 1023, 1), black);
    EXPECT_EQ(pixel(renderer.makeImage(), 1022, 1), paletteColour(255));
    ASSERT_TRUE(renderer.pushRow(flatRow(50, startHz, spanHz / 2)));
    renderer.setColourMap(ColourMap::heat);
    EXPECT_EQ(pixel(renderer.makeImage(), 5, 1), black);
}

// The picture scrolls through a buffer taller than itself: whether an image
// is still held or not when the buffer's top is reached, every image shows
// the lines as they were when it was handed out, and keeps showing them.
TEST(WaterfallRendererTest, ImagesHandedOutKeepTheirLinesWhileThePictureScrollsOn)
{
    constexpr int height = 20;
    const auto binOf = [](int n) { return static_cast<std::uint8_t>(n * 37 % 256); };
    // Line y of the picture after row n holds row n - y, black before row 0.
    const auto expectShows = [&](const QImage& image, int n, const char* what) {
        for (int y = 0; y < height; ++y) {
            const Colour expected = n - y >= 0 ? paletteColour(binOf(n - y)) : black;
            ASSERT_EQ(pixel(image, 7, y), expected) << what << ", row " << n << ", line " << y;
        }
    };
    WaterfallRenderer renderer(32, height);
    renderer.autoRange = false;
    renderer.minDB = -255;
    renderer.maxDB = 0;
    std::vector<std::pair<int, QImage>> held;
    const int rows = 3 * WaterfallPixels::slackLines + height;
    for (int n = 0; n < rows; ++n) {
        const auto image = renderer.pushRow(row(std::vector<std::uint8_t>(32, binOf(n))));
        ASSERT_TRUE(image);
        expectShows(*image, n, "new");
        // Held across the first move of the buffer, let go before the second.
        if (n % 29 == 0)
            held.emplace_back(n, *image);
        if (n == 2 * WaterfallPixels::slackLines)
            held.clear();
    }
    for (const auto& [n, image] : held)
        expectShows(image, n, "held");

    // A new range and a pan write every line: what is held stays as it was.
    const QImage before = renderer.makeImage();
    renderer.maxDB = -100;
    renderer.recolour();
    ASSERT_TRUE(renderer.pushRow(row(std::vector<std::uint8_t>(32, 0), startHz + 3 * spanHz / 32)));
    expectShows(before, rows - 1, "held over a new range and a pan");
    EXPECT_NE(pixel(renderer.makeImage(), 10, 1), pixel(before, 10, 0));
}

TEST(SpectrumLevelsTest, AveragingAndPeakHoldOnSyntheticRows)
{
    // A step from -100 to -50 dB: after n rows the average has come
    // 50 * (1 - (1 - w)^n) of the way; the peak falls by its decay per row.
    const std::pair<SpectrumAveraging, double> cases[] = {
        {SpectrumAveraging::off, 0.4}, {SpectrumAveraging::light, 0.15}, {SpectrumAveraging::heavy, 0.04}};
    const std::vector<std::uint8_t> low(4, 155);
    const std::vector<std::uint8_t> high(4, 205);
    for (const auto& [averaging, weight] : cases) {
        SCOPED_TRACE(storedName(averaging).toStdString());
        SpectrumLevels levels;
        levels.setAveraging(averaging);
        levels.setPeakHold(true);
        levels.add(low);
        EXPECT_EQ(levels.values(), std::vector<double>(4, -100));
        const double* before = levels.values().data();
        for (int n = 1; n <= 5; ++n) {
            levels.add(high);
            EXPECT_NEAR(levels.values()[2], -100 + 50 * (1 - std::pow(1 - weight, n)), 1e-9);
            EXPECT_EQ(levels.peaks()[2], levels.values()[2]);
        }
        for (int n = 1; n <= 3; ++n)
            levels.add(low);
        // The peak sinks slowly from the highest average, never below it.
        const double top = -100 + 50 * (1 - std::pow(1 - weight, 5));
        EXPECT_NEAR(levels.peaks()[2], std::max(top - 3 * SpectrumLevels::peakDecayDB, levels.values()[2]), 1e-9);
        // Nothing was allocated again for the rows.
        EXPECT_EQ(levels.values().data(), before);

        levels.shift(1);
        EXPECT_TRUE(std::isnan(levels.values()[0]));
        levels.add(high);
        EXPECT_EQ(std::pair(levels.values()[0], levels.peaks()[0]), std::pair(-50.0, -50.0));
        levels.clearPeaks();
        EXPECT_EQ(levels.peaks(), levels.values());
        levels.setPeakHold(false);
        EXPECT_TRUE(levels.peaks().empty());
        levels.add(high);
        EXPECT_TRUE(levels.peaks().empty());
    }
}

TEST(WaterfallRowAveragerTest, RowsOfAnIntervalBecomeOneAveragedInDecibels)
{
    // 32 rows a second in: 0, 1, 2, ... dB above -200, four bins each.
    const auto rowAt = [](int n, double start = startHz) {
        WaterfallRow r = row(std::vector<std::uint8_t>(4, static_cast<std::uint8_t>(55 + n)), start);
        r.sequence = static_cast<std::uint32_t>(n);
        return r;
    };
    // Rows a second out, rows in, the averages out in dB above -200.
    const std::tuple<std::optional<double>, int, std::vector<double>> cases[] = {
        {std::nullopt, 3, {0, 1, 2}},
        {16, 7, {1, 3.5, 5.5}},             // (0+1+2)/3 first, then pairs
        {4, 33, {4, 12.5, 20.5, 28.5}},     // every quarter second
        {0, 2, {0, 1}},
    };
    for (const auto& [rowsPerSecond, rowsIn, averagesOut] : cases) {
        SCOPED_TRACE(rowsPerSecond.value_or(-1));
        WaterfallRowAverager averager;
        averager.setRowsPerSecond(rowsPerSecond);
        std::vector<double> out;
        for (int n = 0; n < rowsIn; ++n) {
            if (const auto averaged = averager.add(rowAt(n), n / 32.0)) {
                EXPECT_EQ(std::tuple(averaged->bins.size(), averaged->startHz, averaged->sequence),
                    std::tuple(std::size_t{4}, startHz, static_cast<std::uint32_t>(n)));
                out.push_back(averaged->bins[3] + 200.0);
            }
        }
        EXPECT_EQ(out, averagesOut);
    }

    // A row elsewhere starts over at once; a pause does not run the
    // intervals on.
    WaterfallRowAverager averager;
    averager.setRowsPerSecond(4);
    EXPECT_FALSE(averager.add(rowAt(0), 0));
    EXPECT_FALSE(averager.add(rowAt(10, startHz + 1000), 0.24));
    EXPECT_FALSE(averager.add(rowAt(20, startHz + 1000), 0.3));
    const auto moved = averager.add(rowAt(30, startHz + 1000), 0.49);
    ASSERT_TRUE(moved);
    EXPECT_EQ(std::pair(moved->bins[0], moved->startHz), std::pair(-180.0f, startHz + 1000));
    EXPECT_FALSE(averager.add(rowAt(1, startHz + 1000), 10));
    EXPECT_TRUE(averager.add(rowAt(1, startHz + 1000), 10.25));
}

} // namespace
