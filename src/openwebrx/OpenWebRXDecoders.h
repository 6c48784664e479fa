#pragma once
// What an OpenWebRX server says about its decoders, read off its JSON: the
// "modes" list (analog modes and "digimode" decoders), the "features" it has,
// "secondary_config" of the chosen decoder's channel, and "secondary_demod",
// the decoder's output. Pure functions; every value is bounded and
// range-checked as server input.

#include "connection/JSONValue.h"
#include "model/DecoderOutput.h"
#include "model/ReceiverDecoders.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <variant>

// The "modes" list: the modulations of its analog elements, and its decoders
// with what each requires (in the same order), before the server's features
// are known.
struct OpenWebRXModes {
    QSet<QString> analog;
    QList<ReceiverDecoder> decoders;
    QList<QStringList> requirements;
    friend bool operator==(const OpenWebRXModes&, const OpenWebRXModes&) = default;
};
OpenWebRXModes readOpenWebRXModes(const std::optional<JSONValue>& value);

// The names of the features a "features" object says the server has.
QSet<QString> readOpenWebRXFeatures(const std::optional<JSONValue>& value);

// The decoders, each missing what it requires and the features lack; while
// the features are not known, nothing is missing.
QList<ReceiverDecoder> openWebRXDecoders(const OpenWebRXModes& modes, const std::optional<QSet<QString>>& features);

// One "secondary_config": each member it carries.
struct OpenWebRXDecoderConfig {
    std::optional<double> rateHz;         // "if_samp_rate"
    std::optional<double> bandwidthHz;    // "secondary_bw"
    friend bool operator==(const OpenWebRXDecoderConfig&, const OpenWebRXDecoderConfig&) = default;
};
OpenWebRXDecoderConfig readOpenWebRXDecoderConfig(const std::optional<JSONValue>& value);

// A "secondary_demod" value: a piece of text as sent (the caller cleans it
// with the pieces before it), or a message of fields; nothing for any other
// value. A message keeps its fields in key order within
// maxDecodedPieceLength characters; text values are made one plain line,
// other values compact JSON text.
using OpenWebRXDecode = std::variant<std::monostate, QString, DecodedMessage>;
OpenWebRXDecode readOpenWebRXDecode(const std::optional<JSONValue>& value);
