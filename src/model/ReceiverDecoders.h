#pragma once
// The decoders a receiver runs for its listeners (an OpenWebRX server's
// digital modes: CW, RTTY, PSK, FT8 and more), and which one the listener
// has chosen. A decoder works on the sound of one of its underlying modes and
// listens at an offset from the carrier, signed as the sideband is: 1000 Hz
// of audio is +1000 in USB and -1000 in LSB.

#include "model/Mode.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

// A server's decoder list beyond this length is cut; its names to
// maxLabelNameLength characters.
inline constexpr qsizetype maxReceiverDecoders = 200;
// Where a decoder listens until the listener moves it: 1000 Hz of audio.
inline constexpr std::int64_t defaultDecoderOffsetHz = 1000;

// One mode a decoder can work on, with the passband the server gives it there.
struct DecoderUnderlying {
    Mode mode = Mode::usb;
    Passband passband;
    friend bool operator==(const DecoderUnderlying&, const DecoderUnderlying&) = default;
};

struct ReceiverDecoder {
    // The server's own name for it, sent back to choose it.
    QString modulation;
    // Shown to the listener.
    QString name;
    // In the server's order; the first is the one chosen unless the listener
    // is tuned to another of them. Modes we cannot tune to are left out.
    QList<DecoderUnderlying> underlying;
    // The server sends a spectrum of the decoder's channel.
    bool spectrum = true;
    // What the server says it needs and lacks.
    QStringList missingRequirements;

    bool isAvailable() const { return missingRequirements.isEmpty() && !underlying.isEmpty(); }
    friend bool operator==(const ReceiverDecoder&, const ReceiverDecoder&) = default;
};

// Why a decoder cannot be chosen, in words for the listener; none when it can.
std::optional<QString> decoderUnavailableReason(const ReceiverDecoder& decoder);

// The decoder whose modulation is `nameOrModulation`, or whose name is, in
// any case; null when none is.
const ReceiverDecoder* findDecoder(const QList<ReceiverDecoder>& decoders, const QString& nameOrModulation);

// The mode a decoder runs on: the one asked for, else the mode tuned when the
// decoder can work on it, else its first. None when the one asked for is not
// among its modes.
std::optional<DecoderUnderlying> decoderUnderlying(
    const ReceiverDecoder& decoder, std::optional<Mode> asked, Mode tuned);

// The offset kept inside the passband: as it is when it lies there, mirrored
// when its mirror does (a new sideband), else the passband's middle.
std::int64_t decoderOffsetInPassband(std::int64_t offsetHz, Passband passband);

// The decoder the listener has chosen and where in the passband it listens.
struct DecoderChoice {
    QString modulation;
    std::int64_t offsetHz = defaultDecoderOffsetHz;
    friend bool operator==(const DecoderChoice&, const DecoderChoice&) = default;
};

// What the server says of the chosen decoder's channel.
struct DecoderChannel {
    // How wide a signal the decoder takes.
    std::optional<double> bandwidthHz;
    friend bool operator==(const DecoderChannel&, const DecoderChannel&) = default;
};
