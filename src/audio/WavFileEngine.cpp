#include "audio/WavFileEngine.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

constexpr double lowestRate = 1.0;
constexpr double highestRate = 384000.0;
constexpr auto tick = std::chrono::milliseconds(10);

} // namespace

WavFileEngine::WavFileEngine(QString path)
    : path(std::move(path))
    , worker([this] { run(); })
{
}

WavFileEngine::~WavFileEngine()
{
    {
        std::lock_guard guard(mutex);
        quitting = true;
    }
    wake.notify_all();
    worker.join();
}

AudioEngineFactory WavFileEngine::factory(QString path)
{
    return [path](const std::optional<AudioDeviceID>&) -> std::unique_ptr<AudioEngine> {
        return std::make_unique<WavFileEngine>(path);
    };
}

bool WavFileEngine::canUseRate(double sampleRate) const
{
    return std::isfinite(sampleRate) && sampleRate >= lowestRate && sampleRate <= highestRate;
}

std::optional<AudioOutputError> WavFileEngine::start(double sampleRate)
{
    if (!canUseRate(sampleRate))
        return AudioOutputError{QStringLiteral("The sample rate %1 Hz cannot be played").arg(sampleRate)};
    const auto wholeRate = static_cast<std::uint32_t>(std::lround(sampleRate));
    buffers.clear();
    {
        std::lock_guard guard(mutex);
        if (!writer.isOpen()) {
            if (const auto error = writer.open(path, wholeRate))
                return AudioOutputError{QStringLiteral("Cannot write %1: %2").arg(path, *error)};
        } else if (writer.sampleRate() != wholeRate) {
            return AudioOutputError{QStringLiteral("%1 is already being written at %2 Hz")
                                        .arg(path)
                                        .arg(writer.sampleRate())};
        }
        running = true;
        rate = wholeRate;
        startedAt = std::chrono::steady_clock::now();
        framesConsumed = 0;
    }
    wake.notify_all();
    return std::nullopt;
}

void WavFileEngine::stop()
{
    {
        std::lock_guard guard(mutex);
        running = false;
    }
    buffers.clear();
}

void WavFileEngine::schedule(std::vector<float> samples, ConsumedCallback consumed)
{
    buffers.push(std::move(samples), std::move(consumed));
}

float WavFileEngine::volume() const
{
    return currentVolume.load();
}

void WavFileEngine::setVolume(float volume)
{
    currentVolume.store(volume);
}

void WavFileEngine::setConfigurationChangeHandler(std::function<void()>)
{
    // A file has no hardware whose configuration could change.
}

void WavFileEngine::run()
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
        // After a long stall, catch up by at most a second.
        framesConsumed = std::max(framesConsumed, dueTotal - std::min<std::uint64_t>(dueTotal, rate));
        const std::uint64_t due = dueTotal - framesConsumed;
        if (due == 0)
            continue;
        framesConsumed = dueTotal;
        chunk.resize(due);
        // Read under the lock, so a stop or start never splits a read. The
        // callbacks take the player's queue lock, which is never held while
        // calling this engine.
        const std::size_t played = buffers.read(chunk.data(), chunk.size());
        const float gain = currentVolume.load();
        for (std::size_t i = 0; i < played; ++i)
            chunk[i] *= gain;
        writer.append(std::span<const float>(chunk.data(), played));
    }
}
