#include "display/WaterfallLevels.h"

#include <algorithm>
#include <cstring>

WaterfallLevels::WaterfallLevels(std::int64_t width, std::int64_t height)
    : m_width(width)
    , m_height(height)
    , m_levels(static_cast<std::size_t>(width * height))
{
}

std::uint8_t* WaterfallLevels::lineAt(std::int64_t slot)
{
    return m_levels.data() + slot * m_width;
}

const std::uint8_t* WaterfallLevels::line(std::int64_t age) const
{
    return m_levels.data() + ((m_newest + age) % m_height) * m_width;
}

void WaterfallLevels::push(const std::vector<std::uint8_t>& columns)
{
    if (static_cast<std::int64_t>(columns.size()) != m_width)
        return;
    m_newest = (m_newest + m_height - 1) % m_height;
    std::memcpy(lineAt(m_newest), columns.data(), columns.size());
    m_count = std::min(m_count + 1, m_height);
}

void WaterfallLevels::shift(std::int64_t px)
{
    const std::int64_t n = px < 0 ? -px : px;
    if (n == 0)
        return;
    if (n >= m_width) {
        clear();
        return;
    }
    const auto kept = static_cast<std::size_t>(m_width - n);
    for (std::int64_t age = 0; age < m_count; ++age) {
        std::uint8_t* levels = lineAt((m_newest + age) % m_height);
        if (px < 0) {
            std::memmove(levels, levels + n, kept);
            std::fill(levels + kept, levels + m_width, std::uint8_t{0});
        } else {
            std::memmove(levels + n, levels, kept);
            std::fill(levels, levels + n, std::uint8_t{0});
        }
    }
}

void WaterfallLevels::clear()
{
    m_count = 0;
}
