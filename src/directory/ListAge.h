#pragma once
// How old a list is, in words: "less than a minute", "a minute", "5 minutes",
// "3 hours", "2 days".

#include <QString>

#include <cstdint>

QString listAgeText(std::int64_t ageMs);
