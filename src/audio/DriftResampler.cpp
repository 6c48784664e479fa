#include "audio/DriftResampler.h"

#include <speex/speex_resampler.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

// Ratios are set in steps of 1/32768 (31 ppm; the queue's control averages
// between two steps). speexdsp scales its filter phase by the old and new
// denominators in 32 bits when the ratio changes, so their product must stay
// below 2^32: with denominators near a million it overflows and reads outside
// its tables. Its default quality (a 64-tap filter) is far above the
// receivers' own sound.
constexpr std::uint32_t ratioScale = 32768;
constexpr int quality = SPEEX_RESAMPLER_QUALITY_DEFAULT;

} // namespace

DriftResampler::~DriftResampler()
{
    if (m_state)
        speex_resampler_destroy(m_state);
}

void DriftResampler::reset(double sampleRate)
{
    if (m_state)
        speex_resampler_destroy(m_state);
    m_state = nullptr;
    m_ratioDen = 0;
    m_skip = 0;
    m_history.fill(0.0f);
    // The rate only places speexdsp's filter; the ratio is what counts.
    m_rate = static_cast<unsigned>(std::clamp(std::lround(sampleRate), 1L, 1'000'000'000L));
}

void DriftResampler::process(std::span<const float> in, double ratio, std::vector<float>& out)
{
    if (!m_state && ratio == 1.0) {
        out.assign(in.begin(), in.end());
        remember(in);
        return;
    }
    if (!m_state)
        engage(ratio);
    if (!m_state) {
        out.assign(in.begin(), in.end());
        return;
    }
    setRatio(ratio);
    // At most 1 % more frames than came in, plus the filter's rounding.
    out.resize(in.size() + in.size() / 64 + 8);
    std::size_t written = 0;
    std::size_t read = 0;
    while (read < in.size()) {
        auto inLength = static_cast<spx_uint32_t>(
            std::min<std::size_t>(in.size() - read, std::numeric_limits<spx_uint32_t>::max()));
        auto outLength = static_cast<spx_uint32_t>(out.size() - written);
        if (outLength == 0)
            out.resize(out.size() + 64);
        outLength = static_cast<spx_uint32_t>(out.size() - written);
        speex_resampler_process_float(m_state, 0, in.data() + read, &inLength, out.data() + written, &outLength);
        if (inLength == 0 && outLength == 0)
            break;
        read += inLength;
        written += outLength;
    }
    const std::size_t skipped = std::min<std::size_t>(m_skip, written);
    m_skip -= static_cast<unsigned>(skipped);
    out.erase(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(skipped));
    out.resize(written - skipped);
}

double DriftResampler::appliedRatio() const
{
    return m_state ? double(m_ratioDen) / ratioScale : 1.0;
}

void DriftResampler::engage(double ratio)
{
    int error = 0;
    m_state = speex_resampler_init(1, m_rate, m_rate, quality, &error);
    if (!m_state)
        return;
    // The history, resampled at one to one and thrown away, fills the filter;
    // the delay it adds from then on is dropped from the first output.
    speex_resampler_set_rate_frac(m_state, ratioScale, ratioScale, m_rate, m_rate);
    m_ratioDen = ratioScale;
    std::array<float, historySize + 8> discard {};
    spx_uint32_t inLength = historySize;
    auto outLength = static_cast<spx_uint32_t>(discard.size());
    speex_resampler_process_float(m_state, 0, m_history.data(), &inLength, discard.data(), &outLength);
    m_skip = static_cast<unsigned>(std::max(0, speex_resampler_get_output_latency(m_state)));
    setRatio(ratio);
}

void DriftResampler::setRatio(double ratio)
{
    // speexdsp takes input over output frames.
    const double bounded = std::clamp(std::isfinite(ratio) ? ratio : 1.0, 0.99, 1.01);
    const auto den = static_cast<unsigned>(std::lround(bounded * ratioScale));
    if (den == m_ratioDen)
        return;
    speex_resampler_set_rate_frac(m_state, ratioScale, den, m_rate, m_rate);
    m_ratioDen = den;
}

void DriftResampler::remember(std::span<const float> in)
{
    if (in.size() >= historySize) {
        std::copy(in.end() - historySize, in.end(), m_history.begin());
        return;
    }
    std::move(m_history.begin() + static_cast<std::ptrdiff_t>(in.size()), m_history.end(), m_history.begin());
    std::copy(in.begin(), in.end(), m_history.end() - static_cast<std::ptrdiff_t>(in.size()));
}
