#pragma once
// One connection to one receiver, in the protocol of its kind of server, and
// what it sees of the session that owns it. The session (ReceiverClient) holds
// every published value; a connection holds only what its protocol needs and
// tells the session what happened through ReceiverSession. Everything here
// runs on the GUI thread, within one operation of the session.

#include "audio/SoundStream.h"
#include "connection/ConnectionEvents.h"
#include "model/DecoderOutput.h"
#include "model/Mode.h"
#include "model/ReceiverDecoders.h"
#include "model/ReceiverFeatures.h"
#include "model/ReceiverLabels.h"
#include "model/ReceiverModel.h"
#include "model/ReceiverProfile.h"
#include "model/ReceiverTuning.h"
#include "model/WaterfallLook.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QUrl>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

class QNetworkAccessManager;
class QObject;
class ReceiverError;

class ReceiverConnection {
public:
    virtual ~ReceiverConnection() = default;

    // What this kind of receiver offers; the same for the connection's life.
    virtual ReceiverFeatures features() const = 0;
    // Opens the connection's sockets; failures arrive as reports.
    virtual void open() = 0;
    // Each is sent when the connection can say it, and dropped otherwise.
    virtual void sendTuning(const ReceiverTuning& tuning) = 0;
    virtual void sendGain(const ReceiverGain& gain) = 0;
    virtual void setWaterfallView(int zoom, double startHz) = 0;
    virtual void selectProfile(const QString& id) = 0;
    // Only a receiver whose features say it sets its own waterfall's speed
    // does anything with it.
    virtual void setWaterfallSpeed(WaterfallSpeed speed) = 0;
    // Only a receiver whose features say it has decoders does anything with
    // these: the tuning with the decoder to run on it (none ends the one
    // running), and where from the carrier the decoder listens.
    virtual void sendDecoder(const ReceiverTuning& tuning, const std::optional<QString>& modulation) = 0;
    virtual void sendDecoderOffset(std::int64_t offsetHz) = 0;
    // Ends every socket, timer and request; nothing is sent or reported after.
    virtual void close() = 0;
};

// What a connection reads from, and reports to, its session.
class ReceiverSession {
public:
    // What the listener has chosen.
    virtual ReceiverTuning currentTuning() const = 0;
    virtual ReceiverGain currentGain() const = 0;
    virtual const ReceiverInfo& receiverInfo() const = 0;
    virtual QList<Mode> offeredModes() const = 0;
    // Moves the frequency into the receiver's band first.
    virtual ReceiverTuning tuningInBand() = 0;

    virtual void accepted() = 0;
    // A refusal, or an end the server announced: the session fails with it.
    virtual void refused(const ReceiverError& error) = 0;
    // The socket that carries the connection broke.
    virtual void broke(const QString& description) = 0;
    virtual void changeInfo(const std::function<void(ReceiverInfo&)>& change) = 0;
    virtual void changeReceiverLabels(const std::function<void(ReceiverLabels&)>& change) = 0;
    virtual void changeLoad(const std::function<void(ReceiverLoad&)>& change) = 0;
    // The sound output could not start at the stream's rate: the session
    // says so and goes on without sound.
    virtual void audioOutputFailed(const AudioOutputError& error) = 0;
    virtual void signalLevel(double level) = 0;
    virtual void adcOverload(bool overloaded) = 0;
    // The server takes waterfall commands now: the session sends its view.
    virtual void waterfallAccepted() = 0;
    virtual void waterfallPlaced(int zoom, double startHz) = 0;
    virtual void waterfallTrouble(const QString& message) = 0;
    // The waterfall's socket ended: shown unless a more specific message is.
    virtual void waterfallEnded(const QString& message) = 0;
    virtual void profilesOffered(QList<ReceiverProfile> profiles) = 0;
    virtual void profileSelected(const QString& id) = 0;
    // The receiver named the modes it can be tuned to: the mode changes to
    // the first when the one chosen is not among them.
    virtual void modesOffered(QList<Mode> modes) = 0;
    // The receiver's own names of what it demodulates, as it sent them.
    virtual void modulationsOffered(QSet<QString> modulations) = 0;
    // The receiver moved to another band; the session takes the tuning and
    // sends it and its waterfall view back.
    virtual void bandChanged(double baseHz, double bandwidthHz, const ReceiverTuning& tuning) = 0;
    // The decoders the receiver runs, and what it says of the chosen one's
    // channel and output.
    virtual void decodersOffered(QList<ReceiverDecoder> decoders) = 0;
    virtual void changeDecoderChannel(const std::function<void(DecoderChannel&)>& change) = 0;
    virtual void decoded(DecoderOutput output) = 0;

protected:
    ~ReceiverSession() = default;
};

// What every connection is given by its session; each kind uses what its
// protocol has.
struct ConnectionContext {
    QUrl serverURL;
    std::chrono::milliseconds openTimeout;
    // Carries the connection's results to the GUI thread, as events of it.
    EventPost post;
    // The name announced to the receiver, and the password.
    QString identity;
    QString password;
    // When the connection began (ms since the epoch): stamps channel addresses.
    std::int64_t timestamp = 0;
    // How often a connection that must keep its channels alive says so.
    std::chrono::milliseconds keepaliveInterval{5000};
    // How often a receiver's description is read again while connected.
    std::chrono::milliseconds statusRefreshInterval{60'000};
    // Where the connection's sockets count the bytes they receive.
    ByteCounter receivedBytes;
};

// How many listen to a receiver and how many it takes.
struct ListenerCounts {
    std::int64_t users = 0;
    std::int64_t maxUsers = 0;
    friend bool operator==(const ListenerCounts&, const ListenerCounts&) = default;
};

// Reads a receiver's listener counts without connecting to it. `done` runs as
// an event of the session, through `post`, with none when the answer did not
// tell both; deleting `parent` cancels the request.
using ListenerCountReader = std::function<void(QNetworkAccessManager& network, const QUrl& serverURL,
    QObject* parent, const EventPost& post, std::function<void(std::optional<ListenerCounts>)> done)>;
