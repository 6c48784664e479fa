#pragma once
// Turns waterfall rows of either server kind into a scrolling colour image and
// a smoothed spectrum. Each row is resampled to the image width, coloured
// through a fixed palette and becomes the new top line; older lines move down.
// A row that starts elsewhere at the same span moves the picture sideways by
// whole pixels so that old lines stay aligned with frequency; a new span starts
// the picture over. GUI thread only.

#include "model/KiwiModel.h"

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
    using Palette = std::array<std::uint8_t, 1024>;

    // Sizes below one pixel are raised to one.
    explicit WaterfallRenderer(std::int64_t width = defaultWidth, std::int64_t height = defaultHeight);

    // Gives the new image, or none when the row carries no bins or has no
    // usable geometry (a span that is not a positive finite number, a start
    // that is not finite); such a row changes nothing.
    std::optional<QImage> pushRow(const KiwiWaterfallRow& row);

    // Whether a row's geometry can be drawn at all.
    static bool hasUsableGeometry(const KiwiWaterfallRow& row);

    static Palette makePalette();

    std::int64_t width() const { return m_width; }
    std::int64_t height() const { return m_height; }

    // Written by the view before each row; followed by the renderer while
    // `autoRange` is set.
    bool autoRange = true;
    double minDB = -110;
    double maxDB = -40;

    // Smoothed level per column in dB; empty until the first row.
    const std::vector<double>& spectrum() const { return m_spectrum; }
    // Frequency of the left edge of the picture.
    double imageStartHz() const { return m_imageStartHz; }
    const std::optional<double>& lastSpan() const { return m_lastSpan; }

    // The current picture. Shares the renderer's buffer until the next row,
    // which then writes into a buffer of its own, so an image once handed
    // out never changes.
    QImage makeImage() const { return m_image; }

    // Back to a black picture and no spectrum, as for a new receiver.
    void reset();

private:
    void clearImage();
    void shiftImage(std::int64_t px);
    void updateAutoRange();
    void scrollDown();
    void colourTopLine();

    const std::int64_t m_width;
    const std::int64_t m_height;
    const Palette m_palette;
    // The pixels, line by line from the top, in red, green, blue, ignored.
    QImage m_image;
    std::vector<double> m_spectrum;
    std::optional<double> m_lastSpan;
    double m_imageStartHz = 0;
    // The current row resampled to one bin value per column.
    std::vector<std::uint8_t> m_columns;
};
