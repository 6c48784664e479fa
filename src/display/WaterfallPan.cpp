#include "display/WaterfallPan.h"

#include <algorithm>
#include <cmath>

double tapTuneStep(Mode mode)
{
    switch (mode) {
    case Mode::am:
    case Mode::amn:
    case Mode::amw:
    case Mode::sam:
    case Mode::nbfm:
        return 1;
    case Mode::lsb:
    case Mode::usb:
        return 0.1;
    case Mode::cw:
    case Mode::cwn:
        return 0.01;
    case Mode::wfm:
        return 100;
    }
    return 1;
}

std::optional<double> tappedFrequencyKHz(double leftHz, double spanHz, double x, double width, Mode mode)
{
    if (!(width > 0) || !(spanHz > 0))
        return std::nullopt;
    return snappedToTuneStep((leftHz + x / width * spanHz) / 1000, mode);
}

std::optional<double> snappedToTuneStep(double kHz, Mode mode)
{
    const double step = tapTuneStep(mode);
    // Fine steps divide by their whole inverse, so that 7050.3 comes out as
    // the nearest double to 7050.3 rather than 70503 times 0.1.
    const double snapped = step >= 1 ? step * std::round(kHz / step)
                                     : std::round(kHz * std::round(1 / step)) / std::round(1 / step);
    if (!std::isfinite(snapped))
        return std::nullopt;
    return snapped;
}

std::optional<WaterfallPan::Move> WaterfallPan::dragChanged(double translationX, double width,
    double spanHz, double rowStartHz, double frequencyKHz, Band band, bool retune)
{
    const Origin origin = m_dragOrigin.value_or(Origin{displayedStartHz(rowStartHz), frequencyKHz});
    m_dragOrigin = origin;
    m_settleDeadline.reset();

    const double top = std::max(band.baseHz, band.baseHz + band.bandwidthHz - spanHz);
    const double start = std::min(std::max(origin.startHz - translationX / width * spanHz, band.baseHz), top);
    const double kHz = retune ? std::round((origin.kHz * 1000 + (start - origin.startHz)) / 10) / 100 : origin.kHz;
    const double panStart = retune ? origin.startHz + (kHz - origin.kHz) * 1000 : start;
    if (!std::isfinite(kHz) || !std::isfinite(panStart))
        return std::nullopt;
    if (m_panStartHz == panStart)
        return std::nullopt;
    m_panStartHz = panStart;
    return Move{panStart, kHz};
}

void WaterfallPan::dragEnded(Clock::time_point now)
{
    m_dragOrigin.reset();
    m_settleDeadline = now + settleTime;
}

void WaterfallPan::drop()
{
    m_panStartHz.reset();
    m_dragOrigin.reset();
    m_settleDeadline.reset();
}

void WaterfallPan::settle(double rowStartHz, double toleranceHz, Clock::time_point now)
{
    if (m_dragOrigin || !m_panStartHz)
        return;
    const double distance = std::abs(rowStartHz - *m_panStartHz);
    const bool caughtUp = distance <= toleranceHz;
    if (m_settleDeadline ? (!caughtUp && now < *m_settleDeadline) : !caughtUp)
        return;
    m_panStartHz.reset();
    m_settleDeadline.reset();
}
