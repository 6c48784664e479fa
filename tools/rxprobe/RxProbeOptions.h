#pragma once
// The command line of rxprobe:
//   rxprobe ADDRESS [--seconds N] [--frequency KHZ] [--mode MODE]
//           [--password TEXT] [--zoom Z] [--wav FILE]
//           [--squelch DB] [--nr] [--notch HZ] [--nb] [--reconnect]
//           [--rigctld PORT] [--sound-source NAME] [--decoder NAME]
//   rxprobe --directory SOURCE [--directory SOURCE]...

#include "model/Mode.h"
#include "model/ListeningSettings.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <chrono>
#include <optional>
#include <variant>

struct RxProbeOptions {
    QString address;
    std::chrono::milliseconds duration{10'000};
    std::optional<double> frequencyKHz;
    std::optional<Mode> mode;
    QString password;
    std::optional<int> zoom;
    // Audio goes to this WAV file instead of the sound card.
    std::optional<QString> wavPath;
    // The listening tools, as given; the player clamps them into range.
    ListeningSettings listening;
    // Reconnect after a connection broke, as the application does; off, so
    // that scripts see the first failure.
    bool reconnect = false;
    // Receiver lists (addresses or files) to read instead of connecting.
    QStringList directorySources;
    // Answers hamlib's NET rigctl on 127.0.0.1 at this port (0: any free one).
    std::optional<quint16> rigctldPort;
    // Offers the sound as a capture source of this name, instead of playing it.
    std::optional<QByteArray> soundSource;
    // A decoder of the receiver's, by its name or modulation, chosen once
    // connected on --mode (one it runs on) or its own first mode.
    std::optional<QString> decoder;
};

// The text to print instead of running: the help (exit 0) or an error (exit 2).
struct RxProbeUsage {
    QString text;
    bool isError = false;
};

// args[0] is the program name.
std::variant<RxProbeOptions, RxProbeUsage> parseRxProbeCommandLine(const QStringList& args);
