#pragma once
// How every sound pipeline hands its stream to the player: it starts the sink
// at the rate the stream announces, on the receive thread and before the
// samples at that rate, then hands it each block. One stream belongs to one
// connection at a time: `open` begins it and `close` ends it, and no start
// happens after `close` returns, so a late frame of an ended connection
// cannot set the player going again.
//
// `gate` is held only across a start and while the stream opens or closes;
// it is never held while samples are handed over. The player's own locks are
// taken inside it, never the other way round.

#include "audio/SoundSink.h"

#include <atomic>
#include <functional>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <span>

class SoundStream {
public:
    // Rates outside this range are reported but never played.
    static constexpr double minPlayableRate = 1000;
    static constexpr double maxPlayableRate = 384000;

    // A new rate of the stream: whether it is played, and why output did not
    // start when it failed.
    struct Start {
        double rate = 0;
        bool isPlayable = false;
        std::optional<AudioOutputError> error;
    };
    // Hears every new rate, on the thread that set it.
    using StartReport = std::function<void(const Start&)>;

    explicit SoundStream(std::shared_ptr<SoundSink> sink);

    SoundStream(const SoundStream&) = delete;
    SoundStream& operator=(const SoundStream&) = delete;

    // A new connection's stream, with no rate yet.
    void open(StartReport report = {});
    // Ends the stream: a start under way finishes first, none follows.
    void close();

    // Starts the sink when the rate differs from the stream's last one.
    void setRate(double rate);
    void play(std::span<const float> samples);

    // The rate last set since the stream opened; readable without the gate,
    // so also by a sink while it starts.
    std::optional<double> rate() const;

private:
    const std::shared_ptr<SoundSink> sink;
    std::mutex gate;
    bool isOpen = true;
    // NaN while no rate is set; written under the gate.
    std::atomic<double> currentRate{std::numeric_limits<double>::quiet_NaN()};
    StartReport report;
};
