#include "diagnostics/LatencyProbes.h"

#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Enough for every block or row in flight; what is never delivered (dropped
// by a full queue or a busy view) falls off the front.
constexpr std::size_t pendingLimit = 256;

template <typename Key>
class Pending {
public:
    // A key that is still pending belongs to something never delivered (a
    // freed block whose address came back): the new one replaces it.
    void add(Key key, Clock::time_point at)
    {
        take(key);
        if (entries.size() == pendingLimit)
            entries.pop_front();
        entries.emplace_back(key, at);
    }

    std::optional<Clock::time_point> take(Key key)
    {
        for (auto it = entries.begin(); it != entries.end(); ++it) {
            if (it->first == key) {
                const Clock::time_point at = it->second;
                entries.erase(it);
                return at;
            }
        }
        return std::nullopt;
    }

private:
    std::deque<std::pair<Key, Clock::time_point>> entries;
};

struct Probes {
    std::mutex lock;
    Pending<const float*> soundBlocks;
    Pending<std::uint32_t> arrivedRows;
    std::vector<Clock::time_point> drawnRows;
    std::FILE* log = nullptr;
    Clock::time_point flushed;

    Probes()
    {
        if (const char* path = std::getenv("FARLISTEN_LATENCY_LOG"); path && *path)
            log = std::fopen(path, "a");
    }

    // Flushed once a second, not line by line: a write for every painted
    // row cost the window more than some of what the benchmark measures. A
    // benchmark that ends the program with a signal loses the last second.
    void write(const char* what, Clock::duration latency)
    {
        if (!log)
            return;
        std::fprintf(log, "%s %.3f\n", what, std::chrono::duration<double, std::milli>(latency).count());
        if (const auto now = Clock::now(); now - flushed >= std::chrono::seconds(1)) {
            std::fflush(log);
            flushed = now;
        }
    }

    void writeShown()
    {
        if (!log)
            return;
        const auto since = std::chrono::system_clock::now().time_since_epoch();
        std::fprintf(log, "shown-at %lld\n",
                     static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(since).count()));
        std::fflush(log);
    }
};

Probes& probes()
{
    static Probes instance;
    return instance;
}

thread_local std::optional<Clock::time_point> frameArrival;
bool windowWasPainted = false;

} // namespace

namespace LatencyProbes {

void soundFrameArrived()
{
    frameArrival = Clock::now();
}

void soundBlockQueued(const float* samples)
{
    if (!frameArrival)
        return;
    Probes& p = probes();
    std::lock_guard guard(p.lock);
    p.soundBlocks.add(samples, *std::exchange(frameArrival, std::nullopt));
}

void soundBlockStarted(const float* samples)
{
    const Clock::time_point now = Clock::now();
    Probes& p = probes();
    std::lock_guard guard(p.lock);
    if (const auto arrived = p.soundBlocks.take(samples))
        p.write("sound", now - *arrived);
}

void waterfallRowArrived(std::uint32_t sequence)
{
    const Clock::time_point now = Clock::now();
    Probes& p = probes();
    std::lock_guard guard(p.lock);
    p.arrivedRows.add(sequence, now);
}

void waterfallRowDrawn(std::uint32_t sequence)
{
    Probes& p = probes();
    std::lock_guard guard(p.lock);
    if (const auto arrived = p.arrivedRows.take(sequence); arrived && p.drawnRows.size() < pendingLimit)
        p.drawnRows.push_back(*arrived);
}

void waterfallPainted()
{
    const Clock::time_point now = Clock::now();
    Probes& p = probes();
    std::lock_guard guard(p.lock);
    for (const Clock::time_point arrived : p.drawnRows)
        p.write("waterfall", now - arrived);
    p.drawnRows.clear();
}

void windowPainted()
{
    if (std::exchange(windowWasPainted, true))
        return;
    // The paint event comes before the window's children are drawn and the
    // picture is handed to the display; a zero timer fires after both.
    QTimer::singleShot(0, [] {
        Probes& p = probes();
        std::lock_guard guard(p.lock);
        p.writeShown();
    });
}

} // namespace LatencyProbes
