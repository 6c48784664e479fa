#pragma once
// The demodulation mode and the audio passband: the words every layer uses to
// talk about how a signal is heard.

#include <QHashFunctions>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

enum class KiwiMode { am, amn, amw, sam, lsb, usb, cw, cwn, nbfm, wfm };

// The audio filter in Hz relative to the tuned carrier (negative = below it).
struct KiwiPassband {
    std::int64_t low = 0;
    std::int64_t high = 0;
    friend bool operator==(const KiwiPassband&, const KiwiPassband&) = default;
};

// Every mode, in the order the user is offered them.
inline constexpr std::array<KiwiMode, 10> allKiwiModes{
    KiwiMode::am, KiwiMode::amn, KiwiMode::amw, KiwiMode::sam, KiwiMode::lsb,
    KiwiMode::usb, KiwiMode::cw, KiwiMode::cwn, KiwiMode::nbfm, KiwiMode::wfm};

// The text a KiwiSDR server, the receiver's web page and stored bookmarks use.
QString rawValue(KiwiMode mode);
// Exactly the ten raw values, case-sensitive; anything else is no mode.
std::optional<KiwiMode> kiwiModeFromRawValue(const QString& text);

KiwiPassband defaultPassband(KiwiMode mode);

// CW is heard this far above the carrier: the user tunes to the tone, the
// receiver is told the carrier below it.
constexpr double carrierOffsetHz(KiwiMode mode)
{
    return mode == KiwiMode::cw || mode == KiwiMode::cwn ? 500 : 0;
}

// OpenWebRX names its modulations differently; the narrow and wide variants
// collapse onto their base name and never come back from it.
QString openWebRXModulation(KiwiMode mode);
std::optional<KiwiMode> modeForOpenWebRXModulation(const QString& name);

inline size_t qHash(KiwiMode mode, size_t seed = 0) noexcept
{
    return qHashMulti(seed, static_cast<int>(mode));
}
