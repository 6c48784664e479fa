#include "PropertyLog.h"

#include "JsonLines.h"
#include "PropertyJson.h"

#include <QMetaProperty>

PropertyLog::PropertyLog(QObject& watched, const QElapsedTimer& clock, LineSink sink, QObject* parent)
    : QObject(parent)
    , watched(watched)
    , clock(clock)
    , sink(std::move(sink))
{
    const QMetaObject* meta = watched.metaObject();
    const QMetaMethod slot = metaObject()->method(metaObject()->indexOfSlot("propertyChanged()"));
    for (int index = meta->propertyOffset(); index < meta->propertyCount(); ++index) {
        const QMetaProperty property = meta->property(index);
        if (!property.hasNotifySignal())
            continue;
        const QMetaMethod signal = property.notifySignal();
        if (!propertiesBySignal.contains(signal.methodIndex()))
            connect(&watched, signal, this, slot);
        propertiesBySignal[signal.methodIndex()].append(index);
    }
}

void PropertyLog::propertyChanged()
{
    if (sender() != &watched)
        return;
    const QMetaObject* meta = watched.metaObject();
    for (const int index : propertiesBySignal.value(senderSignalIndex())) {
        const QMetaProperty property = meta->property(index);
        const QJsonValue value = propertyJson(property.read(&watched)).value_or(QJsonValue());
        sink(propertyLine(clock.elapsed(), QString::fromLatin1(property.name()), value));
    }
}
