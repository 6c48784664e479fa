#include "KiwiPages.h"

#include <QJsonDocument>
#include <QJsonObject>

QByteArray kiwiStatusPage(const SimReceiverDescription& receiver, const KiwiStatusFigures& figures)
{
    QString page;
    const auto line = [&page](const char* key, const QString& value) {
        page += QString::fromLatin1(key) + u'=' + value + u'\n';
    };
    line("status", QStringLiteral("active"));
    line("offline", QStringLiteral("no"));
    line("name", receiver.name);
    line("sdr_hw", receiver.hardware);
    line("op_email", QString());
    line("bands", QStringLiteral("0-30000000"));
    line("freq_offset", QStringLiteral("0.000"));
    line("users", QString::number(figures.users));
    line("users_max", QString::number(figures.usersMax));
    line("avatar_ctime", QStringLiteral("0"));
    line("gps", receiver.gps);
    line("gps_good", QStringLiteral("0"));
    line("fixes", QStringLiteral("0"));
    line("fixes_min", QStringLiteral("0"));
    line("fixes_hour", QStringLiteral("0"));
    line("tdoa_id", QString());
    line("tdoa_ch", QStringLiteral("-1"));
    line("asl", QStringLiteral("35"));
    line("loc", receiver.location);
    line("sw_version", QStringLiteral("KiwiSDR_v%1.%2").arg(receiver.versionMajor).arg(receiver.versionMinor));
    line("antenna", receiver.antenna);
    line("snr", QStringLiteral("18,18"));
    line("ant_connected", QStringLiteral("1"));
    line("adc_ov", QStringLiteral("0"));
    line("clk_ext_gps", QStringLiteral("0,0"));
    line("uptime", QString::number(figures.uptimeSeconds));
    line("gn", receiver.grid.left(4));
    line("grid", receiver.grid);
    line("ext_api", QString::number(figures.apiChannels));
    return page.toUtf8();
}

QByteArray kiwiRootPage(const SimReceiverDescription& receiver)
{
    const QString name = receiver.name.toHtmlEscaped();
    return QStringLiteral(
               "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>KiwiSDR: %1</title></head>\n"
               "<body><h1>%1</h1><p>%2. A stand-in KiwiSDR receiver for tests; it has no web "
               "client.</p></body></html>\n")
        .arg(name, receiver.location.toHtmlEscaped())
        .toUtf8();
}

QString kiwiConfigJson(const SimReceiverDescription& receiver, std::optional<int> inactivityTimeoutMinutes)
{
    const QJsonObject config{
        {QStringLiteral("rx_name"), receiver.name},
        {QStringLiteral("rx_location"), receiver.location},
        {QStringLiteral("rx_antenna"), receiver.antenna},
        {QStringLiteral("rx_grid"), receiver.grid},
        {QStringLiteral("inactivity_timeout_mins"), inactivityTimeoutMinutes.value_or(0)},
    };
    return QString::fromUtf8(QJsonDocument(config).toJson(QJsonDocument::Compact));
}
