#pragma once
// An audio player for session tests: plays nothing and lets the test see the
// rates it was started at and how many buffers it was given.

#include "audio/AudioEngine.h"
#include "audio/KiwiAudioPlayer.h"

#include <memory>
#include <mutex>
#include <optional>
#include <vector>

struct SessionAudioState {
    mutable std::mutex lock;
    std::vector<double> startedRates;
    std::optional<double> runningRate;
    float volume = 1.0f;
    std::size_t scheduledBuffers = 0;

    std::optional<double> currentRate() const
    {
        std::lock_guard guard(lock);
        return runningRate;
    }
    std::vector<double> starts() const
    {
        std::lock_guard guard(lock);
        return startedRates;
    }
    std::size_t buffers() const
    {
        std::lock_guard guard(lock);
        return scheduledBuffers;
    }
};

class SessionAudioEngine final : public AudioEngine {
public:
    explicit SessionAudioEngine(std::shared_ptr<SessionAudioState> state) : state(std::move(state)) { }

    bool canUseRate(double sampleRate) const override { return sampleRate >= 1.0 && sampleRate <= 1e6; }
    std::optional<AudioOutputError> start(double sampleRate) override
    {
        std::lock_guard guard(state->lock);
        state->startedRates.push_back(sampleRate);
        state->runningRate = sampleRate;
        return std::nullopt;
    }
    void stop() override
    {
        std::lock_guard guard(state->lock);
        state->runningRate.reset();
    }
    void schedule(std::vector<float>, ConsumedCallback) override
    {
        std::lock_guard guard(state->lock);
        ++state->scheduledBuffers;
    }
    float volume() const override
    {
        std::lock_guard guard(state->lock);
        return state->volume;
    }
    void setVolume(float volume) override
    {
        std::lock_guard guard(state->lock);
        state->volume = volume;
    }
    void setConfigurationChangeHandler(std::function<void()>) override { }

private:
    std::shared_ptr<SessionAudioState> state;
};

// A player whose every engine shares one state.
inline std::shared_ptr<KiwiAudioPlayer> makeSessionTestPlayer(const std::shared_ptr<SessionAudioState>& state)
{
    return KiwiAudioPlayer::create(
        [state](const std::optional<AudioDeviceID>&) -> std::unique_ptr<AudioEngine> {
            return std::make_unique<SessionAudioEngine>(state);
        },
        [] { return std::optional<AudioDeviceID>(); });
}
