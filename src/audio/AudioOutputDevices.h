#pragma once
// The computer's audio outputs. Both functions may be called from any thread.

#include "audio/AudioOutputDevice.h"

#include <QList>

#include <optional>

// The output devices in the order the sound server lists them.
QList<AudioOutputDevice> enumerateOutputDevices();

// The current device with this UID; none for the empty text (the system
// default output) or when no current device has it.
std::optional<AudioDeviceID> currentOutputDeviceID(const QString& uid);
