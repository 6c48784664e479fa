#include "display/WaterfallRenderer.h"

#include <QRgb>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// A QImage side is an int; anything larger could not be allocated anyway.
constexpr std::int64_t maxSide = 16384;

// The level's place on the palette, 0..255; NaN counts as the floor.
int paletteIndex(double level, double minDB, double range)
{
    const double scaled = std::round((level - minDB) / range * 255);
    if (!(scaled > 0))
        return 0;
    if (scaled >= 255)
        return 255;
    return static_cast<int>(scaled);
}

} // namespace

WaterfallRenderer::WaterfallRenderer(std::int64_t width, std::int64_t height)
    : m_width(std::clamp<std::int64_t>(width, 1, maxSide))
    , m_height(std::clamp<std::int64_t>(height, 1, maxSide))
    , m_palette(makePalette())
    , m_pixels(m_width, m_height)
    , m_levels(m_width, m_height)
    , m_columns(static_cast<std::size_t>(m_width))
{
}

WaterfallRenderer::Palette WaterfallRenderer::makePalette()
{
    return colourTable(ColourMap::classic);
}

void WaterfallRenderer::setColourMap(ColourMap map)
{
    if (map == m_colourMap)
        return;
    m_colourMap = map;
    m_palette = colourTable(map);
    recolour();
}

void WaterfallRenderer::recolour()
{
    const std::array<std::uint32_t, 256> colours = binColours();
    for (std::int64_t age = 0; age < m_levels.lineCount(); ++age) {
        std::uint32_t* line = m_pixels.line(age);
        if (!line)
            return;
        const std::uint8_t* levels = m_levels.line(age);
        for (std::int64_t x = 0; x < m_width; ++x)
            line[x] = colours[levels[x]];
    }
}

std::uint8_t WaterfallRenderer::levelByte(float levelDB)
{
    const double value = static_cast<double>(levelDB) + 255.0;
    if (!(value > 0.0))
        return 0;
    if (value > 255.0)
        return 255;
    return static_cast<std::uint8_t>(value);
}

bool WaterfallRenderer::hasUsableGeometry(const WaterfallRow& row)
{
    return std::isfinite(row.spanHz) && row.spanHz > 0 && std::isfinite(row.startHz);
}

std::optional<QImage> WaterfallRenderer::pushRow(const WaterfallRow& row, bool addLine)
{
    if (row.bins.empty() || !hasUsableGeometry(row) || m_pixels.isNull())
        return std::nullopt;

    const double span = row.spanHz;
    if (!m_lastSpan) {
        m_imageStartHz = row.startHz;
    } else if (*m_lastSpan == span) {
        if (m_imageStartHz != row.startHz) {
            // Both are finite, but their difference need not be.
            const double px = std::round((m_imageStartHz - row.startHz) / span * m_width);
            if (std::isfinite(px) && std::abs(px) < m_width) {
                const auto pixels = static_cast<std::int64_t>(px);
                shiftImage(pixels);
                m_imageStartHz -= span * pixels / m_width;
            } else {
                // A move by the whole width or more leaves nothing to keep.
                clearImage();
                m_imageStartHz = row.startHz;
            }
        }
    } else {
        clearImage();
        m_imageStartHz = row.startHz;
    }
    m_lastSpan = span;

    const auto binCount = static_cast<std::uint64_t>(row.bins.size());
    for (std::int64_t x = 0; x < m_width; ++x)
        m_columns[static_cast<std::size_t>(x)] =
            levelByte(row.bins[static_cast<std::size_t>(static_cast<std::uint64_t>(x) * binCount / m_width)]);

    if (autoRange)
        updateAutoRange();

    m_spectrum.add(m_columns);
    if (!addLine)
        return std::nullopt;
    m_levels.push(m_columns);

    std::uint32_t* top = m_pixels.scrollDown();
    if (!top)
        return std::nullopt;
    colourLine(top);
    return makeImage();
}

void WaterfallRenderer::reset()
{
    m_pixels.fill(WaterfallPixels::black);
    m_spectrum.clear();
    m_levels.clear();
    m_lastSpan.reset();
    m_imageStartHz = 0;
}

void WaterfallRenderer::clearImage()
{
    m_pixels.fill(WaterfallPixels::black);
    m_spectrum.clear();
    m_levels.clear();
}

void WaterfallRenderer::shiftImage(std::int64_t px)
{
    if (px == 0)
        return;
    const std::int64_t n = px < 0 ? -px : px;
    if (n >= m_width) {
        clearImage();
        return;
    }
    const auto keptBytes = static_cast<std::size_t>(m_width - n) * sizeof(std::uint32_t);
    for (std::int64_t y = 0; y < m_height; ++y) {
        std::uint32_t* line = m_pixels.line(y);
        if (!line)
            return;
        if (px < 0) {
            std::memmove(line, line + n, keptBytes);
            std::fill_n(line + (m_width - n), n, WaterfallPixels::black);
        } else {
            std::memmove(line + n, line, keptBytes);
            std::fill_n(line, n, WaterfallPixels::black);
        }
    }

    m_spectrum.shift(px);
    m_levels.shift(px);
}

void WaterfallRenderer::updateAutoRange()
{
    // The levels are whole dB from one byte each, so counting them gives the
    // percentiles of the sorted levels without sorting.
    std::array<std::int64_t, 256> histogram{};
    for (const std::uint8_t bin : m_columns)
        ++histogram[bin];
    const auto count = static_cast<std::int64_t>(m_columns.size());
    const auto levelAt = [&histogram](std::int64_t index) {
        std::int64_t seen = 0;
        for (int bin = 0; bin < 256; ++bin) {
            seen += histogram[static_cast<std::size_t>(bin)];
            if (seen > index)
                return bin - 255.0;
        }
        return 0.0;
    };
    const double low = levelAt(count * 15 / 100) - 5;
    const double high = std::max(levelAt(count * 995 / 1000) + 5, low + 35);
    if (m_spectrum.values().empty()) {
        minDB = low;
        maxDB = high;
    } else {
        minDB += (low - minDB) * 0.05;
        maxDB += (high - maxDB) * 0.05;
    }
}

std::array<std::uint32_t, 256> WaterfallRenderer::binColours() const
{
    double range = maxDB - minDB;
    if (!(range >= 1))
        range = 1;
    std::array<std::uint32_t, 256> colours{};
    for (int bin = 0; bin < 256; ++bin) {
        const auto* colour = &m_palette[static_cast<std::size_t>(4 * paletteIndex(bin - 255.0, minDB, range))];
        colours[static_cast<std::size_t>(bin)] = qRgb(colour[0], colour[1], colour[2]);
    }
    return colours;
}

void WaterfallRenderer::colourLine(std::uint32_t* line) const
{
    // One colour per possible bin value, then one look-up per column.
    const std::array<std::uint32_t, 256> colours = binColours();
    for (std::int64_t x = 0; x < m_width; ++x)
        line[x] = colours[m_columns[static_cast<std::size_t>(x)]];
}
