#pragma once
// One audio output device as the program lists it.

#include <QByteArray>
#include <QHashFunctions>
#include <QString>

#include <functional>
#include <optional>

// The platform's handle of an output device in this run. With PulseAudio it is
// the sink name, which is also the persistent UID.
using AudioDeviceID = QByteArray;

// Tells which device to play on now; none means the system default output.
using OutputDeviceLookup = std::function<std::optional<AudioDeviceID>()>;

struct AudioOutputDevice {
    AudioDeviceID id;
    QString uid;
    QString name;

    bool operator==(const AudioOutputDevice&) const = default;
};

inline size_t qHash(const AudioOutputDevice& device, size_t seed = 0)
{
    return qHashMulti(seed, device.id, device.uid, device.name);
}
