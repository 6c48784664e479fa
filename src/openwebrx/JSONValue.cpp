#include "openwebrx/JSONValue.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>

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
        for (const QJsonValue& element : array) {
            auto converted = convert(element, depth + 1);
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
