#include "display/FrequencyFormat.h"

#include <QLocale>

namespace {

// Up to `maxDigits` fraction digits, trailing zeros dropped.
QString formatTrimmed(double value, int maxDigits)
{
    const QLocale locale;
    QString text = locale.toString(value, 'f', maxDigits);
    const QString point = locale.decimalPoint();
    if (text.contains(point)) {
        const QString zero = locale.zeroDigit();
        while (text.endsWith(zero))
            text.chop(zero.size());
        if (text.endsWith(point))
            text.chop(point.size());
    }
    return text;
}

} // namespace

QString formatFrequency(double hz)
{
    if (hz >= 1000000.0)
        return formatTrimmed(hz / 1000000.0, 3) + QStringLiteral(" MHz");
    return formatTrimmed(hz / 1000.0, 2) + QStringLiteral(" kHz");
}
