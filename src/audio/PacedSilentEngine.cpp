#include "audio/PacedSilentEngine.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

constexpr double lowestRate = 1.0;
constexpr double highestRate = 384000.0;
constexpr auto tick = std::chrono::milliseconds(10);

} // namespace

PacedSilentEngine::PacedSilentEngine()
    : worker([this] { run(); })
{
}

PacedSilentEngine::~PacedSilentEngine()
{
    {
        std::lock_guard guard(mutex);
        quitting = true;
    }
    wake.notify_all();
    worker.join();
}

AudioEngineFactory PacedSilentEngine::factory()
{
    return [](const std::optional<AudioDeviceID>&) -> std::unique_ptr<AudioEngine> {
        return std::make_unique<PacedSilentEngine>();
    };
}

bool PacedSilentEngine::canUseRate(double sampleRate) const
{
    return std::isfinite(sampleRate) && sampleRate >= lowestRate && sampleRate <= highestRate;
}

std::optional<AudioOutputError> PacedSilentEngine::start(double sampleRate)
{
    if (!canUseRate(sampleRate))
        return AudioOutputError{
            QCoreApplication::translate("AudioEngine", "The sample rate %1 Hz cannot be played").arg(sampleRate)};
    buffers.clear();
    {
        std::lock_guard guard(mutex);
        running = true;
        rate = sampleRate;
        startedAt = std::chrono::steady_clock::now();
        framesConsumed = 0;
    }
    wake.notify_all();
    return std::nullopt;
}

void PacedSilentEngine::stop()
{
    {
        std::lock_guard guard(mutex);
        running = false;
    }
    buffers.clear();
}

void PacedSilentEngine::schedule(std::vector<float> samples, ConsumedCallback consumed)
{
    buffers.push(std::move(samples), std::move(consumed));
}

float PacedSilentEngine::volume() const
{
    return currentVolume.load();
}

void PacedSilentEngine::setVolume(float volume)
{
    currentVolume.store(volume);
}

void PacedSilentEngine::setConfigurationChangeHandler(std::function<void()>)
{
    // Nothing here can change under a running stream.
}

void PacedSilentEngine::run()
{
    std::unique_lock lock(mutex);
    std::vector<float> chunk;
    while (!quitting) {
        if (!running) {
            wake.wait(lock);
            continue;
        }
        wake.wait_for(lock, tick);
        if (quitting || !running)
            continue;
        const double elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - startedAt).count();
        const auto dueTotal = static_cast<std::uint64_t>(elapsed * rate);
        const auto second = static_cast<std::uint64_t>(rate);
        // After a long stall, catch up by at most a second.
        framesConsumed = std::max(framesConsumed, dueTotal - std::min(dueTotal, second));
        const std::uint64_t due = dueTotal - framesConsumed;
        if (due == 0)
            continue;
        framesConsumed = dueTotal;
        chunk.resize(due);
        // Read under the lock, so a stop or start never splits a read. The
        // callbacks take the player's queue lock, which is never held while
        // calling this engine.
        buffers.read(chunk.data(), chunk.size());
    }
}
