#include "ResidentMemory.h"

#include <QFile>

#include <algorithm>
#include <numeric>

std::optional<std::int64_t> residentKiB()
{
    // Read whole: files in /proc report a size of 0, so QFile::atEnd is true at once.
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return std::nullopt;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (!line.startsWith("VmRSS:"))
            continue;
        bool ok = false;
        const qlonglong kiB = line.mid(6).simplified().split(' ').value(0).toLongLong(&ok);
        return ok && kiB > 0 ? std::optional<std::int64_t>(kiB) : std::nullopt;
    }
    return std::nullopt;
}

std::optional<MemoryVerdict> judgeMemory(const std::vector<std::int64_t>& samplesKiB,
    std::size_t firstAfterWarmUp, std::size_t tail, double allowedGrowth)
{
    if (tail == 0 || samplesKiB.size() < firstAfterWarmUp + 1 + tail)
        return std::nullopt;
    MemoryVerdict verdict;
    verdict.baselineKiB = samplesKiB[firstAfterWarmUp];
    if (verdict.baselineKiB <= 0)
        return std::nullopt;
    const auto last = samplesKiB.end() - static_cast<std::ptrdiff_t>(tail);
    verdict.finalKiB = std::accumulate(last, samplesKiB.end(), std::int64_t{0}) / static_cast<std::int64_t>(tail);
    verdict.growth = static_cast<double>(verdict.finalKiB) / static_cast<double>(verdict.baselineKiB) - 1.0;
    verdict.flat = verdict.growth <= allowedGrowth;
    return verdict;
}
