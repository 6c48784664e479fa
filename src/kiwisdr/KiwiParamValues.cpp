#include "kiwisdr/KiwiParamValues.h"

#include "connection/JSONValue.h"
#include "model/ServerValues.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringDecoder>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace {

int hexDigit(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

std::optional<QString> nonEmptyText(const JSONValue& config, const QString& key)
{
    const std::optional<QString> text = config.stringMember(key);
    if (!text)
        return std::nullopt;
    QString decoded = percentDecoded(*text);
    if (decoded.isEmpty())
        return std::nullopt;
    return boundedServerText(std::move(decoded));
}

std::optional<std::int64_t> integralNumber(const JSONValue& config, const QString& key)
{
    const std::optional<double> number = config.numberMember(key);
    if (!number || std::trunc(*number) != *number)
        return std::nullopt;
    return truncatedToInt64(*number);
}

} // namespace

QString percentDecoded(const QString& text)
{
    if (!text.contains(u'%'))
        return text;
    QByteArray bytes;
    bytes.reserve(text.size());
    const QByteArray utf8 = text.toUtf8();
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        if (utf8[i] != '%') {
            bytes += utf8[i];
            continue;
        }
        if (i + 2 >= utf8.size())
            return text;
        const int high = hexDigit(QChar::fromLatin1(utf8[i + 1]));
        const int low = hexDigit(QChar::fromLatin1(utf8[i + 2]));
        if (high < 0 || low < 0)
            return text;
        bytes += static_cast<char>(high * 16 + low);
        i += 2;
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = decoder.decode(bytes);
    if (decoder.hasError())
        return text;
    return decoded;
}

QString percentEncodedAlphanumerics(const QString& text)
{
    // toPercentEncoding leaves only the unreserved characters; of those only
    // the letters and digits stay.
    return QString::fromLatin1(QUrl::toPercentEncoding(text, QByteArray(), "-._~"));
}

QString updatedSoftwareVersion(const std::optional<QString>& current, const QString& key,
    const std::optional<QString>& value)
{
    const QStringList pieces = current.value_or(QString()).split(u'.', Qt::SkipEmptyParts);
    QString major = pieces.size() > 0 ? pieces[0] : QStringLiteral("1");
    QString minor = pieces.size() > 1 ? pieces[1] : QStringLiteral("0");
    if (value && key == u"version_maj")
        major = *value;
    if (value && key == u"version_min")
        minor = *value;
    return major + u'.' + minor;
}

std::optional<KiwiReceiverConfig> readReceiverConfig(const QString& loadCfgValue)
{
    if (loadCfgValue.size() > maxReceiverConfigLength)
        return std::nullopt;
    const std::optional<JSONValue> config = parseJSONValue(percentDecoded(loadCfgValue).toUtf8());
    if (!config || !config->asObject())
        return std::nullopt;
    return KiwiReceiverConfig{
        nonEmptyText(*config, QStringLiteral("rx_name")),
        nonEmptyText(*config, QStringLiteral("rx_location")),
        nonEmptyText(*config, QStringLiteral("rx_antenna")),
        nonEmptyText(*config, QStringLiteral("rx_grid")),
        integralNumber(*config, QStringLiteral("inactivity_timeout_mins")),
    };
}

void applyReceiverConfig(ReceiverInfo& info, const KiwiReceiverConfig& config)
{
    for (const auto& [field, text] : {std::pair{&info.name, &config.name}, std::pair{&info.location, &config.location},
             std::pair{&info.antenna, &config.antenna}, std::pair{&info.grid, &config.grid}}) {
        if (*text)
            *field = *text;
    }
    info.inactivityTimeoutMinutes = config.inactivityTimeoutMinutes;
}

void mergeReceiverConfig(KiwiReceiverConfig& earlier, const KiwiReceiverConfig& later)
{
    for (const auto& [field, text] : {std::pair{&earlier.name, &later.name},
             std::pair{&earlier.location, &later.location}, std::pair{&earlier.antenna, &later.antenna},
             std::pair{&earlier.grid, &later.grid}}) {
        if (*text)
            *field = *text;
    }
    earlier.inactivityTimeoutMinutes = later.inactivityTimeoutMinutes;
}

std::optional<std::vector<BandBar>> readKiwiBandBars(const QString& loadDxcfgValue)
{
    if (loadDxcfgValue.size() > maxReceiverConfigLength)
        return std::nullopt;
    const QJsonDocument document = QJsonDocument::fromJson(percentDecoded(loadDxcfgValue).toUtf8());
    if (!document.isObject())
        return std::nullopt;
    return readBandBars(document.object());
}
