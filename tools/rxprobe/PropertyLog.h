#pragma once
// Watches every notifying property of an object and writes one line for each
// change: the time since the clock started, the property's name and its new
// value as JSON.

#include <QElapsedTimer>
#include <QHash>
#include <QObject>

#include <functional>

class PropertyLog : public QObject {
    Q_OBJECT

public:
    using LineSink = std::function<void(const QByteArray&)>;

    // The object must outlive the log.
    PropertyLog(QObject& watched, const QElapsedTimer& clock, LineSink sink, QObject* parent = nullptr);

private slots:
    void propertyChanged();

private:
    QObject& watched;
    const QElapsedTimer& clock;
    const LineSink sink;
    // Notify signal's method index -> indices of the properties it announces.
    QHash<int, QList<int>> propertiesBySignal;
};
