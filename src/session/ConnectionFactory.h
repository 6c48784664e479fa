#pragma once
// The one place, with the server detection, that knows the kinds of server:
// it makes the connection of the detected kind, and keeps what each kind
// holds for the whole session (its sound pipeline; OpenWebRX's row counter).
// A new kind adds its case here and in the detection.

#include "connection/Broadcaster.h"
#include "connection/ReceiverConnection.h"
#include "session/ServerDetection.h"

#include <memory>

class KiwiSoundPipeline;
class OpenWebRXPipeline;
class QNetworkAccessManager;
class SoundSink;

class ConnectionFactory {
public:
    ConnectionFactory(std::shared_ptr<SoundSink> player, std::shared_ptr<Broadcaster<WaterfallRow>> rows,
        std::shared_ptr<Broadcaster<WaterfallRow>> decoderRows, QNetworkAccessManager& network);
    ~ConnectionFactory();

    ConnectionFactory(const ConnectionFactory&) = delete;
    ConnectionFactory& operator=(const ConnectionFactory&) = delete;

    std::unique_ptr<ReceiverConnection> make(
        const ServerDetectionResult& detected, ReceiverSession& session, ConnectionContext context);
    // How a receiver of the kind is asked for its listeners without
    // connecting; none for a kind that cannot tell them.
    static ListenerCountReader listenerCountReader(ServerKind kind);

private:
    const std::shared_ptr<SoundSink> m_player;
    const std::shared_ptr<Broadcaster<WaterfallRow>> m_rows;
    const std::shared_ptr<Broadcaster<WaterfallRow>> m_decoderRows;
    QNetworkAccessManager& m_network;
    // Created on first use and kept for the session's life.
    std::shared_ptr<KiwiSoundPipeline> m_kiwiSound;
    std::shared_ptr<OpenWebRXPipeline> m_openWebRXPipeline;
};
