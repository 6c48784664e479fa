#pragma once
// The receiver session of one main window: connects to one web receiver at a
// time, finds out what kind of server it is, speaks its protocol, plays its
// audio, hands its waterfall rows to the views, and holds everything the views
// show. Lives on the GUI thread; every published value is a property whose
// signal fires only when the value changes.

#include "session/KiwiBroadcaster.h"
#include "model/KiwiFrames.h"
#include "model/KiwiMode.h"
#include "model/KiwiModel.h"
#include "model/ReceiverProfile.h"

#include <QCoreApplication>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QUrl>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>

struct JSONValue;
class KiwiAudioPlayer;
class KiwiError;
class KiwiSoundPipeline;
class KiwiWebSocket;
class OpenWebRXPipeline;
struct OpenWebRXMessage;
class QNetworkAccessManager;

class KiwiSDRClient : public QObject {
    Q_OBJECT
    Q_PROPERTY(KiwiState state READ state NOTIFY stateChanged)
    Q_PROPERTY(std::optional<QUrl> serverURL READ serverURL NOTIFY serverURLChanged)
    Q_PROPERTY(std::optional<ServerKind> serverKind READ serverKind NOTIFY serverKindChanged)
    Q_PROPERTY(KiwiReceiverInfo info READ info NOTIFY infoChanged)
    Q_PROPERTY(QList<ReceiverProfile> profiles READ profiles NOTIFY profilesChanged)
    Q_PROPERTY(std::optional<QString> currentProfileID READ currentProfileID NOTIFY currentProfileIDChanged)
    Q_PROPERTY(std::optional<QUrl> webPageAfterAppLimit READ webPageAfterAppLimit NOTIFY webPageAfterAppLimitChanged)
    Q_PROPERTY(double frequencyKHz READ frequencyKHz NOTIFY frequencyKHzChanged)
    Q_PROPERTY(KiwiMode mode READ mode NOTIFY modeChanged)
    Q_PROPERTY(KiwiPassband passband READ passband NOTIFY passbandChanged)
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
    Q_PROPERTY(QList<KiwiMode> availableModes READ availableModes NOTIFY availableModesChanged)
    Q_PROPERTY(std::optional<SMeterReading> sMeter READ sMeter NOTIFY sMeterChanged)

public:
    using State = KiwiState;
    using RowBroadcaster = KiwiBroadcaster<KiwiWaterfallRow>;

    static constexpr std::chrono::milliseconds defaultKeepaliveInterval{5000};
    // Audio rates outside this range are acknowledged but not played.
    static constexpr double minPlayableAudioRate = 1000;
    static constexpr double maxPlayableAudioRate = 384000;

    // `identity` is the name announced to KiwiSDR servers. Without a player
    // the session plays through the sound card.
    explicit KiwiSDRClient(QString identity, std::shared_ptr<KiwiAudioPlayer> player = nullptr,
        QObject* parent = nullptr);
    ~KiwiSDRClient() override;

    // Blanks trimmed; scheme http and port 8073 when no scheme was typed; the
    // path ends in "/"; no query or fragment. No URL when there is no host.
    static std::optional<QUrl> normalizedServerURL(const QString& address);
    // The receiver's own web page tuned to the frequency: the query is the
    // single item f=<kHz with two decimals><mode>.
    static QUrl webPageURL(const QUrl& base, double frequencyKHz, KiwiMode mode);

    // Ends whatever was open and starts a connection.
    void connect(const QString& address, const QString& password = QString(),
        std::optional<double> frequencyKHz = std::nullopt, std::optional<KiwiMode> mode = std::nullopt);
    // Ends the current connection; a failed state keeps its message.
    void disconnect();
    // Puts back saved tuning without telling any server.
    void restoreTuning(KiwiMode mode, int zoom, double frequencyKHz);

    // Tuning. Each changes the published state, then tells the server if a
    // channel is open; without one the next connection sends it.
    void tune(double frequencyKHz);
    void setMode(KiwiMode mode, std::optional<KiwiPassband> passband = std::nullopt);
    void setAGC(bool enabled, std::optional<int> manualGain = std::nullopt);
    void sendTune();
    void sendAGC();
    void setWaterfallZoom(int zoom);
    double clampedWaterfallStart(double startHz, double spanHz) const;
    // Moves the waterfall to start at the frequency (panning).
    void sendZoomStart(double startHz);

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

    const KiwiState& state() const { return m_state; }
    const std::optional<QUrl>& serverURL() const { return m_serverURL; }
    const std::optional<ServerKind>& serverKind() const { return m_serverKind; }
    const KiwiReceiverInfo& info() const { return m_info; }
    const QList<ReceiverProfile>& profiles() const { return m_profiles; }
    const std::optional<QString>& currentProfileID() const { return m_currentProfileID; }
    const std::optional<QUrl>& webPageAfterAppLimit() const { return m_webPageAfterAppLimit; }
    double frequencyKHz() const { return m_frequencyKHz; }
    KiwiMode mode() const { return m_mode; }
    KiwiPassband passband() const { return m_passband; }
    bool agcEnabled() const { return m_agcEnabled; }
    int manualGain() const { return m_manualGain; }
    const std::optional<double>& rssi() const { return m_rssi; }
    bool isADCOverloaded() const { return m_isADCOverloaded; }
    int waterfallZoom() const { return m_waterfallZoom; }
    double waterfallStartHz() const { return m_waterfallStartHz; }
    const std::optional<QString>& waterfallError() const { return m_waterfallError; }
    float volume() const { return m_volume; }
    bool isMuted() const { return m_isMuted; }
    const QSet<QString>& openWebRXModulations() const { return m_openWebRXModulations; }
    QList<KiwiMode> availableModes() const;
    std::optional<SMeterReading> sMeter() const;

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
    void availableModesChanged();
    void sMeterChanged();

private:
    using StatusFields = QHash<QString, QString>;

    // Lifecycle (KiwiSDRClient.cpp).
    void tearDown();
    QObject* tasks();
    void detectionFinished(const QUrl& url, std::int64_t generation, ServerKind kind,
        const std::optional<StatusFields>& statusFields);
    void handleSocketFailure(const QString& description, std::int64_t generation);
    void endWith(const KiwiError& error);

    // Sound channel (KiwiSoundChannel.cpp).
    void openSoundChannel(const QUrl& url, std::int64_t generation,
        const std::optional<StatusFields>& statusFields);
    void sendSoundSetup();
    void sendKeepalives();
    void handleSoundParameters(const KiwiParams& params, std::int64_t generation);
    void handleSoundFrame(bool isOverloaded, double rssi, std::int64_t generation);
    void startAudio(double audioRate);

    // Waterfall channel (KiwiWaterfallChannel.cpp).
    void openWaterfallChannel();
    void handleWaterfallParameters(const KiwiParams& params, std::int64_t generation);
    void handleWaterfallGeometry(int zoom, double startHz, std::int64_t generation);
    void waterfallChannelFailed(std::int64_t generation);

    // OpenWebRX (OpenWebRXSession.cpp).
    OpenWebRXPipeline& openWebRXPipeline();
    void connectOpenWebRX(const QUrl& url, std::int64_t generation);
    void handleOpenWebRXMessage(const OpenWebRXMessage& message, std::int64_t generation);
    void applyOpenWebRXConfig(const JSONValue& config);
    void sendOpenWebRXDSPControl();

    // Status page (KiwiStatusRefresh.cpp).
    void startStatusRefresh(std::int64_t generation);
    void applyStatusFields(const StatusFields& fields);

    // Setters that notify only on change (KiwiSDRClient.cpp).
    void setState(KiwiState state);
    void setServerURL(std::optional<QUrl> url);
    void setServerKind(std::optional<ServerKind> kind);
    void setInfo(KiwiReceiverInfo info);
    template <typename Change>
    void updateInfo(Change change)
    {
        KiwiReceiverInfo info = m_info;
        change(info);
        setInfo(std::move(info));
    }
    void setProfiles(QList<ReceiverProfile> profiles);
    void setCurrentProfileID(std::optional<QString> id);
    void setWebPageAfterAppLimit(std::optional<QUrl> url);
    void setFrequencyKHz(double frequencyKHz);
    void setModeValue(KiwiMode mode);
    void setPassband(KiwiPassband passband);
    void setAGCEnabled(bool enabled);
    void setManualGain(int gain);
    void setRssi(std::optional<double> rssi);
    void setADCOverloaded(bool overloaded);
    void setWaterfallZoomValue(int zoom);
    void setWaterfallStartHz(double startHz);
    void setWaterfallError(std::optional<QString> error);
    void setOpenWebRXModulations(QSet<QString> modulations);

    // Runs `handler` on the GUI thread if the session still exists; callable
    // from any thread.
    template <typename Handler>
    static void post(const QPointer<KiwiSDRClient>& client, Handler handler);

    // Published.
    KiwiState m_state;
    std::optional<QUrl> m_serverURL;
    std::optional<ServerKind> m_serverKind;
    KiwiReceiverInfo m_info;
    QList<ReceiverProfile> m_profiles;
    std::optional<QString> m_currentProfileID;
    std::optional<QUrl> m_webPageAfterAppLimit;
    double m_frequencyKHz = 7200.0;
    KiwiMode m_mode = KiwiMode::lsb;
    KiwiPassband m_passband{-2700, -300};
    bool m_agcEnabled = true;
    int m_manualGain = 50;
    std::optional<double> m_rssi;
    bool m_isADCOverloaded = false;
    int m_waterfallZoom = 0;
    double m_waterfallStartHz = 0;
    std::optional<QString> m_waterfallError;
    float m_volume = 0.8f;
    bool m_isMuted = false;
    QSet<QString> m_openWebRXModulations;

    const QString m_identity;
    const std::shared_ptr<KiwiAudioPlayer> m_player;
    const std::shared_ptr<KiwiSoundPipeline> m_sound;
    const std::shared_ptr<RowBroadcaster> m_rows;
    QNetworkAccessManager* const m_network;

    // Per connection.
    std::unique_ptr<KiwiWebSocket> m_soundSocket;
    std::unique_ptr<KiwiWebSocket> m_waterfallSocket;
    // Parent of the connection's detection, status request and keepalive
    // timer; deleting it cancels them all.
    std::unique_ptr<QObject> m_tasks;
    std::int64_t m_sessionID = 0;
    std::int64_t m_sessionTimestamp = 0;
    QString m_password;
    bool m_didSendSoundSetup = false;
    bool m_didOpenWaterfall = false;
    bool m_didReceiveWaterfall = false;
    std::unique_ptr<KiwiWebSocket> m_openWebRXSocket;
    // Created on first use and kept for the session's life.
    std::shared_ptr<OpenWebRXPipeline> m_openWebRXPipeline;
    std::optional<double> m_openWebRXCenterHz;
    bool m_didStartOpenWebRXDemodulator = false;
    std::chrono::milliseconds m_keepaliveInterval = defaultKeepaliveInterval;
    std::chrono::milliseconds m_detectionTimeout;
    std::chrono::milliseconds m_openTimeout;
};

template <typename Handler>
void KiwiSDRClient::post(const QPointer<KiwiSDRClient>& client, Handler handler)
{
    // Posted to the application object, which outlives every session, so that
    // a session destroyed meanwhile is seen through the weak pointer.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [client, handler = std::move(handler)]() mutable {
            if (client)
                handler(*client);
        },
        Qt::QueuedConnection);
}
