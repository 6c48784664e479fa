#pragma once
// The values of a list entry, each read from untrusted text: nothing for
// what is not a number in range, texts plain and cut.

#include "directory/Geo.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <utility>

// The receiver's address as rows are keyed and shown: lower-case scheme
// (http or https) and host, the port always written (80 or 443 when none
// is), no path, query or user. Nothing for anything else.
std::optional<QString> normalizedReceiverUrl(const QString& text);

// "(50.85, 4.30)", also with a third part ("(50.85,4.30,12z)"); nothing for a
// position out of range or one lists use for "unknown": (-69, 90) and (0, 0).
std::optional<GeoPoint> positionFromGps(const QString& text);
// Listeners and channels: a whole number 0 .. 1000.
std::optional<int> countFromText(const QString& text);
// "low-high" in Hz, each 0 .. 100 GHz, low not above high.
std::optional<std::pair<std::int64_t, std::int64_t>> bandsFromText(const QString& text);
// The first number of "all,hf", rounded, within -50 .. 150 dB.
std::optional<int> snrFromText(const QString& text);
// The text after "_v" of "KiwiSDR_v1.560"; the whole text without one.
QString versionFromSoftware(const QString& text);
