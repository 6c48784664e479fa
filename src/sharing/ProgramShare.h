#pragma once
// What one window (or rxprobe) shares with the radio programs of the machine:
// its sound as a capture source and its tuning over hamlib's NET rigctl.
// The source is named after the receiver once one is connected (or given a
// fixed name) and keeps its name while the window is not connected; the
// rigctl server listens on 127.0.0.1 unless other computers are let in.
// Removing it (destroying it) removes the source and closes the port.

#include "audio/AudioPlayer.h"
#include "audio/SoundSourceNames.h"
#include "sharing/RigctlServer.h"

#include <QObject>

#include <memory>
#include <optional>

class CaptureSource;
class ReceiverClient;
class SessionRig;

class ProgramShare : public QObject {
    Q_OBJECT
public:
    struct Options {
        bool sound = true;
        bool rigctl = true;
        // The first port tried, and how many from it on: the next free one
        // serves another window.
        quint16 firstPort = RigctlServer::defaultPort;
        int portsToTry = 100;
        // Listens on every address instead of 127.0.0.1 alone.
        bool openToNetwork = false;
        // The source takes the sound after the listening tools.
        bool listeningTools = false;
        // None: named after the receiver.
        std::optional<SoundSourceName> sourceName;
    };

    ProgramShare(ReceiverClient& client, std::shared_ptr<AudioPlayer> player, const Options& options,
        QObject* parent = nullptr);
    ~ProgramShare() override;

    void setOpenToNetwork(bool open);
    void setListeningTools(bool on);

    // Null for what is not shared.
    const CaptureSource* source() const { return m_source; }
    const RigctlServer* rigctl() const { return m_rigctl; }

signals:
    // The source, the port or the number of programs connected changed.
    void changed();

private:
    void followReceiver();
    void listen(quint16 first, int tries);

    ReceiverClient& m_client;
    const std::shared_ptr<AudioPlayer> m_player;
    Options m_options;
    CaptureSource* m_source = nullptr;
    SessionRig* m_rig = nullptr;
    RigctlServer* m_rigctl = nullptr;
};
