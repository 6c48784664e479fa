#pragma once
// Keeps an eye on the list of output devices for the whole process. Qt 6.4
// never reports device changes by itself, so the list is read about once a
// second on the main thread and compared. Every change posts
// "audioOutputDeviceDidChange" and emits devicesChanged with the new list.

#include "audio/AudioOutputDevice.h"

#include <QList>
#include <QObject>
#include <QTimer>

class AudioDeviceWatcher : public QObject {
    Q_OBJECT
public:
    static constexpr int pollIntervalMs = 1000;

    // Created, and set polling, on first use; must first be used on the main
    // thread. Lives until the program exits.
    static AudioDeviceWatcher& instance();

    QList<AudioOutputDevice> devices() const { return current; }

signals:
    void devicesChanged(const QList<AudioOutputDevice>& devices);

private:
    AudioDeviceWatcher();
    void poll();

    QTimer timer;
    QList<AudioOutputDevice> current;
};
