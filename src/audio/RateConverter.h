#pragma once
// Converts a stream from one sample rate to another, block by block, keeping
// the filter state between blocks: a recording whose stream changes rate (an
// OpenWebRX receiver switching to or from wide FM) stays at the rate it
// started with. liquid-dsp's polyphase resampler (60 dB stop band, cut off
// below the lower of the two Nyquist frequencies).

#include <span>
#include <vector>

struct resamp_rrrf_s;

class RateConverter {
public:
    RateConverter(double fromRate, double toRate);
    ~RateConverter();
    RateConverter(const RateConverter&) = delete;
    RateConverter& operator=(const RateConverter&) = delete;

    double fromRate() const { return from; }
    // Replaces `out` with the converted block; `in` is used as scratch.
    void convert(std::span<float> in, std::vector<float>& out);

private:
    double from;
    double ratio;
    resamp_rrrf_s* resampler;
};
