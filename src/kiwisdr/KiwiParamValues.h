#pragma once
// Reading the values of server parameters. Every number a server sends is
// untrusted: the readers below give no value for anything that is not a
// finite, representable number, and the limits keep the rest in range before
// it becomes a shift, a divisor or an integer.

#include "model/ReceiverModel.h"

#include <QString>

#include <cstdint>
#include <optional>

// Highest waterfall zoom level any computation accepts; 2^30 bins fit easily.
inline constexpr int maxZoomLevel = 30;

// A complete decimal floating-point text in the C locale (optional sign, no
// blanks), finite. No value for an absent value.
std::optional<double> parseServerNumber(const std::optional<QString>& value);
// An optional sign and decimal digits, within 64 bits.
std::optional<std::int64_t> parseServerInteger(const std::optional<QString>& value);

// A band width a session can compute with: positive, finite and not absurd.
bool isUsableBandwidth(double hz);
int clampedZoom(std::int64_t zoom);

// The value truncated toward zero, or rounded with halves away from zero; no
// value when it is not finite or outside the 64-bit range.
std::optional<std::int64_t> truncatedToInt64(double value);
std::optional<std::int64_t> roundedToInt64(double value);

// %XX sequences decoded as UTF-8; the text unchanged when that fails.
QString percentDecoded(const QString& text);
// Every character but the ASCII letters and digits percent-encoded as UTF-8.
QString percentEncodedAlphanumerics(const QString& text);

// The version after a "version_maj" or "version_min" parameter.
QString updatedSoftwareVersion(const std::optional<QString>& current, const QString& key,
    const std::optional<QString>& value);

// A "load_cfg" value longer than this is not read: a real receiver's is a
// few kilobytes, and reading a huge one would cost a copy per step.
inline constexpr qsizetype maxReceiverConfigLength = 1024 * 1024;

// What the receiver's configuration says about it.
struct KiwiReceiverConfig {
    std::optional<QString> name;
    std::optional<QString> location;
    std::optional<QString> antenna;
    std::optional<QString> grid;
    std::optional<std::int64_t> inactivityTimeoutMinutes;
};

// Reads a "load_cfg" value (percent-encoded JSON). No value for one that is
// too long or not a JSON object. Its texts are cut to maxServerTextLength.
std::optional<KiwiReceiverConfig> readReceiverConfig(const QString& loadCfgValue);
// Texts that were missing or empty leave the info's as they were.
void applyReceiverConfig(ReceiverInfo& info, const KiwiReceiverConfig& config);
// Folds a later configuration into an earlier one, so that applying the result
// equals applying both in turn.
void mergeReceiverConfig(KiwiReceiverConfig& earlier, const KiwiReceiverConfig& later);
