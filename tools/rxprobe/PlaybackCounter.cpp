#include "PlaybackCounter.h"

#include <utility>

void PlaybackCounter::blockConsumed(std::uint32_t frames, double sampleRate)
{
    if (!(sampleRate > 0))
        return;
    std::lock_guard guard(lock);
    seconds += frames / sampleRate;
}

double PlaybackCounter::secondsPlayed() const
{
    std::lock_guard guard(lock);
    return seconds;
}

CountingAudioEngine::CountingAudioEngine(std::unique_ptr<AudioEngine> engine, std::shared_ptr<PlaybackCounter> counter)
    : engine(std::move(engine))
    , counter(std::move(counter))
{
}

AudioEngineFactory CountingAudioEngine::factory(AudioEngineFactory makeEngine, std::shared_ptr<PlaybackCounter> counter)
{
    return [makeEngine = std::move(makeEngine), counter = std::move(counter)](
               const std::optional<AudioDeviceID>& device) -> std::unique_ptr<AudioEngine> {
        return std::make_unique<CountingAudioEngine>(makeEngine(device), counter);
    };
}

bool CountingAudioEngine::canUseRate(double rate) const
{
    return engine->canUseRate(rate);
}

std::optional<AudioOutputError> CountingAudioEngine::start(double rate)
{
    std::optional<AudioOutputError> error = engine->start(rate);
    sampleRate = error ? 0.0 : rate;
    return error;
}

void CountingAudioEngine::stop()
{
    sampleRate = 0.0;
    engine->stop();
}

void CountingAudioEngine::schedule(std::vector<float> samples, ConsumedCallback consumed)
{
    counter->blockScheduled();
    const auto frames = static_cast<std::uint32_t>(samples.size());
    engine->schedule(std::move(samples),
        [counter = counter, frames, rate = sampleRate.load(), consumed = std::move(consumed)] {
            counter->blockConsumed(frames, rate);
            if (consumed)
                consumed();
        });
}

float CountingAudioEngine::volume() const
{
    return engine->volume();
}

void CountingAudioEngine::setVolume(float volume)
{
    engine->setVolume(volume);
}

void CountingAudioEngine::setConfigurationChangeHandler(std::function<void()> handler)
{
    engine->setConfigurationChangeHandler(std::move(handler));
}
