#include "connection/JSONValue.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>

#include <algorithm>

std::optional<bool> JSONValue::asBool() const
{
    if (const auto* value = std::get_if<bool>(&storage))
        return *value;
    return std::nullopt;
}

std::optional<double> JSONValue::asNumber() const
{
    if (const auto* value = std::get_if<double>(&storage))
        return *value;
    return std::nullopt;
}

std::optional<QString> JSONValue::asString() const
{
    if (const auto* value = std::get_if<QString>(&storage))
        return *value;
    return std::nullopt;
}

namespace {

const JSONValue* findMember(const JSONValue& value, const QString& key)
{
    const auto* object = value.asObject();
    if (!object)
        return nullptr;
    const auto found = object->find(key);
    return found == object->end() ? nullptr : &found->second;
}

// Recursion is bounded by `jsonMaxDepth` (and Qt's parser refuses anything
// nested beyond 1024 before we get here).
std::optional<JSONValue> convert(const QJsonValue& value, int depth)
{
    switch (value.type()) {
    case QJsonValue::Null:
        return JSONValue(nullptr);
    case QJsonValue::Bool:
        return JSONValue(value.toBool());
    case QJsonValue::Double:
        return JSONValue(value.toDouble());
    case QJsonValue::String:
        return JSONValue(value.toString());
    case QJsonValue::Array: {
        if (depth >= jsonMaxDepth)
            return std::nullopt;
        const QJsonArray array = value.toArray();
        JSONValue::Array result;
        result.reserve(static_cast<std::size_t>(array.size()));
        const qsizetype kept = std::min(array.size(), jsonMaxArrayElements);
        result.reserve(static_cast<std::size_t>(kept));
        for (qsizetype i = 0; i < kept; ++i) {
            auto converted = convert(array.at(i), depth + 1);
            if (!converted)
                return std::nullopt;
            result.push_back(std::move(*converted));
        }
        return JSONValue(std::move(result));
    }
    case QJsonValue::Object: {
        if (depth >= jsonMaxDepth)
            return std::nullopt;
        const QJsonObject object = value.toObject();
        JSONValue::Object result;
        for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
            auto converted = convert(it.value(), depth + 1);
            if (!converted)
                return std::nullopt;
            result.insert_or_assign(it.key(), std::move(*converted));
        }
        return JSONValue(std::move(result));
    }
    case QJsonValue::Undefined:
        break;
    }
    return std::nullopt;
}

// Whether the text holds at most `bound` values: every value but the first
// follows a ',' or opens a container, counted outside strings, so the count
// is never below the truth. Stops once past the bound.
bool hasAtMostValues(const QByteArray& utf8, qsizetype bound)
{
    qsizetype count = 1;
    bool inString = false;
    bool escaped = false;
    for (const char c : utf8) {
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == ',' || c == '[' || c == '{') {
            if (++count > bound)
                return false;
        }
    }
    return true;
}

} // namespace

std::optional<JSONValue> JSONValue::member(const QString& key) const
{
    if (const auto* found = findMember(*this, key))
        return *found;
    return std::nullopt;
}

std::optional<QString> JSONValue::stringMember(const QString& key) const
{
    if (const auto* found = findMember(*this, key))
        return found->asString();
    return std::nullopt;
}

std::optional<double> JSONValue::numberMember(const QString& key) const
{
    if (const auto* found = findMember(*this, key))
        return found->asNumber();
    return std::nullopt;
}

std::optional<JSONValue> parseJSONValue(const QByteArray& utf8)
{
    if (!hasAtMostValues(utf8, jsonMaxValues))
        return std::nullopt;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(utf8, &error);
    if (error.error != QJsonParseError::NoError)
        return std::nullopt;
    if (document.isObject())
        return convert(QJsonValue(document.object()), 0);
    if (document.isArray())
        return convert(QJsonValue(document.array()), 0);
    return std::nullopt;
}
