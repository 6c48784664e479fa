#pragma once
// Receives a copy of every block the player queues for output: the sound the
// listener hears, after the listening tools and before the volume. Called on
// the thread that enqueues (the network thread), under the player's control
// lock, so an implementation returns at once: it never waits on a disk.

#include <span>

class PlayedSoundTap {
public:
    virtual ~PlayedSoundTap() = default;
    // `sampleRate` is the player's running rate, in (0, 1e9] Hz.
    virtual void played(std::span<const float> samples, double sampleRate) = 0;
};
