#pragma once
// IMA (DVI) ADPCM decoding of KiwiSDR audio: 4-bit codes, low nibble first,
// with the state carried from one frame to the next.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

struct KiwiADPCMDecoder {
    // Position in the step-size table, 0..88.
    std::int64_t index = 0;
    // The last reconstructed 16-bit sample (the predictor).
    std::int64_t previous = 0;

    // Two samples per byte, scaled to -1..1.
    std::vector<float> decodeBlock(std::span<const std::uint8_t> bytes);

    // The same into a caller's buffer: decodes as many whole bytes as `out`
    // has room for and returns the number of samples written.
    std::size_t decodeBlock(std::span<const std::uint8_t> bytes, std::span<float> out);

    friend bool operator==(const KiwiADPCMDecoder&, const KiwiADPCMDecoder&) = default;
};
