#pragma once
// Audio engines that play nothing: they record what the player asks of them
// and let the test decide when buffers are consumed. A session's network
// thread starts the player and schedules buffers while the test thread looks,
// so the record is kept under one lock and read as copies.

#include "audio/AudioEngine.h"
#include "audio/AudioPlayer.h"

#include <functional>
#include <mutex>
#include <type_traits>

class AudioRecording {
public:
    struct Buffer {
        std::vector<float> samples;
        AudioEngine::ConsumedCallback consumed;
    };
    // What one engine was asked, in the order the player made them.
    struct Engine {
        std::optional<AudioDeviceID> device;
        bool alive = true;
        bool running = false;
        double sampleRate = 0.0; // of the last successful start
        int startCount = 0;
        float volume = 1.0f;
        // Not yet taken by the test; a callback may be run more than once.
        std::vector<Buffer> scheduled;
        std::function<void()> configurationChanged;
    };

    AudioEngineFactory factory() const
    {
        return [shared = shared](const std::optional<AudioDeviceID>& device) -> std::unique_ptr<AudioEngine> {
            std::lock_guard guard(shared->lock);
            shared->engines.emplace_back().device = device;
            return std::make_unique<RecordingEngine>(shared, shared->engines.size() - 1);
        };
    }
    AudioPlayer::DeviceLookup lookup() const
    {
        return [shared = shared] {
            std::lock_guard guard(shared->lock);
            return shared->selected;
        };
    }
    std::shared_ptr<AudioPlayer> player() const { return AudioPlayer::create(factory(), lookup()); }

    // The device the player's lookup reports as chosen.
    void select(std::optional<AudioDeviceID> device) { locked([&](Shared& s) { s.selected = std::move(device); }); }
    // Every start fails with this until it is reset.
    void failStarts(std::optional<AudioOutputError> error) { locked([&](Shared& s) { s.startError = std::move(error); }); }
    // Runs inside each start, on the starting thread, outside the record's lock.
    void setDuringStart(std::function<void()> hook) { locked([&](Shared& s) { s.duringStart = std::move(hook); }); }

    std::size_t engineCount() const { return locked([](Shared& s) { return s.engines.size(); }); }
    Engine engine(std::size_t i) const { return locked([&](Shared& s) { return s.engines.at(i); }); }
    Engine current() const { return locked([](Shared& s) { return s.engines.back(); }); }
    // The current engine's buffers not taken before, in scheduling order.
    std::vector<Buffer> takeScheduled()
    {
        return locked([](Shared& s) { return std::exchange(s.engines.back().scheduled, {}); });
    }
    // The samples of the current engine's untaken buffers, one after another.
    std::vector<float> scheduledSamples() const
    {
        std::vector<float> all;
        for (const Buffer& buffer : current().scheduled)
            all.insert(all.end(), buffer.samples.begin(), buffer.samples.end());
        return all;
    }

    // The running rate of the newest engine; none while it is stopped.
    std::optional<double> currentRate() const
    {
        return locked([](Shared& s) {
            return s.engines.back().running ? std::optional(s.engines.back().sampleRate) : std::nullopt;
        });
    }
    // The rate of every successful start, on any engine.
    std::vector<double> starts() const { return locked([](Shared& s) { return s.startedRates; }); }
    // Buffers scheduled on every engine so far.
    std::size_t buffers() const { return locked([](Shared& s) { return s.buffersScheduled; }); }

private:
    struct Shared {
        std::mutex lock;
        std::vector<Engine> engines;
        std::optional<AudioDeviceID> selected;
        std::optional<AudioOutputError> startError;
        std::function<void()> duringStart;
        std::vector<double> startedRates;
        std::size_t buffersScheduled = 0;
    };

    template <typename Action>
    std::invoke_result_t<Action, Shared&> locked(Action action) const
    {
        std::lock_guard guard(shared->lock);
        return action(*shared);
    }

    class RecordingEngine final : public AudioEngine {
    public:
        RecordingEngine(std::shared_ptr<Shared> shared, std::size_t index) : shared(std::move(shared)), index(index) { }
        ~RecordingEngine() override { record([](Engine& e) { e.alive = false; }); }

        bool canUseRate(double sampleRate) const override { return sampleRate >= 1.0 && sampleRate <= 384000.0; }
        std::optional<AudioOutputError> start(double sampleRate) override
        {
            const auto hook = record([&](Engine& e) { ++e.startCount; return shared->duringStart; });
            if (hook)
                hook();
            std::lock_guard guard(shared->lock);
            if (shared->startError)
                return shared->startError;
            shared->engines[index].running = true;
            shared->engines[index].sampleRate = sampleRate;
            shared->startedRates.push_back(sampleRate);
            return std::nullopt;
        }
        void stop() override { record([](Engine& e) { e.running = false; }); }
        void schedule(std::vector<float> samples, ConsumedCallback consumed) override
        {
            record([&](Engine& e) {
                e.scheduled.push_back({std::move(samples), std::move(consumed)});
                ++shared->buffersScheduled;
            });
        }
        float volume() const override { return record([](Engine& e) { return e.volume; }); }
        void setVolume(float volume) override { record([&](Engine& e) { e.volume = volume; }); }
        void setConfigurationChangeHandler(std::function<void()> handler) override
        {
            record([&](Engine& e) { e.configurationChanged = std::move(handler); });
        }

    private:
        template <typename Change>
        std::invoke_result_t<Change, Engine&> record(Change change) const
        {
            std::lock_guard guard(shared->lock);
            return change(shared->engines[index]);
        }

        std::shared_ptr<Shared> shared;
        std::size_t index;
    };

    std::shared_ptr<Shared> shared = std::make_shared<Shared>();
};

// A player whose engines record into `recording`.
inline std::shared_ptr<AudioPlayer> recordingPlayer(const std::shared_ptr<AudioRecording>& r) { return r->player(); }
