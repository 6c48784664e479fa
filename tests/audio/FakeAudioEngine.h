#pragma once
// An audio engine that plays nothing: it records what the player asks of it
// and lets a test decide when buffers are consumed.

#include "audio/AudioEngine.h"

#include <memory>
#include <optional>
#include <vector>

struct FakeEngineState {
    struct Scheduled {
        std::vector<float> samples;
        AudioEngine::ConsumedCallback consumed;
    };

    std::optional<AudioDeviceID> device;
    bool alive = true;
    bool running = false;
    double sampleRate = 0.0;
    int starts = 0;
    int stops = 0;
    float volume = 1.0f;
    std::optional<AudioOutputError> startError;
    std::vector<Scheduled> scheduled;
    std::function<void()> configurationChanged;
    // Runs inside start, before it returns; lets a test hold start midway.
    std::function<void()> duringStart;
};

class FakeAudioEngine final : public AudioEngine {
public:
    explicit FakeAudioEngine(std::shared_ptr<FakeEngineState> state)
        : state(std::move(state))
    {
    }
    ~FakeAudioEngine() override { state->alive = false; }

    bool canUseRate(double sampleRate) const override
    {
        return sampleRate >= 1.0 && sampleRate <= 384000.0;
    }
    std::optional<AudioOutputError> start(double sampleRate) override
    {
        ++state->starts;
        if (state->duringStart)
            state->duringStart();
        if (state->startError)
            return state->startError;
        state->running = true;
        state->sampleRate = sampleRate;
        return std::nullopt;
    }
    void stop() override
    {
        ++state->stops;
        state->running = false;
    }
    void schedule(std::vector<float> samples, ConsumedCallback consumed) override
    {
        state->scheduled.push_back({std::move(samples), std::move(consumed)});
    }
    float volume() const override { return state->volume; }
    void setVolume(float volume) override { state->volume = volume; }
    void setConfigurationChangeHandler(std::function<void()> handler) override
    {
        state->configurationChanged = std::move(handler);
    }

private:
    std::shared_ptr<FakeEngineState> state;
};

// Makes fake engines and keeps the state of every one it made, in order.
struct FakeAudioBackend {
    std::vector<std::shared_ptr<FakeEngineState>> engines;
    std::optional<AudioDeviceID> selected;

    AudioEngineFactory factory()
    {
        return [this](const std::optional<AudioDeviceID>& device) -> std::unique_ptr<AudioEngine> {
            auto state = std::make_shared<FakeEngineState>();
            state->device = device;
            engines.push_back(state);
            return std::make_unique<FakeAudioEngine>(state);
        };
    }
    std::function<std::optional<AudioDeviceID>()> lookup()
    {
        return [this] { return selected; };
    }
    FakeEngineState& current() { return *engines.back(); }
};
