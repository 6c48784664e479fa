#pragma once
// The receiver session of one main window: connects to one web receiver at a
// time, finds out what kind of server it is, hands the conversation to a
// connection of that kind, plays its audio, hands its waterfall rows to the
// views, and holds everything the views show. Lives on the GUI thread.
//
// Every published value is a property. Each public call, and each event a
// connection handles, is one operation; its changes are published once the
// outermost operation is over, one signal per property whose value then
// differs from before it. A handler of those signals may call the session
// again: that is a new operation.

#include "connection/Broadcaster.h"
#include "connection/ReceiverConnection.h"
#include "model/Mode.h"
#include "model/ReceiverModel.h"
#include "model/ReceiverProfile.h"
#include "model/WaterfallLook.h"
#include "session/PublishedValues.h"
#include "session/ReconnectSchedule.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QUrl>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class AudioPlayer;
class ConnectionFactory;
class ReceiverError;
class QNetworkAccessManager;
class QTimer;
struct ServerDetectionResult;

class ReceiverClient : public QObject, private ReceiverSession {
    Q_OBJECT
#define RECEIVER_CLIENT_QT_PROPERTY_3(type, name, value) Q_PROPERTY(type name READ name NOTIFY name##Changed)
#define RECEIVER_CLIENT_QT_PROPERTY_2(type, name) Q_PROPERTY(type name READ name NOTIFY name##Changed)
    RECEIVER_CLIENT_VALUES(RECEIVER_CLIENT_QT_PROPERTY_3, RECEIVER_CLIENT_QT_PROPERTY_2, RECEIVER_CLIENT_IGNORE_3)
#undef RECEIVER_CLIENT_QT_PROPERTY_3
#undef RECEIVER_CLIENT_QT_PROPERTY_2

public:
    using State = ConnectionState;
    using RowBroadcaster = Broadcaster<WaterfallRow>;

    static constexpr std::chrono::milliseconds defaultKeepaliveInterval{5000};

    // `identity` is the name announced to KiwiSDR servers. Without a player
    // the session plays through the sound card.
    explicit ReceiverClient(QString identity, std::shared_ptr<AudioPlayer> player = nullptr,
        QObject* parent = nullptr);
    ~ReceiverClient() override;

    // Blanks trimmed; scheme http and port 8073 when no scheme was typed; the
    // path ends in "/"; no query or fragment. No URL when there is no host.
    static std::optional<QUrl> normalizedServerURL(const QString& address);
    // The receiver's own web page tuned to the frequency: the query is the
    // single item f=<kHz with two decimals><mode>.
    static QUrl webPageURL(const QUrl& base, double frequencyKHz, Mode mode);

    // Ends whatever was open and starts a connection.
    void connect(const QString& address, const QString& password = QString(),
        std::optional<double> frequencyKHz = std::nullopt, std::optional<Mode> mode = std::nullopt);
    // Ends the current connection, and any waiting to reconnect; a failed
    // state keeps its message.
    void disconnect();

    // Reconnecting by itself after a connection broke without a refusal;
    // off without a policy. A refusal is never answered by a new try.
    void setReconnectPolicy(std::optional<ReconnectPolicy> policy);
    // Ends the waiting for the next try, or for a free channel; the
    // failure's words stay.
    void cancelReconnect();
    // After every channel was busy, on a receiver whose status page counts
    // its listeners: reads only that page, every poll interval for at most
    // maxFreeChannelWait, and connects as soon as it shows a free channel.
    void waitForFreeChannel();
    static constexpr std::chrono::milliseconds defaultFreeChannelPoll{30'000};
    static constexpr std::chrono::milliseconds maxFreeChannelWait{30 * 60'000};
    void setFreeChannelPoll(std::chrono::milliseconds interval) { m_freeChannelPoll = interval; }
    // The network came back: a waiting try starts now.
    void networkAvailable();
    // Puts back saved tuning without telling any server.
    void restoreTuning(Mode mode, int zoom, double frequencyKHz);

    // Tuning. Each changes the published state, then tells the server if a
    // channel is open; without one the next connection sends it.
    void tune(double frequencyKHz);
    void setMode(Mode mode, std::optional<Passband> passband = std::nullopt);
    void setAGC(bool enabled, std::optional<int> manualGain = std::nullopt);
    void sendTune();
    void sendAGC();
    void setWaterfallZoom(int zoom);
    double clampedWaterfallStart(double startHz, double spanHz) const;
    // Moves the waterfall to start at the frequency (panning).
    void sendZoomStart(double startHz);
    // Kept across connections; told to a receiver whose features say it
    // slows its own waterfall.
    void setWaterfallSpeed(WaterfallSpeed speed);
    WaterfallSpeed waterfallSpeed() const { return m_waterfallSpeed; }

    // Switches a receiver with band profiles to another of them.
    void selectProfile(const QString& id);

    // Runs one of the receiver's decoders (by its modulation or its name) on
    // the mode asked for, else on the mode tuned when it can, else on its
    // first. One the receiver does not offer, or cannot run, or not on that
    // mode, sets decoderError and changes nothing else. A decoder keeps
    // running while the mode is one it works on; any other mode ends it.
    // Asked for before the receiver has named its decoders and its band, it
    // waits for them.
    void chooseDecoder(const QString& nameOrModulation, std::optional<Mode> underlying = std::nullopt);
    // Ends the decoder; the mode stays.
    void stopDecoder();
    // Where from the carrier the decoder listens, in Hz (signed as the
    // sideband is), kept inside the passband.
    void setDecoderOffset(std::int64_t offsetHz);

    void setVolume(float volume);
    void setMuted(bool muted);
    void applyVolume();

    // Waterfall rows for the views, delivered on each subscriber's thread.
    RowBroadcaster& rows() { return *m_rows; }
    // Every byte the session's connections have received so far.
    std::uint64_t receivedBytes() const { return m_receivedBytes->load(std::memory_order_relaxed); }
    // Rows of the chosen decoder's spectrum, placed in Hz from the carrier.
    RowBroadcaster& decoderRows() { return *m_decoderRows; }

    // Tests shorten the keepalive period and how long a server may take to
    // answer the detection requests and to say anything on a new socket.
    void setKeepaliveInterval(std::chrono::milliseconds interval) { m_keepaliveInterval = interval; }
    void setDetectionTimeout(std::chrono::milliseconds timeout) { m_detectionTimeout = timeout; }
    void setOpenTimeout(std::chrono::milliseconds timeout) { m_openTimeout = timeout; }
    // How often a KiwiSDR's status page is read again while connected.
    void setStatusRefreshInterval(std::chrono::milliseconds interval) { m_statusRefreshInterval = interval; }

    // The published values (session/PublishedValues.h).
#define RECEIVER_CLIENT_GETTER_3(type, name, value) \
    const type& name() const { return m_values.name; }
#define RECEIVER_CLIENT_GETTER_2(type, name) \
    type name() const { return name##Of(m_values); }
    RECEIVER_CLIENT_VALUES(RECEIVER_CLIENT_GETTER_3, RECEIVER_CLIENT_GETTER_2, RECEIVER_CLIENT_GETTER_3)
#undef RECEIVER_CLIENT_GETTER_3
#undef RECEIVER_CLIENT_GETTER_2

signals:
#define RECEIVER_CLIENT_SIGNAL_3(type, name, value) void name##Changed();
#define RECEIVER_CLIENT_SIGNAL_2(type, name) void name##Changed();
    RECEIVER_CLIENT_VALUES(RECEIVER_CLIENT_SIGNAL_3, RECEIVER_CLIENT_SIGNAL_2, RECEIVER_CLIENT_SIGNAL_3)
#undef RECEIVER_CLIENT_SIGNAL_3
#undef RECEIVER_CLIENT_SIGNAL_2
    // A try of the automatic reconnecting is starting.
    void reconnectTryStarted(int tryNumber, int maxTries);

private:
    using P = PublishedProperty;

    // One operation of the session; the outermost one publishes what changed.
    class Operation {
    public:
        explicit Operation(ReceiverClient& client) : m_client(client) { ++m_client.m_operationDepth; }
        ~Operation()
        {
            if (--m_client.m_operationDepth == 0)
                m_client.finishOperation();
        }
        Operation(const Operation&) = delete;
        Operation& operator=(const Operation&) = delete;

    private:
        ReceiverClient& m_client;
    };

    // Lifecycle (ReceiverClient.cpp).
    void openConnection(const QString& address, const QString& password, std::optional<double> frequencyKHz,
        std::optional<Mode> mode);
    void endConnection();
    void tearDown();
    QObject* tasks();
    EventPost eventPost();
    void detectionFinished(const QUrl& url, const ServerDetectionResult& result);
    void endWith(const ReceiverError& error);
    // The derived values (session/PublishedValues.h).
    static std::optional<SMeterReading> sMeterOf(const PublishedValues& values);

    // Reconnecting (ReceiverClientReconnect.cpp).
    void brokeConnection(const ReceiverError& error, bool wasConnected);
    void scheduleTry();
    void startTry();
    void refreshCountdown();
    void stopReconnecting();
    void resumeWaterfall();
    void resumeProfile();
    static ReconnectPolicy::Duration monotonicNow();

    // Waiting for a free channel (ReceiverClientFreeChannel.cpp).
    void offerFreeChannelWait(const ReceiverError& error);
    void pollListenerCounts();
    void listenerCountsRead(const ListenerCounts& counts);
    void stopWaitingForFreeChannel();

    // What the connection reads and reports (ReceiverClientReports.cpp).
    ReceiverTuning currentTuning() const override;
    ReceiverGain currentGain() const override;
    const ReceiverInfo& receiverInfo() const override { return m_values.info; }
    QList<Mode> offeredModes() const override { return availableModes(); }
    ReceiverTuning tuningInBand() override;
    void accepted() override;
    void refused(const ReceiverError& error) override;
    void broke(const QString& description) override;
    void changeInfo(const std::function<void(ReceiverInfo&)>& change) override;
    void changeReceiverLabels(const std::function<void(ReceiverLabels&)>& change) override;
    void changeLoad(const std::function<void(ReceiverLoad&)>& change) override;
    void audioOutputFailed(const AudioOutputError& error) override;
    void signalLevel(double level) override { publish<P::rssi>(level); }
    void adcOverload(bool overloaded) override { publish<P::isADCOverloaded>(overloaded); }
    void waterfallAccepted() override;
    void waterfallPlaced(int zoom, double startHz) override;
    void waterfallTrouble(const QString& message) override { publish<P::waterfallError>(message); }
    void waterfallEnded(const QString& message) override;
    void profilesOffered(QList<ReceiverProfile> profiles) override;
    void profileSelected(const QString& id) override { publish<P::currentProfileID>(id); }
    void modesOffered(QList<Mode> modes) override;
    void modulationsOffered(QSet<QString> modulations) override;
    void bandChanged(double baseHz, double bandwidthHz, const ReceiverTuning& tuning) override;
    void decodersOffered(QList<ReceiverDecoder> decoders) override;
    void changeDecoderChannel(const std::function<void(DecoderChannel&)>& change) override;
    void decoded(DecoderOutput output) override;

    // Decoders (ReceiverClientDecoders.cpp).
    void startDecoder(const ReceiverDecoder& decoder, const DecoderUnderlying& runsOn, std::int64_t offsetHz);
    // Tells the connection of a new mode or passband, which a running
    // decoder follows or ends with.
    void sendTuningWithDecoder(Mode previousMode);
    // Once the receiver has named its decoders and its band: the decoder
    // asked for meanwhile, else the one to resume.
    void takeUpDecoder();
    void resumeDecoder();

    // Records a change, published once the outermost operation is over
    // (ReceiverClientPublishing.cpp).
    template <PublishedProperty Which>
    void publish(typename PublishedField<Which>::type value);
    void noteChanged(PublishedProperty property);
    void finishOperation();
    void notifyIfChanged(PublishedProperty property, const PublishedValues& before);
    // Bounds the receiver's texts.
    void setInfo(ReceiverInfo info);
    template <typename Change>
    void updateInfo(Change change)
    {
        ReceiverInfo info = m_values.info;
        change(info);
        setInfo(std::move(info));
    }
    // The detected kind and what its connection offers.
    void setKind(ServerKind kind, const ReceiverFeatures& features);

    PublishedValues m_values;
    // What was published when the current operation first changed a value,
    // and the properties it changed, in the order they first changed.
    std::optional<PublishedValues> m_before;
    std::vector<PublishedProperty> m_changed;
    int m_operationDepth = 0;

    const QString m_identity;
    const std::shared_ptr<AudioPlayer> m_player;
    const std::shared_ptr<RowBroadcaster> m_rows;
    const ByteCounter m_receivedBytes;
    const std::shared_ptr<RowBroadcaster> m_decoderRows;
    QNetworkAccessManager* const m_network;
    const std::unique_ptr<ConnectionFactory> m_factory;

    // Per connection.
    std::unique_ptr<ReceiverConnection> m_connection;
    // How the detected kind counts its listeners without connecting, if it can.
    ListenerCountReader m_listenerCounts;
    WaterfallSpeed m_waterfallSpeed = WaterfallSpeed::fast;
    // Connections ended during the current operation: one of them may be the
    // caller, so they go when the operation is over.
    std::vector<std::unique_ptr<ReceiverConnection>> m_ended;
    // Parent of the connection's detection; deleting it cancels it.
    std::unique_ptr<QObject> m_tasks;
    std::int64_t m_sessionID = 0;
    std::int64_t m_sessionTimestamp = 0;
    QString m_password;
    std::chrono::milliseconds m_keepaliveInterval = defaultKeepaliveInterval;
    std::chrono::milliseconds m_statusRefreshInterval{60'000};
    std::chrono::milliseconds m_detectionTimeout;
    std::chrono::milliseconds m_openTimeout;

    // Reconnecting: the policy, the series of tries under way, when the next
    // one is due, and what the listener had that a new connection does not
    // bring back by itself.
    struct Resume {
        double waterfallStartHz = 0;
        std::optional<QString> profileID;
        std::optional<DecoderChoice> decoder;
    };
    std::optional<ReconnectPolicy> m_reconnectPolicy;
    std::optional<ReconnectSchedule> m_series;
    QTimer* const m_tryTimer;
    QTimer* const m_countdownTimer;
    ReconnectPolicy::Duration m_tryDue{0};
    std::optional<ReconnectPolicy::Duration> m_connectedSince;
    QString m_address;
    std::optional<Resume> m_resume;
    // A decoder is chosen only once the connection has both; one asked for
    // before waits.
    bool m_decodersNamed = false;
    bool m_bandKnown = false;
    struct DecoderRequest {
        QString nameOrModulation;
        std::optional<Mode> underlying;
    };
    std::optional<DecoderRequest> m_decoderRequest;

    // Waiting for a free channel: its poll and clock, and the request under way.
    std::chrono::milliseconds m_freeChannelPoll = defaultFreeChannelPoll;
    QTimer* const m_freeChannelTimer;
    QTimer* const m_freeChannelClock;
    ReconnectPolicy::Duration m_freeChannelSince{0};
    std::unique_ptr<QObject> m_freeChannelRequests;
};

template <PublishedProperty Which>
void ReceiverClient::publish(typename PublishedField<Which>::type value)
{
    constexpr auto member = PublishedField<Which>::member;
    if (m_values.*member == value)
        return;
    Q_ASSERT(m_operationDepth > 0);
    if (!m_before)
        m_before = m_values;
    m_values.*member = std::move(value);
    noteChanged(Which);
}
