#pragma once
// Integers from servers are read strictly: an optional sign and decimal digits,
// nothing else, within the signed 64-bit range.

#include <QStringView>

#include <cstdint>
#include <optional>

std::optional<std::int64_t> parseStrictInteger(QStringView text);
