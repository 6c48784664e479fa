#pragma once
// An audio engine that plays into a WAV file instead of a sound card. It takes
// the scheduled buffers off its queue in real time at the stream's rate, as a
// sound card would, and writes them (scaled by the volume) to the file, so the
// player above it behaves exactly as it does with real output. Gaps between
// buffers are not written. The file's rate is that of the first start; a
// later start at another rate fails.

#include "audio/AudioEngine.h"
#include "audio/ScheduledBuffers.h"
#include "audio/WavFileWriter.h"

#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

class WavFileEngine final : public AudioEngine {
public:
    explicit WavFileEngine(QString path);
    ~WavFileEngine() override;

    // Every engine it makes writes to the same path, whatever the device.
    static AudioEngineFactory factory(QString path);

    bool canUseRate(double sampleRate) const override;
    std::optional<AudioOutputError> start(double sampleRate) override;
    void stop() override;
    void schedule(std::vector<float> samples, ConsumedCallback consumed) override;
    float volume() const override;
    void setVolume(float volume) override;
    void setConfigurationChangeHandler(std::function<void()> handler) override;

private:
    void run();

    const QString path;
    ScheduledBuffers buffers;
    std::atomic<float> currentVolume{1.0f};

    std::mutex mutex; // guards everything below but the thread
    std::condition_variable wake;
    WavFileWriter writer;
    bool quitting = false;
    bool running = false;
    std::uint32_t rate = 0;
    std::chrono::steady_clock::time_point startedAt;
    std::uint64_t framesConsumed = 0;

    std::thread worker;
};
