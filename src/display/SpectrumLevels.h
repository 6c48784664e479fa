#pragma once
// The spectrum under the waterfall: an exponential average in dB of the rows'
// levels per column, and optionally the highest average seen, sinking slowly.
// After the first row of a width nothing is allocated per row.

#include "model/WaterfallLook.h"

#include <cstdint>
#include <vector>

class SpectrumLevels {
public:
    // How much of each new row goes into the average. Off keeps the short
    // smoothing the trace always had.
    static double newRowWeight(SpectrumAveraging averaging);
    // How far a held peak sinks per row, in dB.
    static constexpr double peakDecayDB = 0.1;

    void setAveraging(SpectrumAveraging averaging) { m_averaging = averaging; }
    SpectrumAveraging averaging() const { return m_averaging; }
    // Turning it off forgets the peaks.
    void setPeakHold(bool on);
    bool peakHold() const { return m_peakHold; }
    // Starts the peaks over from the current average.
    void clearPeaks();

    // One row's levels as bin values (dB + 255).
    void add(const std::vector<std::uint8_t>& columns);
    // Moves the columns sideways by `px` (positive to the right); the columns
    // moved in are unknown (not a number) until the next row.
    void shift(std::int64_t px);
    void clear();

    // Empty until the first row.
    const std::vector<double>& values() const { return m_values; }
    // Empty unless peak hold is on.
    const std::vector<double>& peaks() const { return m_peaks; }

private:
    SpectrumAveraging m_averaging = SpectrumAveraging::off;
    bool m_peakHold = false;
    std::vector<double> m_values;
    std::vector<double> m_peaks;
};
