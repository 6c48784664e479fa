#pragma once
// Where decoded audio goes: the one operation the sound pipelines need of the
// audio player. Samples are 32-bit float mono, nominally -1..1, at the rate
// the player was started with. May be called from any thread.

#include <cstddef>
#include <span>

// The most samples a sound pipeline hands over from one server frame. Frames
// hold a few hundred to a few thousand, and the player keeps at most a second
// of any block, so of a huge frame only the newest this many become a buffer.
inline constexpr std::size_t maxSamplesPerFrame = 65536;

class AudioSampleSink {
public:
    virtual ~AudioSampleSink() = default;
    virtual void enqueue(std::span<const float> samples) = 0;
};
