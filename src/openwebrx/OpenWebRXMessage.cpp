#include "openwebrx/OpenWebRXMessage.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringView>

#include <algorithm>
#include <utility>

namespace {

constexpr QStringView handshakePrefix = u"CLIENT DE SERVER";

// The prefix plus the one character after it; a surrogate pair counts as one
// character so that no half of it is left behind.
qsizetype handshakeBodyStart(const QString& text)
{
    const qsizetype afterPrefix = handshakePrefix.size();
    if (text.size() > afterPrefix + 1 && text.at(afterPrefix).isHighSurrogate()
        && text.at(afterPrefix + 1).isLowSurrogate())
        return afterPrefix + 2;
    return afterPrefix + 1;
}

OpenWebRXMessage parseHandshake(const QString& text)
{
    JSONValue::Object members;
    const QStringView body = QStringView(text).mid(std::min(handshakeBodyStart(text), text.size()));
    for (QStringView piece : body.split(u' ', Qt::SkipEmptyParts)) {
        // Leading '=' characters are not split points: "==a=b" is a=b.
        qsizetype start = 0;
        while (start < piece.size() && piece.at(start) == u'=')
            ++start;
        piece = piece.mid(start);
        const qsizetype equals = piece.indexOf(u'=');
        if (equals <= 0 || equals + 1 >= piece.size())
            continue;
        members.insert_or_assign(piece.left(equals).toString(),
                                 JSONValue(piece.mid(equals + 1).toString()));
    }
    return OpenWebRXMessage{QStringLiteral("handshake"), JSONValue(std::move(members)), std::nullopt};
}

// Members are moved out of the parsed document, so a large value is not copied.
std::optional<OpenWebRXMessage> decodeMessage(JSONValue document)
{
    auto* object = std::get_if<JSONValue::Object>(&document.storage);
    if (!object)
        return std::nullopt;
    const auto take = [object](const QString& key) -> std::optional<JSONValue> {
        const auto found = object->find(key);
        if (found == object->end())
            return std::nullopt;
        return std::move(found->second);
    };
    OpenWebRXMessage message;
    auto type = take(QStringLiteral("type"));
    if (!type || !type->asString())
        return std::nullopt;
    message.type = *type->asString();
    message.value = take(QStringLiteral("value"));
    if (message.value && message.value->isNull())
        message.value.reset();
    // A null "reason" is absent, as a null "value" is; any other non-text
    // reason makes the message undecodable.
    if (auto reason = take(QStringLiteral("reason")); reason && !reason->isNull()) {
        message.reason = reason->asString();
        if (!message.reason)
            return std::nullopt;
    }
    return message;
}

QString compact(const QJsonObject& object)
{
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

} // namespace

std::optional<OpenWebRXMessage> parseOpenWebRXText(const QString& text)
{
    if (text.startsWith(handshakePrefix))
        return parseHandshake(text);
    const auto document = parseJSONValue(text.toUtf8());
    if (!document)
        return std::nullopt;
    return decodeMessage(std::move(*document));
}

QString openWebRXHandshakeLine()
{
    return QStringLiteral("SERVER DE CLIENT client=openwebrx.js type=receiver");
}

QString openWebRXConnectionProperties()
{
    return compact({
        {QStringLiteral("type"), QStringLiteral("connectionproperties")},
        {QStringLiteral("params"),
         QJsonObject{{QStringLiteral("output_rate"), qint64(12000)},
                     {QStringLiteral("hd_output_rate"), qint64(48000)}}},
    });
}

QString openWebRXDSPControl(const QString& mod, qint64 offsetFreq, qint64 lowCut, qint64 highCut)
{
    return compact({
        {QStringLiteral("type"), QStringLiteral("dspcontrol")},
        {QStringLiteral("params"),
         QJsonObject{{QStringLiteral("mod"), mod},
                     {QStringLiteral("offset_freq"), offsetFreq},
                     {QStringLiteral("low_cut"), lowCut},
                     {QStringLiteral("high_cut"), highCut},
                     {QStringLiteral("squelch_level"), qint64(-150)}}},
    });
}

QString openWebRXDecoderControl(const QString& mod, qint64 offsetFreq, qint64 lowCut, qint64 highCut,
    const std::optional<QString>& decoder)
{
    return compact({
        {QStringLiteral("type"), QStringLiteral("dspcontrol")},
        {QStringLiteral("params"),
         QJsonObject{{QStringLiteral("mod"), mod},
                     {QStringLiteral("offset_freq"), offsetFreq},
                     {QStringLiteral("low_cut"), lowCut},
                     {QStringLiteral("high_cut"), highCut},
                     {QStringLiteral("secondary_mod"), decoder ? QJsonValue(*decoder) : QJsonValue(false)}}},
    });
}

QString openWebRXDecoderOffset(qint64 offsetHz)
{
    return compact({
        {QStringLiteral("type"), QStringLiteral("dspcontrol")},
        {QStringLiteral("params"), QJsonObject{{QStringLiteral("secondary_offset_freq"), offsetHz}}},
    });
}

QString openWebRXDSPStart()
{
    return compact({
        {QStringLiteral("type"), QStringLiteral("dspcontrol")},
        {QStringLiteral("action"), QStringLiteral("start")},
    });
}

QString openWebRXSelectProfile(const QString& profileID)
{
    return compact({
        {QStringLiteral("type"), QStringLiteral("selectprofile")},
        {QStringLiteral("params"), QJsonObject{{QStringLiteral("profile"), profileID}}},
    });
}
