#pragma once
// The operations of an audio back end that the audio player relies on. A real
// sound card, a WAV file and the tests' fake each provide them.

#include "audio/AudioOutputDevice.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

// Why output could not start, in words for the user.
struct AudioOutputError {
    QString description;
};

class AudioEngine {
public:
    using ConsumedCallback = std::function<void()>;

    virtual ~AudioEngine() = default;

    // Whether a mono float stream at this rate can be built at all; a rate
    // that cannot leaves the player stopped without an error.
    virtual bool canUseRate(double sampleRate) const = 0;

    // Starts (or restarts) output of mono float samples at the rate. Buffers
    // play as soon as they are scheduled, in scheduling order.
    virtual std::optional<AudioOutputError> start(double sampleRate) = 0;

    // Stops output. Buffers scheduled before it are not played, and their
    // callbacks may or may not still run.
    virtual void stop() = 0;

    // Queues one buffer. The callback runs once, on the engine's own thread,
    // when the buffer's last frame has been consumed. Never blocks for long.
    virtual void schedule(std::vector<float> samples, ConsumedCallback consumed) = 0;

    virtual float volume() const = 0;
    virtual void setVolume(float volume) = 0;

    // Called, on the engine's own thread, when the output broke down under a
    // running stream (the sound server went away, the device vanished).
    virtual void setConfigurationChangeHandler(std::function<void()> handler) = 0;
};

// Makes an engine routed to the device, or to the system default output when
// there is none.
using AudioEngineFactory =
    std::function<std::unique_ptr<AudioEngine>(const std::optional<AudioDeviceID>& device)>;
