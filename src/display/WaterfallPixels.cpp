#include "display/WaterfallPixels.h"

#include <QColorSpace>

#include <algorithm>
#include <cstring>
#include <new>

namespace {

std::shared_ptr<std::uint32_t[]> allocate(std::int64_t width, std::int64_t height)
{
    auto* pixels = new (std::nothrow) std::uint32_t[static_cast<std::size_t>(width * (height + WaterfallPixels::slackLines))];
    return std::shared_ptr<std::uint32_t[]>(pixels);
}

void releaseView(void* keeper)
{
    delete static_cast<std::shared_ptr<const std::uint32_t[]>*>(keeper);
}

} // namespace

WaterfallPixels::WaterfallPixels(std::int64_t width, std::int64_t height)
    : m_width(width)
    , m_height(height)
    , m_buffer(allocate(width, height))
{
    fill(black);
}

std::uint32_t* WaterfallPixels::lineIn(std::uint32_t* buffer, std::int64_t bufferLine) const
{
    return buffer + bufferLine * m_width;
}

std::shared_ptr<std::uint32_t[]> WaterfallPixels::freeBuffer()
{
    if (m_spare && m_spare.use_count() == 1)
        return std::move(m_spare);
    m_spare.reset();
    return allocate(m_width, m_height);
}

void WaterfallPixels::moveTo(std::shared_ptr<std::uint32_t[]> buffer)
{
    m_spare = std::move(m_buffer);
    m_buffer = std::move(buffer);
}

std::uint32_t* WaterfallPixels::ownLines()
{
    if (m_buffer && m_buffer.use_count() > 1) {
        auto own = freeBuffer();
        if (own)
            std::memcpy(lineIn(own.get(), m_top), lineIn(m_buffer.get(), m_top),
                static_cast<std::size_t>(m_width * m_height) * sizeof(std::uint32_t));
        moveTo(std::move(own));
    }
    return m_buffer.get();
}

std::uint32_t* WaterfallPixels::scrollDown()
{
    if (!m_buffer)
        return nullptr;
    if (m_top == 0) {
        // The kept lines go to the bottom of the buffer; a shown image keeps
        // the old buffer, so they are copied into a new one instead.
        const auto kept = static_cast<std::size_t>(m_width * (m_height - 1)) * sizeof(std::uint32_t);
        if (m_buffer.use_count() > 1) {
            auto next = freeBuffer();
            if (next)
                std::memcpy(lineIn(next.get(), slackLines + 1), m_buffer.get(), kept);
            moveTo(std::move(next));
            if (!m_buffer)
                return nullptr;
        } else {
            std::memmove(lineIn(m_buffer.get(), slackLines + 1), m_buffer.get(), kept);
        }
        m_top = slackLines + 1;
    }
    --m_top;
    return lineIn(m_buffer.get(), m_top);
}

std::uint32_t* WaterfallPixels::line(std::int64_t y)
{
    if (y < 0 || y >= m_height)
        return nullptr;
    std::uint32_t* buffer = ownLines();
    return buffer ? lineIn(buffer, m_top + y) : nullptr;
}

void WaterfallPixels::fill(std::uint32_t colour)
{
    // Every line is written, so nothing of a shown buffer needs copying.
    if (m_buffer.use_count() > 1)
        moveTo(freeBuffer());
    if (m_buffer)
        std::fill_n(lineIn(m_buffer.get(), m_top), m_width * m_height, colour);
}

QImage WaterfallPixels::image() const
{
    if (!m_buffer)
        return QImage();
    static const QColorSpace sRgb(QColorSpace::SRgb);
    QImage view(reinterpret_cast<const uchar*>(lineIn(m_buffer.get(), m_top)), static_cast<int>(m_width),
        static_cast<int>(m_height), static_cast<qsizetype>(m_width * 4), QImage::Format_RGB32, releaseView,
        new std::shared_ptr<const std::uint32_t[]>(m_buffer));
    view.setColorSpace(sRgb);
    return view;
}
