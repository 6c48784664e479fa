#pragma once
// An address as a listener gives it: what the address field takes (host,
// host:port, an http(s) URL), or a receiver's own web-page address with its
// tuning in it. KiwiSDR pages carry it in the query, "?f=7200.00lsbz3"
// (kHz, mode, zoom); OpenWebRX pages in the fragment,
// "#freq=7200000,mod=lsb" (Hz, modulation). Reading one never fails: parts
// that cannot be used are left out and named in `warnings`.

#include "model/Mode.h"

#include <QString>
#include <QStringList>

#include <optional>

struct ReceiverAddress {
    // What goes to ReceiverClient::connect: the text without query and fragment.
    QString server;
    std::optional<double> frequencyKHz;
    std::optional<Mode> mode;
    std::optional<int> zoom;
    // One sentence per part that was ignored, for the listener.
    QStringList warnings;

    bool hasTuning() const { return frequencyKHz || mode || zoom; }
};

// Longer texts are taken as the server alone, without looking for tuning.
inline constexpr int maxReceiverAddressLength = 2048;
// Frequencies outside 0 .. 10 GHz are no receiver's.
inline constexpr double maxReceiverFrequencyKHz = 10'000'000;
inline constexpr int maxReceiverAddressZoom = 30;

ReceiverAddress parseReceiverAddress(const QString& text);

// A mode as a listener or a web page writes it: a KiwiSDR mode or an
// OpenWebRX modulation, in any case.
std::optional<Mode> modeFromAddressText(const QString& text);
// A frequency in kHz as typed: a decimal number in 0 .. 10 GHz.
std::optional<double> frequencyKHzFromText(const QString& text);
// Why the text is no address the address field could connect to, in a
// sentence that names what is wrong with it, or nothing when it is one.
std::optional<QString> serverAddressProblem(const QString& text);
// How a server address is listed: the normalised URL ("http://host:8073/")
// of a plain address, a web-page address with tuning as typed (trimmed).
QString listedServerAddress(const QString& text);
