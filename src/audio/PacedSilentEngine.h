#pragma once
// An audio engine that plays nowhere: it takes the scheduled buffers off its
// queue in real time at the stream's rate, as a sound card would, and drops
// them, so the player above it behaves exactly as it does with real output.
// rxprobe uses it when it records to a file instead of playing.

#include "audio/AudioEngine.h"
#include "audio/ScheduledBuffers.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

class PacedSilentEngine final : public AudioEngine {
public:
    PacedSilentEngine();
    ~PacedSilentEngine() override;

    static AudioEngineFactory factory();

    bool canUseRate(double sampleRate) const override;
    std::optional<AudioOutputError> start(double sampleRate) override;
    void stop() override;
    void schedule(std::vector<float> samples, ConsumedCallback consumed) override;
    float volume() const override;
    void setVolume(float volume) override;
    void setConfigurationChangeHandler(std::function<void()> handler) override;

private:
    void run();

    ScheduledBuffers buffers;
    std::atomic<float> currentVolume{1.0f};

    std::mutex mutex; // guards everything below but the thread
    std::condition_variable wake;
    bool quitting = false;
    bool running = false;
    double rate = 0;
    std::chrono::steady_clock::time_point startedAt;
    std::uint64_t framesConsumed = 0;

    std::thread worker;
};
