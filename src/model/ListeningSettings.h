#pragma once
// The listening tools a window applies to the received sound: noise blanker,
// notch, noise reduction and squelch, each off by default. Every number has
// a range; clamped() brings any value (a stored one, a typed one, a clicked
// one) into it, and a value that is not a number falls back to the default.

#include "model/Mode.h"

#include <optional>

struct ListeningSettings {
    struct Range {
        double low;
        double high;
        double standard;
    };
    // Squelch: dB above the measured noise floor.
    static constexpr Range squelchLevelRange{1, 60, 10};
    // Noise reduction: how far noise may be pushed down, in dB.
    static constexpr Range noiseReductionRange{3, 30, 12};
    static constexpr Range notchRange{100, 4000, 1000};
    // The notch's -3 dB width.
    static constexpr Range notchWidthRange{10, 500, 80};
    // Blanker: how far above the average level a sample counts as an impulse.
    static constexpr Range blankerThresholdRange{6, 30, 15};

    bool squelchOn = false;
    double squelchLevelDb = squelchLevelRange.standard;
    bool noiseReductionOn = false;
    double noiseReductionDb = noiseReductionRange.standard;
    bool notchOn = false;
    double notchHz = notchRange.standard;
    double notchWidthHz = notchWidthRange.standard;
    bool blankerOn = false;
    double blankerThresholdDb = blankerThresholdRange.standard;

    ListeningSettings clamped() const;
    friend bool operator==(const ListeningSettings&, const ListeningSettings&) = default;
};

double clampedToRange(double value, ListeningSettings::Range range);

// The audio frequency at which a line seen at `lineHz` on the waterfall is
// heard while tuned to `tunedHz` in the mode: USB above the dial, LSB below
// it, CW above the carrier (the dial less the carrier offset), AM on either
// side. FM gives none: a line's place does not say what it sounds like there.
std::optional<double> audioFrequencyOfLine(double lineHz, double tunedHz, Mode mode);
