#pragma once
// Holds the player's queue at the level it reached when playing started,
// against a sound card whose clock runs a little faster or slower than the
// server's. Once a second of input it compares the mean queue level with that
// target and adjusts the resampling ratio (output frames per input frame) by a
// slow proportional-integral step, bounded to ±0.5 %: a card 150 ppm off is
// matched within a few minutes, the pitch moving by a few hundredths of a
// percent at most. Plain arithmetic on the enqueuing thread.

class QueueDriftControl {
public:
    static constexpr double maxCorrection = 0.005;

    // A new stream: no target, no correction.
    void reset();
    // Playing starts again after the queue ran dry: a new target, but the
    // card's clock is the same, so the correction stays.
    void restartMeasurement();
    // A block of `inputSeconds` was queued and the queue now holds
    // `queuedSeconds`. Returns the ratio for the next block.
    double blockQueued(double queuedSeconds, double inputSeconds);
    double ratio() const { return 1.0 + m_correction; }

private:
    double m_periodSeconds = 0;
    double m_levelTimesSeconds = 0;
    bool m_hasTarget = false;
    double m_target = 0;
    double m_filteredError = 0;
    double m_integral = 0;
    double m_correction = 0;
};
