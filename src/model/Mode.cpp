#include "model/Mode.h"

#include <algorithm>
#include <cstdlib>

namespace {

struct ModeRow {
    Mode mode;
    const char* raw;
    std::int64_t low;
    std::int64_t high;
};

constexpr std::array<ModeRow, 10> modeTable{{
    {Mode::am, "am", -4900, 4900},
    {Mode::amn, "amn", -2500, 2500},
    {Mode::amw, "amw", -6000, 6000},
    {Mode::sam, "sam", -4900, 4900},
    {Mode::lsb, "lsb", -2700, -300},
    {Mode::usb, "usb", 300, 2700},
    {Mode::cw, "cw", 300, 700},
    {Mode::cwn, "cwn", 470, 530},
    {Mode::nbfm, "nbfm", -6000, 6000},
    {Mode::wfm, "wfm", -75000, 75000},
}};

const ModeRow& row(Mode mode)
{
    return modeTable[static_cast<std::size_t>(mode)];
}

} // namespace

QString rawValue(Mode mode)
{
    return QString::fromLatin1(row(mode).raw);
}

std::optional<Mode> modeFromRawValue(const QString& text)
{
    for (const ModeRow& r : modeTable) {
        if (text == QLatin1String(r.raw))
            return r.mode;
    }
    return std::nullopt;
}

std::optional<Mode> modeFromWord(const QString& text)
{
    const QString word = text.trimmed().toLower();
    if (word == QLatin1String("nfm"))
        return Mode::nbfm;
    return modeFromRawValue(word);
}

Passband defaultPassband(Mode mode)
{
    return {row(mode).low, row(mode).high};
}

double passbandEdgeLimitHz(Mode mode)
{
    const ModeRow& r = row(mode);
    return static_cast<double>(std::max<std::int64_t>({6000, std::abs(r.low), std::abs(r.high)}));
}
