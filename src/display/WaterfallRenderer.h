#pragma once
// Turns waterfall rows of either server kind into a scrolling colour image and
// a smoothed spectrum. Each row is resampled to the image width, coloured
// through the chosen colour map and becomes the new top line; older lines move
// down. The levels behind the shown lines are kept, so that a new colour map
// or range colours the whole picture again.
// A row that starts elsewhere at the same span moves the picture sideways by
// whole pixels so that old lines stay aligned with frequency; a new span starts
// the picture over. GUI thread only.

#include "display/ColourMaps.h"
#include "display/SpectrumLevels.h"
#include "display/WaterfallLevels.h"
#include "display/WaterfallPixels.h"
#include "model/ReceiverModel.h"

#include <QImage>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

class WaterfallRenderer {
public:
    static constexpr std::int64_t defaultWidth = 1024;
    static constexpr std::int64_t defaultHeight = 300;

    // 256 entries of red, green, blue, 255.
    using Palette = ColourTable;

    // Sizes below one pixel are raised to one.
    explicit WaterfallRenderer(std::int64_t width = defaultWidth, std::int64_t height = defaultHeight);

    // Gives the new image, or none when the row carries no bins or has no
    // usable geometry (a span that is not a positive finite number, a start
    // that is not finite); such a row changes nothing. Without `addLine` the
    // row feeds only the spectrum (and moves the picture to its place), and
    // gives no image.
    std::optional<QImage> pushRow(const WaterfallRow& row, bool addLine = true);

    // Whether a row's geometry can be drawn at all.
    static bool hasUsableGeometry(const WaterfallRow& row);
    // The picture keeps each shown level as one byte, b meaning b - 255 dB:
    // a level is cut to a whole dB within -255..0; one that is not a number
    // is the bottom.
    static std::uint8_t levelByte(float levelDB);

    // The classic colour map.
    static Palette makePalette();

    ColourMap colourMap() const { return m_colourMap; }
    // Colours the shown lines again with the new map.
    void setColourMap(ColourMap map);
    // Colours the shown lines again from their levels, with the current map
    // and range (after a hand-set range changed).
    void recolour();

    std::int64_t width() const { return m_width; }
    std::int64_t height() const { return m_height; }

    // Written by the view before each row; followed by the renderer while
    // `autoRange` is set.
    bool autoRange = true;
    double minDB = -110;
    double maxDB = -40;

    // Smoothed level per column in dB; empty until the first row.
    const std::vector<double>& spectrum() const { return m_spectrum.values(); }
    // The held peaks of the spectrum; empty unless peak hold is on.
    const std::vector<double>& spectrumPeaks() const { return m_spectrum.peaks(); }
    void setSpectrumAveraging(SpectrumAveraging averaging) { m_spectrum.setAveraging(averaging); }
    void setPeakHold(bool on) { m_spectrum.setPeakHold(on); }
    void clearPeaks() { m_spectrum.clearPeaks(); }
    // Frequency of the left edge of the picture.
    double imageStartHz() const { return m_imageStartHz; }
    const std::optional<double>& lastSpan() const { return m_lastSpan; }

    // The current picture, in Format_RGB32, the window's own pixel format
    // under X11 and Wayland: painting it needs no conversion. A view of the
    // renderer's buffer that never changes once handed out.
    QImage makeImage() const { return m_pixels.image(); }

    // Back to a black picture and no spectrum, as for a new receiver.
    void reset();

private:
    void clearImage();
    void shiftImage(std::int64_t px);
    void updateAutoRange();
    // Colours `width` pixels from the current row's columns.
    void colourLine(std::uint32_t* line) const;
    // One colour per bin value for the current map and range.
    std::array<std::uint32_t, 256> binColours() const;

    const std::int64_t m_width;
    const std::int64_t m_height;
    ColourMap m_colourMap = ColourMap::classic;
    Palette m_palette;
    WaterfallPixels m_pixels;
    WaterfallLevels m_levels;
    SpectrumLevels m_spectrum;
    std::optional<double> m_lastSpan;
    double m_imageStartHz = 0;
    // The current row resampled to one bin value per column.
    std::vector<std::uint8_t> m_columns;
};
