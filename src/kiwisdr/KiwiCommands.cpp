#include "kiwisdr/KiwiCommands.h"

#include "kiwisdr/KiwiParamValues.h"

#include <QUrl>

#include <cmath>

QString kiwiAuthCommand(const QString& password)
{
    // Percent-encoded, as a receiver's own web page sends it, so that a blank
    // in the password cannot end the word.
    return QStringLiteral("SET auth t=kiwi p=") + QString::fromLatin1(QUrl::toPercentEncoding(password));
}

QString kiwiIdentCommand(const QString& identity)
{
    return QStringLiteral("SET ident_user=") + percentEncodedAlphanumerics(identity);
}

QString kiwiTuneCommand(Mode mode, Passband passband, double frequencyKHz)
{
    const double carrierKHz = frequencyKHz - carrierOffsetHz(mode) / 1000;
    return QStringLiteral("SET mod=%1 low_cut=%2 high_cut=%3 freq=%4")
        .arg(rawValue(mode))
        .arg(passband.low)
        .arg(passband.high)
        .arg(QString::number(carrierKHz, 'f', 3));
}

QString kiwiAGCCommand(bool agcEnabled, int manualGain)
{
    return QStringLiteral("SET agc=%1 hang=0 thresh=-100 slope=6 decay=1000 manGain=%2")
        .arg(agcEnabled ? 1 : 0)
        .arg(manualGain);
}

std::optional<QString> kiwiZoomCommand(int zoom, double startHz, double bandwidthHz, int maxZoom)
{
    const double bins = startHz / bandwidthHz * 1024.0 * std::ldexp(1.0, maxZoom);
    const std::optional<std::int64_t> start = roundedToInt64(bins);
    if (!start)
        return std::nullopt;
    return QStringLiteral("SET zoom=%1 start=%2").arg(zoom).arg(*start);
}

std::optional<QString> kiwiAudioRateReply(double audioRate)
{
    const std::optional<std::int64_t> rate = truncatedToInt64(audioRate);
    if (!rate)
        return std::nullopt;
    return QStringLiteral("SET AR OK in=%1 out=44100").arg(*rate);
}

QUrl kiwiChannelURL(const QUrl& serverURL, std::int64_t timestamp, const QString& channel)
{
    QUrl url;
    url.setScheme(serverURL.scheme() == u"https" ? QStringLiteral("wss") : QStringLiteral("ws"));
    url.setUserInfo(serverURL.userInfo());
    url.setHost(serverURL.host());
    url.setPort(serverURL.port());
    url.setPath(QStringLiteral("/ws/kiwi/%1/%2").arg(timestamp).arg(channel));
    return url;
}

QString kiwiWaterfallSpeedCommand(int kiwiSpeed)
{
    return QStringLiteral("SET wf_speed=%1").arg(kiwiSpeed);
}

int kiwiWaterfallSpeed(WaterfallSpeed speed)
{
    switch (speed) {
    case WaterfallSpeed::slow:
        return 2;
    case WaterfallSpeed::medium:
        return 3;
    case WaterfallSpeed::off:
    case WaterfallSpeed::fast:
        break;
    }
    return 4;
}
