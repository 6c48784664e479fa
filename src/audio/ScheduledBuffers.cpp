#include "audio/ScheduledBuffers.h"

#include "diagnostics/LatencyProbes.h"

#include <algorithm>
#include <utility>

void ScheduledBuffers::push(std::vector<float> samples, ConsumedCallback consumed)
{
    std::lock_guard guard(mutex);
    entries.push_back({std::move(samples), 0, std::move(consumed)});
}

void ScheduledBuffers::clear()
{
    std::deque<Entry> dropped;
    {
        std::lock_guard guard(mutex);
        dropped.swap(entries);
    }
}

std::size_t ScheduledBuffers::read(float* out, std::size_t frames)
{
    std::vector<ConsumedCallback> finished;
    std::size_t filled = 0;
    {
        std::lock_guard guard(mutex);
        while (filled < frames && !entries.empty()) {
            Entry& entry = entries.front();
            const std::size_t count = std::min(frames - filled, entry.samples.size() - entry.offset);
            if (entry.offset == 0 && count > 0)
                LatencyProbes::soundBlockStarted(entry.samples.data());
            std::copy_n(entry.samples.data() + entry.offset, count, out + filled);
            filled += count;
            entry.offset += count;
            if (entry.offset == entry.samples.size()) {
                finished.push_back(std::move(entry.consumed));
                entries.pop_front();
            }
        }
    }
    std::fill(out + filled, out + frames, 0.0f);
    for (const ConsumedCallback& consumed : finished) {
        if (consumed)
            consumed();
    }
    return filled;
}
