// What another program sends to the rigctl port: read each line as the server
// does, answer every command, and let the sets move the receiver so later
// commands see it. Answers stay plain lines of printable ASCII.
#include "sharing/RigctlProtocol.h"
#include "sharing/RigctlServer.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <type_traits>

namespace {

void checkReply(const QByteArray& reply)
{
    if (!reply.isEmpty() && !reply.endsWith('\n'))
        std::abort();
    for (const char c : reply) {
        if (c != '\n' && (c < 0x20 || c > 0x7e))
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    RigView view;
    view.frequencyHz = 7'074'000;
    view.passband = defaultPassband(Mode::usb);
    view.modes = {Mode::am, Mode::usb, Mode::lsb, Mode::cw, Mode::nbfm};
    for (const QByteArray& line : input.split('\n')) {
        if (line.size() > RigctlServer::maxLineBytes)
            break;
        for (const RigctlCommand& command : parseRigctlLine(line)) {
            const RigctlAnswer answer = answerRigctl(command, view);
            checkReply(answer.reply);
            if (answer.closes && !answer.reply.isEmpty())
                std::abort();
            if (!answer.action)
                continue;
            if (const auto* tune = std::get_if<RigTune>(&*answer.action)) {
                if (!(tune->frequencyHz >= 0 && tune->frequencyHz <= 1e12))
                    std::abort();
                view.frequencyHz = std::clamp(tune->frequencyHz, view.lowestHz, view.highestHz);
            } else {
                const auto& set = std::get<RigSetMode>(*answer.action);
                if (!view.modes.contains(set.mode))
                    std::abort();
                const Passband passband = set.passband.value_or(defaultPassband(set.mode));
                const double limit = passbandEdgeLimitHz(set.mode);
                if (passband.low >= passband.high || passband.low < -limit || passband.high > limit)
                    std::abort();
                view.mode = set.mode;
                view.passband = passband;
                view.packet = set.packet;
            }
        }
    }
    return 0;
}
