#include "audio/QueueDriftControl.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double periodSeconds = 1.0;
// A critically damped loop with a time constant of 200 s (integral gain
// kp² / 4): a sudden 150 ppm offset moves the queue by at most about 11 ms.
constexpr double kp = 0.01;
constexpr double ki = kp * kp / 4;
// The queue level jumps by a block at every arrival and by the card's period
// at every read; a 5 s average keeps that out of the pitch.
constexpr double errorSmoothing = periodSeconds / 5.0;

} // namespace

void QueueDriftControl::reset()
{
    *this = QueueDriftControl();
}

void QueueDriftControl::restartMeasurement()
{
    m_periodSeconds = 0;
    m_levelTimesSeconds = 0;
    m_hasTarget = false;
    m_filteredError = 0;
}

double QueueDriftControl::blockQueued(double queuedSeconds, double inputSeconds)
{
    if (!std::isfinite(queuedSeconds) || !(inputSeconds > 0) || !std::isfinite(inputSeconds))
        return ratio();
    m_periodSeconds += inputSeconds;
    m_levelTimesSeconds += queuedSeconds * inputSeconds;
    if (m_periodSeconds < periodSeconds)
        return ratio();
    const double level = m_levelTimesSeconds / m_periodSeconds;
    const double elapsed = m_periodSeconds;
    m_periodSeconds = 0;
    m_levelTimesSeconds = 0;
    if (!m_hasTarget) {
        m_target = level;
        m_hasTarget = true;
        return ratio();
    }
    // Too full means the card is slower than the server: fewer output frames.
    m_filteredError += errorSmoothing * (level - m_target - m_filteredError);
    m_integral = std::clamp(m_integral + ki * m_filteredError * elapsed, -maxCorrection, maxCorrection);
    m_correction = std::clamp(-(kp * m_filteredError + m_integral), -maxCorrection, maxCorrection);
    return ratio();
}
