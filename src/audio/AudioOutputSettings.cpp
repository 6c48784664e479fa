#include "audio/AudioOutputSettings.h"

#include "audio/AudioDeviceNotifier.h"
#include "audio/AudioDeviceWatcher.h"
#include "audio/AudioOutputDevices.h"

#include <QMutex>
#include <QMutexLocker>

#include <algorithm>

// Shared with the lookups handed to players, which run on the receive
// threads as well as the main thread.
struct AudioOutputSettings::Choice {
    mutable QMutex lock;
    QString uid;

    QString read() const
    {
        QMutexLocker guard(&lock);
        return uid;
    }
};

AudioOutputSettings::AudioOutputSettings(const QString& storedUID, QObject* parent)
    : QObject(parent)
    , choice(std::make_shared<Choice>())
{
    // The watcher's list, not a fresh one: changes arrive as differences from
    // it, so a device that came and went between two polls is not kept.
    deviceList = AudioDeviceWatcher::instance().devices();
    const bool present = std::any_of(deviceList.cbegin(), deviceList.cend(),
                                     [&](const AudioOutputDevice& device) { return device.uid == storedUID; });
    choice->uid = present ? storedUID : QString();
    connect(&AudioDeviceWatcher::instance(), &AudioDeviceWatcher::devicesChanged, this,
            &AudioOutputSettings::refreshDevices);
}

AudioOutputSettings::~AudioOutputSettings() = default;

QString AudioOutputSettings::selectedUID() const
{
    return choice->read();
}

void AudioOutputSettings::setSelectedUID(const QString& uid)
{
    {
        QMutexLocker guard(&choice->lock);
        if (uid == choice->uid)
            return;
        choice->uid = uid;
    }
    emit selectedUIDChanged();
    AudioDeviceNotifier::instance().post();
}

std::optional<AudioDeviceID> AudioOutputSettings::selectedDeviceID() const
{
    return currentOutputDeviceID(choice->read());
}

OutputDeviceLookup AudioOutputSettings::deviceLookup() const
{
    return [choice = std::shared_ptr<const Choice>(choice)] { return currentOutputDeviceID(choice->read()); };
}

void AudioOutputSettings::refreshDevices(const QList<AudioOutputDevice>& latest)
{
    if (latest == deviceList)
        return;
    deviceList = latest;
    emit devicesChanged();
}
