#pragma once
// The 1 kHz test tone of the settings window: a sine at 0.4 of full scale on
// the output device it is given, at that device's own rate, for as long as it
// is held. Used on the main thread; the tone itself is fed on an audio thread.

#include "audio/AudioOutputDevice.h"
#include "audio/AudioSinkThread.h"

#include <cstddef>
#include <memory>
#include <optional>

// The tone's samples; the phase runs on from call to call within [0, 2π).
class ToneGenerator {
public:
    static constexpr double frequencyHz = 1000.0;
    static constexpr float amplitude = 0.4f;

    explicit ToneGenerator(double sampleRate);
    void render(float* out, std::size_t frames);
    double phaseIncrement() const { return increment; }

private:
    double phase = 0.0;
    double increment;
};

class TestTonePlayer {
public:
    TestTonePlayer();
    ~TestTonePlayer();
    TestTonePlayer(const TestTonePlayer&) = delete;
    TestTonePlayer& operator=(const TestTonePlayer&) = delete;

    // On the device, or the system default output when there is none. Does
    // nothing while a tone plays; a tone that cannot start stays silent.
    void start(const std::optional<AudioDeviceID>& device);
    void stop();
    bool isPlaying() const { return engine != nullptr; }

private:
    std::unique_ptr<AudioSinkThread> engine;
};
