#include "display/WaterfallRowAverager.h"

#include <cmath>
#include <limits>

void WaterfallRowAverager::setRowsPerSecond(std::optional<double> rowsPerSecond)
{
    m_count = 0;
    m_dueSeconds = std::numeric_limits<double>::quiet_NaN();
    if (rowsPerSecond && std::isfinite(*rowsPerSecond) && *rowsPerSecond > 0)
        m_intervalSeconds = 1 / *rowsPerSecond;
    else
        m_intervalSeconds.reset();
}

void WaterfallRowAverager::startOver(const WaterfallRow& row)
{
    m_first.startHz = row.startHz;
    m_first.spanHz = row.spanHz;
    m_first.zoom = row.zoom;
    m_first.sequence = row.sequence;
    m_sums.assign(row.bins.begin(), row.bins.end());
    m_count = 1;
}

std::optional<WaterfallRow> WaterfallRowAverager::add(const WaterfallRow& row, double seconds)
{
    if (!m_intervalSeconds)
        return row;
    const bool elsewhere = row.bins.size() != m_sums.size() || row.startHz != m_first.startHz
        || row.spanHz != m_first.spanHz;
    if (m_count == 0 || elsewhere) {
        // The intervals follow on from each other, unless the picture moved
        // or rows stopped coming for a while.
        if (m_count != 0 || elsewhere || !(seconds < m_dueSeconds + *m_intervalSeconds))
            m_dueSeconds = seconds + *m_intervalSeconds;
        startOver(row);
    } else {
        for (std::size_t i = 0; i < m_sums.size(); ++i)
            m_sums[i] += row.bins[i];
        ++m_count;
    }
    if (seconds < m_dueSeconds)
        return std::nullopt;
    WaterfallRow averaged = m_first;
    averaged.sequence = row.sequence;
    averaged.bins.resize(m_sums.size());
    for (std::size_t i = 0; i < m_sums.size(); ++i)
        averaged.bins[i] = static_cast<float>(m_sums[i] / m_count);
    m_count = 0;
    m_dueSeconds += *m_intervalSeconds;
    return averaged;
}
