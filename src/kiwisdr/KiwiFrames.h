#pragma once
// The binary messages a KiwiSDR server sends on its sound and waterfall
// channels, decoded into plain values. Parsing is pure: no state, no errors.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <span>
#include <variant>
#include <vector>

// One word of a "MSG" frame: key=value, or a bare key with no value.
struct KiwiParam {
    QString key;
    std::optional<QString> value;
    friend bool operator==(const KiwiParam&, const KiwiParam&) = default;
};

// One "SND" frame. `payload` is a view into the message bytes it was parsed
// from, so the caller keeps that QByteArray alive while using the frame.
struct KiwiSoundFrame {
    std::uint8_t flags = 0;
    std::uint32_t sequence = 0;
    double rssi = 0;
    std::span<const std::uint8_t> payload;

    static constexpr std::uint8_t flagOverload = 0x02;
    static constexpr std::uint8_t flagStereoPairs = 0x08;
    static constexpr std::uint8_t flagADPCM = 0x10;
};

// One "W/F" frame; the bins are copied out of the message.
struct KiwiWaterfallFrame {
    std::uint32_t xBin = 0;
    int zoom = 0;
    std::uint32_t sequence = 0;
    std::vector<std::uint8_t> bins;
    friend bool operator==(const KiwiWaterfallFrame&, const KiwiWaterfallFrame&) = default;
};

// A frame with a tag we do not use.
struct KiwiOtherFrame {
    QString tag;
    friend bool operator==(const KiwiOtherFrame&, const KiwiOtherFrame&) = default;
};

using KiwiParams = std::vector<KiwiParam>;
// A receiver sends a handful of words per "MSG"; words past this many are
// dropped unread.
inline constexpr std::size_t maxKiwiParamsPerMessage = 64;
using KiwiMessage = std::variant<KiwiParams, KiwiSoundFrame, KiwiWaterfallFrame, KiwiOtherFrame>;

// One received WebSocket message (binary, or text handed over as its UTF-8
// bytes). No value when it is too short for its kind.
std::optional<KiwiMessage> parse(const QByteArray& message);

// One space-separated word of a "MSG" text.
KiwiParam parseParam(const QString& word);
