#include "PropertyJson.h"

#include "model/Mode.h"
#include "model/ReceiverModel.h"
#include "model/ReceiverProfile.h"
#include "model/ReceiverLabels.h"
#include "session/ReconnectSchedule.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <cmath>
#include <functional>
#include <unordered_map>

namespace {

using Encoder = std::function<QJsonValue(const QVariant&)>;

// Declared together, so that the templates below see every one of them.
QJsonValue json(const ReceiverInfo& info);
QJsonValue json(const QSet<QString>& texts);
QJsonValue json(const QList<ReceiverProfile>& profiles);
QJsonValue json(const QList<Mode>& modes);
QJsonValue json(const BandBar& bar);
QJsonValue json(const FrequencyLabel& label);
QJsonValue json(const ReceiverLabels& labels);
QJsonValue json(const ReceiverLoad& load);

QJsonValue json(const QString& text) { return text; }
QJsonValue json(const QUrl& url) { return url.toString(); }
QJsonValue json(const double& number) { return number; }
QJsonValue json(const std::int64_t& number) { return static_cast<qint64>(number); }
QJsonValue json(const int& number) { return number; }
QJsonValue json(const bool& flag) { return flag; }
// Written as the float it is (0.8, not 0.800000011920929).
QJsonValue json(const float& number) { return QString::number(number, 'g', 7).toDouble(); }
QJsonValue json(const Mode& mode) { return rawValue(mode); }

QJsonValue json(const AudioFraming& framing)
{
    return framing == AudioFraming::adpcmWithSync ? QStringLiteral("adpcmWithSync") : QStringLiteral("plainADPCM");
}

QJsonValue json(const ServerKind& kind)
{
    switch (kind) {
    case ServerKind::openWebRX:
        return QStringLiteral("openWebRX");
    case ServerKind::kiwiSDR:
        break;
    }
    return QStringLiteral("kiwiSDR");
}

QJsonValue json(const ConnectionState& state)
{
    static const char* const kinds[] = {"failed", "disconnected", "connecting", "connected"};
    return QJsonObject{
        {QStringLiteral("kind"), QString::fromLatin1(kinds[static_cast<int>(state.kind())])},
        {QStringLiteral("message"), state.isFailed() ? QJsonValue(state.message()) : QJsonValue()},
    };
}

QJsonValue json(const Passband& passband)
{
    return QJsonObject{{QStringLiteral("low"), static_cast<qint64>(passband.low)},
        {QStringLiteral("high"), static_cast<qint64>(passband.high)}};
}

QJsonValue json(const ReconnectWait& wait)
{
    return QJsonObject{{QStringLiteral("try"), wait.tryNumber}, {QStringLiteral("of"), wait.maxTries},
        {QStringLiteral("secondsLeft"), wait.secondsLeft}};
}

QJsonValue json(const SMeterReading& reading)
{
    return QJsonObject{{QStringLiteral("dBm"), reading.dBm},
        {QStringLiteral("isCalibrated"), reading.isCalibrated},
        {QStringLiteral("text"), reading.displayText()}};
}

QJsonValue json(const ReceiverProfile& profile)
{
    return QJsonObject{{QStringLiteral("id"), profile.id}, {QStringLiteral("name"), profile.name}};
}

template <typename T>
QJsonValue optionalMember(const std::optional<T>& value)
{
    return value ? json(*value) : QJsonValue();
}

QJsonValue json(const ReceiverInfo& info)
{
    return QJsonObject{
        {QStringLiteral("name"), optionalMember(info.name)},
        {QStringLiteral("location"), optionalMember(info.location)},
        {QStringLiteral("antenna"), optionalMember(info.antenna)},
        {QStringLiteral("grid"), optionalMember(info.grid)},
        {QStringLiteral("gps"), optionalMember(info.gps)},
        {QStringLiteral("hardware"), optionalMember(info.hardware)},
        {QStringLiteral("softwareVersion"), optionalMember(info.softwareVersion)},
        {QStringLiteral("users"), optionalMember(info.users)},
        {QStringLiteral("maxUsers"), optionalMember(info.maxUsers)},
        {QStringLiteral("apiChannels"), optionalMember(info.apiChannels)},
        {QStringLiteral("uptime"), optionalMember(info.uptime)},
        {QStringLiteral("rxChannel"), optionalMember(info.rxChannel)},
        {QStringLiteral("rxChannels"), optionalMember(info.rxChannels)},
        {QStringLiteral("waterfallChannels"), optionalMember(info.waterfallChannels)},
        {QStringLiteral("clientIP"), optionalMember(info.clientIP)},
        {QStringLiteral("bandwidthHz"), info.bandwidthHz},
        {QStringLiteral("baseHz"), info.baseHz},
        {QStringLiteral("sampleRate"), optionalMember(info.sampleRate)},
        {QStringLiteral("audioRate"), optionalMember(info.audioRate)},
        {QStringLiteral("audioFraming"), optionalMember(info.audioFraming)},
        {QStringLiteral("maxZoom"), info.maxZoom},
        {QStringLiteral("zoomCap"), info.zoomCap},
        {QStringLiteral("waterfallFPS"), optionalMember(info.waterfallFPS)},
        {QStringLiteral("inactivityTimeoutMinutes"), optionalMember(info.inactivityTimeoutMinutes)},
    };
}

template <typename Container>
QJsonValue arrayJson(const Container& values)
{
    QJsonArray array;
    for (const auto& value : values)
        array.append(json(value));
    return array;
}

// A set has no order of its own: sorted, so that equal sets print alike.
QJsonValue json(const QSet<QString>& texts)
{
    QStringList sorted(texts.begin(), texts.end());
    sorted.sort();
    return arrayJson(sorted);
}

QJsonValue json(const QList<ReceiverProfile>& profiles) { return arrayJson(profiles); }

QJsonValue json(const QList<Mode>& modes) { return arrayJson(modes); }

QJsonValue json(const FrequencyLabel& label)
{
    return QJsonObject{{QStringLiteral("hz"), label.hz}, {QStringLiteral("name"), label.name},
        {QStringLiteral("mode"), optionalMember(label.mode)}, {QStringLiteral("decoder"), optionalMember(label.decoder)}};
}

QJsonValue json(const BandBar& bar)
{
    return QJsonObject{{QStringLiteral("lowHz"), bar.lowHz}, {QStringLiteral("highHz"), bar.highHz},
        {QStringLiteral("name"), bar.name}, {QStringLiteral("colour"), bar.colour}, {QStringLiteral("region"), bar.region},
        {QStringLiteral("service"), bar.service}};
}

QJsonValue json(const ReceiverLabels& labels)
{
    return QJsonObject{{QStringLiteral("bands"), arrayJson(labels.bands)},
        {QStringLiteral("bookmarks"), arrayJson(labels.bookmarks)},
        {QStringLiteral("dialFrequencies"), arrayJson(labels.dialFrequencies)}};
}

QJsonValue json(const ReceiverLoad& load)
{
    return QJsonObject{{QStringLiteral("cpuPercent"), optionalMember(load.cpuPercent)},
        {QStringLiteral("temperatureC"), optionalMember(load.temperatureC)}};
}

template <typename T>
void add(std::unordered_map<int, Encoder>& encoders)
{
    encoders.emplace(QMetaType::fromType<T>().id(),
        [](const QVariant& value) { return json(*static_cast<const T*>(value.constData())); });
    encoders.emplace(QMetaType::fromType<std::optional<T>>().id(), [](const QVariant& value) {
        return optionalMember(*static_cast<const std::optional<T>*>(value.constData()));
    });
}

const std::unordered_map<int, Encoder>& encoders()
{
    static const std::unordered_map<int, Encoder> all = [] {
        std::unordered_map<int, Encoder> map;
        add<ConnectionState>(map);
        add<QUrl>(map);
        add<ServerKind>(map);
        add<ReceiverInfo>(map);
        add<QList<ReceiverProfile>>(map);
        add<QString>(map);
        add<double>(map);
        add<float>(map);
        add<int>(map);
        add<bool>(map);
        add<Mode>(map);
        add<Passband>(map);
        add<QSet<QString>>(map);
        add<QList<Mode>>(map);
        add<SMeterReading>(map);
        add<ReconnectWait>(map);
        add<ReceiverLabels>(map);
        add<ReceiverLoad>(map);
        return map;
    }();
    return all;
}

} // namespace

bool hasPropertyJson(QMetaType type)
{
    return encoders().contains(type.id());
}

std::optional<QJsonValue> propertyJson(const QVariant& value)
{
    const auto encoder = encoders().find(value.metaType().id());
    if (encoder == encoders().end() || !value.constData())
        return std::nullopt;
    return encoder->second(value);
}

QJsonValue decodedMessageJson(const DecodedMessage& message)
{
    QJsonObject object;
    for (const DecodedField& field : message.fields) {
        const double* number = std::get_if<double>(&field.value);
        if (number && std::isfinite(*number))
            object.insert(field.key, *number);
        else
            object.insert(field.key, message.text(field.key).value_or(QString()));
    }
    return object;
}
