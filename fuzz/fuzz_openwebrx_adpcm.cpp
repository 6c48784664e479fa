// Arbitrary ADPCM bytes through both decoding forms and the audio decoding
// that picks one of them. The synced and the audio forms are fed in pieces
// whose lengths come from the first input bytes and must give the same samples
// and state as one call over the whole stream; the audio form must give what
// the form its first four bytes call for gives.
#include "openwebrx/OpenWebRXADPCMDecoder.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 4)
        return 0;
    const std::span<const std::uint8_t> pieceLengths(data, 4);
    const std::span<const std::uint8_t> stream(data + 4, size - 4);

    const std::vector<std::int16_t> plain = OpenWebRXADPCMDecoder{}.decodePlain(stream);
    if (plain.size() != 2 * stream.size())
        std::abort();

    OpenWebRXADPCMDecoder whole;
    const std::vector<std::int16_t> expected = whole.decodeSynced(stream);

    using Decode = void (OpenWebRXADPCMDecoder::*)(std::span<const std::uint8_t>, std::vector<std::int16_t>&);
    const auto decodeInPieces = [&](OpenWebRXADPCMDecoder& decoder, Decode decode) {
        std::vector<std::int16_t> samples;
        std::size_t from = 0;
        for (std::size_t piece = 0; from < stream.size(); ++piece) {
            const std::size_t length = std::min<std::size_t>(pieceLengths[piece % 4] * 8u + piece % 3,
                                                             stream.size() - from);
            (decoder.*decode)(stream.subspan(from, length), samples);
            from += length;
        }
        return samples;
    };

    OpenWebRXADPCMDecoder split;
    if (decodeInPieces(split, &OpenWebRXADPCMDecoder::decodeSynced) != expected || !(split == whole))
        std::abort();

    const std::span<const std::uint8_t> marker(OpenWebRXADPCMDecoder::syncMarker);
    const std::size_t lead = std::min(stream.size(), marker.size());
    const bool mayBeSynced = std::equal(stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(lead),
                                        marker.begin());
    OpenWebRXADPCMDecoder audio;
    const std::vector<std::int16_t> audioSamples =
        decodeInPieces(audio, &OpenWebRXADPCMDecoder::decodeAudio);
    if (mayBeSynced && lead < marker.size()) {
        if (audio.framing || !audioSamples.empty())
            std::abort();
    } else if (mayBeSynced) {
        if (audio.framing != AudioFraming::adpcmWithSync || audioSamples != expected)
            std::abort();
    } else if (audio.framing != AudioFraming::plainADPCM || audioSamples != plain) {
        std::abort();
    }
    if (whole.stepIndex < -32768 || whole.stepIndex > 32767 || whole.predictor < -32768
        || whole.predictor > 32767 || whole.bytesUntilSync > 1000)
        std::abort();
    return 0;
}
