#include "model/ScaleLabels.h"

#include <QJsonArray>
#include <QJsonValue>

#include <cmath>
#include <map>

QString plainLabelName(const QString& text)
{
    QString plain;
    plain.reserve(std::min(text.size(), maxLabelNameLength * 2));
    for (const QChar c : text) {
        if (plain.size() > maxLabelNameLength * 2)
            break;
        plain.append(c.category() == QChar::Other_Control || c.category() == QChar::Other_Format ? QChar(u' ') : c);
    }
    plain = plain.simplified();
    if (plain.size() > maxLabelNameLength) {
        qsizetype cut = maxLabelNameLength;
        if (plain.at(cut - 1).isHighSurrogate())
            --cut;
        plain.truncate(cut);
    }
    return plain;
}

bool isLabelFrequency(double hz)
{
    return std::isfinite(hz) && hz >= 0 && hz <= highestLabelHz;
}

std::vector<BandBar> readBandBars(const QJsonObject& document)
{
    struct Service {
        QString colour;
        QString name;
    };
    std::map<QString, Service> services;
    const auto keepService = [&services](const QString& key, const QJsonValue& colour, const QJsonValue& name) {
        if (services.size() >= 100 || key.size() > 16)
            return;
        const QString shown = colour.isString() && colour.toString().size() <= 32 ? colour.toString() : QString();
        services.emplace(key, Service{shown, plainLabelName(name.toString())});
    };
    for (const QJsonValue service : document.value(QStringLiteral("band_svc")).toArray())
        keepService(service[QStringLiteral("key")].toString(), service[QStringLiteral("color")],
            service[QStringLiteral("name")]);
    const QJsonObject planServices = document.value(QStringLiteral("services")).toObject();
    for (auto it = planServices.begin(); it != planServices.end(); ++it)
        keepService(it.key(), it.value()[QStringLiteral("colour")], it.value()[QStringLiteral("name")]);

    std::vector<BandBar> bars;
    for (const QJsonValue band : document.value(QStringLiteral("bands")).toArray()) {
        if (bars.size() >= std::size_t(maxScaleLabels))
            break;
        const double lowHz = band[QStringLiteral("min")].toDouble(NAN) * 1000;
        const double highHz = band[QStringLiteral("max")].toDouble(NAN) * 1000;
        const double region = band[QStringLiteral("itu")].toDouble(0);
        if (!isLabelFrequency(lowHz) || !isLabelFrequency(highHz) || !(lowHz < highHz))
            continue;
        const auto service = services.find(band[QStringLiteral("svc")].toString());
        const bool known = service != services.end();
        bars.push_back(BandBar{lowHz, highHz, plainLabelName(band[QStringLiteral("name")].toString()),
            known ? service->second.colour : QString(), region >= 1 && region <= 3 ? int(region) : 0,
            known ? service->second.name : QString()});
    }
    return bars;
}
