#pragma once
// The receiver session as rigctl sees it: its tuning as a RigView, and a set
// from another program applied exactly as the window's own controls apply it
// (ReceiverClient::tune and setMode), so the receiver, the display and a
// recording's retune log all follow.

#include "sharing/RigctlServer.h"

#include <QObject>

#include <optional>

class ReceiverClient;

class SessionRig : public QObject {
    Q_OBJECT
public:
    explicit SessionRig(ReceiverClient& client, QObject* parent = nullptr);

    RigctlTarget target();

private:
    RigView view() const;
    void apply(const RigAction& action);

    ReceiverClient& m_client;
    // The mode another program set as a data mode (PKTUSB), told back so
    // until the mode changes otherwise.
    std::optional<Mode> m_packetMode;
    bool m_applying = false;
};
