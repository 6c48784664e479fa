#pragma once
// The one audio output of a receiver session. Blocks of mono float samples
// arrive from receive threads; the player holds back a short reserve before
// playing, bounds the queue to one second, and follows the user's choice of
// output device. Every block passes the player's listening tools (squelch,
// noise reduction, notch, blanker; all off until set) before it is queued,
// and every block queued is shown to the tap (a recording), if one is set;
// a feed (another program's capture source) sees them too, as received or as
// played.
// The sound card's clock is followed by resampling each block by a ratio
// within ±0.5 % of one that holds the queue where it was when playing began.
// Create it with create(): completions and notifications hold it weakly.

#include "audio/AudioEngine.h"
#include "audio/SoundSink.h"
#include "audio/DriftResampler.h"
#include "audio/ListeningChain.h"
#include "audio/PlayedSoundTap.h"
#include "audio/QueueDriftControl.h"

#include <QMetaObject>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>

class AudioPlayer final : public SoundSink,
                              public std::enable_shared_from_this<AudioPlayer> {
public:
    // Asked at every start and every "audioOutputDeviceDidChange", so on the
    // thread that starts the player (a receive thread, for OpenWebRX) and on
    // the one that posts (the main thread): it must be safe on any thread.
    using DeviceLookup = OutputDeviceLookup;

    // Tells the time for measuring how far the card has played into a block;
    // tests pass a simulated one.
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    static constexpr double primeSeconds = 0.3;
    static constexpr double maxQueuedSeconds = 1.0;

    // Plays through the sound card, on the device the lookup names; without a
    // lookup, on the system default output.
    static std::shared_ptr<AudioPlayer> create(DeviceLookup selectedDevice = {});
    static std::shared_ptr<AudioPlayer> create(AudioEngineFactory makeEngine,
                                                   DeviceLookup selectedDevice, Clock clock = {});

    ~AudioPlayer() override;
    AudioPlayer(const AudioPlayer&) = delete;
    AudioPlayer& operator=(const AudioPlayer&) = delete;

    // Starts, or restarts, output at the rate. A rate no stream can be built
    // for leaves the player stopped without an error.
    std::optional<AudioOutputError> start(double sampleRate) override;
    // Stops output and discards everything queued.
    void stop();
    void enqueue(std::span<const float> samples) override;

    float volume() const;
    void setVolume(float volume);

    // The window sets the tools and reads the squelch here, on its thread.
    ListeningChain& listeningChain() { return chain; }

    // From the next block on, every block queued for output is also handed to
    // the tap; null removes it. Safe on any thread.
    void setTap(std::shared_ptr<PlayedSoundTap> tap);

    // Where a feed takes the sound: as received, before the listening tools
    // (every block, also those a full queue drops), or as played, after them.
    enum class FeedPoint { received, played };
    // From the next block on, each block is also handed to the feed; null
    // removes it. Safe on any thread.
    void setFeed(std::shared_ptr<PlayedSoundTap> feed, FeedPoint point);

    struct QueueState {
        std::optional<double> sampleRate; // none while stopped
        bool isPriming = true;
        std::uint32_t queuedFrames = 0;
        std::uint32_t primingFrames = 0;
    };
    QueueState queueState() const;
    // Output frames made of each input frame: above one for a card that
    // plays faster than the server sends.
    double resamplingRatio() const;
    std::optional<AudioDeviceID> routedDeviceID() const;

private:
    struct Queue;

    AudioPlayer(AudioEngineFactory makeEngine, DeviceLookup selectedDevice, Clock clock);
    void observe();
    void observeEngine();
    void applyOutputDevice();
    void handleOutputDeviceChange();
    void restartAfterConfigurationChange(std::uint64_t engineSerial);
    // Starts again at the running rate, on the device now chosen; called with
    // `controlLock` held.
    void restartIfRunning();
    static void bufferCompleted(const std::weak_ptr<Queue>& queue, std::uint32_t frames,
                                std::int64_t generation);

    const AudioEngineFactory makeEngine;
    const DeviceLookup selectedDevice;
    // Completion handlers run on the engine's threads and reach only this,
    // never the player, so the player is never destroyed there.
    const std::shared_ptr<Queue> queue;
    mutable std::recursive_mutex controlLock;
    std::unique_ptr<AudioEngine> engine;
    std::uint64_t engineSerial = 0;
    std::optional<AudioDeviceID> routedDevice;
    QMetaObject::Connection outputDeviceObserver;
    // Runs on the enqueuing thread under `controlLock`, never under `lock`.
    ListeningChain chain;
    // Guarded by `controlLock`.
    std::shared_ptr<PlayedSoundTap> tap;
    std::shared_ptr<PlayedSoundTap> feed;
    FeedPoint feedPoint = FeedPoint::received;
    QueueDriftControl driftControl;
    DriftResampler resampler;
};
