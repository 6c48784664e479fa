#include "SimLabels.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QString compact(const QJsonObject& object)
{
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

QJsonObject band(const char* name, double minKHz, double maxKHz, const char* service)
{
    return QJsonObject{{QStringLiteral("name"), QString::fromUtf8(name)}, {QStringLiteral("min"), minKHz},
        {QStringLiteral("max"), maxKHz}, {QStringLiteral("svc"), QString::fromUtf8(service)},
        {QStringLiteral("itu"), 0}};
}

QJsonObject labelled(const char* name, double hz, const char* modulation)
{
    return QJsonObject{{QStringLiteral("name"), QString::fromUtf8(name)}, {QStringLiteral("frequency"), hz},
        {QStringLiteral("modulation"), QString::fromUtf8(modulation)}};
}

QJsonObject dial(double hz, const char* mode)
{
    return QJsonObject{{QStringLiteral("frequency"), hz}, {QStringLiteral("mode"), QString::fromUtf8(mode)}};
}

} // namespace

QString kiwiDxConfigJson()
{
    const QJsonArray services{
        QJsonObject{{QStringLiteral("key"), QStringLiteral("B")}, {QStringLiteral("name"), QStringLiteral("Broadcast")},
            {QStringLiteral("color"), QStringLiteral("#ff6347")}},
        QJsonObject{{QStringLiteral("key"), QStringLiteral("A")}, {QStringLiteral("name"), QStringLiteral("Amateur")},
            {QStringLiteral("color"), QStringLiteral("#00bfff")}},
    };
    const QJsonArray bands{band("49m Broadcast", 5900, 6200, "B"), band("40m Ham", 7000, 7200, "A"),
        band("41m Broadcast", 7200, 7450, "B"), band("31m Broadcast", 9400, 9900, "B"),
        band("19m Broadcast", 15100, 15800, "B")};
    return compact({{QStringLiteral("band_svc"), services}, {QStringLiteral("bands"), bands}});
}

QString openWebRXBookmarksMessage()
{
    const QJsonArray bookmarks{labelled("Tone 1000", 6'070'000, "am"), labelled("CW test", 7'030'000, "cw"),
        labelled("CW decoder test", 7'029'000, "cwdecoder"), labelled("Voice", 7'200'000, "lsb"), labelled("Tone 400", 9'500'000, "am"),
        labelled("Tone 700", 15'400'000, "am")};
    return compact({{QStringLiteral("type"), QStringLiteral("bookmarks")}, {QStringLiteral("value"), bookmarks}});
}

QString openWebRXDialFrequenciesMessage()
{
    const QJsonArray dials{dial(7'074'000, "ft8"), dial(7'038'600, "wspr"), dial(14'074'000, "ft8")};
    return compact({{QStringLiteral("type"), QStringLiteral("dial_frequencies")}, {QStringLiteral("value"), dials}});
}
