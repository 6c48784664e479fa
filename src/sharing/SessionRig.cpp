#include "sharing/SessionRig.h"

#include "session/ReceiverClient.h"

#include <type_traits>

SessionRig::SessionRig(ReceiverClient& client, QObject* parent)
    : QObject(parent)
    , m_client(client)
{
    connect(&m_client, &ReceiverClient::modeChanged, this, [this] {
        if (!m_applying)
            m_packetMode.reset();
    });
}

RigctlTarget SessionRig::target()
{
    return {[this] { return view(); }, [this](const RigAction& action) { apply(action); }};
}

RigView SessionRig::view() const
{
    const ReceiverInfo& info = m_client.info();
    RigView view;
    view.frequencyHz = m_client.frequencyKHz() * 1000;
    view.mode = m_client.mode();
    view.passband = m_client.passband();
    view.packet = m_packetMode == m_client.mode();
    view.modes = m_client.availableModes();
    view.lowestHz = info.baseHz;
    view.highestHz = info.baseHz + info.bandwidthHz;
    return view;
}

void SessionRig::apply(const RigAction& action)
{
    std::visit(
        [this](const auto& set) {
            using Set = std::decay_t<decltype(set)>;
            if constexpr (std::is_same_v<Set, RigTune>) {
                m_client.tune(set.frequencyHz / 1000);
            } else {
                m_applying = true;
                m_client.setMode(set.mode, set.passband);
                m_applying = false;
                m_packetMode = set.packet ? std::optional(set.mode) : std::nullopt;
            }
        },
        action);
}
