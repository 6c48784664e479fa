#include "audio/ListeningChain.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double rampSeconds = 0.010;

} // namespace

ListeningSettings ListeningChain::setSettings(const ListeningSettings& settings)
{
    const ListeningSettings clamped = settings.clamped();
    {
        const std::lock_guard guard(settingsLock);
        wanted = clamped;
    }
    // Planned here, on the caller's thread, rather than by the thread that
    // plays when it first sees the switch.
    if (clamped.noiseReductionOn) {
        const std::lock_guard guard(audioLock);
        noiseReducer.prepare();
    }
    return clamped;
}

ListeningSettings ListeningChain::settings() const
{
    const std::lock_guard guard(settingsLock);
    return wanted;
}

void ListeningChain::setSampleRate(double newRate)
{
    const std::lock_guard guard(audioLock);
    if (newRate == rate || !(newRate > 0) || !std::isfinite(newRate))
        return;
    rate = newRate;
    const auto rampSamples = std::size_t(rampSeconds * rate);
    for (StageRamp* ramp : {&blankerRamp, &notchRamp, &reducerRamp}) {
        ramp->setLength(rampSamples);
        ramp->setTarget(false);
        ramp->jumpToTarget();
    }
    noiseBlanker.setSampleRate(rate);
    noiseBlanker.setThresholdDb(applied.blankerThresholdDb);
    notchFilter.reset();
    notchFilter.configure(rate, applied.notchHz, applied.notchWidthHz);
    noiseReducer.setSampleRate(rate);
    noiseReducer.setReductionDb(applied.noiseReductionDb);
    if (settings().noiseReductionOn)
        noiseReducer.prepare();
    squelchGate.setSampleRate(rate);
    squelchOpen.store(false, std::memory_order_relaxed);
    // Stages that are on fade in again at the new rate.
    applied.blankerOn = applied.notchOn = applied.noiseReductionOn = applied.squelchOn = false;
}

void ListeningChain::process(std::span<float> samples)
{
    ListeningSettings settings;
    {
        const std::lock_guard guard(settingsLock);
        settings = wanted;
    }
    const std::lock_guard guard(audioLock);
    if (!(rate > 0))
        return;
    apply(settings);
    // Everything off and faded out: the sound passes untouched.
    if (!applied.noiseReductionOn && !applied.squelchOn && blankerRamp.isIdle() && notchRamp.isIdle()
        && reducerRamp.isIdle() && squelchGate.isIdle()) {
        squelchOpen.store(false, std::memory_order_relaxed);
        return;
    }
    for (float& sample : samples)
        sample = std::isfinite(sample) ? std::clamp(sample, -loudest, loudest) : 0.0f;
    while (!samples.empty()) {
        const std::size_t length = std::min(samples.size(), chunkSize);
        processChunk(samples.first(length));
        samples = samples.subspan(length);
    }
    squelchOpen.store(squelchGate.isOpen(), std::memory_order_relaxed);
}

void ListeningChain::apply(const ListeningSettings& settings)
{
    if (settings.blankerOn != applied.blankerOn) {
        if (settings.blankerOn && blankerRamp.isIdle())
            noiseBlanker.reset();
        blankerRamp.setTarget(settings.blankerOn);
    }
    if (settings.blankerThresholdDb != applied.blankerThresholdDb)
        noiseBlanker.setThresholdDb(settings.blankerThresholdDb);

    if (settings.notchOn != applied.notchOn) {
        if (settings.notchOn && notchRamp.isIdle())
            notchFilter.reset();
        notchRamp.setTarget(settings.notchOn);
    }
    if (settings.notchHz != applied.notchHz || settings.notchWidthHz != applied.notchWidthHz)
        notchFilter.configure(rate, settings.notchHz, settings.notchWidthHz);

    if (settings.noiseReductionOn != applied.noiseReductionOn) {
        if (!settings.noiseReductionOn)
            reducerRamp.setTarget(false);
        else if (reducerRamp.isIdle())
            noiseReducer.reset(); // fades in once primed, see processChunk
        else
            reducerRamp.setTarget(true);
    }
    if (settings.noiseReductionDb != applied.noiseReductionDb)
        noiseReducer.setReductionDb(settings.noiseReductionDb);

    if (settings.squelchOn != applied.squelchOn && settings.squelchOn)
        squelchGate.reset();
    squelchGate.setLevelDb(settings.squelchLevelDb);
    applied = settings;
}

void ListeningChain::runStage(std::span<float> chunk, StageRamp& ramp, Stage stage, auto&& run)
{
    if (ramp.isIdle())
        return;
    ran.fetch_or(stage, std::memory_order_relaxed);
    if (ramp.isFull()) {
        run(chunk);
        return;
    }
    std::copy(chunk.begin(), chunk.end(), dry.begin());
    run(chunk);
    ramp.mix(std::span<const float>(dry.data(), chunk.size()), chunk);
}

void ListeningChain::processChunk(std::span<float> chunk)
{
    runStage(chunk, blankerRamp, blanker, [this](std::span<float> s) { noiseBlanker.process(s); });
    runStage(chunk, notchRamp, notch, [this](std::span<float> s) { notchFilter.process(s); });
    if (applied.noiseReductionOn && reducerRamp.isIdle()) {
        // Just switched on: the reducer runs unheard until its first whole
        // frame comes out, so that it fades in from sound, not from silence.
        ran.fetch_or(noiseReduction, std::memory_order_relaxed);
        std::copy(chunk.begin(), chunk.end(), dry.begin());
        noiseReducer.process(chunk);
        std::copy_n(dry.begin(), chunk.size(), chunk.begin());
        if (noiseReducer.isPrimed())
            reducerRamp.setTarget(true);
    } else {
        runStage(chunk, reducerRamp, noiseReduction, [this](std::span<float> s) { noiseReducer.process(s); });
    }
    if (applied.squelchOn || !squelchGate.isIdle()) {
        ran.fetch_or(squelch, std::memory_order_relaxed);
        squelchGate.process(chunk, applied.squelchOn);
    }
}
