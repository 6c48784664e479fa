// Feeds the Kiwi sound pipeline arbitrary "audio_adpcm_state" parameters and
// payloads under every layout and checks that every sample is a finite value
// within -1..1 and the decoder state stays in its ranges.
//
// Input: one flags byte, one length byte n, n bytes of "MSG" text, then the
// payload.

#include "kiwisdr/KiwiSoundPipeline.h"
#include "kiwisdr/KiwiFrames.h"

#include <QString>
#include <QStringTokenizer>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <vector>

namespace {

class CheckingSink : public SoundSink {
public:
    std::optional<AudioOutputError> start(double) override { return std::nullopt; }
    std::size_t lastCount = 0;

    void enqueue(std::span<const float> samples) override
    {
        for (const float sample : samples) {
            if (!std::isfinite(sample) || sample < -1.0f || sample > 1.0f)
                std::abort();
        }
        lastCount = samples.size();
    }
};

void checkState(const KiwiADPCMDecoder& state)
{
    if (state.index < 0 || state.index > 88 || state.previous < -32768 || state.previous > 32767)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const std::uint8_t flags = data[0];
    const std::size_t textSize = std::min<std::size_t>(data[1], size - 2);
    const auto text = QString::fromUtf8(reinterpret_cast<const char*>(data + 2), static_cast<qsizetype>(textSize));
    const std::span<const std::uint8_t> payload(data + 2 + textSize, size - 2 - textSize);

    // The whole text as one state value, and each word as a parameter of its own.
    std::vector<KiwiParam> params{KiwiParam{QStringLiteral("audio_adpcm_state"), text}};
    for (const QStringView word : QStringTokenizer(text, u' ', Qt::SkipEmptyParts))
        params.push_back(parseParam(word.toString()));

    const auto sink = std::make_shared<CheckingSink>();
    KiwiSoundPipeline pipeline(sink);
    pipeline.applyParameters(params);
    checkState(pipeline.decoderState());

    const std::uint8_t layouts[] = {flags, KiwiSoundFrame::flagADPCM, KiwiSoundFrame::flagStereoPairs, 0};
    for (const std::uint8_t layout : layouts) {
        KiwiSoundFrame frame;
        frame.flags = layout;
        frame.payload = payload;
        pipeline.processSoundFrame(frame);
        checkState(pipeline.decoderState());

        std::size_t expected = payload.size() / 2;
        if (layout & KiwiSoundFrame::flagStereoPairs)
            expected = payload.size() < 12 ? 0 : (payload.size() - 12) / 4 + 1;
        else if (layout & KiwiSoundFrame::flagADPCM)
            expected = payload.size() * 2;
        if (sink->lastCount != expected)
            std::abort();
    }
    return 0;
}
