#pragma once
// hamlib's NET rigctl protocol as rigctld speaks it, for a receiver: the
// commands WSJT-X, fldigi and `rigctl -m 2` send, in their one-letter and long
// forms, read from one line, and the answers rigctld gives. Pure functions of
// plain values: the line is another program's text, never trusted.

#include "model/Mode.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <optional>
#include <variant>
#include <vector>

// What the receiver looks like to the other program.
struct RigView {
    double frequencyHz = 0;
    Mode mode = Mode::usb;
    Passband passband;
    // Told as PKTUSB or PKTLSB: the other program set the data flavour of
    // the sideband now heard.
    bool packet = false;
    QList<Mode> modes;
    double lowestHz = 0;
    double highestHz = 30e6;
};

// What a command asks the receiver to do. The frequency is clamped into the
// receiver's range by whoever tunes.
struct RigTune {
    double frequencyHz = 0;
};
struct RigSetMode {
    Mode mode = Mode::usb;
    // None: the mode's own.
    std::optional<Passband> passband;
    bool packet = false;
};
using RigAction = std::variant<RigTune, RigSetMode>;

struct RigctlCommand {
    enum class Kind {
        getFrequency, setFrequency, getMode, setMode, getVFO, setVFO, getSplit, setSplit, getPTT, setPTT,
        checkVFO, dumpState, getPowerStat, getLockMode, quit,
        unknown,         // a command this receiver does not know
        missingArgument, // the line ended before its arguments
    };
    Kind kind = Kind::unknown;
    QList<QByteArray> arguments;
};

// Every command of the line in order (rigctld takes several on one line);
// the line ends at the first unknown one. No line terminator in `line`.
std::vector<RigctlCommand> parseRigctlLine(QByteArrayView line);

struct RigctlAnswer {
    QByteArray reply;
    std::optional<RigAction> action;
    // The other program said goodbye: close without a reply.
    bool closes = false;
};
// The answer to one command while the receiver is as `view` shows: the reply
// of a get, or for a set "RPRT 0" and what to do (negative RPRT codes for a
// refusal: a receiver never transmits and has one VFO).
RigctlAnswer answerRigctl(const RigctlCommand& command, const RigView& view);

// hamlib's error codes, as a negative "RPRT" carries them.
namespace RigctlError {
inline constexpr int invalidArgument = 1;  // RIG_EINVAL
inline constexpr int notImplemented = 4;   // RIG_ENIMPL
inline constexpr int notAvailable = 11;    // RIG_ENAVAIL
} // namespace RigctlError
