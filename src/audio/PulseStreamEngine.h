#pragma once
// An audio engine that plays as one libpulse stream, woken by the sound
// server's own requests for more: no timer of its own, one thread (the
// connection's main loop) for the whole output.
//
// Two uses. The listener's sound plays to the chosen output device, or to the
// server's default when none is chosen or it has gone; the engine connects to
// the server itself, again at a start after the server went away, and the
// server may move the stream like any other. A capture source's feed plays
// into its own sink on the source's connection, and may never be moved: when
// that sink goes away the stream fails (and says so through the configuration
// change handler) instead of the server's rescuing it onto the speaker.

#include "audio/AudioEngine.h"
#include "audio/PulseConnection.h"
#include "audio/ScheduledBuffers.h"

#include <QByteArray>

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <variant>

struct pa_stream;

class PulseStreamEngine final : public AudioEngine {
public:
    // The listener's sound, on the device (none: the default output).
    explicit PulseStreamEngine(std::optional<AudioDeviceID> device);
    // A feed into the sink of this name, on a connection of the caller's.
    PulseStreamEngine(std::shared_ptr<PulseConnection> connection, QByteArray sink);
    ~PulseStreamEngine() override;

    static AudioEngineFactory factory();
    static AudioEngineFactory factory(std::shared_ptr<PulseConnection> connection, QByteArray sink);

    bool canUseRate(double sampleRate) const override;
    std::optional<AudioOutputError> start(double sampleRate) override;
    void stop() override;
    void schedule(std::vector<float> samples, ConsumedCallback consumed) override;
    float volume() const override;
    void setVolume(float volume) override;
    void setConfigurationChangeHandler(std::function<void()> handler) override;

private:
    // The sink to play to now (empty: the server's default), after
    // (re)connecting when the engine keeps its own connection; the reason
    // when there is no server to play to.
    std::variant<QByteArray, AudioOutputError> sinkToPlayTo();
    static void streamChanged(pa_stream* stream, void* self);
    static void writable(pa_stream* stream, std::size_t bytes, void* self);

    const bool isFeed;
    const std::optional<AudioDeviceID> device;
    const QByteArray feedSink;
    // Changed only by start(), with no stream on it.
    std::shared_ptr<PulseConnection> connection;
    ScheduledBuffers buffers;
    std::atomic<float> currentVolume{1.0f};
    // Guarded by the connection's loop lock.
    pa_stream* stream = nullptr;
    std::mutex handlerMutex;
    std::function<void()> failureHandler;
};
