#include "OpenWebRXPages.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QString compact(const QJsonObject& object)
{
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

QString fullId(const OpenWebRXProfile& profile)
{
    return QString::fromLatin1(openWebRXSdrId) + u'|' + profile.id;
}

QJsonObject bandpass(int low, int high)
{
    return {{QStringLiteral("low_cut"), low}, {QStringLiteral("high_cut"), high}};
}

QJsonObject mode(const char* modulation, const char* name, int low, int high)
{
    return {{QStringLiteral("modulation"), QString::fromLatin1(modulation)},
            {QStringLiteral("name"), QString::fromLatin1(name)},
            {QStringLiteral("type"), QStringLiteral("analog")},
            {QStringLiteral("requirements"), QJsonArray()},
            {QStringLiteral("squelch"), true},
            {QStringLiteral("bandpass"), bandpass(low, high)}};
}

QJsonObject digimode(const char* modulation, const char* name, const QStringList& underlying,
                     const QStringList& requirements)
{
    return {{QStringLiteral("modulation"), QString::fromLatin1(modulation)},
            {QStringLiteral("name"), QString::fromLatin1(name)},
            {QStringLiteral("type"), QStringLiteral("digimode")},
            {QStringLiteral("underlying"), QJsonArray::fromStringList(underlying)},
            {QStringLiteral("requirements"), QJsonArray::fromStringList(requirements)},
            {QStringLiteral("squelch"), true},
            {QStringLiteral("secondaryFft"), true}};
}

QString typed(const char* type, const QJsonValue& value)
{
    return compact({{QStringLiteral("type"), QString::fromLatin1(type)}, {QStringLiteral("value"), value}});
}

} // namespace

const std::vector<OpenWebRXProfile>& openWebRXProfiles()
{
    static const std::vector<OpenWebRXProfile> profiles{
        {QStringLiteral("40m"), QStringLiteral("40m"), 7'100'000, 250'000, QStringLiteral("lsb"), false, 100'000},
        {QStringLiteral("31m"), QStringLiteral("31m broadcast"), 9'600'000, 250'000, QStringLiteral("am"), true,
         9'500'000},
    };
    return profiles;
}

const OpenWebRXProfile* openWebRXProfile(const QString& id)
{
    for (const OpenWebRXProfile& profile : openWebRXProfiles()) {
        if (fullId(profile) == id)
            return &profile;
    }
    return nullptr;
}

QByteArray openWebRXRootPage(const SimReceiverDescription& receiver)
{
    return QStringLiteral(
               "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>OpenWebRX | %1</title></head>\n"
               "<body><h1>%1</h1><p>%2. A stand-in OpenWebRX server for tests; it has no web "
               "client.</p></body></html>\n")
        .arg(receiver.name.toHtmlEscaped(), receiver.location.toHtmlEscaped())
        .toUtf8();
}

QString openWebRXHandshakeReply(RxSimOpenWebRXVersion version)
{
    return QStringLiteral("CLIENT DE SERVER server=openwebrx version=")
        + QString::fromLatin1(version == RxSimOpenWebRXVersion::v1_1 ? openWebRXVersion1_1 : openWebRXVersion);
}

QString openWebRXGlobalConfig(const RxSimOptions& options)
{
    const auto format = [](bool adpcm) { return adpcm ? QStringLiteral("adpcm") : QStringLiteral("none"); };
    const QJsonObject value{
        {QStringLiteral("fft_size"), openWebRXFFTSize},
        {QStringLiteral("fft_fps"), options.waterfallFPS},
        {QStringLiteral("audio_compression"), format(options.audio == RxSimAudio::adpcm)},
        {QStringLiteral("fft_compression"), format(options.waterfallFormat == RxSimWaterfallFormat::adpcm)},
        {QStringLiteral("max_clients"), options.rxChannels},
        {QStringLiteral("waterfall_levels"),
         QJsonObject{{QStringLiteral("min"), -120}, {QStringLiteral("max"), -40}}},
    };
    return compact({{QStringLiteral("type"), QStringLiteral("config")}, {QStringLiteral("value"), value}});
}

QString openWebRXProfileConfig(const OpenWebRXProfile& profile)
{
    QJsonObject value{
        {QStringLiteral("center_freq"), static_cast<qint64>(profile.centerHz)},
        {QStringLiteral("samp_rate"), static_cast<qint64>(profile.sampleRateHz)},
        {QStringLiteral("start_mod"), profile.startMod},
        {QStringLiteral("sdr_id"), QString::fromLatin1(openWebRXSdrId)},
        {QStringLiteral("profile_id"), profile.id},
    };
    value.insert(profile.absoluteStart ? QStringLiteral("start_freq") : QStringLiteral("start_offset_freq"),
                 static_cast<qint64>(profile.startHz));
    return compact({{QStringLiteral("type"), QStringLiteral("config")}, {QStringLiteral("value"), value}});
}

QString openWebRXReceiverDetails(const SimReceiverDescription& receiver)
{
    const QJsonObject value{
        {QStringLiteral("receiver_name"), receiver.name},
        {QStringLiteral("receiver_location"), receiver.location},
        {QStringLiteral("receiver_asl"), 35},
        {QStringLiteral("locator"), receiver.grid},
        {QStringLiteral("receiver_gps"), QJsonObject{{QStringLiteral("lat"), 52.515}, {QStringLiteral("lon"), 13.35}}},
        {QStringLiteral("photo_title"), receiver.antenna},
        {QStringLiteral("photo_desc"), QString()},
    };
    return compact({{QStringLiteral("type"), QStringLiteral("receiver_details")}, {QStringLiteral("value"), value}});
}

QString openWebRXProfilesMessage(const SimReceiverDescription& receiver)
{
    QJsonArray value;
    for (const OpenWebRXProfile& profile : openWebRXProfiles()) {
        value.append(QJsonObject{{QStringLiteral("id"), fullId(profile)},
                                 {QStringLiteral("name"), receiver.name + u' ' + profile.name}});
    }
    return compact({{QStringLiteral("type"), QStringLiteral("profiles")}, {QStringLiteral("value"), value}});
}

std::optional<OpenWebRXSimDecoder> openWebRXSimDecoder(const QString& modulation)
{
    if (modulation == QLatin1String("cwdecoder"))
        return OpenWebRXSimDecoder::text;
    if (modulation == QLatin1String("cwskimmer"))
        return OpenWebRXSimDecoder::messages;
    return std::nullopt;
}

QStringList openWebRXSimDecoderModes(OpenWebRXSimDecoder decoder)
{
    return decoder == OpenWebRXSimDecoder::text ? QStringList{QStringLiteral("usb"), QStringLiteral("lsb")}
                                                : QStringList{QStringLiteral("usb")};
}

QString openWebRXModesMessage()
{
    const QJsonArray value{mode("am", "AM", -4000, 4000), mode("sam", "SAM", -4000, 4000),
        mode("lsb", "LSB", -2750, -150), mode("usb", "USB", 150, 2750), mode("cw", "CW", 700, 900),
        mode("nfm", "FM", -4000, 4000), mode("wfm", "WFM", -75000, 75000),
        digimode("cwdecoder", "CW Decoder", openWebRXSimDecoderModes(OpenWebRXSimDecoder::text), {}),
        digimode("cwskimmer", "CW Skimmer", openWebRXSimDecoderModes(OpenWebRXSimDecoder::messages), {}),
        digimode("ft8", "FT8", {QStringLiteral("usb")}, {QStringLiteral("wsjt-x")})};
    return typed("modes", value);
}

QString openWebRXFeaturesMessage()
{
    return typed("features", QJsonObject{{QStringLiteral("core"), true}, {QStringLiteral("wsjt-x"), false}});
}

QString openWebRXDecoderConfigMessage(const QString& member, double value)
{
    return typed("secondary_config", QJsonObject{{member, value}});
}

QString openWebRXDecodedTextMessage(const QString& text)
{
    return typed("secondary_demod", text);
}

QString openWebRXDecodedObjectMessage(const QJsonObject& fields)
{
    return typed("secondary_demod", fields);
}

QString openWebRXClientsMessage(int clients)
{
    return compact({{QStringLiteral("type"), QStringLiteral("clients")}, {QStringLiteral("value"), clients}});
}

QString openWebRXLoadMessage(const char* type, double value)
{
    return compact({{QStringLiteral("type"), QString::fromLatin1(type)}, {QStringLiteral("value"), value}});
}

QString openWebRXSMeterMessage(double linearPower)
{
    return compact({{QStringLiteral("type"), QStringLiteral("smeter")}, {QStringLiteral("value"), linearPower}});
}

QString openWebRXBackoffMessage(const std::optional<QString>& reason)
{
    QJsonObject message{{QStringLiteral("type"), QStringLiteral("backoff")}};
    if (reason)
        message.insert(QStringLiteral("reason"), *reason);
    return compact(message);
}

QString openWebRXSdrErrorMessage(const QString& text)
{
    return compact({{QStringLiteral("type"), QStringLiteral("sdr_error")}, {QStringLiteral("value"), text}});
}
