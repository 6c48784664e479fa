#pragma once
// The OpenWebRX wire format from the server's side: typed binary frames (the
// first byte is the type), the waterfall payloads, and the audio stream whose
// ADPCM carries a "SYNC" state block before every run of 1001 code bytes.
// Pure functions and plain values.

#include "ImaAdpcmEncoder.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

enum class OpenWebRXFrameType : std::uint8_t { waterfall = 1, audio = 2, decoderSpectrum = 3, hdAudio = 4 };

QByteArray openWebRXFrame(OpenWebRXFrameType type, std::span<const std::uint8_t> payload);

// Levels in dB as little-endian 32-bit floats.
std::vector<std::uint8_t> openWebRXFloatWaterfall(std::span<const float> levels);

// Levels in hundredths of a dB, ADPCM-coded from a zero state. Ten warm-up
// samples (the first level repeated) come first: the coder needs them to
// reach the level, and a client discards them.
inline constexpr std::size_t openWebRXWaterfallWarmUp = 10;
std::vector<std::uint8_t> openWebRXCompressedWaterfall(std::span<const float> levels);

// Signed 16-bit little-endian samples.
std::vector<std::uint8_t> openWebRXPcm16(std::span<const std::int16_t> samples);

// The ADPCM audio stream of one listener: the coder's state travels in a
// state block ("SYNC", step index and predictor, 16-bit little-endian) at the
// start and again after every 1001 code bytes.
class OpenWebRXAudioEncoder {
public:
    static constexpr std::size_t codeBytesPerBlock = 1001;
    static constexpr std::size_t syncBlockSize = 8;

    struct Encoded {
        std::vector<std::uint8_t> bytes;
        // Where each state block starts within `bytes`.
        std::vector<std::size_t> syncOffsets;
    };

    // An even number of samples gives whole code bytes; an odd last sample is
    // coded twice.
    Encoded encode(std::span<const std::int16_t> samples);

private:
    ImaAdpcmEncoder coder_;
    std::size_t untilSync_ = 0;
};

// Whether every value of the member `key` in a JSON text is written as an
// integer (no fraction, no exponent), as a strict JSON reader would take it;
// false when the member is missing.
bool isJsonIntegerMember(const QString& json, const QString& key);
