#pragma once
// The computer's audio outputs, and the one the user chose. Both functions may
// be called from any thread.

#include "audio/AudioOutputDevice.h"

#include <QList>

#include <optional>

// The output devices in the order the sound server lists them.
QList<AudioOutputDevice> enumerateOutputDevices();

// The current device whose UID is stored under "audioOutputDeviceUID"; none
// when nothing or the empty text is stored, or no current device has it.
std::optional<AudioDeviceID> selectedOutputDeviceID();
