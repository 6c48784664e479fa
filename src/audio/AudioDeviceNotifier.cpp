#include "audio/AudioDeviceNotifier.h"

#include <QCoreApplication>
#include <QThread>

AudioDeviceNotifier& AudioDeviceNotifier::instance()
{
    // Never destroyed: receivers may disconnect from it during exit.
    static AudioDeviceNotifier* const notifier = [] {
        auto* created = new AudioDeviceNotifier;
        if (QCoreApplication* app = QCoreApplication::instance())
            created->moveToThread(app->thread());
        return created;
    }();
    return *notifier;
}

void AudioDeviceNotifier::post()
{
    emit audioOutputDeviceDidChange();
}
