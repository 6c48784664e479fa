#pragma once
// An audio engine that plays into one sink of the sound server by name, as a
// libpulse stream on the connection's main loop. The stream may never be
// moved: when its sink goes away it fails (and says so through the
// configuration change handler) instead of the server's rescuing it onto the
// speaker. A capture source's feed plays through it.

#include "audio/AudioEngine.h"
#include "audio/PulseConnection.h"
#include "audio/ScheduledBuffers.h"

#include <QByteArray>

#include <atomic>
#include <memory>
#include <mutex>

struct pa_stream;

class PulseStreamEngine final : public AudioEngine {
public:
    PulseStreamEngine(std::shared_ptr<PulseConnection> connection, QByteArray sink);
    ~PulseStreamEngine() override;

    static AudioEngineFactory factory(std::shared_ptr<PulseConnection> connection, QByteArray sink);

    bool canUseRate(double sampleRate) const override;
    std::optional<AudioOutputError> start(double sampleRate) override;
    void stop() override;
    void schedule(std::vector<float> samples, ConsumedCallback consumed) override;
    float volume() const override;
    void setVolume(float volume) override;
    void setConfigurationChangeHandler(std::function<void()> handler) override;

private:
    static void streamChanged(pa_stream* stream, void* self);
    static void writable(pa_stream* stream, std::size_t bytes, void* self);

    const std::shared_ptr<PulseConnection> connection;
    const QByteArray sink;
    ScheduledBuffers buffers;
    std::atomic<float> currentVolume{1.0f};
    // Guarded by the connection's loop lock.
    pa_stream* stream = nullptr;
    std::mutex handlerMutex;
    std::function<void()> failureHandler;
};
