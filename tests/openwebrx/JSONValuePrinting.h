#pragma once
// Readable JSONValue in test failure messages.

#include "openwebrx/JSONValue.h"

#include <ostream>

inline void PrintTo(const JSONValue& value, std::ostream* os)
{
    if (value.isNull()) {
        *os << "null";
    } else if (auto b = value.asBool()) {
        *os << (*b ? "true" : "false");
    } else if (auto n = value.asNumber()) {
        *os << *n;
    } else if (auto s = value.asString()) {
        *os << '"' << s->toStdString() << '"';
    } else if (const auto* array = value.asArray()) {
        *os << '[';
        for (const auto& element : *array) {
            PrintTo(element, os);
            *os << ',';
        }
        *os << ']';
    } else if (const auto* object = value.asObject()) {
        *os << '{';
        for (const auto& [key, member] : *object) {
            *os << '"' << key.toStdString() << "\":";
            PrintTo(member, os);
            *os << ',';
        }
        *os << '}';
    }
}
