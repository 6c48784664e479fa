#include "JsonLines.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <cmath>
#include <cstdio>

namespace {

QByteArray compact(const QJsonValue& value)
{
    // A document holds only arrays and objects: write the value inside one
    // and take the brackets off.
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

QByteArray listeningNumbers(const ListeningSettings& s)
{
    QByteArray text;
    const auto add = [&](bool on, const char* name, double value) {
        if (on)
            text += QByteArray(",\"") + name + "\":" + compact(value);
    };
    add(s.squelchOn, "squelchLevelDb", s.squelchLevelDb);
    add(s.noiseReductionOn, "noiseReductionDb", s.noiseReductionDb);
    add(s.notchOn, "notchHz", s.notchHz);
    add(s.notchOn, "notchWidthHz", s.notchWidthHz);
    add(s.blankerOn, "blankerThresholdDb", s.blankerThresholdDb);
    return text;
}

} // namespace

QByteArray propertyLine(std::int64_t milliseconds, const QString& property, const QJsonValue& value)
{
    return "{\"t\":" + QByteArray::number(static_cast<qint64>(milliseconds)) + ",\"property\":"
        + compact(property) + ",\"value\":" + compact(value) + '}';
}

QByteArray eventLine(std::int64_t milliseconds, const QString& name, const QJsonValue& value)
{
    return "{\"t\":" + QByteArray::number(static_cast<qint64>(milliseconds)) + ',' + compact(name) + ':'
        + compact(value) + '}';
}

QByteArray reconnectTryLine(std::int64_t milliseconds, int tryNumber, int maxTries)
{
    return "{\"t\":" + QByteArray::number(static_cast<qint64>(milliseconds)) + ",\"reconnectTry\":"
        + QByteArray::number(tryNumber) + ",\"of\":" + QByteArray::number(maxTries) + '}';
}

QByteArray summaryLine(const RxProbeSummary& summary)
{
    return "{\"summary\":{\"waterfallRows\":" + QByteArray::number(static_cast<qulonglong>(summary.waterfallRows))
        + ",\"soundFrames\":" + QByteArray::number(static_cast<qulonglong>(summary.soundFrames))
        + ",\"audioSeconds\":" + compact(std::round(summary.audioSeconds * 1000) / 1000)
        + ",\"stages\":" + QJsonDocument(QJsonArray::fromStringList(summary.stages)).toJson(QJsonDocument::Compact)
        + listeningNumbers(summary.listening) + "}}";
}

void writeLine(const QByteArray& line)
{
    const QByteArray text = line + '\n';
    std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stdout);
    std::fflush(stdout);
}
