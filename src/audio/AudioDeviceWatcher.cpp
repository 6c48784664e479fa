#include "audio/AudioDeviceWatcher.h"

#include "audio/AudioDeviceNotifier.h"
#include "audio/AudioOutputDevices.h"

AudioDeviceWatcher& AudioDeviceWatcher::instance()
{
    static AudioDeviceWatcher* const watcher = new AudioDeviceWatcher;
    return *watcher;
}

AudioDeviceWatcher::AudioDeviceWatcher()
    : current(enumerateOutputDevices())
{
    AudioDeviceNotifier::instance();
    timer.setInterval(pollIntervalMs);
    connect(&timer, &QTimer::timeout, this, &AudioDeviceWatcher::poll);
    timer.start();
}

void AudioDeviceWatcher::poll()
{
    QList<AudioOutputDevice> latest = enumerateOutputDevices();
    if (latest == current)
        return;
    current = std::move(latest);
    emit devicesChanged(current);
    AudioDeviceNotifier::instance().post();
}
