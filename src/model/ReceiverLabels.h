#pragma once
// The labels a receiver sends for its scale: a KiwiSDR's band bars (in
// "load_dxcfg"), an OpenWebRX server's bookmarks and the dial frequencies of
// its digital modes. Read off untrusted text, bounded as every scale label
// is (model/ScaleLabels.h).

#include "model/ScaleLabels.h"
#include "connection/JSONValue.h"

#include <QString>

#include <optional>
#include <vector>

struct ReceiverLabels {
    std::vector<BandBar> bands;
    std::vector<FrequencyLabel> bookmarks;
    std::vector<FrequencyLabel> dialFrequencies;
    friend bool operator==(const ReceiverLabels&, const ReceiverLabels&) = default;
};

// An OpenWebRX "bookmarks" value: elements with "name", "frequency" (Hz) and
// "modulation".
std::vector<FrequencyLabel> readOpenWebRXBookmarks(const std::optional<JSONValue>& value);
// A "dial_frequencies" value: elements with "frequency" (Hz) and "mode", the
// mode's name as the label; a digital mode is listened to in USB.
std::vector<FrequencyLabel> readOpenWebRXDialFrequencies(const std::optional<JSONValue>& value);
// A KiwiSDR "load_dxcfg" value (percent-encoded JSON); none for one too long
// or unreadable.
std::optional<std::vector<BandBar>> readKiwiBandBars(const QString& loadDxcfgValue);
