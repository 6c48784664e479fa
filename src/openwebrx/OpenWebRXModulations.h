#pragma once
// The names an OpenWebRX server gives its modulations, and our modes for them.

#include "model/Mode.h"

#include <QString>

#include <optional>

// OpenWebRX names its modulations differently; the narrow and wide variants
// collapse onto their base name and never come back from it.
QString openWebRXModulation(Mode mode);
std::optional<Mode> modeForOpenWebRXModulation(const QString& name);
