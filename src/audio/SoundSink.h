#pragma once
// Where a sound pipeline's samples go: the two operations the pipelines need
// of the audio player. Samples are 32-bit float mono, nominally -1..1, at the
// rate the sink was last started with. Both may be called from any thread.

#include "audio/AudioEngine.h"

#include <cstddef>
#include <optional>
#include <span>

// The most samples a sound pipeline hands over from one server frame. Frames
// hold a few hundred to a few thousand, and the player keeps at most a second
// of any block, so of a huge frame only the newest this many become a buffer.
inline constexpr std::size_t maxSamplesPerFrame = 65536;

class SoundSink {
public:
    virtual ~SoundSink() = default;
    // Starts, or restarts, output at the rate; the error when it could not.
    virtual std::optional<AudioOutputError> start(double sampleRate) = 0;
    virtual void enqueue(std::span<const float> samples) = 0;
};
