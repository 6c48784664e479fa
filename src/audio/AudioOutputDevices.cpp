#include "audio/AudioOutputDevices.h"

#include "audio/SoundSourceNames.h"

#include <QAudioDevice>
#include <QMediaDevices>

// QMediaDevices keeps the list the sound server reported under its own locks,
// so it may be read from the receive threads as well as the main thread.
QList<AudioOutputDevice> enumerateOutputDevices()
{
    QList<AudioOutputDevice> devices;
    for (const QAudioDevice& device : QMediaDevices::audioOutputs()) {
        // The sinks that feed our own capture sources are no speakers.
        if (device.isNull() || device.id().isEmpty() || device.id().startsWith(soundSourcePrefix))
            continue;
        devices.append({device.id(), QString::fromUtf8(device.id()), device.description()});
    }
    return devices;
}

std::optional<AudioDeviceID> currentOutputDeviceID(const QString& uid)
{
    if (uid.isEmpty())
        return std::nullopt;
    for (const AudioOutputDevice& device : enumerateOutputDevices()) {
        if (device.uid == uid)
            return device.id;
    }
    return std::nullopt;
}
