#pragma once
// IMA ADPCM as OpenWebRX sends it: plain codes for waterfall frames, and for
// audio either a stream in which a "SYNC" marker and the encoder's state
// precede every run of 1001 code bytes (servers since 1.2) or one plain stream
// whose state runs on from the start of the connection (older servers). The
// codes decode as the KiwiSDR's do (audio/ImaAdpcm.h); this adds the framing.
// The decoder is a plain value; its state carries from call to call, so a
// marker or state block may be split across frames.

#include "model/ReceiverModel.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

struct OpenWebRXADPCMDecoder {
    enum class Phase { searching, readingState, decoding };

    static constexpr std::array<std::uint8_t, 4> syncMarker{'S', 'Y', 'N', 'C'};

    // Index into the step table: 0..88 after every code, but whatever 16-bit
    // value a state block carried until the next code; lookups clamp it.
    int stepIndex = 0;
    // The last output sample.
    int predictor = 0;
    Phase phase = Phase::searching;
    // Marker bytes matched so far.
    int matched = 0;
    // State block bytes collected so far: the first `syncStateSize` of `syncState`.
    std::array<std::uint8_t, 4> syncState{};
    int syncStateSize = 0;
    // Code bytes left before the search for the next marker starts.
    int bytesUntilSync = 0;
    // The audio stream's framing, once its first bytes have told it.
    std::optional<AudioFraming> framing;

    // Two samples per byte, low nibble first; no sync handling.
    std::vector<std::int16_t> decodePlain(std::span<const std::uint8_t> bytes);
    void decodePlain(std::span<const std::uint8_t> bytes, std::vector<std::int16_t>& appendTo);

    // Two samples per code byte; marker and state bytes, and bytes outside a
    // run that follows a state block, give none.
    std::vector<std::int16_t> decodeSynced(std::span<const std::uint8_t> bytes);
    void decodeSynced(std::span<const std::uint8_t> bytes, std::vector<std::int16_t>& appendTo);

    // A connection's audio: a stream whose first four bytes are "SYNC" is
    // decoded with `decodeSynced`, any other with `decodePlain`. While the
    // bytes so far could still begin the marker, `framing` stays open and they
    // give no samples yet (`matched` counts them); once decided, it is kept.
    std::vector<std::int16_t> decodeAudio(std::span<const std::uint8_t> bytes);
    void decodeAudio(std::span<const std::uint8_t> bytes, std::vector<std::int16_t>& appendTo);

    friend bool operator==(const OpenWebRXADPCMDecoder&, const OpenWebRXADPCMDecoder&) = default;
};
