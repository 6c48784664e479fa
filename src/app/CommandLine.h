#pragma once
// The command line: farlisten [--frequency KHZ] [--mode MODE]
//                             [--directory SOURCE]… [ADDRESS]…
// Each address opens a main window that connects to it; --frequency and
// --mode tune every one of them, over the tuning of a web-page address, or
// preset the one window that opens when no address is given. What cannot be
// used is left out with a warning; only --help and --version end the program
// before a window opens. --directory names the receiver lists (addresses or
// files) the Receivers window reads instead of the public ones.

#include "session/ReceiverAddress.h"

#include <QList>
#include <QStringList>

#include <optional>

struct LaunchRequest {
    // One per usable address, with the options' tuning applied.
    QList<ReceiverAddress> addresses;
    // The options' tuning, for the window without an address.
    std::optional<double> frequencyKHz;
    std::optional<Mode> mode;
    // The receiver lists to read; empty for the public ones.
    QStringList directorySources;
    QStringList warnings;
    // Help or version text: print it and leave.
    std::optional<QString> exitText;
};

// `arguments` as QCoreApplication::arguments() gives them, program first.
LaunchRequest readCommandLine(const QStringList& arguments);
