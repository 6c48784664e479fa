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

#include "kiwisdr/KiwiFrames.h"
#include "model/Mode.h"
#include "model/ReceiverModel.h"
#include "model/ReceiverProfile.h"
#include "connection/Broadcaster.h"
#include "kiwisdr/KiwiCommands.h"
#include "session/PublishedValues.h"
#include "connection/ReceiverConnection.h"
#include "session/ReconnectSchedule.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QUrl>

#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <vector>

class AudioPlayer;
class ReceiverError;
class KiwiSoundPipeline;
class OpenWebRXPipeline;
class QNetworkAccessManager;
class QTimer;
struct ServerDetectionResult;

class ReceiverClient : public QObject, private ReceiverSession {
    Q_OBJECT
    Q_PROPERTY(ConnectionState state READ state NOTIFY stateChanged)
    Q_PROPERTY(std::optional<QUrl> serverURL READ serverURL NOTIFY serverURLChanged)
    Q_PROPERTY(std::optional<ServerKind> serverKind READ serverKind NOTIFY serverKindChanged)
    Q_PROPERTY(ReceiverInfo info READ info NOTIFY infoChanged)
    Q_PROPERTY(QList<ReceiverProfile> profiles READ profiles NOTIFY profilesChanged)
    Q_PROPERTY(std::optional<QString> currentProfileID READ currentProfileID NOTIFY currentProfileIDChanged)
    Q_PROPERTY(std::optional<QUrl> webPageAfterAppLimit READ webPageAfterAppLimit NOTIFY webPageAfterAppLimitChanged)
    Q_PROPERTY(double frequencyKHz READ frequencyKHz NOTIFY frequencyKHzChanged)
    Q_PROPERTY(Mode mode READ mode NOTIFY modeChanged)
    Q_PROPERTY(Passband passband READ passband NOTIFY passbandChanged)
    Q_PROPERTY(bool agcEnabled READ agcEnabled NOTIFY agcEnabledChanged)
    Q_PROPERTY(int manualGain READ manualGain NOTIFY manualGainChanged)
    Q_PROPERTY(std::optional<double> rssi READ rssi NOTIFY rssiChanged)
    Q_PROPERTY(bool isADCOverloaded READ isADCOverloaded NOTIFY isADCOverloadedChanged)
    Q_PROPERTY(int waterfallZoom READ waterfallZoom NOTIFY waterfallZoomChanged)
    Q_PROPERTY(double waterfallStartHz READ waterfallStartHz NOTIFY waterfallStartHzChanged)
    Q_PROPERTY(std::optional<QString> waterfallError READ waterfallError NOTIFY waterfallErrorChanged)
    Q_PROPERTY(float volume READ volume WRITE setVolume NOTIFY volumeChanged)
    Q_PROPERTY(bool isMuted READ isMuted WRITE setMuted NOTIFY isMutedChanged)
    Q_PROPERTY(QSet<QString> openWebRXModulations READ openWebRXModulations NOTIFY openWebRXModulationsChanged)
    Q_PROPERTY(ReceiverLabels receiverLabels READ receiverLabels NOTIFY receiverLabelsChanged)
    Q_PROPERTY(QList<Mode> availableModes READ availableModes NOTIFY availableModesChanged)
    Q_PROPERTY(std::optional<SMeterReading> sMeter READ sMeter NOTIFY sMeterChanged)
    Q_PROPERTY(std::optional<ReconnectWait> reconnectWait READ reconnectWait NOTIFY reconnectWaitChanged)
    Q_PROPERTY(bool canWaitForFreeChannel READ canWaitForFreeChannel NOTIFY canWaitForFreeChannelChanged)
    Q_PROPERTY(std::optional<int> freeChannelWaitSeconds READ freeChannelWaitSeconds
            NOTIFY freeChannelWaitSecondsChanged)

public:
    using State = ConnectionState;
    using RowBroadcaster = Broadcaster<WaterfallRow>;

    static constexpr std::chrono::milliseconds defaultKeepaliveInterval{5000};
    // Audio rates outside this range are acknowledged but not played.
    static constexpr double minPlayableAudioRate = 1000;
    static constexpr double maxPlayableAudioRate = 384000;

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
    // The waterfall's speed as a KiwiSDR counts it, 1-4 (others are
    // clamped); kept across connections. Only a KiwiSDR is told.
    void setWaterfallSpeed(int kiwiSpeed);
    int waterfallSpeed() const { return m_waterfallSpeed; }

    // Switches an OpenWebRX server to another of its band profiles.
    void selectProfile(const QString& id);

    void setVolume(float volume);
    void setMuted(bool muted);
    void applyVolume();

    // Waterfall rows for the views, delivered on each subscriber's thread.
    RowBroadcaster& rows() { return *m_rows; }

    // Tests shorten the keepalive period and how long a server may take to
    // answer the detection requests and to say anything on a new socket.
    void setKeepaliveInterval(std::chrono::milliseconds interval) { m_keepaliveInterval = interval; }
    void setDetectionTimeout(std::chrono::milliseconds timeout) { m_detectionTimeout = timeout; }
    void setOpenTimeout(std::chrono::milliseconds timeout) { m_openTimeout = timeout; }
    // How often a KiwiSDR's status page is read again while connected.
    void setStatusRefreshInterval(std::chrono::milliseconds interval) { m_statusRefreshInterval = interval; }

    const ConnectionState& state() const { return m_values.state; }
    const std::optional<QUrl>& serverURL() const { return m_values.serverURL; }
    const std::optional<ServerKind>& serverKind() const { return m_values.serverKind; }
    const ReceiverInfo& info() const { return m_values.info; }
    const QList<ReceiverProfile>& profiles() const { return m_values.profiles; }
    const std::optional<QString>& currentProfileID() const { return m_values.currentProfileID; }
    const std::optional<QUrl>& webPageAfterAppLimit() const { return m_values.webPageAfterAppLimit; }
    double frequencyKHz() const { return m_values.frequencyKHz; }
    Mode mode() const { return m_values.mode; }
    Passband passband() const { return m_values.passband; }
    bool agcEnabled() const { return m_values.agcEnabled; }
    int manualGain() const { return m_values.manualGain; }
    const std::optional<double>& rssi() const { return m_values.rssi; }
    bool isADCOverloaded() const { return m_values.isADCOverloaded; }
    int waterfallZoom() const { return m_values.waterfallZoom; }
    double waterfallStartHz() const { return m_values.waterfallStartHz; }
    const std::optional<QString>& waterfallError() const { return m_values.waterfallError; }
    float volume() const { return m_values.volume; }
    bool isMuted() const { return m_values.isMuted; }
    const QSet<QString>& openWebRXModulations() const { return m_values.openWebRXModulations; }
    // The band bars and labels the receiver sent for its scale.
    const ReceiverLabels& receiverLabels() const { return m_values.receiverLabels; }
    QList<Mode> availableModes() const;
    std::optional<SMeterReading> sMeter() const;
    // What the windows may offer, asked by ability rather than by server
    // kind; each changes only with serverKindChanged.
    // AGC and a manual RF gain (KiwiSDR, and before the kind is known).
    bool offersGainControls() const { return m_values.serverKind != ServerKind::openWebRX; }
    // The tuning range is the selected profile's band (OpenWebRX).
    bool tunesWithinProfileBand() const { return m_values.serverKind == ServerKind::openWebRX; }
    // The receiver slows its own rows; otherwise the views average them.
    bool setsWaterfallSpeed() const { return m_values.serverKind != ServerKind::openWebRX; }
    const std::optional<ReconnectWait>& reconnectWait() const { return m_values.reconnectWait; }
    bool canWaitForFreeChannel() const { return m_values.canWaitForFreeChannel; }
    // Seconds since the waiting for a free channel began, while it goes on.
    const std::optional<int>& freeChannelWaitSeconds() const { return m_values.freeChannelWaitSeconds; }

signals:
    void stateChanged();
    void serverURLChanged();
    void serverKindChanged();
    void infoChanged();
    void profilesChanged();
    void currentProfileIDChanged();
    void webPageAfterAppLimitChanged();
    void frequencyKHzChanged();
    void modeChanged();
    void passbandChanged();
    void agcEnabledChanged();
    void manualGainChanged();
    void rssiChanged();
    void isADCOverloadedChanged();
    void waterfallZoomChanged();
    void waterfallStartHzChanged();
    void waterfallErrorChanged();
    void volumeChanged();
    void isMutedChanged();
    void openWebRXModulationsChanged();
    void receiverLabelsChanged();
    void availableModesChanged();
    void sMeterChanged();
    void reconnectWaitChanged();
    void canWaitForFreeChannelChanged();
    void freeChannelWaitSecondsChanged();
    // A try of the automatic reconnecting is starting.
    void reconnectTryStarted(int tryNumber, int maxTries);

private:
    // The published properties, each with its NOTIFY signal.
    enum class Property {
        state, serverURL, serverKind, info, profiles, currentProfileID, webPageAfterAppLimit, frequencyKHz, mode,
        passband, agcEnabled, manualGain, rssi, isADCOverloaded, waterfallZoom, waterfallStartHz, waterfallError,
        volume, isMuted, openWebRXModulations, receiverLabels, availableModes, sMeter, reconnectWait,
        canWaitForFreeChannel, freeChannelWaitSeconds,
    };

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
    static QList<Mode> availableModes(const PublishedValues& values);
    static std::optional<SMeterReading> sMeter(const PublishedValues& values);

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
    void pollStatusPage();
    void statusPageRead(const ReceiverInfo& counts);
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
    void startAudio(double audioRate) override;
    void signalLevel(double level) override { setRssi(level); }
    void adcOverload(bool overloaded) override { setADCOverloaded(overloaded); }
    void waterfallAccepted() override;
    void waterfallPlaced(int zoom, double startHz) override;
    void waterfallTrouble(const QString& message) override { setWaterfallError(message); }
    void waterfallEnded(const QString& message) override;
    void profilesOffered(QList<ReceiverProfile> profiles) override;
    void profileSelected(const QString& id) override { setCurrentProfileID(id); }
    void modulationsOffered(QSet<QString> modulations) override;
    void bandChanged(double baseHz, double bandwidthHz, const ReceiverTuning& tuning) override;

    // Setters that record a change, published once the outermost operation
    // is over (ReceiverClientPublishing.cpp).
    void finishOperation();
    void notifyIfChanged(Property property, const PublishedValues& before);
    template <typename T>
    void store(T PublishedValues::*field, T value, std::initializer_list<Property> properties);
    void setState(ConnectionState state);
    void setServerURL(std::optional<QUrl> url);
    void setServerKind(std::optional<ServerKind> kind);
    void setInfo(ReceiverInfo info);
    template <typename Change>
    void updateInfo(Change change)
    {
        ReceiverInfo info = m_values.info;
        change(info);
        setInfo(std::move(info));
    }
    void setProfiles(QList<ReceiverProfile> profiles);
    void setCurrentProfileID(std::optional<QString> id);
    void setWebPageAfterAppLimit(std::optional<QUrl> url);
    void setFrequencyKHz(double frequencyKHz);
    void setModeValue(Mode mode);
    void setPassband(Passband passband);
    void setAGCEnabled(bool enabled);
    void setManualGain(int gain);
    void setRssi(std::optional<double> rssi);
    void setADCOverloaded(bool overloaded);
    void setWaterfallZoomValue(int zoom);
    void setWaterfallStartHz(double startHz);
    void setWaterfallError(std::optional<QString> error);
    void setVolumeValue(float volume);
    void setMutedValue(bool muted);
    void setOpenWebRXModulations(QSet<QString> modulations);
    void setReceiverLabels(ReceiverLabels labels);
    void setReconnectWait(std::optional<ReconnectWait> wait);
    void setCanWaitForFreeChannel(bool can);
    void setFreeChannelWaitSeconds(std::optional<int> seconds);

    PublishedValues m_values;
    // What was published when the current operation first changed a value,
    // and the properties it changed, in the order they first changed.
    std::optional<PublishedValues> m_before;
    std::vector<Property> m_changed;
    int m_operationDepth = 0;

    const QString m_identity;
    const std::shared_ptr<AudioPlayer> m_player;
    const std::shared_ptr<KiwiSoundPipeline> m_sound;
    const std::shared_ptr<RowBroadcaster> m_rows;
    QNetworkAccessManager* const m_network;
    // Created by the first OpenWebRX connection and kept for the session's
    // life, as its row counter is.
    std::shared_ptr<OpenWebRXPipeline> m_openWebRXPipeline;

    // Per connection.
    std::unique_ptr<ReceiverConnection> m_connection;
    int m_waterfallSpeed = kiwiFastestWaterfallSpeed;
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
    };
    std::optional<ReconnectPolicy> m_reconnectPolicy;
    std::optional<ReconnectSchedule> m_series;
    QTimer* const m_tryTimer;
    QTimer* const m_countdownTimer;
    ReconnectPolicy::Duration m_tryDue{0};
    std::optional<ReconnectPolicy::Duration> m_connectedSince;
    QString m_address;
    std::optional<Resume> m_resume;

    // Waiting for a free channel: its poll and clock, and the request under way.
    std::chrono::milliseconds m_freeChannelPoll = defaultFreeChannelPoll;
    QTimer* const m_freeChannelTimer;
    QTimer* const m_freeChannelClock;
    ReconnectPolicy::Duration m_freeChannelSince{0};
    std::unique_ptr<QObject> m_freeChannelRequests;
};
