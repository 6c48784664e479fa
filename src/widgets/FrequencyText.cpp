#include "widgets/FrequencyText.h"

#include <QLocale>

#include <cmath>

QString formattedFrequencyKHz(double kHz)
{
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return locale.toString(kHz, 'f', 2);
}

std::optional<double> parseFrequencyText(const QString& text)
{
    // QLocale forgives surrounding blanks; a typed frequency must not have any.
    for (const QChar c : text) {
        if (c.isSpace())
            return std::nullopt;
    }
    QString normalized = text;
    normalized.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = QLocale::c().toDouble(normalized, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<double> frequencyToCommit(const QString& text, double currentKHz)
{
    if (text == formattedFrequencyKHz(currentKHz))
        return std::nullopt;
    const std::optional<double> value = parseFrequencyText(text);
    if (!value || *value == currentKHz)
        return std::nullopt;
    return value;
}
