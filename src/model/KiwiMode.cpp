#include "model/KiwiMode.h"

namespace {

struct ModeRow {
    KiwiMode mode;
    const char* raw;
    std::int64_t low;
    std::int64_t high;
};

constexpr std::array<ModeRow, 10> modeTable{{
    {KiwiMode::am, "am", -4900, 4900},
    {KiwiMode::amn, "amn", -2500, 2500},
    {KiwiMode::amw, "amw", -6000, 6000},
    {KiwiMode::sam, "sam", -4900, 4900},
    {KiwiMode::lsb, "lsb", -2700, -300},
    {KiwiMode::usb, "usb", 300, 2700},
    {KiwiMode::cw, "cw", 300, 700},
    {KiwiMode::cwn, "cwn", 470, 530},
    {KiwiMode::nbfm, "nbfm", -6000, 6000},
    {KiwiMode::wfm, "wfm", -75000, 75000},
}};

const ModeRow& row(KiwiMode mode)
{
    return modeTable[static_cast<std::size_t>(mode)];
}

} // namespace

QString rawValue(KiwiMode mode)
{
    return QString::fromLatin1(row(mode).raw);
}

std::optional<KiwiMode> kiwiModeFromRawValue(const QString& text)
{
    for (const ModeRow& r : modeTable) {
        if (text == QLatin1String(r.raw))
            return r.mode;
    }
    return std::nullopt;
}

KiwiPassband defaultPassband(KiwiMode mode)
{
    return {row(mode).low, row(mode).high};
}

QString openWebRXModulation(KiwiMode mode)
{
    switch (mode) {
    case KiwiMode::am:
    case KiwiMode::amn:
    case KiwiMode::amw:
        return QStringLiteral("am");
    case KiwiMode::sam:
        return QStringLiteral("sam");
    case KiwiMode::lsb:
        return QStringLiteral("lsb");
    case KiwiMode::usb:
        return QStringLiteral("usb");
    case KiwiMode::cw:
    case KiwiMode::cwn:
        return QStringLiteral("cw");
    case KiwiMode::nbfm:
        return QStringLiteral("nfm");
    case KiwiMode::wfm:
        return QStringLiteral("wfm");
    }
    return QStringLiteral("am");
}

std::optional<KiwiMode> modeForOpenWebRXModulation(const QString& name)
{
    if (name == QLatin1String("am"))
        return KiwiMode::am;
    if (name == QLatin1String("sam"))
        return KiwiMode::sam;
    if (name == QLatin1String("lsb"))
        return KiwiMode::lsb;
    if (name == QLatin1String("usb"))
        return KiwiMode::usb;
    if (name == QLatin1String("cw"))
        return KiwiMode::cw;
    if (name == QLatin1String("nfm"))
        return KiwiMode::nbfm;
    if (name == QLatin1String("wfm"))
        return KiwiMode::wfm;
    return std::nullopt;
}
