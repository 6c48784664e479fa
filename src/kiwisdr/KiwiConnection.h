#pragma once
// The conversation with a KiwiSDR: the sound channel (authentication, the
// receiver's parameters and refusals, the setup, audio and the S-meter), the
// waterfall channel it opens once accepted, the keepalive on both, and the
// status page when detection did not already bring it.

#include "kiwisdr/KiwiFrames.h"
#include "connection/Broadcaster.h"
#include "kiwisdr/KiwiCommands.h"
#include "kiwisdr/KiwiParamValues.h"
#include "connection/ReceiverConnection.h"

#include <QHash>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

class KiwiSoundPipeline;
class QNetworkAccessManager;

class KiwiConnection final : public ReceiverConnection {
public:
    // `statusFields` is the status page when detection already read it; it is
    // read again every statusRefreshInterval while connected (the users and
    // the uptime change).
    KiwiConnection(ReceiverSession& session, ConnectionContext context,
        std::optional<QHash<QString, QString>> statusFields, std::shared_ptr<KiwiSoundPipeline> sound,
        std::shared_ptr<Broadcaster<WaterfallRow>> rows, QNetworkAccessManager& network);
    ~KiwiConnection() override;

    // Every mode but wide FM, with gain controls, a calibrated S-meter and a
    // waterfall that slows itself when asked.
    static ReceiverFeatures kiwiFeatures();

    ReceiverFeatures features() const override { return kiwiFeatures(); }
    void open() override;
    void sendTuning(const ReceiverTuning& tuning) override;
    void sendGain(const ReceiverGain& gain) override;
    void setWaterfallView(int zoom, double startHz) override;
    void selectProfile(const QString&) override { }
    // Sent after the waterfall setup (which asks for the fastest) when
    // another speed is chosen, and at once when changed later.
    void setWaterfallSpeed(WaterfallSpeed speed) override;
    // A KiwiSDR's decoders run through extension channels and in its web
    // page; none is offered here.
    void sendDecoder(const ReceiverTuning&, const std::optional<QString>&) override { }
    void sendDecoderOffset(std::int64_t) override { }
    void close() override;

    // A sound-channel parameter, or a "load_cfg" already read on the network
    // thread. They wait for the GUI thread merged: the latest value of each
    // key, in the order the keys first came.
    // The operator's band bars from "load_dxcfg".
    struct KiwiBandBars {
        std::vector<BandBar> bars;
    };
    using SoundParameter = std::variant<KiwiParam, KiwiReceiverConfig, KiwiBandBars>;
    using SoundParameters = std::vector<SoundParameter>;

private:
    // What the sound frames since the last report say: the latest level, and
    // whether any of them was overloaded.
    struct SoundLevel {
        double rssi = 0;
        bool isOverloaded = false;
    };

    // Sound channel (KiwiConnection.cpp).
    static void mergeSoundParameters(SoundParameters& pending, const KiwiParams& params);
    void handleSoundParameters(const SoundParameters& params);
    void handleSoundFrame(bool isOverloaded, double rssi);
    void accept();
    void sendSoundSetup();
    void sendKeepalives();
    void refreshStatus();

    // Waterfall channel (KiwiWaterfallChannel.cpp).
    void openWaterfall();
    static void mergeWaterfallParameters(KiwiParams& pending, const KiwiParams& params);
    void handleWaterfallParameters(const KiwiParams& params);
    void waterfallPlaced(int zoom, double startHz);
    void waterfallFailed();

    ReceiverSession& m_session;
    const ConnectionContext m_context;
    const std::optional<QHash<QString, QString>> m_statusFields;
    const std::shared_ptr<KiwiSoundPipeline> m_sound;
    const std::shared_ptr<Broadcaster<WaterfallRow>> m_rows;
    QNetworkAccessManager& m_network;

    std::unique_ptr<WebSocketChannel> m_soundSocket;
    std::unique_ptr<WebSocketChannel> m_waterfallSocket;
    int m_waterfallSpeed = kiwiFastestWaterfallSpeed;
    bool m_waterfallSetUp = false;
    QTimer m_keepalive;
    QTimer m_statusRefresh;
    // Parent of the status page request; deleting it cancels the request.
    std::unique_ptr<QObject> m_requests;
    bool m_isAccepted = false;
    bool m_didSendSoundSetup = false;
    bool m_didOpenWaterfall = false;
    bool m_didReceiveWaterfall = false;
    // Resending the rate the audio already plays at changes nothing.
    std::optional<double> m_audioRate;
};
