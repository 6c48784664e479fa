#pragma once
// What one OpenWebRX message means to the session, read on the network
// thread: only these values cross to the GUI thread, and the message's JSON is
// freed where it was parsed.

#include "model/ReceiverProfile.h"
#include "openwebrx/OpenWebRXDecoders.h"
#include "openwebrx/OpenWebRXSessionValues.h"
#include "model/ReceiverLabels.h"

#include <QList>
#include <QSet>
#include <QString>

#include <cstdint>
#include <optional>
#include <variant>

struct OpenWebRXMessage;

struct OpenWebRXVersion {
    QString text; // "OpenWebRX " and the server's version
};
// "receiver_details": a member the message lacks leaves the info's as it was.
struct OpenWebRXDetails {
    std::optional<QString> name;
    std::optional<QString> location;
    std::optional<QString> grid;
    std::optional<QString> gps;
};
struct OpenWebRXClients {
    std::optional<std::int64_t> count;
};
// "cpuusage" (a fraction of the machine) and "temperature" (°C), range-checked.
struct OpenWebRXCPUUsage {
    double percent = 0;
};
struct OpenWebRXTemperature {
    double celsius = 0;
};
struct OpenWebRXSMeter {
    double level = 0;
};
// "backoff" or "sdr_error": the session fails with this text.
struct OpenWebRXFailure {
    QString text;
};

// "bookmarks" and "dial_frequencies": each replaces its own list.
struct OpenWebRXBookmarks {
    std::vector<FrequencyLabel> labels;
};
struct OpenWebRXDialFrequencies {
    std::vector<FrequencyLabel> labels;
};

// "features": the names of those the server has.
struct OpenWebRXFeatures {
    QSet<QString> available;
};

using OpenWebRXEvent = std::variant<OpenWebRXVersion, OpenWebRXConfigValues, OpenWebRXDetails, OpenWebRXClients,
    OpenWebRXSMeter, QList<ReceiverProfile>, OpenWebRXModes, OpenWebRXFeatures, OpenWebRXDecoderConfig,
    OpenWebRXFailure, OpenWebRXBookmarks, OpenWebRXDialFrequencies, OpenWebRXCPUUsage, OpenWebRXTemperature>;

// No value for a message the session has no use for. A decoder's output
// ("secondary_demod") is read on its own (OpenWebRXDecoders.h).
std::optional<OpenWebRXEvent> readOpenWebRXEvent(const OpenWebRXMessage& message);
