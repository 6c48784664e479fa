#pragma once
// The JSON form of each value the receiver session publishes. Absent optional
// values are null; the session state is {"kind": ..., "message": ...}; the
// receiver info is an object with one member per field.

#include "model/DecoderOutput.h"

#include <QJsonValue>
#include <QMetaType>
#include <QVariant>

#include <optional>

// Whether values of this type have a JSON form.
bool hasPropertyJson(QMetaType type);

// The JSON form of a property value; no value for a type without one.
std::optional<QJsonValue> propertyJson(const QVariant& value);

// A decoder's message as an object of its fields: numbers as numbers (one
// that JSON cannot hold as text), everything else as text.
QJsonValue decodedMessageJson(const DecodedMessage& message);
