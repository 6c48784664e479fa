#pragma once
// Slows the rows of a server that sends at its own rate down to a chosen
// number a second: the rows that come within one interval become one row,
// their levels averaged in dB. A row of another place or size starts over.

#include "model/ReceiverModel.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

class WaterfallRowAverager {
public:
    // Rows a second out; none passes every row on.
    void setRowsPerSecond(std::optional<double> rowsPerSecond);

    // Takes a row that came at `seconds` (any steady clock); gives the
    // average once its interval is full.
    std::optional<WaterfallRow> add(const WaterfallRow& row, double seconds);

private:
    void startOver(const WaterfallRow& row);

    std::optional<double> m_intervalSeconds;
    // The sums of the gathered rows' bins, and the first of them for its place.
    std::vector<double> m_sums;
    WaterfallRow m_first;
    std::uint32_t m_count = 0;
    // When the gathered rows become one; not a number before the first row.
    double m_dueSeconds = std::numeric_limits<double>::quiet_NaN();
};
