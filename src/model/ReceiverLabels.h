#pragma once
// The labels a receiver sends for its scale: band bars (a KiwiSDR's
// "load_dxcfg"), bookmarks and the dial frequencies of digital modes (an
// OpenWebRX server's). Each kind reads them off untrusted text, bounded as
// every scale label is (model/ScaleLabels.h).

#include "model/ScaleLabels.h"

#include <vector>

struct ReceiverLabels {
    std::vector<BandBar> bands;
    std::vector<FrequencyLabel> bookmarks;
    std::vector<FrequencyLabel> dialFrequencies;
    friend bool operator==(const ReceiverLabels&, const ReceiverLabels&) = default;
};
