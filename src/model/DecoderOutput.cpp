#include "model/DecoderOutput.h"

#include <QStringList>

#include <cmath>
#include <utility>

namespace {

// Milliseconds since the epoch that a decoder's clock can believably give:
// 2000 to 2100.
constexpr double earliestTimestampMs = 946'684'800'000.0;
constexpr double latestTimestampMs = 4'102'444'800'000.0;
// A "freq" further than this from the carrier is no audio frequency.
constexpr double maxAudioHz = 100'000;

const QString timestampKey = QStringLiteral("timestamp");
const QString dbKey = QStringLiteral("db");
const QString dtKey = QStringLiteral("dt");
const QString freqKey = QStringLiteral("freq");
const QString msgKey = QStringLiteral("msg");
const QString callsignKey = QStringLiteral("callsign");
const QString locatorKey = QStringLiteral("locator");
// The decoder is known; its name on every row says nothing.
const QString modeKey = QStringLiteral("mode");

// The last `length` characters, not starting inside a surrogate pair.
QString newest(const QString& text, qsizetype length)
{
    if (text.size() <= length)
        return text;
    qsizetype from = text.size() - length;
    if (text.at(from).isLowSurrogate())
        ++from;
    return text.mid(from);
}

QString numberText(double value)
{
    return QString::number(value, 'g', 12);
}

QString valueText(const DecodedField& field)
{
    if (const double* number = std::get_if<double>(&field.value))
        return numberText(*number);
    return std::get<QString>(field.value);
}

QString csvCell(const QString& text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n'))
        return text;
    QString quoted = text;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString optionalNumber(const std::optional<double>& value)
{
    return value ? numberText(*value) : QString();
}

} // namespace

const DecodedField* DecodedMessage::field(const QString& key) const
{
    for (const DecodedField& field : fields) {
        if (field.key == key)
            return &field;
    }
    return nullptr;
}

std::optional<double> DecodedMessage::number(const QString& key) const
{
    const DecodedField* found = field(key);
    const double* value = found ? std::get_if<double>(&found->value) : nullptr;
    if (!value || !std::isfinite(*value))
        return std::nullopt;
    return *value;
}

std::optional<QString> DecodedMessage::text(const QString& key) const
{
    const DecodedField* found = field(key);
    if (!found)
        return std::nullopt;
    return valueText(*found);
}

void DecoderOutput::append(QString moreText, QList<DecodedMessage> moreMessages)
{
    text = newest(text + moreText, maxKeptDecodedText);
    messages.append(std::move(moreMessages));
    if (messages.size() > maxKeptDecodedMessages)
        messages.remove(0, messages.size() - maxKeptDecodedMessages);
}

QString DecodedTextCleaner::clean(const QString& piece)
{
    QString plain;
    const QStringView bounded = QStringView(piece).left(maxDecodedPieceLength);
    plain.reserve(bounded.size());
    for (qsizetype i = 0; i < bounded.size(); ++i) {
        const QChar c = bounded.at(i);
        const bool afterCarriageReturn = std::exchange(m_afterCarriageReturn, false);
        if (c == u'\r') {
            plain += u'\n';
            m_afterCarriageReturn = true;
        } else if (c == u'\n') {
            if (!afterCarriageReturn)
                plain += u'\n';
        } else if (c.isHighSurrogate()) {
            if (i + 1 < bounded.size() && bounded.at(i + 1).isLowSurrogate()) {
                plain += c;
                plain += bounded.at(++i);
            }
        } else if (!c.isLowSurrogate()) {
            switch (c.category()) {
            case QChar::Other_Control:
            case QChar::Other_Format:
            case QChar::Separator_Line:
            case QChar::Separator_Paragraph:
                break;
            default:
                plain += c;
            }
        }
    }
    return plain;
}

QString DecodedTextStamper::stamp(const QString& text, const QDateTime& utc)
{
    const QString prefix = utc.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss'Z  '"));
    QString stamped;
    stamped.reserve(text.size() + prefix.size());
    for (const QChar c : text) {
        if (std::exchange(m_atLineStart, false))
            stamped += prefix;
        stamped += c;
        m_atLineStart = c == u'\n';
    }
    return stamped;
}

DecodedRow decodedRow(const DecodedMessage& message, double carrierHz, const QDateTime& arrivedUtc)
{
    DecodedRow row;
    row.time = arrivedUtc.toUTC();
    QStringList details;
    for (const DecodedField& field : message.fields) {
        const double* number = std::get_if<double>(&field.value);
        const bool finite = number && std::isfinite(*number);
        if (field.key == timestampKey && finite && *number >= earliestTimestampMs && *number <= latestTimestampMs) {
            row.time = QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(*number), Qt::UTC);
        } else if (field.key == dbKey && finite) {
            row.db = *number;
        } else if (field.key == dtKey && finite) {
            row.dt = *number;
        } else if (field.key == freqKey && finite && std::abs(*number - carrierHz) <= maxAudioHz) {
            row.audioHz = *number - carrierHz;
        } else if (field.key == msgKey && !number) {
            row.message = valueText(field);
        } else if (field.key == callsignKey && !number) {
            row.callsign = valueText(field);
        } else if (field.key == locatorKey && !number) {
            row.locator = valueText(field);
        } else if (field.key != modeKey) {
            details.append(field.key + QStringLiteral(" = ") + valueText(field));
        }
    }
    row.details = details.join(QStringLiteral(", "));
    return row;
}

QString decodedCsvHeader()
{
    return QStringLiteral("utc,db,dt,audio_hz,message,callsign,locator,details");
}

QString decodedCsvLine(const DecodedRow& row)
{
    return QStringList{row.time.toUTC().toString(Qt::ISODate), optionalNumber(row.db), optionalNumber(row.dt),
        optionalNumber(row.audioHz), csvCell(row.message), csvCell(row.callsign), csvCell(row.locator),
        csvCell(row.details)}
        .join(u',');
}
