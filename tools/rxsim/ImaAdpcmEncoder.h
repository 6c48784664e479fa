#pragma once
// IMA (DVI) ADPCM encoding as a KiwiSDR sends it: two 4-bit codes per byte,
// low nibble first, the state carried from one frame to the next. Kept apart
// from the program's decoder on purpose, so that tests compare two
// independent implementations of the standard.

#include <cstdint>
#include <span>
#include <vector>

struct ImaAdpcmEncoder {
    // Position in the step-size table, 0..88.
    int index = 0;
    // The sample the decoder will have reconstructed last.
    int previous = 0;

    // Returns the 4-bit code for one sample and advances the state exactly as
    // a decoder will.
    std::uint8_t encodeSample(std::int16_t sample);

    // Two samples per byte; an odd last sample is padded with a repeat of
    // itself.
    std::vector<std::uint8_t> encode(std::span<const std::int16_t> samples);
};
