#pragma once
// The labels an OpenWebRX server sends for its scale, read off its JSON.

#include "connection/JSONValue.h"
#include "model/ScaleLabels.h"

#include <optional>
#include <vector>

// An OpenWebRX "bookmarks" value: elements with "name", "frequency" (Hz) and
// "modulation", which may be a decoder's.
std::vector<FrequencyLabel> readOpenWebRXBookmarks(const std::optional<JSONValue>& value);
// A "dial_frequencies" value: elements with "frequency" (Hz) and "mode", the
// mode's name as the label; a digital mode is listened to in USB, with the
// decoder of that name.
std::vector<FrequencyLabel> readOpenWebRXDialFrequencies(const std::optional<JSONValue>& value);
