#include "sharing/RigctlModes.h"

#include <algorithm>
#include <cmath>

namespace {

// hamlib's RIG_MODE_* bits.
enum RigModeBit : std::uint64_t {
    am = 1u << 0,
    cw = 1u << 1,
    usb = 1u << 2,
    lsb = 1u << 3,
    fm = 1u << 5,
    wfm = 1u << 6,
    cwr = 1u << 7,
    ams = 1u << 9,
    pktlsb = 1u << 10,
    pktusb = 1u << 11,
    pktfm = 1u << 12,
    sam = 1u << 16,
};

struct RigName {
    const char* name;
    Mode mode;
    bool packet;
};

constexpr RigName rigNames[] = {
    {"USB", Mode::usb, false}, {"LSB", Mode::lsb, false}, {"CW", Mode::cw, false}, {"CWR", Mode::cw, false},
    {"AM", Mode::am, false}, {"SAM", Mode::sam, false}, {"AMS", Mode::sam, false}, {"FM", Mode::nbfm, false},
    {"WFM", Mode::wfm, false}, {"PKTUSB", Mode::usb, true}, {"PKTLSB", Mode::lsb, true},
    {"PKTFM", Mode::nbfm, true},
};

// Modes told by one name: the AM filters, and plain and narrow CW.
Mode family(Mode mode)
{
    switch (mode) {
    case Mode::amn:
    case Mode::amw:
        return Mode::am;
    case Mode::cwn:
        return Mode::cw;
    default:
        return mode;
    }
}

constexpr double gridHz = 10;
constexpr double narrowestHz = 50;

} // namespace

QByteArray rigModeName(Mode mode, bool packet)
{
    switch (family(mode)) {
    case Mode::usb:
        return packet ? "PKTUSB" : "USB";
    case Mode::lsb:
        return packet ? "PKTLSB" : "LSB";
    case Mode::cw:
        return "CW";
    case Mode::sam:
        return "SAM";
    case Mode::nbfm:
        return packet ? "PKTFM" : "FM";
    case Mode::wfm:
        return "WFM";
    default:
        return "AM";
    }
}

std::optional<RigModeChoice> rigModeFromName(QByteArrayView name, Mode current)
{
    const QByteArray upper = name.toByteArray().toUpper();
    for (const RigName& rig : rigNames) {
        if (upper == rig.name)
            return RigModeChoice{family(current) == rig.mode ? current : rig.mode, rig.packet};
    }
    return std::nullopt;
}

std::uint64_t rigModeBits(const QList<Mode>& modes)
{
    std::uint64_t bits = 0;
    for (const Mode mode : modes) {
        switch (family(mode)) {
        case Mode::usb:
            bits |= usb | pktusb;
            break;
        case Mode::lsb:
            bits |= lsb | pktlsb;
            break;
        case Mode::cw:
            bits |= cw | cwr;
            break;
        case Mode::sam:
            bits |= sam | ams;
            break;
        case Mode::nbfm:
            bits |= fm | pktfm;
            break;
        case Mode::wfm:
            bits |= wfm;
            break;
        default:
            bits |= am;
            break;
        }
    }
    return bits;
}

Passband passbandOfWidth(Mode mode, double widthHz)
{
    const Passband standard = defaultPassband(mode);
    const double limit = passbandEdgeLimitHz(mode);
    const double width = std::clamp(std::round(widthHz / gridHz) * gridHz, narrowestHz, 2 * limit);
    const auto whole = [](double hz) { return static_cast<std::int64_t>(std::lround(hz)); };
    if (mode == Mode::usb)
        return {standard.low, whole(std::min(double(standard.low) + width, limit))};
    if (mode == Mode::lsb)
        return {whole(std::max(double(standard.high) - width, -limit)), standard.high};
    const double centre = double(standard.low + standard.high) / 2;
    return {whole(std::max(centre - width / 2, -limit)), whole(std::min(centre + width / 2, limit))};
}
