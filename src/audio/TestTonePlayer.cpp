#include "audio/TestTonePlayer.h"

#include "audio/AudioOutputDevices.h"

#include <QAudioFormat>
#include <QIODevice>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <numbers>

namespace {

constexpr double twoPi = 2.0 * std::numbers::pi;

class ToneSource final : public QIODevice {
public:
    explicit ToneSource(double sampleRate)
        : tone(sampleRate)
    {
    }

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        if (maxSize <= 0)
            return 0;
        const std::size_t frames = static_cast<std::size_t>(maxSize) / sizeof(float);
        std::array<float, 1024> chunk;
        std::size_t done = 0;
        while (done < frames) {
            const std::size_t count = std::min(chunk.size(), frames - done);
            tone.render(chunk.data(), count);
            std::memcpy(data + done * sizeof(float), chunk.data(), count * sizeof(float));
            done += count;
        }
        return static_cast<qint64>(frames * sizeof(float));
    }

    qint64 writeData(const char*, qint64) override { return -1; }

private:
    ToneGenerator tone;
};

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

void TestTonePlayer::start()
{
    if (engine)
        return;
    const QAudioDevice device = AudioSinkThread::resolveDevice(selectedOutputDeviceID());
    const int rate = device.preferredFormat().sampleRate();
    if (device.isNull() || rate <= 0)
        return;
    QAudioFormat format;
    format.setSampleRate(rate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Float);
    auto output = std::make_unique<AudioSinkThread>();
    if (output->start(device, format, [rate] { return std::make_unique<ToneSource>(rate); }))
        return;
    engine = std::move(output);
}

void TestTonePlayer::stop()
{
    engine.reset();
}
