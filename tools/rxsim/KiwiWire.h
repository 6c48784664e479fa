#pragma once
// The KiwiSDR wire format from the server's side: the binary frames rxsim
// sends, and the "SET ..." commands it reads from a client. Pure functions.

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>
#include <span>
#include <utility>
#include <vector>

// "MSG " followed by the space-separated parameters.
QByteArray kiwiMessageFrame(const QString& parameters);
// "SND", flags, sequence (LE32), S-meter (BE16, raw = (dBm + 127) * 10), payload.
QByteArray kiwiSoundFrame(std::uint8_t flags, std::uint32_t sequence, double rssiDbm,
                          std::span<const std::uint8_t> payload);
// "W/F", a zero byte, xBin (LE32), zoom (LE32), sequence (LE32), bins.
QByteArray kiwiWaterfallFrame(std::uint32_t xBin, int zoom, std::uint32_t sequence,
                              std::span<const std::uint8_t> bins);

// Percent-encoding as the receiver's parameter values use it.
QString kiwiPercentEncoded(const QString& text);

// A client command: its verb ("SET") and its words, each key=value or a bare key.
struct KiwiCommand {
    QString verb;
    std::vector<std::pair<QString, std::optional<QString>>> words;

    // The value of the first word with this key (absent when missing or bare).
    std::optional<QString> value(QStringView key) const;
    bool has(QStringView key) const;
};

// No value for an empty text.
std::optional<KiwiCommand> parseKiwiCommand(QStringView text);

// A complete, finite decimal number in the C locale; nothing for "inf",
// "nan", blanks or trailing text.
std::optional<double> parseFiniteNumber(const std::optional<QString>& text);
