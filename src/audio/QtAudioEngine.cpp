#include "audio/QtAudioEngine.h"

#include "audio/FloatPullSource.h"

#include <QAudioFormat>
#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// The rates PulseAudio accepts for a stream.
constexpr double lowestRate = 1.0;
constexpr double highestRate = 384000.0;

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
        return AudioOutputError{
            QCoreApplication::translate("AudioEngine", "The sample rate %1 Hz cannot be played").arg(sampleRate)};
    QAudioFormat format;
    format.setSampleRate(static_cast<int>(std::lround(sampleRate)));
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Float);
    buffers->clear();
    return output.start(AudioSinkThread::resolveDevice(device), format,
                        [buffers = buffers] {
                            // The scheduled buffers in order, silence when none is waiting.
                            return std::make_unique<FloatPullSource>(
                                [buffers](float* out, std::size_t frames) { buffers->read(out, frames); });
                        });
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
