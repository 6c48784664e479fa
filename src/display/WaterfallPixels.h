#pragma once
// The waterfall's pixels, line by line from the top, that scroll down by one
// line for the price of one line. The buffer is taller than the picture and
// the picture is a window of it that moves up a line per new line; only when
// it reaches the buffer's top are the kept lines moved down, once per
// `slackLines` new lines. An image handed out is a read-only view of the
// buffer that keeps it alive and never changes: the lines it shows are not
// written again while it lives, and writing them makes a buffer of our own
// first. GUI thread only.

#include <QImage>

#include <cstdint>
#include <memory>

class WaterfallPixels {
public:
    static constexpr std::int64_t slackLines = 64;
    static constexpr std::uint32_t black = 0xff000000;

    // Black. Without memory for it the picture is null and stays so.
    WaterfallPixels(std::int64_t width, std::int64_t height);

    bool isNull() const { return !m_buffer; }
    std::int64_t width() const { return m_width; }
    std::int64_t height() const { return m_height; }

    // Moves every line down by one, the bottom one falling off, and gives
    // the new top line to be written; null for a null picture.
    std::uint32_t* scrollDown();
    // A line of the picture to be written, 0 at the top.
    std::uint32_t* line(std::int64_t y);
    void fill(std::uint32_t colour);

    // The picture as it is now, in Format_RGB32.
    QImage image() const;

private:
    // The buffer, unless an image handed out may still show it: then a copy.
    std::uint32_t* ownLines();
    // A buffer no image shows: the spare if the images have let it go.
    std::shared_ptr<std::uint32_t[]> freeBuffer();
    // Makes `buffer` the picture's, the one left the spare.
    void moveTo(std::shared_ptr<std::uint32_t[]> buffer);
    std::uint32_t* lineIn(std::uint32_t* buffer, std::int64_t bufferLine) const;

    std::int64_t m_width;
    std::int64_t m_height;
    std::shared_ptr<std::uint32_t[]> m_buffer;
    // The buffer the picture left when it last moved on, kept while shown
    // and then moved into again: a new buffer every 64 rows would be fresh
    // memory each time, with a page fault for each of its pages.
    std::shared_ptr<std::uint32_t[]> m_spare;
    // The buffer line that is the picture's top line.
    std::int64_t m_top = slackLines;
};
