#include "audio/QtAudioEngine.h"

#include <QAudioFormat>
#include <QIODevice>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <utility>

namespace {

// The rates PulseAudio accepts for a stream.
constexpr double lowestRate = 1.0;
constexpr double highestRate = 384000.0;

// What the sink pulls: the scheduled buffers in order, silence when none is
// waiting, so the stream never stalls.
class ScheduledBufferSource final : public QIODevice {
public:
    explicit ScheduledBufferSource(std::shared_ptr<ScheduledBuffers> buffers)
        : buffers(std::move(buffers))
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
            buffers->read(chunk.data(), count);
            std::memcpy(data + done * sizeof(float), chunk.data(), count * sizeof(float));
            done += count;
        }
        return static_cast<qint64>(frames * sizeof(float));
    }

    qint64 writeData(const char*, qint64) override { return -1; }

private:
    const std::shared_ptr<ScheduledBuffers> buffers;
};

} // namespace

QtAudioEngine::QtAudioEngine(std::optional<AudioDeviceID> device)
    : device(std::move(device))
    , buffers(std::make_shared<ScheduledBuffers>())
{
}

QtAudioEngine::~QtAudioEngine()
{
    output.stop();
    buffers->clear();
}

AudioEngineFactory QtAudioEngine::factory()
{
    return [](const std::optional<AudioDeviceID>& device) -> std::unique_ptr<AudioEngine> {
        return std::make_unique<QtAudioEngine>(device);
    };
}

bool QtAudioEngine::canUseRate(double sampleRate) const
{
    return std::isfinite(sampleRate) && sampleRate >= lowestRate && sampleRate <= highestRate;
}

std::optional<AudioOutputError> QtAudioEngine::start(double sampleRate)
{
    if (!canUseRate(sampleRate))
        return AudioOutputError{QStringLiteral("The sample rate %1 Hz cannot be played").arg(sampleRate)};
    QAudioFormat format;
    format.setSampleRate(static_cast<int>(std::lround(sampleRate)));
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Float);
    buffers->clear();
    return output.start(AudioSinkThread::resolveDevice(device), format,
                        [buffers = buffers] { return std::make_unique<ScheduledBufferSource>(buffers); });
}

void QtAudioEngine::stop()
{
    output.stop();
    buffers->clear();
}

void QtAudioEngine::schedule(std::vector<float> samples, ConsumedCallback consumed)
{
    buffers->push(std::move(samples), std::move(consumed));
}

float QtAudioEngine::volume() const
{
    return output.volume();
}

void QtAudioEngine::setVolume(float volume)
{
    output.setVolume(volume);
}

void QtAudioEngine::setConfigurationChangeHandler(std::function<void()> handler)
{
    output.setFailureHandler(std::move(handler));
}
