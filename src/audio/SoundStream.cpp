#include "audio/SoundStream.h"

#include <cmath>
#include <utility>

SoundStream::SoundStream(std::shared_ptr<SoundSink> sink)
    : sink(std::move(sink))
{
}

namespace {

constexpr double noRate = std::numeric_limits<double>::quiet_NaN();

} // namespace

void SoundStream::open(StartReport onStart)
{
    const std::lock_guard guard(gate);
    isOpen = true;
    currentRate = noRate;
    report = std::move(onStart);
}

void SoundStream::close()
{
    const std::lock_guard guard(gate);
    isOpen = false;
    currentRate = noRate;
    report = {};
}

void SoundStream::setRate(double rate)
{
    Start start{rate, rate >= minPlayableRate && rate <= maxPlayableRate, std::nullopt};
    StartReport onStart;
    {
        const std::lock_guard guard(gate);
        if (!isOpen || currentRate.load() == rate)
            return;
        currentRate = rate;
        // A failed start leaves the sink stopped; it drops what it gets
        // until a later start succeeds.
        if (start.isPlayable && sink)
            start.error = sink->start(rate);
        onStart = report;
    }
    if (onStart)
        onStart(start);
}

void SoundStream::play(std::span<const float> samples)
{
    if (sink)
        sink->enqueue(samples);
}

std::optional<double> SoundStream::rate() const
{
    const double rate = currentRate;
    if (std::isnan(rate))
        return std::nullopt;
    return rate;
}
