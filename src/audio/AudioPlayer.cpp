#include "audio/AudioPlayer.h"

#include "audio/AudioDeviceNotifier.h"
#include "audio/PulseStreamEngine.h"
#include "diagnostics/LatencyProbes.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <utility>
#include <vector>

namespace {

// Far above any real rate, low enough that a second of frames fits in 32 bits.
constexpr double highestSampleRate = 1.0e9;

std::uint32_t framesFor(double sampleRate, double seconds)
{
    return static_cast<std::uint32_t>(sampleRate * seconds);
}

} // namespace

// The queue fields, guarded by `lock`.
struct AudioPlayer::Queue {
    explicit Queue(Clock clock) : clock(std::move(clock)) { }

    const Clock clock;
    std::mutex lock;
    std::optional<double> sampleRate; // the running format; none means stopped
    std::uint32_t primeFrames = 0;
    std::uint32_t maxQueuedFrames = 0;
    std::uint32_t queuedFrames = 0;
    std::vector<std::vector<float>> primingBuffers;
    std::uint32_t primingFrames = 0;
    bool isPriming = true;
    std::int64_t generation = 0;
    // When the block now playing began: at the release of a reserve, and at
    // each completion (the next block follows at once).
    std::chrono::steady_clock::time_point playingSince;

    // The frames not yet played. Completions come a whole block at a time,
    // so the time since the last one tells how far into the next the card is.
    double unplayedFrames() const
    {
        const std::chrono::duration<double> into = clock() - playingSince;
        return std::max(0.0, double(queuedFrames) - std::max(0.0, into.count()) * *sampleRate);
    }

    void reset()
    {
        sampleRate.reset();
        ++generation;
        queuedFrames = 0;
        primingBuffers.clear();
        primingFrames = 0;
        isPriming = true;
    }
};

std::shared_ptr<AudioPlayer> AudioPlayer::create(DeviceLookup selectedDevice)
{
    return create(PulseStreamEngine::factory(), std::move(selectedDevice));
}

std::shared_ptr<AudioPlayer> AudioPlayer::create(AudioEngineFactory makeEngine,
                                                         DeviceLookup selectedDevice, Clock clock)
{
    if (!clock)
        clock = [] { return std::chrono::steady_clock::now(); };
    std::shared_ptr<AudioPlayer> player(
        new AudioPlayer(std::move(makeEngine), std::move(selectedDevice), std::move(clock)));
    player->observe();
    return player;
}

AudioPlayer::AudioPlayer(AudioEngineFactory makeEngine, DeviceLookup selectedDevice, Clock clock)
    : makeEngine(std::move(makeEngine))
    , selectedDevice(selectedDevice ? std::move(selectedDevice)
                                    : DeviceLookup([] { return std::optional<AudioDeviceID>(); }))
    , queue(std::make_shared<Queue>(std::move(clock)))
    , engine(this->makeEngine(std::nullopt))
{
}

AudioPlayer::~AudioPlayer()
{
    QObject::disconnect(outputDeviceObserver);
}

void AudioPlayer::observe()
{
    std::lock_guard control(controlLock);
    observeEngine();
    // Delivered on the posting thread; a functor without a context object is
    // always called directly.
    outputDeviceObserver = QObject::connect(
        &AudioDeviceNotifier::instance(), &AudioDeviceNotifier::audioOutputDeviceDidChange,
        [weak = weak_from_this()] {
            if (const auto player = weak.lock())
                player->handleOutputDeviceChange();
        });
}

void AudioPlayer::observeEngine()
{
    const std::uint64_t serial = ++engineSerial;
    // The engine reports on its own thread, which a restart waits for: restart
    // from the main thread instead.
    engine->setConfigurationChangeHandler([weak = weak_from_this(), serial] {
        QCoreApplication* app = QCoreApplication::instance();
        if (!app)
            return;
        QMetaObject::invokeMethod(
            app,
            [weak, serial] {
                if (const auto player = weak.lock())
                    player->restartAfterConfigurationChange(serial);
            },
            Qt::QueuedConnection);
    });
}

void AudioPlayer::stop()
{
    std::lock_guard control(controlLock);
    {
        std::lock_guard guard(queue->lock);
        queue->reset();
    }
    engine->stop();
}

std::optional<AudioOutputError> AudioPlayer::start(double sampleRate)
{
    std::lock_guard control(controlLock);
    stop();
    applyOutputDevice();
    if (!(sampleRate > 0.0 && sampleRate <= highestSampleRate) || !engine->canUseRate(sampleRate))
        return std::nullopt;
    if (auto error = engine->start(sampleRate))
        return error;
    chain.setSampleRate(sampleRate);
    driftControl.reset();
    resampler.reset(sampleRate);
    std::lock_guard guard(queue->lock);
    queue->sampleRate = sampleRate;
    queue->primeFrames = framesFor(sampleRate, primeSeconds);
    queue->maxQueuedFrames = framesFor(sampleRate, maxQueuedSeconds);
    queue->isPriming = true;
    return std::nullopt;
}

void AudioPlayer::applyOutputDevice()
{
    const std::optional<AudioDeviceID> selected = selectedDevice();
    if (selected == routedDevice)
        return;
    const float volume = engine->volume();
    // The old engine goes first, so two never compete for the device.
    engine.reset();
    engine = makeEngine(selected);
    engine->setVolume(volume);
    observeEngine();
    routedDevice = selected;
}

void AudioPlayer::enqueue(std::span<const float> samples)
{
    if (samples.empty())
        return;
    std::lock_guard control(controlLock);
    double receivedRate = 0;
    {
        std::lock_guard guard(queue->lock);
        if (!queue->sampleRate)
            return;
        receivedRate = *queue->sampleRate;
        // No single block may queue more than the bound: a longer one (a
        // huge frame from a server) keeps only its newest part.
        if (samples.size() > queue->maxQueuedFrames)
            samples = samples.last(queue->maxQueuedFrames);
    }
    if (feed && feedPoint == FeedPoint::received)
        feed->played(samples, receivedRate);
    // The tools see every block, also those the full queue drops, so the
    // squelch and the noise estimates follow the sound without gaps.
    std::vector<float> buffer;
    try {
        buffer.assign(samples.begin(), samples.end());
    } catch (const std::bad_alloc&) {
        return;
    }
    chain.process(buffer);
    // The resampler sees every block, also those the full queue drops, so
    // its filter follows the sound without gaps.
    std::vector<float> output;
    try {
        resampler.process(buffer, driftControl.ratio(), output);
    } catch (const std::bad_alloc&) {
        return;
    }
    std::vector<std::vector<float>> toSchedule;
    std::int64_t generation = 0;
    bool released = false;
    std::optional<double> playingLevel;
    double sampleRate = 0;
    {
        std::lock_guard guard(queue->lock);
        if (!queue->sampleRate)
            return;
        sampleRate = *queue->sampleRate;
        const std::uint64_t total = std::uint64_t(queue->queuedFrames) + queue->primingFrames;
        // The bound is tested before the block is counted.
        if (total > queue->maxQueuedFrames)
            return;
        if (output.size() > std::numeric_limits<std::uint32_t>::max() - total)
            return;
        const auto frames = static_cast<std::uint32_t>(output.size());
        LatencyProbes::soundBlockQueued(output.data());
        // Here, under `lock`, the block is taken for output and not yet
        // handed on; the tap only copies it, at the server's own rate.
        if (tap)
            tap->played(buffer, sampleRate);
        if (feed && feedPoint == FeedPoint::played)
            feed->played(buffer, sampleRate);
        if (queue->isPriming) {
            queue->primingBuffers.push_back(std::move(output));
            queue->primingFrames += frames;
            if (queue->primingFrames >= queue->primeFrames) {
                queue->queuedFrames += queue->primingFrames;
                toSchedule.swap(queue->primingBuffers);
                queue->primingFrames = 0;
                queue->isPriming = false;
                queue->playingSince = queue->clock();
                released = true;
            }
        } else {
            queue->queuedFrames += frames;
            toSchedule.push_back(std::move(output));
            playingLevel = queue->unplayedFrames();
        }
        generation = queue->generation;
    }
    if (released)
        driftControl.restartMeasurement();
    if (playingLevel)
        driftControl.blockQueued(*playingLevel / sampleRate, static_cast<double>(samples.size()) / sampleRate);
    // Scheduled outside `lock`, so completions never wait for the engine, but
    // inside `controlLock`, so blocks keep their order and no restart interleaves.
    for (std::vector<float>& buffer : toSchedule) {
        const auto frames = static_cast<std::uint32_t>(buffer.size());
        engine->schedule(std::move(buffer),
                         [weak = std::weak_ptr<Queue>(queue), frames, generation] {
                             bufferCompleted(weak, frames, generation);
                         });
    }
}

void AudioPlayer::bufferCompleted(const std::weak_ptr<Queue>& weak, std::uint32_t frames,
                                      std::int64_t generation)
{
    const std::shared_ptr<Queue> queue = weak.lock();
    if (!queue)
        return;
    std::lock_guard guard(queue->lock);
    if (generation != queue->generation)
        return;
    queue->queuedFrames -= std::min(frames, queue->queuedFrames);
    queue->playingSince = queue->clock();
    // Run dry: collect a fresh reserve rather than play each late block alone.
    if (queue->queuedFrames == 0)
        queue->isPriming = true;
}

void AudioPlayer::restartAfterConfigurationChange(std::uint64_t serial)
{
    std::lock_guard control(controlLock);
    if (serial == engineSerial)
        restartIfRunning();
}

void AudioPlayer::handleOutputDeviceChange()
{
    std::lock_guard control(controlLock);
    if (selectedDevice() != routedDevice)
        restartIfRunning();
}

void AudioPlayer::restartIfRunning()
{
    std::optional<double> sampleRate;
    {
        std::lock_guard guard(queue->lock);
        sampleRate = queue->sampleRate;
    }
    if (sampleRate)
        start(*sampleRate);
}

void AudioPlayer::setTap(std::shared_ptr<PlayedSoundTap> newTap)
{
    std::lock_guard control(controlLock);
    tap = std::move(newTap);
}

void AudioPlayer::setFeed(std::shared_ptr<PlayedSoundTap> newFeed, FeedPoint point)
{
    std::lock_guard control(controlLock);
    feed = std::move(newFeed);
    feedPoint = point;
}

float AudioPlayer::volume() const
{
    std::lock_guard control(controlLock);
    return engine->volume();
}

void AudioPlayer::setVolume(float volume)
{
    std::lock_guard control(controlLock);
    engine->setVolume(std::isnan(volume) ? 0.0f : std::clamp(volume, 0.0f, 1.0f));
}

AudioPlayer::QueueState AudioPlayer::queueState() const
{
    std::lock_guard guard(queue->lock);
    return {queue->sampleRate, queue->isPriming, queue->queuedFrames, queue->primingFrames};
}

double AudioPlayer::resamplingRatio() const
{
    std::lock_guard control(controlLock);
    return resampler.appliedRatio();
}

std::optional<AudioDeviceID> AudioPlayer::routedDeviceID() const
{
    std::lock_guard control(controlLock);
    return routedDevice;
}
