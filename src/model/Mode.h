#pragma once
// The demodulation mode and the audio passband: the words every layer uses to
// talk about how a signal is heard.

#include <QHashFunctions>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

enum class Mode { am, amn, amw, sam, lsb, usb, cw, cwn, nbfm, wfm };

// The audio filter in Hz relative to the tuned carrier (negative = below it).
struct Passband {
    std::int64_t low = 0;
    std::int64_t high = 0;
    friend bool operator==(const Passband&, const Passband&) = default;
};

// Every mode, in the order the user is offered them.
inline constexpr std::array<Mode, 10> allModes{
    Mode::am, Mode::amn, Mode::amw, Mode::sam, Mode::lsb,
    Mode::usb, Mode::cw, Mode::cwn, Mode::nbfm, Mode::wfm};

// The text a KiwiSDR server, the receiver's web page and stored bookmarks use.
QString rawValue(Mode mode);
// Exactly the ten raw values, case-sensitive; anything else is no mode.
std::optional<Mode> modeFromRawValue(const QString& text);
// A mode as listeners and files write it: a raw value in any case and with
// blanks around it, or "nfm" for narrow FM.
std::optional<Mode> modeFromWord(const QString& text);

Passband defaultPassband(Mode mode);
// How far from the carrier a passband's edges may lie: a receiver's audio is
// some 12 kHz wide, only wide FM is wider.
double passbandEdgeLimitHz(Mode mode);

// CW is heard this far above the carrier: the user tunes to the tone, the
// receiver is told the carrier below it.
constexpr double carrierOffsetHz(Mode mode)
{
    return mode == Mode::cw || mode == Mode::cwn ? 500 : 0;
}

inline size_t qHash(Mode mode, size_t seed = 0) noexcept
{
    return qHashMulti(seed, static_cast<int>(mode));
}
