#pragma once
// An output that plays nothing, for a player whose sound nobody hears: the
// benchmarks and fuzzers measure or probe everything up to the sound card.

#include "audio/AudioEngine.h"
#include "audio/AudioPlayer.h"

#include <memory>

class SilentAudioEngine final : public AudioEngine {
public:
    // A player whose every engine is silent, routed to no device.
    static std::shared_ptr<AudioPlayer> player()
    {
        return AudioPlayer::create(
            [](const std::optional<AudioDeviceID>&) -> std::unique_ptr<AudioEngine> {
                return std::make_unique<SilentAudioEngine>();
            },
            [] { return std::optional<AudioDeviceID>(); });
    }

    bool canUseRate(double rate) const override { return rate >= 1 && rate <= 384000; }
    std::optional<AudioOutputError> start(double) override { return std::nullopt; }
    void stop() override {}
    void schedule(std::vector<float>, ConsumedCallback) override {}
    float volume() const override { return 1.0f; }
    void setVolume(float) override {}
    void setConfigurationChangeHandler(std::function<void()>) override {}
};
