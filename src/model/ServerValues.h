#pragma once
// Reading the numbers servers send. Every number a server sends is untrusted:
// the readers below give no value for anything that is not a finite,
// representable number, and the limits keep the rest in range before it
// becomes a shift, a divisor or an integer.

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
