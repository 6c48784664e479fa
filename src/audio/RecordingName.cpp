#include "audio/RecordingName.h"

#include <QLocale>
#include <QTimeZone>

#include <cmath>

namespace {

bool keeps(char32_t c)
{
    // Letters and digits of any script, with their combining marks.
    if (QChar::isLetterOrNumber(c) || QChar::category(c) == QChar::Mark_NonSpacing
        || QChar::category(c) == QChar::Mark_SpacingCombining)
        return true;
    return c == U'.' || c == U'+';
}

QString frequencyText(double kHz)
{
    if (!std::isfinite(kHz))
        return QStringLiteral("0");
    QString text = QLocale::c().toString(kHz, 'f', 3);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}

} // namespace

QString cleanFileNamePart(const QString& text, qsizetype maxBytes)
{
    QString cleaned;
    qsizetype bytes = 0;
    bool dash = false;
    for (const char32_t c : text.toUcs4()) {
        if (!keeps(c)) {
            if (!dash && bytes + 1 <= maxBytes) {
                cleaned += QLatin1Char('-');
                ++bytes;
            }
            dash = true;
            continue;
        }
        const QString character = QString::fromUcs4(&c, 1);
        const qsizetype size = character.toUtf8().size();
        if (bytes + size > maxBytes)
            break;
        cleaned += character;
        bytes += size;
        dash = false;
    }
    const auto trimmed = [](QChar c) { return c == QLatin1Char('-') || c == QLatin1Char('.'); };
    qsizetype first = 0;
    qsizetype last = cleaned.size();
    while (first < last && trimmed(cleaned[first]))
        ++first;
    while (last > first && trimmed(cleaned[last - 1]))
        --last;
    cleaned = cleaned.mid(first, last - first);
    return cleaned;
}

QString recordingName(const QString& receiverName, double frequencyKHz, Mode mode, const QDateTime& start)
{
    QString name = cleanFileNamePart(receiverName);
    if (name.isEmpty())
        name = QStringLiteral("receiver");
    return QStringLiteral("%1_%2_%3_%4")
        .arg(name, frequencyText(frequencyKHz), rawValue(mode),
            start.toTimeZone(QTimeZone::utc()).toString(QStringLiteral("yyyyMMdd-HHmmss")));
}
