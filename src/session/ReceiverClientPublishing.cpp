// Publishing: publish records what an operation changed, and the end of the
// outermost operation tells the views, once for each value that then differs
// from before the operation.
#include "session/ReceiverClient.h"

#include <QPointer>

#include <algorithm>
#include <utility>

void ReceiverClient::noteChanged(PublishedProperty property)
{
    const auto note = [this](PublishedProperty changed) {
        if (std::find(m_changed.begin(), m_changed.end(), changed) == m_changed.end())
            m_changed.push_back(changed);
    };
    note(property);
    // A derived value counts as changed right after what it is made of.
#define RECEIVER_CLIENT_NOTE_DERIVED(type, name)                                                \
    if (name##Of(*m_before) != name##Of(m_values))                                              \
        note(P::name);
    RECEIVER_CLIENT_VALUES(RECEIVER_CLIENT_IGNORE_3, RECEIVER_CLIENT_NOTE_DERIVED, RECEIVER_CLIENT_IGNORE_3)
#undef RECEIVER_CLIENT_NOTE_DERIVED
}

void ReceiverClient::finishOperation()
{
    m_ended.clear();
    if (!m_before)
        return;
    const PublishedValues before = std::move(*m_before);
    m_before.reset();
    const std::vector<PublishedProperty> changed = std::exchange(m_changed, {});
    // A handler may call the session again, which is an operation of its own,
    // or delete it.
    const QPointer<ReceiverClient> self(this);
    for (const PublishedProperty property : changed) {
        notifyIfChanged(property, before);
        if (!self)
            return;
    }
}

void ReceiverClient::notifyIfChanged(PublishedProperty property, const PublishedValues& before)
{
    switch (property) {
#define RECEIVER_CLIENT_NOTIFY_3(type, name, value)                                             \
    case P::name:                                                                               \
        if (before.name != m_values.name)                                                       \
            emit name##Changed();                                                               \
        return;
#define RECEIVER_CLIENT_NOTIFY_2(type, name)                                                    \
    case P::name:                                                                               \
        if (name##Of(before) != name##Of(m_values))                                             \
            emit name##Changed();                                                               \
        return;
        RECEIVER_CLIENT_VALUES(RECEIVER_CLIENT_NOTIFY_3, RECEIVER_CLIENT_NOTIFY_2, RECEIVER_CLIENT_NOTIFY_3)
#undef RECEIVER_CLIENT_NOTIFY_3
#undef RECEIVER_CLIENT_NOTIFY_2
    }
}

void ReceiverClient::setInfo(ReceiverInfo info)
{
    // Every path by which a receiver's words reach the info passes here.
    for (std::optional<QString>* text : {&info.name, &info.location, &info.antenna, &info.grid, &info.gps,
             &info.hardware, &info.softwareVersion, &info.clientIP}) {
        if (*text)
            **text = boundedServerText(std::move(**text));
    }
    publish<P::info>(std::move(info));
}

void ReceiverClient::setKind(ServerKind kind, const ReceiverFeatures& features)
{
    publish<P::serverKind>(kind);
    publish<P::availableModes>(features.modes);
    publish<P::features>(features);
}
