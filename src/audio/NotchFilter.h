#pragma once
// A narrow notch at one audio frequency: a second-order section with its
// zeros on the unit circle at the notch and its poles just inside, run by
// liquid-dsp. New coefficients keep the section's state, so moving the notch
// while it is heard does not click.

#include <span>

struct iirfiltsos_rrrf_s;

class NotchFilter {
public:
    NotchFilter();
    ~NotchFilter();
    NotchFilter(const NotchFilter&) = delete;
    NotchFilter& operator=(const NotchFilter&) = delete;

    // The frequency is kept below the Nyquist frequency of the rate.
    void configure(double rate, double frequencyHz, double widthHz);
    void reset();
    void process(std::span<float> samples);

private:
    iirfiltsos_rrrf_s* section;
};
