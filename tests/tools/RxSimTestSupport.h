#pragma once
// What rxprobe's tests need of rxsim: the server and a tone detector.

#include "RxSimServer.h"

#include <QTest>

#include <cmath>
#include <numbers>
#include <span>

// Power of one frequency in a block of samples (Goertzel).
inline double tonePower(std::span<const float> samples, double hz, double rate)
{
    const double k = 2 * std::cos(2 * std::numbers::pi * hz / rate);
    double s1 = 0, s2 = 0;
    for (const float x : samples) {
        const double s0 = x + k * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return (s1 * s1 + s2 * s2 - k * s1 * s2) / static_cast<double>(samples.size());
}
