#pragma once
// The process-wide announcement "audioOutputDeviceDidChange": posted when the
// user chooses another output device and whenever the device list changes.
// Receivers connected without a context object run on the posting thread.

#include <QObject>

class AudioDeviceNotifier : public QObject {
    Q_OBJECT
public:
    static AudioDeviceNotifier& instance();

    void post();

signals:
    void audioOutputDeviceDidChange();

private:
    AudioDeviceNotifier() = default;
};
