#pragma once
// A capture source for other programs (WSJT-X, fldigi, parec): the sound of
// one window, made in the sound server the program plays to as a null sink
// with a source remapped from its monitor. A second player plays the window's
// sound into the sink, following the sound server's clock as the window's
// player follows the sound card's. The source is made on a worker thread and
// removed when closed or destroyed; when the sound server goes away it is made
// again once the server is back. Sources whose program is no longer running
// (killed, crashed) are removed by the next one made, and at start-up.
// Lives on the GUI thread.

#include "audio/SoundSourceNames.h"

#include <QObject>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <variant>

class PlayedSoundTap;
class QTimer;
class SoundFeed;

class CaptureSource : public QObject {
    Q_OBJECT
public:
    struct State {
        enum class Kind { closed, opening, open, failed };
        Kind kind = Kind::closed;
        // While open: the name it has, numbered when another window's source
        // had the one asked for.
        SoundSourceName name;
        // While open: how many streams (other programs) record from it.
        int recorders = 0;
        // While failed: why, in words; it is tried again every retryInterval.
        QString problem;
    };
    static constexpr std::chrono::seconds retryInterval{5};

    explicit CaptureSource(QObject* parent = nullptr);
    ~CaptureSource() override;

    // Makes the source under this name, in place of one under another. A
    // name taken by a running program is numbered, or with `exactName` is a
    // failure. stateChanged tells how it went.
    void open(const SoundSourceName& name, bool exactName = false);
    // Removes the source; returns once it is gone or the server has not
    // answered within its deadline.
    void close();
    const State& state() const { return m_state; }

    // Set it on the window's player: every block it hands over is played
    // into the source.
    std::shared_ptr<PlayedSoundTap> feed() const;

    // Removes the sources of programs no longer running. Blocks for at most
    // a few of the server's deadlines: run it off the GUI thread.
    static void removeAbandoned();

signals:
    void stateChanged();

private:
    struct Made;
    using Result = std::variant<std::monostate, std::unique_ptr<Made>, QString>;

    void startMaking();
    // On the worker: connects, removes abandoned sources, picks a free name
    // and loads both modules; the source, or why there is none.
    static Result make(const SoundSourceName& asked, bool exactName, std::function<void()> lost);
    void pickUp();
    void connectionLost(int serial);
    void countRecorders(int serial, int recorders);
    void unmake();
    void finishWorker();
    void setState(State state);

    SoundSourceName m_asked;
    bool m_exactName = false;
    State m_state;
    const std::shared_ptr<SoundFeed> m_feed;
    std::unique_ptr<Made> m_made;
    int m_serial = 0;
    std::thread m_worker;
    std::mutex m_resultLock;
    Result m_result;
    QTimer* const m_retry;
};
