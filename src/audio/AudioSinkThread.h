#pragma once
// A pull-mode QAudioSink on a thread of its own. Qt's PulseAudio sink is fed
// by a timer on the thread that owns it, so the sink, its source and that
// timer live here, away from the main thread. Calls from other threads are
// carried over; start and stop wait for the audio thread, which never waits
// for anyone else.

#include "audio/AudioEngine.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

class QAudioSink;
class QIODevice;
class QObject;

class AudioSinkThread {
public:
    using SourceFactory = std::function<std::unique_ptr<QIODevice>()>;

    AudioSinkThread();
    ~AudioSinkThread();
    AudioSinkThread(const AudioSinkThread&) = delete;
    AudioSinkThread& operator=(const AudioSinkThread&) = delete;

    // The device with that id, else the system default output (null when
    // there is no output at all).
    static QAudioDevice resolveDevice(const std::optional<AudioDeviceID>& id);

    // Opens the device with the format and starts pulling from a source made
    // on the audio thread. Replaces a running sink.
    std::optional<AudioOutputError> start(const QAudioDevice& device, const QAudioFormat& format,
                                          SourceFactory makeSource);
    void stop();

    float volume() const;
    // Takes effect shortly, without waiting for the audio thread.
    void setVolume(float volume);

    // Runs on the audio thread when a started sink stops with an error.
    void setFailureHandler(std::function<void()> handler);

private:
    bool isAudioThread() const;
    void runOnAudioThread(const std::function<void()>& work);
    void closeSink();
    void sinkStateChanged(QAudioSink* which);

    QThread thread;
    std::unique_ptr<QObject> context; // lives on `thread`
    // Touched on the audio thread only.
    std::unique_ptr<QAudioSink> sink;
    std::unique_ptr<QIODevice> source;
    bool running = false;

    std::atomic<float> currentVolume{1.0f};
    std::mutex handlerMutex;
    std::function<void()> failureHandler;
};
