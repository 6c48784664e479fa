#include "audio/SoundFeed.h"

#include "audio/AudioPlayer.h"
#include "audio/SoundStream.h"

#include <new>
#include <utility>

SoundFeed::SoundFeed()
    : worker([this] { run(); })
{
}

SoundFeed::~SoundFeed()
{
    {
        std::lock_guard guard(queueLock);
        quitting = true;
    }
    wake.notify_all();
    worker.join();
}

void SoundFeed::played(std::span<const float> samples, double sampleRate)
{
    // The rate sizes the queue's bound: only one the player could play.
    if (!(sampleRate >= SoundStream::minPlayableRate && sampleRate <= SoundStream::maxPlayableRate))
        return;
    Block block;
    try {
        block.samples.assign(samples.begin(), samples.end());
    } catch (const std::bad_alloc&) {
        return;
    }
    block.sampleRate = sampleRate;
    const auto bound = static_cast<std::size_t>(sampleRate * maxQueuedSeconds);
    std::deque<Block> dropped;
    {
        std::lock_guard guard(queueLock);
        queuedFrames += block.samples.size();
        queue.push_back(std::move(block));
        // A stalled sound server loses the oldest sound, never the newest.
        while (queuedFrames > bound && queue.size() > 1) {
            queuedFrames -= queue.front().samples.size();
            dropped.push_back(std::move(queue.front()));
            queue.pop_front();
        }
    }
    wake.notify_one();
}

void SoundFeed::setPlayer(std::shared_ptr<AudioPlayer> next)
{
    std::lock_guard guard(playerLock);
    player = std::move(next);
    startedRate = 0;
}

void SoundFeed::run()
{
    while (true) {
        std::deque<Block> blocks;
        {
            std::unique_lock lock(queueLock);
            wake.wait(lock, [this] { return quitting || !queue.empty(); });
            if (quitting)
                return;
            blocks.swap(queue);
            queuedFrames = 0;
        }
        std::lock_guard guard(playerLock);
        for (const Block& block : blocks) {
            if (!player)
                break;
            // A start that fails leaves the player dropping blocks until
            // the next rate or the next player.
            if (block.sampleRate != startedRate) {
                player->start(block.sampleRate);
                startedRate = block.sampleRate;
            }
            player->enqueue(block.samples);
        }
    }
}
