#include "audio/RateConverter.h"

#include <liquid/liquid.h>

#include <algorithm>
#include <cmath>

RateConverter::RateConverter(double fromRate, double toRate)
    : from(fromRate)
    , ratio(toRate / fromRate)
    , resampler(resamp_rrrf_create_default(static_cast<float>(ratio)))
{
}

RateConverter::~RateConverter()
{
    resamp_rrrf_destroy(resampler);
}

void RateConverter::convert(std::span<float> in, std::vector<float>& out)
{
    // Each input sample gives at most ceil(ratio) output samples.
    out.resize(static_cast<std::size_t>(std::ceil(std::max(ratio, 1.0))) * in.size() + 1);
    unsigned int written = 0;
    resamp_rrrf_execute_block(resampler, in.data(), static_cast<unsigned int>(in.size()), out.data(), &written);
    out.resize(written);
}
