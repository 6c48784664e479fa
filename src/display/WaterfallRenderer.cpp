#include "display/WaterfallRenderer.h"

#include <QColorSpace>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

// A QImage side is an int; anything larger could not be allocated anyway.
constexpr std::int64_t maxSide = 16384;

constexpr std::uint8_t opaque = 255;

struct ColourStop {
    double position;
    double red;
    double green;
    double blue;
};

constexpr std::array<ColourStop, 6> colourStops{{
    {0.0, 0.0, 0.0, 0.0},
    {0.2, 0.0, 0.0, 0.55},
    {0.4, 0.0, 0.6, 0.9},
    {0.6, 0.95, 0.95, 0.0},
    {0.8, 1.0, 0.15, 0.0},
    {1.0, 1.0, 1.0, 1.0},
}};

QImage blackImage(std::int64_t width, std::int64_t height)
{
    QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGBX8888);
    if (image.isNull())
        return image;
    image.setColorSpace(QColorSpace(QColorSpace::SRgb));
    image.fill(QColor(0, 0, 0));
    return image;
}

void paintBlack(std::uint8_t* pixels, std::int64_t count)
{
    for (std::int64_t i = 0; i < count; ++i) {
        pixels[4 * i] = 0;
        pixels[4 * i + 1] = 0;
        pixels[4 * i + 2] = 0;
        pixels[4 * i + 3] = opaque;
    }
}

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
    , m_image(blackImage(m_width, m_height))
    , m_columns(static_cast<std::size_t>(m_width))
{
}

WaterfallRenderer::Palette WaterfallRenderer::makePalette()
{
    Palette palette{};
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
        const ColourStop& lower = colourStops[k == 0 ? 0 : k - 1];
        const ColourStop& upper = colourStops[k];
        const double f = lower.position < upper.position
            ? (t - lower.position) / (upper.position - lower.position)
            : 0;
        const auto component = [f](double low, double high) {
            return static_cast<std::uint8_t>((low + (high - low) * f) * 255);
        };
        palette[4 * i] = component(lower.red, upper.red);
        palette[4 * i + 1] = component(lower.green, upper.green);
        palette[4 * i + 2] = component(lower.blue, upper.blue);
        palette[4 * i + 3] = opaque;
    }
    return palette;
}

bool WaterfallRenderer::hasUsableGeometry(const KiwiWaterfallRow& row)
{
    return std::isfinite(row.spanHz) && row.spanHz > 0 && std::isfinite(row.startHz);
}

std::optional<QImage> WaterfallRenderer::pushRow(const KiwiWaterfallRow& row)
{
    if (row.bins.empty() || !hasUsableGeometry(row) || m_image.isNull())
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
            row.bins[static_cast<std::size_t>(static_cast<std::uint64_t>(x) * binCount / m_width)];

    if (autoRange)
        updateAutoRange();

    if (m_spectrum.size() != m_columns.size()) {
        m_spectrum.resize(m_columns.size());
        for (std::size_t x = 0; x < m_columns.size(); ++x)
            m_spectrum[x] = m_columns[x] - 255.0;
    } else {
        for (std::size_t x = 0; x < m_columns.size(); ++x) {
            const double level = m_columns[x] - 255.0;
            m_spectrum[x] = std::isnan(m_spectrum[x]) ? level : 0.6 * m_spectrum[x] + 0.4 * level;
        }
    }

    scrollDown();
    if (m_image.isNull())
        return std::nullopt;
    colourTopLine();
    return makeImage();
}

void WaterfallRenderer::reset()
{
    m_image = blackImage(m_width, m_height);
    m_spectrum.clear();
    m_lastSpan.reset();
    m_imageStartHz = 0;
}

void WaterfallRenderer::clearImage()
{
    m_image.fill(QColor(0, 0, 0));
    m_spectrum.clear();
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
    const auto keptBytes = static_cast<std::size_t>((m_width - n) * 4);
    for (std::int64_t y = 0; y < m_height; ++y) {
        std::uint8_t* line = m_image.scanLine(static_cast<int>(y));
        if (!line)
            return;
        if (px < 0) {
            std::memmove(line, line + n * 4, keptBytes);
            paintBlack(line + (m_width - n) * 4, n);
        } else {
            std::memmove(line + n * 4, line, keptBytes);
            paintBlack(line, n);
        }
    }

    if (m_spectrum.size() != static_cast<std::size_t>(m_width))
        return;
    const auto count = static_cast<std::ptrdiff_t>(n);
    constexpr double unknown = std::numeric_limits<double>::quiet_NaN();
    if (px < 0) {
        std::move(m_spectrum.begin() + count, m_spectrum.end(), m_spectrum.begin());
        std::fill(m_spectrum.end() - count, m_spectrum.end(), unknown);
    } else {
        std::move_backward(m_spectrum.begin(), m_spectrum.end() - count, m_spectrum.end());
        std::fill(m_spectrum.begin(), m_spectrum.begin() + count, unknown);
    }
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
    if (m_spectrum.empty()) {
        minDB = low;
        maxDB = high;
    } else {
        minDB += (low - minDB) * 0.05;
        maxDB += (high - maxDB) * 0.05;
    }
}

void WaterfallRenderer::scrollDown()
{
    const qsizetype stride = m_image.bytesPerLine();
    const auto moved = static_cast<std::size_t>(stride * (m_height - 1));
    if (m_image.isDetached()) {
        std::uint8_t* bits = m_image.bits();
        std::memmove(bits + stride, bits, moved);
        return;
    }
    // Someone still holds the last image: build the next one beside it in one
    // pass instead of copying the whole buffer and then moving it.
    QImage next(static_cast<int>(m_width), static_cast<int>(m_height), QImage::Format_RGBX8888);
    if (next.isNull()) {
        m_image = QImage();
        return;
    }
    next.setColorSpace(m_image.colorSpace());
    std::memcpy(next.bits() + stride, m_image.constBits(), moved);
    m_image = std::move(next);
}

void WaterfallRenderer::colourTopLine()
{
    double range = maxDB - minDB;
    if (!(range >= 1))
        range = 1;
    // One colour per possible bin value, then one look-up per column.
    std::array<std::uint32_t, 256> colours{};
    for (int bin = 0; bin < 256; ++bin)
        std::memcpy(&colours[static_cast<std::size_t>(bin)],
            &m_palette[static_cast<std::size_t>(4 * paletteIndex(bin - 255.0, minDB, range))], 4);
    std::uint8_t* line = m_image.scanLine(0);
    for (std::int64_t x = 0; x < m_width; ++x)
        std::memcpy(line + 4 * x, &colours[m_columns[static_cast<std::size_t>(x)]], 4);
}
