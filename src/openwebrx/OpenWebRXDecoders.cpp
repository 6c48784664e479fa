#include "openwebrx/OpenWebRXDecoders.h"

#include "model/ReceiverModel.h"
#include "model/ScaleLabels.h"
#include "openwebrx/OpenWebRXModulations.h"
#include "openwebrx/OpenWebRXSessionValues.h"

#include <QHash>

#include <cmath>
#include <utility>

namespace {

// Far beyond any filter a server sets (wide FM's is 75 kHz).
constexpr double maxBandpassHz = 1e6;
// A server's feature list beyond this is cut.
constexpr qsizetype maxFeatures = 1000;
constexpr qsizetype maxRequirements = 20;
constexpr double maxDecoderRateHz = 1e8;

QString oneLine(const QString& text, qsizetype maxLength)
{
    return boundedServerText(DecodedTextCleaner{}.clean(text).replace(u'\n', u' '), maxLength);
}

std::optional<Passband> readBandpass(const JSONValue& element)
{
    const std::optional<JSONValue> bandpass = element.member(QStringLiteral("bandpass"));
    if (!bandpass)
        return std::nullopt;
    const std::optional<double> low = bandpass->numberMember(QStringLiteral("low_cut"));
    const std::optional<double> high = bandpass->numberMember(QStringLiteral("high_cut"));
    if (!low || !high || !(std::abs(*low) <= maxBandpassHz) || !(std::abs(*high) <= maxBandpassHz) || !(*low < *high))
        return std::nullopt;
    return Passband{static_cast<std::int64_t>(std::lround(*low)), static_cast<std::int64_t>(std::lround(*high))};
}

QStringList readTexts(const JSONValue& element, const QString& key, qsizetype maxCount)
{
    QStringList texts;
    const std::optional<JSONValue> list = element.member(key);
    const JSONValue::Array* items = list ? list->asArray() : nullptr;
    if (!items)
        return texts;
    for (const JSONValue& item : *items) {
        if (texts.size() == maxCount)
            break;
        if (const std::optional<QString> text = item.asString())
            texts.append(oneLine(*text, maxLabelNameLength));
    }
    return texts;
}

// Compact JSON of a value, within `budget` characters (cut short beyond).
void appendJSONText(const JSONValue& value, QString& out, qsizetype budget)
{
    if (out.size() >= budget)
        return;
    if (const auto* array = value.asArray()) {
        out += u'[';
        for (std::size_t i = 0; i < array->size() && out.size() < budget; ++i) {
            if (i > 0)
                out += u',';
            appendJSONText((*array)[i], out, budget);
        }
        out += u']';
    } else if (const auto* object = value.asObject()) {
        out += u'{';
        bool first = true;
        for (const auto& [key, member] : *object) {
            if (out.size() >= budget)
                break;
            if (!std::exchange(first, false))
                out += u',';
            out += u'"' + oneLine(key, maxDecodedKeyLength) + QStringLiteral("\":");
            appendJSONText(member, out, budget);
        }
        out += u'}';
    } else if (const auto number = value.asNumber()) {
        out += QString::number(*number, 'g', 12);
    } else if (const auto text = value.asString()) {
        out += u'"' + oneLine(*text, budget) + u'"';
    } else if (const auto flag = value.asBool()) {
        out += *flag ? QStringLiteral("true") : QStringLiteral("false");
    } else {
        out += QStringLiteral("null");
    }
}

DecodedMessage readMessage(const JSONValue::Object& object)
{
    DecodedMessage message;
    qsizetype left = maxDecodedPieceLength;
    for (const auto& [rawKey, member] : object) {
        const QString key = oneLine(rawKey, std::min(maxDecodedKeyLength, left));
        left -= key.size();
        if (left <= 0)
            break;
        if (const auto number = member.asNumber()) {
            message.fields.push_back({key, *number});
            left -= 1;
            continue;
        }
        QString text;
        if (const auto string = member.asString())
            text = oneLine(*string, left);
        else
            appendJSONText(member, text, left);
        text = boundedServerText(std::move(text), left);
        left -= text.size();
        message.fields.push_back({key, std::move(text)});
    }
    return message;
}

} // namespace

OpenWebRXModes readOpenWebRXModes(const std::optional<JSONValue>& value)
{
    OpenWebRXModes modes;
    const JSONValue::Array* elements = value ? value->asArray() : nullptr;
    if (!elements)
        return modes;
    QHash<QString, Passband> analogBandpasses;
    for (const JSONValue& element : *elements) {
        if (modes.analog.size() == maxOpenWebRXModulations)
            break;
        if (element.stringMember(QStringLiteral("type")) != u"analog")
            continue;
        const std::optional<QString> modulation = element.stringMember(QStringLiteral("modulation"));
        if (!modulation)
            continue;
        const QString name = boundedServerText(*modulation);
        modes.analog.insert(name);
        if (const std::optional<Passband> bandpass = readBandpass(element))
            analogBandpasses.insert(name, *bandpass);
    }
    for (const JSONValue& element : *elements) {
        if (modes.decoders.size() == maxReceiverDecoders)
            break;
        if (element.stringMember(QStringLiteral("type")) != u"digimode")
            continue;
        const std::optional<QString> modulation = element.stringMember(QStringLiteral("modulation"));
        // Sent back as it is, so one that is not a plain word is of no use.
        if (!modulation || modulation->isEmpty() || oneLine(*modulation, maxLabelNameLength) != *modulation)
            continue;
        ReceiverDecoder decoder;
        decoder.modulation = *modulation;
        decoder.name = plainLabelName(element.stringMember(QStringLiteral("name")).value_or(*modulation));
        if (decoder.name.isEmpty())
            decoder.name = decoder.modulation;
        decoder.spectrum = element.member(QStringLiteral("secondaryFft")).value_or(JSONValue(true)).asBool().value_or(true);
        const std::optional<Passband> own = readBandpass(element);
        const QStringList underlying = readTexts(element, QStringLiteral("underlying"), maxOpenWebRXModulations);
        for (const QString& name : underlying) {
            const std::optional<Mode> mode = modeForOpenWebRXModulation(name);
            if (!mode)
                continue;
            const Passband passband = own.value_or(analogBandpasses.value(name, defaultPassband(*mode)));
            decoder.underlying.append({*mode, passband});
        }
        modes.decoders.append(decoder);
        modes.requirements.append(readTexts(element, QStringLiteral("requirements"), maxRequirements));
    }
    return modes;
}

QSet<QString> readOpenWebRXFeatures(const std::optional<JSONValue>& value)
{
    QSet<QString> features;
    const JSONValue::Object* members = value ? value->asObject() : nullptr;
    if (!members)
        return features;
    for (const auto& [name, available] : *members) {
        if (features.size() == maxFeatures)
            break;
        if (available.asBool() == true)
            features.insert(name);
    }
    return features;
}

QList<ReceiverDecoder> openWebRXDecoders(const OpenWebRXModes& modes, const std::optional<QSet<QString>>& features)
{
    QList<ReceiverDecoder> decoders = modes.decoders;
    for (qsizetype i = 0; i < decoders.size() && i < modes.requirements.size(); ++i) {
        decoders[i].missingRequirements.clear();
        if (!features)
            continue;
        for (const QString& requirement : modes.requirements.at(i)) {
            if (!features->contains(requirement))
                decoders[i].missingRequirements.append(requirement);
        }
    }
    return decoders;
}

OpenWebRXDecoderConfig readOpenWebRXDecoderConfig(const std::optional<JSONValue>& value)
{
    OpenWebRXDecoderConfig config;
    if (!value)
        return config;
    const auto positive = [&](const QString& key, double limit) -> std::optional<double> {
        const std::optional<double> number = value->numberMember(key);
        if (!number || !(*number > 0) || !(*number <= limit))
            return std::nullopt;
        return number;
    };
    config.rateHz = positive(QStringLiteral("if_samp_rate"), maxDecoderRateHz);
    config.bandwidthHz = positive(QStringLiteral("secondary_bw"), maxDecoderRateHz);
    return config;
}

OpenWebRXDecode readOpenWebRXDecode(const std::optional<JSONValue>& value)
{
    if (!value)
        return std::monostate{};
    if (const std::optional<QString> text = value->asString())
        return boundedServerText(*text, maxDecodedPieceLength);
    if (const JSONValue::Object* object = value->asObject())
        return readMessage(*object);
    return std::monostate{};
}
