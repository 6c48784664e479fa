#pragma once
// One connection to one receiver, in the protocol of its kind of server, and
// what it sees of the session that owns it. The session (ReceiverClient) holds
// every published value; a connection holds only what its protocol needs and
// tells the session what happened through ReceiverSession. Everything here
// runs on the GUI thread, within one operation of the session.

#include "model/ReceiverModel.h"
#include "model/ReceiverProfile.h"
#include "connection/ConnectionEvents.h"
#include "model/ReceiverLabels.h"
#include "model/ReceiverTuning.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QUrl>

#include <chrono>
#include <functional>

class ReceiverError;

class ReceiverConnection {
public:
    virtual ~ReceiverConnection() = default;

    // Opens the connection's sockets; failures arrive as reports.
    virtual void open() = 0;
    // Each is sent when the connection can say it, and dropped otherwise.
    virtual void sendTuning(const ReceiverTuning& tuning) = 0;
    virtual void sendGain(const ReceiverGain& gain) = 0;
    virtual void setWaterfallView(int zoom, double startHz) = 0;
    virtual void selectProfile(const QString& id) = 0;
    // The waterfall's speed as a KiwiSDR counts it (1-4).
    virtual void setWaterfallSpeed(int kiwiSpeed) = 0;
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
    // Plays at that rate when it is a playable one.
    virtual void startAudio(double audioRate) = 0;
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
    virtual void modulationsOffered(QSet<QString> modulations) = 0;
    // The receiver moved to another band; the session takes the tuning and
    // sends it and its waterfall view back.
    virtual void bandChanged(double baseHz, double bandwidthHz, const ReceiverTuning& tuning) = 0;

protected:
    ~ReceiverSession() = default;
};

// What every connection is given by its session.
struct ConnectionContext {
    QUrl serverURL;
    std::chrono::milliseconds openTimeout;
    // Carries the connection's results to the GUI thread, as events of it.
    EventPost post;
};
