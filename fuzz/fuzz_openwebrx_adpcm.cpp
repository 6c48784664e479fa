// Arbitrary ADPCM bytes through both decoding forms. The synced form is fed
// in pieces whose lengths come from the first input bytes and must give the
// same samples and state as one call over the whole stream.
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

    OpenWebRXADPCMDecoder plain;
    if (plain.decodePlain(stream).size() != 2 * stream.size())
        std::abort();

    OpenWebRXADPCMDecoder whole;
    const std::vector<std::int16_t> expected = whole.decodeSynced(stream);

    OpenWebRXADPCMDecoder split;
    std::vector<std::int16_t> samples;
    std::size_t from = 0;
    for (std::size_t piece = 0; from < stream.size(); ++piece) {
        const std::size_t length = std::min<std::size_t>(pieceLengths[piece % 4] * 8u + piece % 3,
                                                         stream.size() - from);
        split.decodeSynced(stream.subspan(from, length), samples);
        from += length;
    }
    if (samples != expected || !(split == whole))
        std::abort();
    if (whole.stepIndex < -32768 || whole.stepIndex > 32767 || whole.predictor < -32768
        || whole.predictor > 32767 || whole.bytesUntilSync > 1000)
        std::abort();
    return 0;
}
