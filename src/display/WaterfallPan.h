#pragma once
// Tuning with the pointer on the waterfall, as plain arithmetic: where a click
// lands, and the state of a drag that pans the picture and retunes by the same
// amount until the server's rows catch up with it.

#include "model/Mode.h"

#include <chrono>
#include <optional>

// The grid, in kHz, that a click in the mode snaps to.
double tapTuneStep(Mode mode);

// The frequency in kHz a click at `x` of a strip `width` wide tunes to, or
// none when the strip or the span is empty.
std::optional<double> tappedFrequencyKHz(double leftHz, double spanHz, double x, double width, Mode mode);
// `kHz` on the mode's grid; none when that is not a finite number.
std::optional<double> snappedToTuneStep(double kHz, Mode mode);

class WaterfallPan {
public:
    using Clock = std::chrono::steady_clock;

    // Where the picture and the tuning stood when the drag began.
    struct Origin {
        double startHz = 0;
        double kHz = 0;
    };

    // What one step of a drag asks of the session.
    struct Move {
        double startHz = 0;   // the new left edge
        double kHz = 0;       // the new tuned frequency, on a 10 Hz grid
    };

    // The band the picture may show.
    struct Band {
        double baseHz = 0;
        double bandwidthHz = 0;
    };

    // How long a finished drag waits for the server to show its start.
    static constexpr std::chrono::milliseconds settleTime{1000};

    // The left edge on screen: the panned one while a pan is pending.
    double displayedStartHz(double rowStartHz) const { return m_panStartHz.value_or(rowStartHz); }

    // One change of a drag by `translationX` in a strip `width` wide. Gives a
    // move when the pan start changed, none otherwise. Callers check that the
    // width and span are positive. Without `retune` the move keeps the
    // frequency and the start follows the pointer exactly.
    std::optional<Move> dragChanged(double translationX, double width, double spanHz,
        double rowStartHz, double frequencyKHz, Band band, bool retune = true);
    void dragEnded(Clock::time_point now);
    // Gives up the pan at once (the span changed).
    void drop();
    // A row arrived showing `rowStartHz`: the pan ends when the server caught
    // up within `toleranceHz`, or after the deadline of a finished drag.
    void settle(double rowStartHz, double toleranceHz, Clock::time_point now);

    bool isDragging() const { return m_dragOrigin.has_value(); }
    const std::optional<double>& panStartHz() const { return m_panStartHz; }
    const std::optional<Clock::time_point>& settleDeadline() const { return m_settleDeadline; }

private:
    std::optional<Origin> m_dragOrigin;
    std::optional<double> m_panStartHz;
    std::optional<Clock::time_point> m_settleDeadline;
};
