#include "openwebrx/OpenWebRXModulations.h"

QString openWebRXModulation(Mode mode)
{
    switch (mode) {
    case Mode::am:
    case Mode::amn:
    case Mode::amw:
        return QStringLiteral("am");
    case Mode::sam:
        return QStringLiteral("sam");
    case Mode::lsb:
        return QStringLiteral("lsb");
    case Mode::usb:
        return QStringLiteral("usb");
    case Mode::cw:
    case Mode::cwn:
        return QStringLiteral("cw");
    case Mode::nbfm:
        return QStringLiteral("nfm");
    case Mode::wfm:
        return QStringLiteral("wfm");
    }
    return QStringLiteral("am");
}

std::optional<Mode> modeForOpenWebRXModulation(const QString& name)
{
    if (name == QLatin1String("am"))
        return Mode::am;
    if (name == QLatin1String("sam"))
        return Mode::sam;
    if (name == QLatin1String("lsb"))
        return Mode::lsb;
    if (name == QLatin1String("usb"))
        return Mode::usb;
    if (name == QLatin1String("cw"))
        return Mode::cw;
    if (name == QLatin1String("nfm"))
        return Mode::nbfm;
    if (name == QLatin1String("wfm"))
        return Mode::wfm;
    return std::nullopt;
}
