#include "sharing/RigctlProtocol.h"

#include "sharing/RigctlModes.h"

#include <algorithm>
#include <cmath>

namespace {

using Kind = RigctlCommand::Kind;

struct CommandName {
    char letter; // 0: a long form only
    const char* name;
    Kind kind;
    int arguments;
};

constexpr CommandName commandNames[] = {
    {'f', "get_freq", Kind::getFrequency, 0},
    {'F', "set_freq", Kind::setFrequency, 1},
    {'m', "get_mode", Kind::getMode, 0},
    {'M', "set_mode", Kind::setMode, 2},
    {'v', "get_vfo", Kind::getVFO, 0},
    {'V', "set_vfo", Kind::setVFO, 1},
    {'s', "get_split_vfo", Kind::getSplit, 0},
    {'S', "set_split_vfo", Kind::setSplit, 2},
    {'t', "get_ptt", Kind::getPTT, 0},
    {'T', "set_ptt", Kind::setPTT, 1},
    {0, "chk_vfo", Kind::checkVFO, 0},
    {0, "dump_state", Kind::dumpState, 0},
    {0, "get_powerstat", Kind::getPowerStat, 0},
    {0, "get_lock_mode", Kind::getLockMode, 0},
    {'q', "quit", Kind::quit, 0},
    {'Q', "quit", Kind::quit, 0},
};

// Far beyond any receiver; keeps every number printable as a whole one.
constexpr double highestHz = 1e12;

const CommandName* commandNamed(QByteArrayView word)
{
    for (const CommandName& command : commandNames) {
        const bool letter = word.size() == 1 && command.letter != 0 && word[0] == command.letter;
        const bool name = word.size() > 1 && word[0] == '\\' && word.sliced(1) == QByteArrayView(command.name);
        if (letter || name)
            return &command;
    }
    return nullptr;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::optional<double> number(const QByteArray& text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QByteArray report(int error)
{
    return "RPRT " + QByteArray::number(-error) + '\n';
}

RigctlAnswer said(QByteArray reply)
{
    return {std::move(reply), std::nullopt, false};
}

RigctlAnswer done(RigAction action)
{
    return {report(0), std::move(action), false};
}

QByteArray wholeHz(double hz)
{
    return QByteArray::number(static_cast<qint64>(std::llround(std::clamp(hz, -highestHz, highestHz))));
}

RigctlAnswer setMode(const RigctlCommand& command, const RigView& view)
{
    const std::optional<RigModeChoice> choice = rigModeFromName(command.arguments.at(0), view.mode);
    const std::optional<double> width = number(command.arguments.at(1));
    if (!choice || !width || (*width < 0 && *width != -1))
        return said(report(RigctlError::invalidArgument));
    if (!view.modes.contains(choice->mode))
        return said(report(RigctlError::notAvailable));
    RigSetMode set{choice->mode, std::nullopt, choice->packet};
    // -1 asks for no change of the passband, 0 for the mode's own.
    if (*width == -1 && choice->mode == view.mode)
        set.passband = view.passband;
    else if (*width > 0)
        set.passband = passbandOfWidth(choice->mode, *width);
    return done(set);
}

QByteArray dumpState(const RigView& view)
{
    const auto hex = [](std::uint64_t bits) { return "0x" + QByteArray::number(qulonglong(bits), 16); };
    const std::uint64_t modes = rigModeBits(view.modes);
    const double low = std::clamp(view.lowestHz, 0.0, highestHz);
    const double high = std::clamp(view.highestHz, low, highestHz);
    QByteArray text = "1\n"  // protocol version
                      "2\n"  // rig model: NET rigctl
                      "0\n"; // ITU region
    // Receives all its modes over its range on VFO A; transmits nowhere.
    text += QByteArray::number(low, 'f', 6) + ' ' + QByteArray::number(high, 'f', 6) + ' ' + hex(modes)
        + " -1 -1 0x1 0x0\n";
    text += "0 0 0 0 0 0 0\n"
            "0 0 0 0 0 0 0\n";
    text += hex(modes) + " 1\n0 0\n"; // tuning steps: 1 Hz in every mode
    // Each mode's own filter.
    for (const Mode mode : view.modes) {
        const Passband standard = defaultPassband(mode);
        text += hex(rigModeBits({mode})) + ' ' + QByteArray::number(qint64(standard.high - standard.low)) + '\n';
    }
    text += "0 0\n";
    text += "0\n0\n0\n0\n"; // no RIT, XIT, IF shift or announcements
    text += "\n\n";         // no preamplifier or attenuator steps
    text += "0x0\n0x0\n0x0\n0x0\n0x0\n0x0\n"; // no functions, levels or parameters
    text += "vfo_ops=0x0\n"
            "ptt_type=0x0\n"
            "targetable_vfo=0x0\n"
            "has_set_vfo=0\n"
            "has_get_vfo=1\n"
            "has_set_freq=1\n"
            "has_get_freq=1\n"
            "has_set_conf=0\n"
            "has_get_conf=0\n"
            "has_power2mW=0\n"
            "has_mW2power=0\n"
            "timeout=0\n"
            "done\n";
    return text;
}

} // namespace

std::vector<RigctlCommand> parseRigctlLine(QByteArrayView line)
{
    QList<QByteArray> words;
    qsizetype at = 0;
    while (at < line.size()) {
        while (at < line.size() && isBlank(line[at]))
            ++at;
        const qsizetype start = at;
        while (at < line.size() && !isBlank(line[at]))
            ++at;
        if (at > start)
            words.append(line.sliced(start, at - start).toByteArray());
    }
    std::vector<RigctlCommand> commands;
    for (qsizetype next = 0; next < words.size();) {
        const CommandName* name = commandNamed(words[next]);
        if (!name) {
            commands.push_back({Kind::unknown, {}});
            break;
        }
        ++next;
        if (words.size() - next < name->arguments) {
            commands.push_back({Kind::missingArgument, {}});
            break;
        }
        commands.push_back({name->kind, words.mid(next, name->arguments)});
        next += name->arguments;
    }
    return commands;
}

RigctlAnswer answerRigctl(const RigctlCommand& command, const RigView& view)
{
    const auto argumentIs = [&command](std::initializer_list<const char*> accepted) {
        return std::any_of(accepted.begin(), accepted.end(),
            [&command](const char* text) { return command.arguments.value(0) == text; });
    };
    switch (command.kind) {
    case Kind::getFrequency:
        return said(wholeHz(view.frequencyHz) + '\n');
    case Kind::setFrequency: {
        // hamlib sends decimals: "F 7074000.000000".
        const std::optional<double> hz = number(command.arguments.value(0));
        if (!hz || *hz < 0 || *hz > highestHz)
            return said(report(RigctlError::invalidArgument));
        return done(RigTune{*hz});
    }
    case Kind::getMode:
        return said(rigModeName(view.mode, view.packet) + '\n'
            + QByteArray::number(qint64(std::max<std::int64_t>(view.passband.high - view.passband.low, 0))) + '\n');
    case Kind::setMode:
        return setMode(command, view);
    case Kind::getVFO:
        return said("VFOA\n");
    case Kind::setVFO:
        // The one VFO a receiver has, by the names hamlib gives it.
        return said(
            report(argumentIs({"VFOA", "currVFO", "VFO", "Main", "MainA"}) ? 0 : RigctlError::notAvailable));
    case Kind::getSplit:
        return said("0\nVFOA\n");
    case Kind::setSplit:
        if (argumentIs({"0"}))
            return said(report(0));
        return said(
            report(number(command.arguments.value(0)) ? RigctlError::notAvailable : RigctlError::invalidArgument));
    case Kind::getPTT:
        return said("0\n");
    case Kind::setPTT:
        // Receiving is all a receiver does: only "off" is done already.
        if (argumentIs({"0"}))
            return said(report(0));
        return said(report(argumentIs({"1", "2", "3"}) ? RigctlError::notAvailable : RigctlError::invalidArgument));
    case Kind::checkVFO:
        return said("0\n");
    case Kind::dumpState:
        return said(dumpState(view));
    case Kind::getPowerStat:
        return said("1\n");
    case Kind::getLockMode:
        return said("0\n");
    case Kind::quit:
        return {{}, std::nullopt, true};
    case Kind::unknown:
        return said(report(RigctlError::notImplemented));
    case Kind::missingArgument:
        return said(report(RigctlError::invalidArgument));
    }
    return said(report(RigctlError::notImplemented));
}
