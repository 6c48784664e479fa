#pragma once
// Where decoded audio goes: the one operation the sound pipelines need of the
// audio player. Samples are 32-bit float mono, nominally -1..1, at the rate
// the player was started with. May be called from any thread.

#include <span>

class AudioSampleSink {
public:
    virtual ~AudioSampleSink() = default;
    virtual void enqueue(std::span<const float> samples) = 0;
};
