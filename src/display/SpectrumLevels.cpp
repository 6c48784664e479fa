#include "display/SpectrumLevels.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double unknown = std::numeric_limits<double>::quiet_NaN();

void shiftValues(std::vector<double>& values, std::int64_t px)
{
    const auto count = static_cast<std::ptrdiff_t>(px < 0 ? -px : px);
    if (count == 0 || values.empty())
        return;
    if (count >= static_cast<std::ptrdiff_t>(values.size())) {
        std::fill(values.begin(), values.end(), unknown);
        return;
    }
    if (px < 0) {
        std::move(values.begin() + count, values.end(), values.begin());
        std::fill(values.end() - count, values.end(), unknown);
    } else {
        std::move_backward(values.begin(), values.end() - count, values.end());
        std::fill(values.begin(), values.begin() + count, unknown);
    }
}

} // namespace

double SpectrumLevels::newRowWeight(SpectrumAveraging averaging)
{
    switch (averaging) {
    case SpectrumAveraging::off:
        break;
    case SpectrumAveraging::light:
        return 0.15;
    case SpectrumAveraging::heavy:
        return 0.04;
    }
    return 0.4;
}

void SpectrumLevels::setPeakHold(bool on)
{
    m_peakHold = on;
    if (on)
        clearPeaks();
    else
        m_peaks.clear();
}

void SpectrumLevels::clearPeaks()
{
    if (m_peakHold)
        m_peaks = m_values;
}

void SpectrumLevels::add(const std::vector<std::uint8_t>& columns)
{
    if (m_values.size() != columns.size()) {
        m_values.resize(columns.size());
        for (std::size_t x = 0; x < columns.size(); ++x)
            m_values[x] = columns[x] - 255.0;
    } else {
        const double weight = newRowWeight(m_averaging);
        for (std::size_t x = 0; x < columns.size(); ++x) {
            const double level = columns[x] - 255.0;
            m_values[x] = std::isnan(m_values[x]) ? level : (1 - weight) * m_values[x] + weight * level;
        }
    }
    if (!m_peakHold)
        return;
    if (m_peaks.size() != m_values.size()) {
        m_peaks = m_values;
        return;
    }
    for (std::size_t x = 0; x < m_values.size(); ++x) {
        // An unknown peak (moved in by a pan) takes the average at once.
        const double sunk = m_peaks[x] - peakDecayDB;
        m_peaks[x] = std::isnan(sunk) ? m_values[x] : std::max(sunk, m_values[x]);
    }
}

void SpectrumLevels::shift(std::int64_t px)
{
    shiftValues(m_values, px);
    shiftValues(m_peaks, px);
}

void SpectrumLevels::clear()
{
    m_values.clear();
    m_peaks.clear();
}
