#include "openwebrx/OpenWebRXADPCMDecoder.h"

#include "audio/ImaAdpcm.h"

#include <algorithm>
#include <utility>

namespace {

// Code bytes decoded after each state block: the countdown starts here and
// the byte on which it reads 0 is still decoded.
constexpr int codeBytesAfterState = 1000;

// The decoding state kept in registers while a run of codes is decoded.
struct Codec {
    int stepIndex;
    int predictor;

    explicit Codec(const OpenWebRXADPCMDecoder& decoder)
        // Anything beyond these bounds decodes exactly like the bound itself,
        // and keeping to them rules out overflow in the index update.
        : stepIndex(std::clamp(decoder.stepIndex, -16, imaMaxStepIndex + 16))
        , predictor(std::clamp(decoder.predictor, -32768, 32767))
    {
    }

    void storeInto(OpenWebRXADPCMDecoder& decoder) const
    {
        decoder.stepIndex = stepIndex;
        decoder.predictor = predictor;
    }

    // Two samples per byte, low nibble first.
    std::int16_t* decodeBytes(const std::uint8_t* in, std::size_t count, std::int16_t* out)
    {
        for (std::size_t i = 0; i < count; ++i) {
            const unsigned byte = in[i];
            *out++ = static_cast<std::int16_t>(imaDecodeCode(stepIndex, predictor, byte));
            *out++ = static_cast<std::int16_t>(imaDecodeCode(stepIndex, predictor, byte >> 4));
        }
        return out;
    }
};

std::int16_t readInt16LE(std::uint8_t low, std::uint8_t high)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(low | (high << 8)));
}

// Makes room for two samples per input byte; returns where they go.
std::int16_t* reserveTail(std::vector<std::int16_t>& out, std::size_t byteCount)
{
    const std::size_t start = out.size();
    out.resize(start + 2 * byteCount);
    return out.data() + start;
}

} // namespace

std::vector<std::int16_t> OpenWebRXADPCMDecoder::decodePlain(std::span<const std::uint8_t> bytes)
{
    std::vector<std::int16_t> samples;
    decodePlain(bytes, samples);
    return samples;
}

void OpenWebRXADPCMDecoder::decodePlain(std::span<const std::uint8_t> bytes,
                                        std::vector<std::int16_t>& appendTo)
{
    if (bytes.empty())
        return;
    std::int16_t* out = reserveTail(appendTo, bytes.size());
    Codec codec(*this);
    codec.decodeBytes(bytes.data(), bytes.size(), out);
    codec.storeInto(*this);
}

std::vector<std::int16_t> OpenWebRXADPCMDecoder::decodeSynced(std::span<const std::uint8_t> bytes)
{
    std::vector<std::int16_t> samples;
    decodeSynced(bytes, samples);
    return samples;
}

void OpenWebRXADPCMDecoder::decodeSynced(std::span<const std::uint8_t> bytes,
                                         std::vector<std::int16_t>& appendTo)
{
    if (bytes.empty())
        return;
    const std::size_t start = appendTo.size();
    std::int16_t* const first = reserveTail(appendTo, bytes.size());
    std::int16_t* out = first;
    const std::uint8_t* in = bytes.data();
    const std::uint8_t* const end = in + bytes.size();

    while (in != end) {
        switch (phase) {
        case Phase::searching:
            // A mismatching byte resets the match and is not itself retried
            // as the first marker byte.
            matched = std::clamp(matched, 0, 3);
            while (in != end) {
                if (*in++ != syncMarker[static_cast<std::size_t>(matched)]) {
                    matched = 0;
                } else if (++matched == static_cast<int>(syncMarker.size())) {
                    syncStateSize = 0;
                    phase = Phase::readingState;
                    break;
                }
            }
            break;
        case Phase::readingState:
            syncStateSize = std::clamp(syncStateSize, 0, 3);
            while (in != end) {
                syncState[static_cast<std::size_t>(syncStateSize++)] = *in++;
                if (syncStateSize == static_cast<int>(syncState.size())) {
                    stepIndex = readInt16LE(syncState[0], syncState[1]);
                    predictor = readInt16LE(syncState[2], syncState[3]);
                    bytesUntilSync = codeBytesAfterState;
                    phase = Phase::decoding;
                    break;
                }
            }
            break;
        case Phase::decoding: {
            // The byte on which the countdown reads 0 is the run's last.
            const std::size_t left = static_cast<std::size_t>(std::max(bytesUntilSync, 0)) + 1;
            const std::size_t available = static_cast<std::size_t>(end - in);
            const std::size_t count = std::min(left, available);
            Codec codec(*this);
            out = codec.decodeBytes(in, count, out);
            codec.storeInto(*this);
            in += count;
            bytesUntilSync = std::max(bytesUntilSync, 0) - static_cast<int>(count);
            if (count == left) {
                matched = 0;
                phase = Phase::searching;
            }
            break;
        }
        }
    }
    appendTo.resize(start + static_cast<std::size_t>(out - first));
}

std::vector<std::int16_t> OpenWebRXADPCMDecoder::decodeAudio(std::span<const std::uint8_t> bytes)
{
    std::vector<std::int16_t> samples;
    decodeAudio(bytes, samples);
    return samples;
}

void OpenWebRXADPCMDecoder::decodeAudio(std::span<const std::uint8_t> bytes,
                                        std::vector<std::int16_t>& appendTo)
{
    if (!framing) {
        // While undecided, every byte so far matched the marker: the bytes
        // held back are its first `matched`.
        matched = std::clamp(matched, 0, 3);
        std::size_t used = 0;
        while (used < bytes.size() && bytes[used] == syncMarker[static_cast<std::size_t>(matched)]) {
            ++used;
            if (++matched == static_cast<int>(syncMarker.size()))
                break;
        }
        if (matched == static_cast<int>(syncMarker.size())) {
            framing = AudioFraming::adpcmWithSync;
            syncStateSize = 0;
            phase = Phase::readingState;
        } else if (used < bytes.size()) {
            framing = AudioFraming::plainADPCM;
            const auto held = static_cast<std::size_t>(std::exchange(matched, 0));
            decodePlain(std::span(syncMarker).first(held), appendTo);
        } else {
            return;
        }
        bytes = bytes.subspan(used);
    }
    if (*framing == AudioFraming::adpcmWithSync)
        decodeSynced(bytes, appendTo);
    else
        decodePlain(bytes, appendTo);
}
