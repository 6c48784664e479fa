#pragma once
// Resident memory of this process, and the verdict on a series of samples.

#include <cstdint>
#include <optional>
#include <vector>

// VmRSS from /proc/self/status, in KiB.
std::optional<std::int64_t> residentKiB();

struct MemoryVerdict {
    std::int64_t baselineKiB = 0; // the first sample after the warm-up
    std::int64_t finalKiB = 0;    // the mean of the last samples
    double growth = 0;            // finalKiB / baselineKiB - 1
    bool flat = false;
};

// Compares the mean of the last `tail` samples with the first sample taken
// after the warm-up (index `firstAfterWarmUp`); none when there are too few.
std::optional<MemoryVerdict> judgeMemory(const std::vector<std::int64_t>& samplesKiB,
    std::size_t firstAfterWarmUp, std::size_t tail, double allowedGrowth);
