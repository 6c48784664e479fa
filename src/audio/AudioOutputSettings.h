#pragma once
// The output devices and the user's choice among them, held in memory for the
// settings window and the players. The choice is a device UID (the empty text
// is the system default output); every change of it posts
// "audioOutputDeviceDidChange". Keeping the choice across launches is the
// application's business. Lives on the main thread, but lookups may run on any.

#include "audio/AudioOutputDevice.h"

#include <QList>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>

class AudioOutputSettings : public QObject {
    Q_OBJECT
    Q_PROPERTY(QList<AudioOutputDevice> devices READ devices NOTIFY devicesChanged)
    Q_PROPERTY(QString selectedUID READ selectedUID WRITE setSelectedUID NOTIFY selectedUIDChanged)
public:
    // Starts from the stored choice; one whose device is absent now is
    // forgotten.
    explicit AudioOutputSettings(const QString& storedUID = QString(), QObject* parent = nullptr);
    ~AudioOutputSettings() override;

    QList<AudioOutputDevice> devices() const { return deviceList; }
    QString selectedUID() const;
    void setSelectedUID(const QString& uid);

    // The chosen device while it is among the current outputs, else none.
    std::optional<AudioDeviceID> selectedDeviceID() const;
    // The same as a function that any thread may call, also after the
    // settings are gone (it then keeps the last choice).
    OutputDeviceLookup deviceLookup() const;

signals:
    void devicesChanged();
    void selectedUIDChanged();

private:
    struct Choice;

    void refreshDevices(const QList<AudioOutputDevice>& latest);

    QList<AudioOutputDevice> deviceList;
    const std::shared_ptr<Choice> choice;
};
