#include "audio/TestTonePlayer.h"

#include "audio/FloatPullSource.h"

#include <QAudioFormat>

#include <cmath>
#include <numbers>

namespace {

constexpr double twoPi = 2.0 * std::numbers::pi;

} // namespace

ToneGenerator::ToneGenerator(double sampleRate)
    : increment(twoPi * frequencyHz / sampleRate)
{
}

void ToneGenerator::render(float* out, std::size_t frames)
{
    for (std::size_t i = 0; i < frames; ++i) {
        const double s = std::sin(phase);
        phase += increment;
        if (phase >= twoPi)
            phase = std::fmod(phase, twoPi);
        out[i] = static_cast<float>(amplitude * s);
    }
}

TestTonePlayer::TestTonePlayer() = default;
TestTonePlayer::~TestTonePlayer() = default;

void TestTonePlayer::start(const std::optional<AudioDeviceID>& id)
{
    if (engine)
        return;
    const QAudioDevice device = AudioSinkThread::resolveDevice(id);
    const int rate = device.preferredFormat().sampleRate();
    if (device.isNull() || rate <= 0)
        return;
    QAudioFormat format;
    format.setSampleRate(rate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Float);
    auto output = std::make_unique<AudioSinkThread>();
    if (output->start(device, format, [rate] {
            return std::make_unique<FloatPullSource>(
                [tone = ToneGenerator(rate)](float* out, std::size_t frames) mutable { tone.render(out, frames); });
        }))
        return;
    engine = std::move(output);
}

void TestTonePlayer::stop()
{
    engine.reset();
}
