#include "audio/AudioSinkThread.h"

#include <QAudioSink>
#include <QCoreApplication>
#include <QIODevice>
#include <QMediaDevices>
#include <QObject>

#include <utility>

namespace {

QString describe(QAudio::Error error, const QAudioDevice& device)
{
    const QString name = device.description();
    switch (error) {
    case QAudio::OpenError:
        return QCoreApplication::translate("AudioSinkThread", "The audio output device “%1” could not be opened")
            .arg(name);
    case QAudio::IOError:
        return QCoreApplication::translate("AudioSinkThread", "The audio output device “%1” could not be written to")
            .arg(name);
    case QAudio::UnderrunError:
    case QAudio::FatalError:
    case QAudio::NoError:
        break;
    }
    return QCoreApplication::translate("AudioSinkThread", "The audio output device “%1” failed").arg(name);
}

} // namespace

AudioSinkThread::AudioSinkThread()
    : context(std::make_unique<QObject>())
{
    thread.setObjectName(QStringLiteral("Audio output"));
    context->moveToThread(&thread);
    thread.start(QThread::HighPriority);
}

AudioSinkThread::~AudioSinkThread()
{
    runOnAudioThread([this] { closeSink(); });
    thread.quit();
    thread.wait();
}

QAudioDevice AudioSinkThread::resolveDevice(const std::optional<AudioDeviceID>& id)
{
    if (id) {
        for (const QAudioDevice& device : QMediaDevices::audioOutputs()) {
            if (device.id() == *id)
                return device;
        }
    }
    return QMediaDevices::defaultAudioOutput();
}

bool AudioSinkThread::isAudioThread() const
{
    return QThread::currentThread() == &thread;
}

void AudioSinkThread::runOnAudioThread(const std::function<void()>& work)
{
    if (isAudioThread())
        work();
    else
        QMetaObject::invokeMethod(context.get(), work, Qt::BlockingQueuedConnection);
}

namespace {
constexpr qint64 outputBufferMicroseconds = 150'000;
} // namespace

std::optional<AudioOutputError> AudioSinkThread::start(const QAudioDevice& device,
                                                       const QAudioFormat& format,
                                                       SourceFactory makeSource)
{
    if (device.isNull())
        return AudioOutputError{QCoreApplication::translate("AudioSinkThread", "No audio output device is available")};
    std::optional<AudioOutputError> result;
    runOnAudioThread([&] {
        closeSink();
        source = makeSource();
        source->open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        sink = std::make_unique<QAudioSink>(device, format);
        sink->setVolume(currentVolume.load());
        // Qt's default buffer reads a third of a second ahead at 12 kHz, on
        // top of the player's reserve; tuning should be heard sooner.
        sink->setBufferSize(format.bytesForDuration(outputBufferMicroseconds));
        QAudioSink* const which = sink.get();
        QObject::connect(which, &QAudioSink::stateChanged, context.get(),
                         [this, which] { sinkStateChanged(which); });
        sink->start(source.get());
        if (sink->error() != QAudio::NoError || sink->state() == QAudio::StoppedState) {
            result = AudioOutputError{describe(sink->error(), device)};
            closeSink();
            return;
        }
        running = true;
    });
    return result;
}

void AudioSinkThread::stop()
{
    runOnAudioThread([this] { closeSink(); });
}

void AudioSinkThread::closeSink()
{
    running = false;
    if (sink) {
        sink->disconnect(context.get());
        sink->stop();
    }
    sink.reset();
    source.reset();
}

void AudioSinkThread::sinkStateChanged(QAudioSink* which)
{
    if (!running || which != sink.get())
        return;
    if (which->state() != QAudio::StoppedState || which->error() == QAudio::NoError)
        return;
    running = false;
    std::function<void()> handler;
    {
        std::lock_guard guard(handlerMutex);
        handler = failureHandler;
    }
    if (handler)
        handler();
}

float AudioSinkThread::volume() const
{
    return currentVolume.load();
}

void AudioSinkThread::setVolume(float volume)
{
    currentVolume.store(volume);
    QMetaObject::invokeMethod(
        context.get(),
        [this] {
            if (sink)
                sink->setVolume(currentVolume.load());
        },
        Qt::QueuedConnection);
}

void AudioSinkThread::setFailureHandler(std::function<void()> handler)
{
    std::lock_guard guard(handlerMutex);
    failureHandler = std::move(handler);
}
