#pragma once
// A JSON value as read from an OpenWebRX server: exactly six cases, copied
// freely between threads. Readers look members up with `member` (or the typed
// shortcuts) and treat a member of an unexpected case as missing.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <map>
#include <optional>
#include <variant>
#include <vector>

struct JSONValue {
    using Array = std::vector<JSONValue>;
    using Object = std::map<QString, JSONValue>;
    using Storage = std::variant<bool, double, QString, Array, Object, std::nullptr_t>;

    Storage storage = nullptr;

    JSONValue() = default;
    JSONValue(std::nullptr_t) { }
    JSONValue(bool value) : storage(value) { }
    JSONValue(double value) : storage(value) { }
    JSONValue(QString value) : storage(std::move(value)) { }
    JSONValue(Array value) : storage(std::move(value)) { }
    JSONValue(Object value) : storage(std::move(value)) { }
    // A string literal would otherwise silently become a bool.
    JSONValue(const char*) = delete;

    bool isNull() const { return std::holds_alternative<std::nullptr_t>(storage); }
    std::optional<bool> asBool() const;
    std::optional<double> asNumber() const;
    std::optional<QString> asString() const;
    const Array* asArray() const { return std::get_if<Array>(&storage); }
    const Object* asObject() const { return std::get_if<Object>(&storage); }

    // The member `key` when this is an object holding it; otherwise none.
    std::optional<JSONValue> member(const QString& key) const;
    // Shortcuts for the common "text member" / "number member" reads, without
    // copying the member.
    std::optional<QString> stringMember(const QString& key) const;
    std::optional<double> numberMember(const QString& key) const;

    friend bool operator==(const JSONValue&, const JSONValue&) = default;
};

// Documents nested deeper than this are rejected rather than walked.
inline constexpr int jsonMaxDepth = 512;
// Documents of more values than this are rejected before Qt builds its tree
// (16 bytes a value, and as much again while it grows): a flat array of 16 MiB
// would be 8 million. No message we read comes near.
inline constexpr qsizetype jsonMaxValues = 262144;
// Arrays keep their first this many elements; the rest is dropped unread, so
// that a wide array is not held twice at full size (Qt's tree and ours).
inline constexpr qsizetype jsonMaxArrayElements = 65536;

// Reads one JSON document (UTF-8) whose top level is an object or an array.
// No value for malformed JSON, nesting beyond `jsonMaxDepth` or more than
// `jsonMaxValues` values.
std::optional<JSONValue> parseJSONValue(const QByteArray& utf8);
