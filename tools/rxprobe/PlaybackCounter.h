#pragma once
// Counts what reaches the audio output: an audio engine that passes every call
// on to the real one (sound card or WAV file) and counts the blocks scheduled
// and the frames the output consumed. Works the same whatever the server kind.

#include "audio/AudioEngine.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

class PlaybackCounter {
public:
    void blockScheduled() { ++blocks; }
    void blockConsumed(std::uint32_t frames, double sampleRate);

    // Blocks of decoded audio handed to the output, one per sound frame.
    std::uint64_t scheduledBlocks() const { return blocks; }
    // Audio the output has consumed, in seconds of playing time.
    double secondsPlayed() const;

private:
    std::atomic<std::uint64_t> blocks{0};
    mutable std::mutex lock; // guards `seconds`
    double seconds = 0;
};

class CountingAudioEngine final : public AudioEngine {
public:
    CountingAudioEngine(std::unique_ptr<AudioEngine> engine, std::shared_ptr<PlaybackCounter> counter);

    // Every engine the factory makes is wrapped and counts into `counter`.
    static AudioEngineFactory factory(AudioEngineFactory makeEngine, std::shared_ptr<PlaybackCounter> counter);

    bool canUseRate(double sampleRate) const override;
    std::optional<AudioOutputError> start(double sampleRate) override;
    void stop() override;
    void schedule(std::vector<float> samples, ConsumedCallback consumed) override;
    float volume() const override;
    void setVolume(float volume) override;
    void setConfigurationChangeHandler(std::function<void()> handler) override;

private:
    const std::unique_ptr<AudioEngine> engine;
    const std::shared_ptr<PlaybackCounter> counter;
    // The rate of the running stream; 0 while stopped.
    std::atomic<double> sampleRate{0};
};
