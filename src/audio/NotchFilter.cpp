#include "audio/NotchFilter.h"

#include <complex>
#include <liquid/liquid.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

struct Coefficients {
    float b[3] = {1, 0, 0};
    float a[3] = {1, 0, 0};
};

Coefficients notchCoefficients(double rate, double frequencyHz, double widthHz)
{
    Coefficients c;
    if (!(rate > 0))
        return c;
    const double nyquist = rate / 2;
    const double frequency = std::clamp(frequencyHz, 0.0, 0.9 * nyquist);
    const double omega = 2 * std::numbers::pi * frequency / rate;
    // Pole radius for a -3 dB width of about widthHz.
    const double radius = std::clamp(1 - std::numbers::pi * widthHz / rate, 0.5, 0.99999);
    const double cosine = std::cos(omega);
    // Scaled so that the gain far from the notch is close to one.
    const double gain = (1 + radius * radius) / 2;
    c.b[0] = float(gain);
    c.b[1] = float(-2 * cosine * gain);
    c.b[2] = float(gain);
    c.a[1] = float(-2 * radius * cosine);
    c.a[2] = float(radius * radius);
    return c;
}

} // namespace

NotchFilter::NotchFilter()
{
    Coefficients c;
    section = iirfiltsos_rrrf_create(c.b, c.a);
}

NotchFilter::~NotchFilter()
{
    iirfiltsos_rrrf_destroy(section);
}

void NotchFilter::configure(double rate, double frequencyHz, double widthHz)
{
    Coefficients c = notchCoefficients(rate, frequencyHz, widthHz);
    iirfiltsos_rrrf_set_coefficients(section, c.b, c.a);
}

void NotchFilter::reset()
{
    iirfiltsos_rrrf_reset(section);
}

void NotchFilter::process(std::span<float> samples)
{
    for (float& sample : samples)
        iirfiltsos_rrrf_execute_df1(section, sample, &sample);
}
