#include "DirectoryPages.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace {

QString version(const SimReceiverDescription& receiver)
{
    return QStringLiteral("%1.%2").arg(receiver.versionMajor).arg(receiver.versionMinor);
}

// The status page's keys as the lists carry them.
QList<std::pair<QString, QString>> kiwiValues(const SimListingEntry& entry)
{
    const SimReceiverDescription& r = entry.receiver;
    return {
        {QStringLiteral("name"), r.name},
        {QStringLiteral("sdr_hw"), r.hardware},
        {QStringLiteral("bands"), QStringLiteral("0-30000000")},
        {QStringLiteral("users"), QString::number(entry.figures.users)},
        {QStringLiteral("users_max"), QString::number(entry.figures.usersMax)},
        {QStringLiteral("gps"), r.gps},
        {QStringLiteral("grid"), r.grid},
        {QStringLiteral("loc"), r.location},
        {QStringLiteral("sw_version"), QStringLiteral("KiwiSDR_v") + version(r)},
        {QStringLiteral("antenna"), r.antenna},
        {QStringLiteral("snr"), QStringLiteral("18,18")},
        {QStringLiteral("offline"), QStringLiteral("no")},
        {QStringLiteral("status"), QStringLiteral("active")},
    };
}

// [longitude, latitude] from "(lat, lon)".
QJsonArray coordinates(const QString& gps)
{
    static const QRegularExpression numbers(QStringLiteral("(-?[0-9.]+)\\s*,\\s*(-?[0-9.]+)"));
    const QRegularExpressionMatch match = numbers.match(gps);
    if (!match.hasMatch())
        return {};
    return {match.captured(2).toDouble(), match.captured(1).toDouble()};
}

} // namespace

QByteArray kiwiPublicPage(const SimListingEntry& entry)
{
    QString page = QStringLiteral("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>KiwiSDR: public "
                                  "receivers (rxsim)</title></head>\n<body><div id='id-public'>\n"
                                  "<div class='cl-entry '>\n<div class='cl-info'>\n");
    for (const auto& [key, value] : kiwiValues(entry)) {
        // A value never ends its comment early.
        const QString shown = QString(value).replace(QLatin1String("--"), QLatin1String("- -"));
        page += QStringLiteral("<!-- %1=%2 -->\n").arg(key, shown);
    }
    page += QStringLiteral("<a href='%1' target='_blank'>%1</a>\n</div>\n</div>\n</div></body></html>\n").arg(entry.url);
    return page.toUtf8();
}

QByteArray kiwiScriptList(const SimListingEntry& entry)
{
    QJsonObject object{{QStringLiteral("url"), entry.url}};
    for (const auto& [key, value] : kiwiValues(entry))
        object.insert(key, value);
    return "// The KiwiSDR public list as a script (rxsim).\nvar kiwisdr_com =\n["
        + QJsonDocument(object).toJson(QJsonDocument::Indented) + ",\n];\n";
}

QByteArray receiverBookMapPage(const SimListingEntry& entry)
{
    const QString type = entry.kind == RxSimKind::kiwisdr ? QStringLiteral("KiwiSDR") : QStringLiteral("OpenWebRX");
    // The version the stand-in OpenWebRX names in its handshake.
    const QString shownVersion = entry.kind == RxSimKind::kiwisdr ? version(entry.receiver) : QStringLiteral("1.2.2");
    const QJsonObject receiver{{QStringLiteral("label"), entry.receiver.name},
        {QStringLiteral("version"), shownVersion}, {QStringLiteral("url"), entry.url + u'/'},
        {QStringLiteral("type"), type}};
    const QJsonObject station{{QStringLiteral("label"), entry.receiver.name},
        {QStringLiteral("location"),
            QJsonObject{{QStringLiteral("type"), QStringLiteral("Point")},
                {QStringLiteral("coordinates"), coordinates(entry.receiver.gps)}}},
        {QStringLiteral("url"), entry.url + u'/'}, {QStringLiteral("receivers"), QJsonArray{receiver}}};
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Receiver map (rxsim)</title></head>\n"
           "<body><div id=\"map\"></div>\n<script>\nvar receivers = "
        + QJsonDocument(QJsonArray{station}).toJson(QJsonDocument::Compact) + ";\n</script>\n</body></html>\n";
}
