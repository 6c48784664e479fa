#pragma once
// The audio engine on the sound card: a pull-mode QAudioSink on its own audio
// thread that plays the scheduled buffers in order and silence between them.

#include "audio/AudioEngine.h"
#include "audio/AudioSinkThread.h"
#include "audio/ScheduledBuffers.h"

#include <memory>
#include <optional>

class QtAudioEngine final : public AudioEngine {
public:
    // Routed to the device, or to the system default output.
    explicit QtAudioEngine(std::optional<AudioDeviceID> device);
    ~QtAudioEngine() override;

    static AudioEngineFactory factory();

    bool canUseRate(double sampleRate) const override;
    std::optional<AudioOutputError> start(double sampleRate) override;
    void stop() override;
    void schedule(std::vector<float> samples, ConsumedCallback consumed) override;
    float volume() const override;
    void setVolume(float volume) override;
    void setConfigurationChangeHandler(std::function<void()> handler) override;

private:
    const std::optional<AudioDeviceID> device;
    const std::shared_ptr<ScheduledBuffers> buffers;
    AudioSinkThread output;
};
