#include "audio/NoiseReducer.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <numbers>

namespace {

constexpr double frameSeconds = 0.02;
// Per-hop weights: the smoothing of each bin's power, and of its a-priori
// signal-to-noise ratio (decision-directed).
constexpr float powerSmoothing = 0.7f;
constexpr float priorSmoothing = 0.96f;
// How fast a bin's noise may rise, in dB per second.
constexpr double riseDbPerSecond = 4.0;
// The followed minimum lies below the mean of the noise by about this much.
constexpr float minimumBias = 2.0f;
// A bin's noise may lie at most this far above the quietest within
// `neighbourBins` on either side.
constexpr float neighbourCeiling = 4.0f;
constexpr std::size_t neighbourBins = 6;
constexpr float quietestPower = 1e-20f;

// FFTW's planner keeps shared state: plans are made and destroyed one at a
// time in the whole process.
std::mutex& planLock()
{
    static std::mutex lock;
    return lock;
}

std::size_t frameSizeFor(double rate)
{
    std::size_t size = 16;
    while (size < 4096 && double(size) < frameSeconds * rate)
        size *= 2;
    return size;
}

} // namespace

struct NoiseReducer::Plans {
    fftwf_plan forward = nullptr;
    fftwf_plan backward = nullptr;

    Plans(std::size_t size, float* frame, std::complex<float>* spectrum)
    {
        auto* bins = reinterpret_cast<fftwf_complex*>(spectrum);
        const std::lock_guard guard(planLock());
        forward = fftwf_plan_dft_r2c_1d(int(size), frame, bins, FFTW_ESTIMATE);
        backward = fftwf_plan_dft_c2r_1d(int(size), bins, frame, FFTW_ESTIMATE);
    }
    ~Plans()
    {
        const std::lock_guard guard(planLock());
        fftwf_destroy_plan(forward);
        fftwf_destroy_plan(backward);
    }
    Plans(const Plans&) = delete;
    Plans& operator=(const Plans&) = delete;
};

NoiseReducer::NoiseReducer() = default;
NoiseReducer::~NoiseReducer() = default;

void NoiseReducer::setSampleRate(double rate)
{
    plans.reset();
    size = frameSizeFor(rate);
    hop = size / 2;
    window.resize(size);
    // Periodic Hann, square-rooted for analysis and again for synthesis: at
    // half a frame apart the two together add up to one.
    for (std::size_t i = 0; i < size; ++i)
        window[i] = float(std::sqrt(0.5 - 0.5 * std::cos(2 * std::numbers::pi * double(i) / double(size))));
    input.assign(size, 0.0f);
    overlap.assign(size, 0.0f);
    output.assign(hop, 0.0f);
    const std::size_t bins = size / 2 + 1;
    spectrum.assign(bins, {});
    frame.assign(size, 0.0f);
    smoothed.assign(bins, 0.0f);
    envelope.assign(bins, 0.0f);
    noise.assign(bins, 0.0f);
    fromLeft.assign(bins, 0.0f);
    fromRight.assign(bins, 0.0f);
    previousClean.assign(bins, 0.0f);
    riseFactor = float(std::pow(10.0, riseDbPerSecond / 10.0 * double(hop) / rate));
    reset();
}

void NoiseReducer::prepare()
{
    if (!plans && size > 0)
        plans = std::make_unique<Plans>(size, frame.data(), spectrum.data());
}

void NoiseReducer::setReductionDb(double db)
{
    gainFloor = float(std::pow(10.0, -db / 20.0));
}

void NoiseReducer::reset()
{
    std::fill(input.begin(), input.end(), 0.0f);
    std::fill(overlap.begin(), overlap.end(), 0.0f);
    std::fill(output.begin(), output.end(), 0.0f);
    std::fill(envelope.begin(), envelope.end(), 0.0f);
    std::fill(previousClean.begin(), previousClean.end(), 0.0f);
    fill = 0;
    seen = 0;
    primed = false;
}

void NoiseReducer::process(std::span<float> samples)
{
    if (!plans)
        return;
    for (float& sample : samples) {
        input[hop + fill] = sample;
        sample = output[fill];
        if (++fill == hop) {
            processFrame();
            fill = 0;
        }
    }
    seen += samples.size();
    primed = primed || seen >= size;
}

void NoiseReducer::processFrame()
{
    for (std::size_t i = 0; i < size; ++i)
        frame[i] = input[i] * window[i];
    fftwf_execute(plans->forward);

    const std::size_t bins = size / 2 + 1;
    const bool first = envelope[0] == 0.0f;
    for (std::size_t k = 0; k < bins; ++k) {
        const float power = std::max(std::norm(spectrum[k]), quietestPower);
        smoothed[k] = first ? power : powerSmoothing * smoothed[k] + (1 - powerSmoothing) * power;
        envelope[k] = first ? smoothed[k] : std::min(smoothed[k], envelope[k] * riseFactor);
    }
    // The quietest envelope within `neighbourBins` of each bin, as a running
    // minimum from each side over blocks of the window's width.
    constexpr std::size_t width = 2 * neighbourBins + 1;
    for (std::size_t start = 0; start < bins; start += width) {
        const std::size_t end = std::min(bins, start + width);
        fromLeft[start] = envelope[start];
        for (std::size_t k = start + 1; k < end; ++k)
            fromLeft[k] = std::min(fromLeft[k - 1], envelope[k]);
        fromRight[end - 1] = envelope[end - 1];
        for (std::size_t k = end - 1; k > start; --k)
            fromRight[k - 1] = std::min(fromRight[k], envelope[k - 1]);
    }
    for (std::size_t k = 0; k < bins; ++k) {
        const std::size_t low = k > neighbourBins ? k - neighbourBins : 0;
        const std::size_t high = std::min(bins - 1, k + neighbourBins);
        const float quietest = std::min(fromRight[low], fromLeft[high]);
        noise[k] = minimumBias * std::min(envelope[k], neighbourCeiling * quietest);
    }
    for (std::size_t k = 0; k < bins; ++k) {
        const float power = std::max(std::norm(spectrum[k]), quietestPower);
        const float inverseNoise = 1.0f / noise[k];
        const float posterior = power * inverseNoise;
        const float prior = priorSmoothing * previousClean[k] * inverseNoise
            + (1 - priorSmoothing) * std::max(posterior - 1.0f, 0.0f);
        const float gain = std::max(prior / (1.0f + prior), gainFloor);
        previousClean[k] = gain * gain * power;
        spectrum[k] *= gain;
    }
    fftwf_execute(plans->backward);

    const float scale = 1.0f / float(size);
    for (std::size_t i = 0; i < size; ++i)
        overlap[i] += frame[i] * window[i] * scale;
    std::copy_n(overlap.begin(), hop, output.begin());
    std::copy(overlap.begin() + std::ptrdiff_t(hop), overlap.end(), overlap.begin());
    std::fill(overlap.begin() + std::ptrdiff_t(hop), overlap.end(), 0.0f);
    std::copy(input.begin() + std::ptrdiff_t(hop), input.end(), input.begin());
}
