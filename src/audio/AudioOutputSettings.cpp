#include "audio/AudioOutputSettings.h"

#include "audio/AudioDeviceNotifier.h"
#include "audio/AudioDeviceWatcher.h"
#include "bookmarks/Preferences.h"

#include <algorithm>

AudioOutputSettings::AudioOutputSettings(QObject* parent)
    : QObject(parent)
{
    Preferences& preferences = Preferences::instance();
    const QString stored = preferences.audioOutputDeviceUID();
    // The watcher's list, not a fresh one: changes arrive as differences from
    // it, so a device that came and went between two polls is not kept.
    deviceList = AudioDeviceWatcher::instance().devices();
    const bool present = std::any_of(deviceList.cbegin(), deviceList.cend(),
                                     [&](const AudioOutputDevice& device) { return device.uid == stored; });
    selected = present ? stored : QString();
    // A choice whose device is absent at start-up is forgotten.
    preferences.setAudioOutputDeviceUID(selected);
    connect(&AudioDeviceWatcher::instance(), &AudioDeviceWatcher::devicesChanged, this,
            &AudioOutputSettings::refreshDevices);
}

void AudioOutputSettings::setSelectedUID(const QString& uid)
{
    if (uid == selected)
        return;
    selected = uid;
    Preferences::instance().setAudioOutputDeviceUID(uid);
    emit selectedUIDChanged();
    AudioDeviceNotifier::instance().post();
}

void AudioOutputSettings::refreshDevices(const QList<AudioOutputDevice>& latest)
{
    if (latest == deviceList)
        return;
    deviceList = latest;
    emit devicesChanged();
}
