#pragma once
// The levels behind the lines of the waterfall picture, one byte per pixel
// (bin value, dB + 255), newest line first. Kept so that the picture can be
// coloured again, line for line, when the colour map or the range changes.
// A ring of lines: a new line costs one copy of its width, nothing moves.

#include <cstdint>
#include <vector>

class WaterfallLevels {
public:
    WaterfallLevels(std::int64_t width, std::int64_t height);

    // `columns` must hold `width` values.
    void push(const std::vector<std::uint8_t>& columns);
    // Moves every line sideways by `px` (positive to the right); the columns
    // moved in read as 0.
    void shift(std::int64_t px);
    void clear();

    // How many lines hold levels, at most `height`.
    std::int64_t lineCount() const { return m_count; }
    // Line 0 is the newest; `age` must be below `lineCount`.
    const std::uint8_t* line(std::int64_t age) const;

private:
    std::uint8_t* lineAt(std::int64_t slot);

    std::int64_t m_width;
    std::int64_t m_height;
    std::vector<std::uint8_t> m_levels;
    // The slot of the newest line.
    std::int64_t m_newest = 0;
    std::int64_t m_count = 0;
};
