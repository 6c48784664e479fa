#include "openwebrx/OpenWebRXSessionValues.h"

#include "model/ServerValues.h"
#include "openwebrx/OpenWebRXModulations.h"

#include <QCoreApplication>

#include <algorithm>
#include <bit>
#include <cmath>

namespace {

// Far beyond any receiver's frequency; keeps every sum of frequencies finite.
constexpr double maxFrequencyHz = 1e12;
constexpr std::int64_t binsAtZoomZero = 256;
// OpenWebRX allows filters only up to this far from the carrier, except for
// wide FM.
constexpr std::int64_t maxCutHz = 5999;

std::optional<double> frequency(const std::optional<double>& value)
{
    if (!value || !std::isfinite(*value) || std::abs(*value) > maxFrequencyHz)
        return std::nullopt;
    return value;
}

std::optional<std::int64_t> integerMember(const JSONValue& config, const QString& key)
{
    const std::optional<double> value = config.numberMember(key);
    return value ? truncatedToInt64(*value) : std::nullopt;
}

} // namespace

std::optional<QUrl> openWebRXSocketURL(const QUrl& serverURL)
{
    QUrl url;
    url.setScheme(serverURL.scheme() == u"https" ? QStringLiteral("wss") : QStringLiteral("ws"));
    url.setUserInfo(serverURL.userInfo());
    url.setHost(serverURL.host());
    url.setPort(serverURL.port());
    QString path = serverURL.path();
    if (!path.endsWith(u'/'))
        path += u'/';
    url.setPath(path + QStringLiteral("ws/"));
    if (!url.isValid() || url.host().isEmpty())
        return std::nullopt;
    return url;
}

int openWebRXMaxZoom(std::int64_t fftSize)
{
    if (fftSize <= binsAtZoomZero)
        return 0;
    // floor(log2(n / 256)) in integers: the quotient's highest bit.
    const auto doublings = std::bit_width(static_cast<std::uint64_t>(fftSize / binsAtZoomZero)) - 1;
    return std::min(static_cast<int>(doublings), maxZoomLevel);
}

OpenWebRXConfigValues readOpenWebRXConfig(const JSONValue& config)
{
    OpenWebRXConfigValues values;
    values.maxUsers = integerMember(config, QStringLiteral("max_clients"));
    if (const std::optional<std::int64_t> fftSize = integerMember(config, QStringLiteral("fft_size")))
        values.maxZoom = openWebRXMaxZoom(*fftSize);
    const std::optional<QString> sdr = config.stringMember(QStringLiteral("sdr_id"));
    const std::optional<QString> profile = config.stringMember(QStringLiteral("profile_id"));
    if (sdr && profile)
        values.profileID = *sdr + u'|' + *profile;
    values.centerHz = frequency(config.numberMember(QStringLiteral("center_freq")));
    if (const auto rate = config.numberMember(QStringLiteral("samp_rate")); rate && isUsableBandwidth(*rate))
        values.sampleRateHz = rate;
    if (const auto mod = config.stringMember(QStringLiteral("start_mod")))
        values.startMode = modeForOpenWebRXModulation(*mod);
    values.startHz = frequency(config.numberMember(QStringLiteral("start_freq")));
    values.startOffsetHz = frequency(config.numberMember(QStringLiteral("start_offset_freq")));
    return values;
}

std::optional<OpenWebRXBand> openWebRXBandForConfig(const OpenWebRXConfigValues& config,
    std::optional<double> previousCenterHz, double previousBandwidthHz, const ReceiverTuning& current,
    const QList<Mode>& available)
{
    if (!config.hasBand())
        return std::nullopt;
    OpenWebRXBand band;
    band.centerHz = config.centerHz.value_or(previousCenterHz.value_or(0));
    band.bandwidthHz = config.sampleRateHz.value_or(previousBandwidthHz);
    band.baseHz = band.centerHz - band.bandwidthHz / 2;
    const double lowKHz = band.baseHz / 1000;
    const double highKHz = (band.baseHz + band.bandwidthHz) / 1000;

    ReceiverTuning tuning = current;
    const bool isFirstBand = !previousCenterHz;
    if (!isFirstBand || !(current.frequencyKHz >= lowKHz && current.frequencyKHz <= highKHz)) {
        const double startHz = config.startHz.value_or(band.centerHz + config.startOffsetHz.value_or(0));
        tuning.frequencyKHz = startHz / 1000;
        if (config.startMode) {
            tuning.mode = *config.startMode;
            tuning.passband = defaultPassband(*config.startMode);
        }
    }
    tuning.frequencyKHz = frequencyInBandKHz(tuning.frequencyKHz, band.baseHz, band.bandwidthHz);
    if (!available.contains(tuning.mode) && !available.isEmpty()) {
        tuning.mode = config.startMode.value_or(available.first());
        tuning.passband = defaultPassband(tuning.mode);
    }
    band.tuning = tuning;
    return band;
}

QList<ReceiverProfile> readOpenWebRXProfiles(const std::optional<JSONValue>& value)
{
    QList<ReceiverProfile> profiles;
    const JSONValue::Array* elements = value ? value->asArray() : nullptr;
    if (!elements)
        return profiles;
    for (const JSONValue& element : *elements) {
        if (profiles.size() == maxOpenWebRXProfiles)
            break;
        const std::optional<QString> id = element.stringMember(QStringLiteral("id"));
        const std::optional<QString> name = element.stringMember(QStringLiteral("name"));
        // An id is sent back as it is, so a long one cannot be shortened.
        if (id && name && id->size() <= maxServerTextLength)
            profiles.append({*id, boundedServerText(*name)});
    }
    return profiles;
}

std::optional<QString> openWebRXGPSText(const JSONValue& details, const QLocale& locale)
{
    const std::optional<JSONValue> gps = details.member(QStringLiteral("receiver_gps"));
    if (!gps)
        return std::nullopt;
    const std::optional<double> lat = gps->numberMember(QStringLiteral("lat"));
    const std::optional<double> lon = gps->numberMember(QStringLiteral("lon"));
    if (!lat || !lon || !std::isfinite(*lat) || !std::isfinite(*lon))
        return std::nullopt;
    return u'(' + locale.toString(*lat, 'f', 4) + QStringLiteral(", ") + locale.toString(*lon, 'f', 4) + u')';
}

std::optional<double> openWebRXSMeterDB(const std::optional<JSONValue>& value)
{
    const std::optional<double> power = value ? value->asNumber() : std::nullopt;
    if (!power || !(*power > 0) || !std::isfinite(*power))
        return std::nullopt;
    return 10 * std::log10(*power);
}

std::optional<std::int64_t> openWebRXClients(const std::optional<JSONValue>& value)
{
    const std::optional<double> count = value ? value->asNumber() : std::nullopt;
    return count ? truncatedToInt64(*count) : std::nullopt;
}

QString openWebRXBackoffText(const std::optional<QString>& reason)
{
    return reason
        ? QCoreApplication::translate("OpenWebRXSession", "The receiver is busy: %1").arg(boundedServerText(*reason))
        : QCoreApplication::translate("OpenWebRXSession", "The receiver is busy. Try again later.");
}

QString openWebRXSDRErrorText(const std::optional<JSONValue>& value)
{
    if (const std::optional<QString> text = value ? value->asString() : std::nullopt)
        return boundedServerText(*text);
    return QCoreApplication::translate("OpenWebRXSession", "The receiver reported an SDR error.");
}

std::optional<OpenWebRXDSPParams> openWebRXDSPParams(const ReceiverTuning& tuning, double centerHz)
{
    const double dialHz = tuning.frequencyKHz * 1000 - carrierOffsetHz(tuning.mode);
    const std::optional<std::int64_t> offset = roundedToInt64(dialHz - centerHz);
    if (!offset)
        return std::nullopt;
    OpenWebRXDSPParams params;
    params.mod = openWebRXModulation(tuning.mode);
    params.offsetHz = *offset;
    params.lowCutHz = tuning.passband.low;
    params.highCutHz = tuning.passband.high;
    if (tuning.mode != Mode::wfm) {
        params.lowCutHz = std::max(params.lowCutHz, -maxCutHz);
        params.highCutHz = std::min(params.highCutHz, maxCutHz);
    }
    return params;
}
