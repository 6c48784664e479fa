#pragma once
// Buffers waiting to be played, in scheduling order. Any thread may add to it;
// the thread that plays reads from it and learns, through each buffer's
// callback, when the buffer's last frame has been read.

#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

class ScheduledBuffers {
public:
    using ConsumedCallback = std::function<void()>;

    void push(std::vector<float> samples, ConsumedCallback consumed);
    // Drops everything without calling back.
    void clear();
    // Copies the next frames into `out` and fills the rest with silence.
    // Returns how many came from buffers. The callbacks of the buffers it
    // finished run before it returns, outside the internal lock.
    std::size_t read(float* out, std::size_t frames);

private:
    struct Entry {
        std::vector<float> samples;
        std::size_t offset = 0;
        ConsumedCallback consumed;
    };

    std::mutex mutex;
    std::deque<Entry> entries;
};
