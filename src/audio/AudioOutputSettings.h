#pragma once
// The output devices and the user's choice among them, for the settings
// window. The choice is kept as the device's UID under "audioOutputDeviceUID"
// (the empty text is the system default output); every change of the choice
// posts "audioOutputDeviceDidChange". Lives on the main thread.

#include "audio/AudioOutputDevice.h"

#include <QList>
#include <QObject>
#include <QString>

class AudioOutputSettings : public QObject {
    Q_OBJECT
    Q_PROPERTY(QList<AudioOutputDevice> devices READ devices NOTIFY devicesChanged)
    Q_PROPERTY(QString selectedUID READ selectedUID WRITE setSelectedUID NOTIFY selectedUIDChanged)
public:
    explicit AudioOutputSettings(QObject* parent = nullptr);

    QList<AudioOutputDevice> devices() const { return deviceList; }
    QString selectedUID() const { return selected; }
    void setSelectedUID(const QString& uid);

signals:
    void devicesChanged();
    void selectedUIDChanged();

private:
    void refreshDevices(const QList<AudioOutputDevice>& latest);

    QList<AudioOutputDevice> deviceList;
    QString selected;
};
