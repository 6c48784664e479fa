// Any bytes a server sends on a sound or waterfall channel go through parse.
#include "kiwisdr/KiwiFrames.h"

#include <cstddef>
#include <cstdint>

namespace {

struct Visitor {
    std::size_t& sink;

    void operator()(const KiwiParams& params) const
    {
        for (const KiwiParam& p : params)
            sink += std::size_t(p.key.size()) + (p.value ? std::size_t(p.value->size()) + 1 : 0);
    }
    void operator()(const KiwiSoundFrame& frame) const
    {
        sink += frame.flags + frame.sequence + std::size_t(frame.rssi > 0);
        for (const std::uint8_t b : frame.payload)
            sink += b;
    }
    void operator()(const KiwiWaterfallFrame& frame) const
    {
        sink += frame.xBin + std::size_t(frame.zoom) + frame.sequence;
        for (const std::uint8_t b : frame.bins)
            sink += b;
    }
    void operator()(const KiwiOtherFrame& frame) const { sink += std::size_t(frame.tag.size()); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A raw view of the input, so that reading past its end is caught.
    const QByteArray message = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    std::size_t sink = 0;
    if (const std::optional<KiwiMessage> parsed = parse(message))
        std::visit(Visitor{sink}, *parsed);
    volatile std::size_t keep = sink;
    (void)keep;
    return 0;
}
