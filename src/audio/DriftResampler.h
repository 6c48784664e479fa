#pragma once
// Stretches or squeezes a stream by a ratio close to one, so the player can
// follow a sound card's clock (speexdsp's resampler). While the ratio is
// exactly one the samples pass unchanged; the first other ratio starts the
// resampler warmed with the samples just passed and without its delay, so the
// switch is seamless.

#include <array>
#include <span>
#include <vector>

struct SpeexResamplerState_;

class DriftResampler {
public:
    DriftResampler() = default;
    ~DriftResampler();
    DriftResampler(const DriftResampler&) = delete;
    DriftResampler& operator=(const DriftResampler&) = delete;

    // A new stream at this rate: passing unchanged again.
    void reset(double sampleRate);
    // Replaces `out` with `in` at `ratio` output frames per input frame.
    void process(std::span<const float> in, double ratio, std::vector<float>& out);
    // The ratio the last block was made with: the one asked for, rounded to
    // the resampler's steps.
    double appliedRatio() const;

private:
    void engage(double ratio);
    void setRatio(double ratio);
    void remember(std::span<const float> in);

    static constexpr std::size_t historySize = 128;

    SpeexResamplerState_* m_state = nullptr;
    unsigned m_rate = 12000;
    unsigned m_ratioDen = 0;
    // The last input frames, oldest first, while passing unchanged.
    std::array<float, historySize> m_history {};
    // Output frames still to drop: the resampler's delay after engaging.
    unsigned m_skip = 0;
};
