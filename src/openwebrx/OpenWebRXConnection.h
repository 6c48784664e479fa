#pragma once
// The conversation with an OpenWebRX server: one socket carrying the
// handshake line, JSON messages and typed binary frames. Frames go to the
// stream pipeline on the network thread; a JSON message is read there too
// (after the pipeline has taken its part of a "config") and reaches the
// session on the GUI thread as the values it means, S-meter levels merged to
// the latest. Zoom and pan crop the full band locally; the server is not told.

#include "openwebrx/OpenWebRXEvent.h"
#include "connection/ReceiverConnection.h"

#include <memory>
#include <optional>

class OpenWebRXPipeline;

class OpenWebRXConnection final : public ReceiverConnection {
public:
    OpenWebRXConnection(ReceiverSession& session, ConnectionContext context,
        std::shared_ptr<OpenWebRXPipeline> pipeline);
    ~OpenWebRXConnection() override;

    // A common few modes until the server names its own; band profiles
    // instead of gain controls; S-meter levels relative to an unknown
    // reference; rows at the server's own rate; decoders.
    static ReceiverFeatures openWebRXFeatures();
    // Our modes for the modulations a server offers; before it names them, a
    // common few.
    static QList<Mode> modesFor(const QSet<QString>& modulations);

    ReceiverFeatures features() const override { return openWebRXFeatures(); }
    void open() override;
    void sendTuning(const ReceiverTuning& tuning) override;
    void sendGain(const ReceiverGain&) override { }
    void setWaterfallView(int zoom, double startHz) override;
    void selectProfile(const QString& id) override;
    // The server sends rows at its own rate.
    void setWaterfallSpeed(WaterfallSpeed) override { }
    void sendDecoder(const ReceiverTuning& tuning, const std::optional<QString>& modulation) override;
    void sendDecoderOffset(std::int64_t offsetHz) override;
    void close() override;

private:
    void handleEvent(const OpenWebRXEvent& event);
    void applyConfig(const OpenWebRXConfigValues& values);

    ReceiverSession& m_session;
    const ConnectionContext m_context;
    const std::shared_ptr<OpenWebRXPipeline> m_pipeline;
    std::unique_ptr<WebSocketChannel> m_socket;
    // Known from the first config with a band; tuning waits for it.
    std::optional<double> m_centerHz;
    // The decoders are offered once both are known, or the modes alone.
    std::optional<OpenWebRXModes> m_modes;
    std::optional<QSet<QString>> m_features;
    bool m_didStartDemodulator = false;
};
