#include "openwebrx/OpenWebRXEvent.h"

#include "openwebrx/OpenWebRXLabels.h"
#include "openwebrx/OpenWebRXMessage.h"

#include <QLocale>

std::optional<OpenWebRXEvent> readOpenWebRXEvent(const OpenWebRXMessage& message)
{
    const QString& type = message.type;
    static const JSONValue absent;
    const JSONValue& value = message.value ? *message.value : absent;
    if (type == u"handshake") {
        if (const std::optional<QString> version = value.stringMember(QStringLiteral("version")))
            return OpenWebRXVersion{QStringLiteral("OpenWebRX ") + *version};
    } else if (type == u"config") {
        if (message.value)
            return readOpenWebRXConfig(*message.value);
    } else if (type == u"receiver_details") {
        return OpenWebRXDetails{value.stringMember(QStringLiteral("receiver_name")),
            value.stringMember(QStringLiteral("receiver_location")), value.stringMember(QStringLiteral("locator")),
            openWebRXGPSText(value, QLocale())};
    } else if (type == u"clients") {
        return OpenWebRXClients{openWebRXClients(message.value)};
    } else if (type == u"cpuusage") {
        if (const std::optional<double> fraction = value.asNumber(); fraction && *fraction >= 0 && *fraction <= 1)
            return OpenWebRXCPUUsage{*fraction * 100};
    } else if (type == u"temperature") {
        if (const std::optional<double> celsius = value.asNumber(); celsius && *celsius >= -50 && *celsius <= 150)
            return OpenWebRXTemperature{*celsius};
    } else if (type == u"smeter") {
        if (const std::optional<double> level = openWebRXSMeterDB(message.value))
            return OpenWebRXSMeter{*level};
    } else if (type == u"profiles") {
        return readOpenWebRXProfiles(message.value);
    } else if (type == u"modes") {
        return readOpenWebRXModes(message.value);
    } else if (type == u"features") {
        return OpenWebRXFeatures{readOpenWebRXFeatures(message.value)};
    } else if (type == u"secondary_config") {
        return readOpenWebRXDecoderConfig(message.value);
    } else if (type == u"bookmarks") {
        return OpenWebRXBookmarks{readOpenWebRXBookmarks(message.value)};
    } else if (type == u"dial_frequencies") {
        return OpenWebRXDialFrequencies{readOpenWebRXDialFrequencies(message.value)};
    } else if (type == u"backoff") {
        return OpenWebRXFailure{openWebRXBackoffText(message.reason)};
    } else if (type == u"sdr_error") {
        return OpenWebRXFailure{openWebRXSDRErrorText(message.value)};
    }
    return std::nullopt;
}
