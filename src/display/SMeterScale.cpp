#include "display/SMeterScale.h"

#include <QCoreApplication>
#include <QLocale>

#include <algorithm>
#include <cmath>

double sMeterRelativeUnits(double dB)
{
    return (dB - sMeterRelativeFloorDB) / (sMeterRelativeTopDB - sMeterRelativeFloorDB) * sMeterFullScale;
}

double sMeterUnits(const std::optional<SMeterReading>& reading)
{
    if (!reading)
        return 0;
    const double level = reading->boundedLevel();
    const double units = reading->isCalibrated ? (level + 127) / 6 : sMeterRelativeUnits(level);
    return std::max(units, 0.0);
}

double sMeterRedFrom(bool calibrated)
{
    return calibrated ? sMeterS9 : sMeterRelativeUnits(sMeterRelativeRedDB);
}

double sMeterFraction(double units, double fullScale)
{
    if (!(fullScale > 0) || std::isnan(units))
        return 0;
    return std::clamp(units / fullScale, 0.0, 1.0);
}

QString sMeterMainText(const std::optional<SMeterReading>& reading, bool calibrated)
{
    if (!reading)
        return calibrated ? QStringLiteral("S\u2013") : QStringLiteral("\u2013 dB");
    return reading->displayText();
}

QString sMeterDetailText(const std::optional<SMeterReading>& reading, bool calibrated)
{
    if (!reading && !calibrated)
        return QCoreApplication::translate("SMeterScale", "relative");
    if (!reading)
        return QStringLiteral("\u2014 dBm");
    if (!reading->isCalibrated)
        return QCoreApplication::translate("SMeterScale", "relative");
    return QLocale().toString(reading->boundedLevel(), 'f', 1) + QStringLiteral(" dBm");
}

QString sMeterAccessibleValue(const std::optional<SMeterReading>& reading)
{
    if (!reading)
        return QCoreApplication::translate("SMeterScale", "No signal");
    const QString level = QString::number(static_cast<long long>(std::trunc(reading->boundedLevel())));
    if (!reading->isCalibrated)
        return QCoreApplication::translate("SMeterScale", "%1 dB, relative").arg(level);
    return reading->displayText() + QStringLiteral(", ") + level + QStringLiteral(" dBm");
}

const QList<SMeterMark>& sMeterMarks(bool calibrated)
{
    static const QList<SMeterMark> relative = [] {
        QList<SMeterMark> marks;
        for (int dB = -100; dB <= sMeterRelativeTopDB; dB += 20)
            marks.append({QString::number(dB), sMeterRelativeUnits(dB)});
        return marks;
    }();
    if (!calibrated)
        return relative;
    static const QList<SMeterMark> marks{
        {QStringLiteral("1"), 1},
        {QStringLiteral("3"), 3},
        {QStringLiteral("5"), 5},
        {QStringLiteral("7"), 7},
        {QStringLiteral("9"), sMeterS9},
        {QStringLiteral("+20"), sMeterS9 + 20.0 / 6},
        {QStringLiteral("+40"), sMeterS9 + 40.0 / 6},
        {QStringLiteral("+60"), 19},
    };
    return marks;
}
