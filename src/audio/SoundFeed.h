#pragma once
// Carries a window's sound to another player (the one playing into a capture
// source for other programs). As a player's tap it only copies each block into
// a queue of at most two seconds; a thread of its own starts the other player
// at each new rate and hands it the blocks, so the window's player never waits
// for the sound server.

#include "audio/PlayedSoundTap.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class AudioPlayer;

class SoundFeed final : public PlayedSoundTap {
public:
    static constexpr double maxQueuedSeconds = 2.0;

    SoundFeed();
    ~SoundFeed() override;
    SoundFeed(const SoundFeed&) = delete;
    SoundFeed& operator=(const SoundFeed&) = delete;

    void played(std::span<const float> samples, double sampleRate) override;

    // From the next block on, blocks go to this player; none drops them.
    // Returns once the thread no longer uses the one before.
    void setPlayer(std::shared_ptr<AudioPlayer> player);

private:
    struct Block {
        std::vector<float> samples;
        double sampleRate = 0;
    };

    void run();

    std::mutex queueLock;
    std::condition_variable wake;
    std::deque<Block> queue;
    std::size_t queuedFrames = 0;
    bool quitting = false;

    // Held while the thread hands blocks over.
    std::mutex playerLock;
    std::shared_ptr<AudioPlayer> player;
    double startedRate = 0;

    std::thread worker;
};
