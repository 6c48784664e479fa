#include "KiwiWire.h"

#include <QLocale>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace {

void appendLE32(QByteArray& bytes, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        bytes.append(static_cast<char>((value >> shift) & 0xff));
}

void appendBytes(QByteArray& bytes, std::span<const std::uint8_t> data)
{
    bytes.append(reinterpret_cast<const char*>(data.data()), static_cast<qsizetype>(data.size()));
}

} // namespace

QByteArray kiwiMessageFrame(const QString& parameters)
{
    return QByteArrayLiteral("MSG ") + parameters.toUtf8();
}

QByteArray kiwiSoundFrame(std::uint8_t flags, std::uint32_t sequence, double rssiDbm,
                          std::span<const std::uint8_t> payload)
{
    const double raw = std::isfinite(rssiDbm) ? std::clamp((rssiDbm + 127.0) * 10.0, 0.0, 65535.0) : 0.0;
    const auto meter = static_cast<std::uint16_t>(std::lround(raw));
    QByteArray bytes;
    bytes.reserve(10 + static_cast<qsizetype>(payload.size()));
    bytes.append("SND", 3);
    bytes.append(static_cast<char>(flags));
    appendLE32(bytes, sequence);
    bytes.append(static_cast<char>(meter >> 8));
    bytes.append(static_cast<char>(meter & 0xff));
    appendBytes(bytes, payload);
    return bytes;
}

QByteArray kiwiWaterfallFrame(std::uint32_t xBin, int zoom, std::uint32_t sequence,
                              std::span<const std::uint8_t> bins)
{
    QByteArray bytes;
    bytes.reserve(16 + static_cast<qsizetype>(bins.size()));
    bytes.append("W/F", 3);
    bytes.append('\0');
    appendLE32(bytes, xBin);
    appendLE32(bytes, static_cast<std::uint32_t>(std::clamp(zoom, 0, 0xffff)));
    appendLE32(bytes, sequence);
    appendBytes(bytes, bins);
    return bytes;
}

QString kiwiPercentEncoded(const QString& text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

std::optional<QString> KiwiCommand::value(QStringView key) const
{
    for (const auto& [k, v] : words) {
        if (k == key)
            return v;
    }
    return std::nullopt;
}

bool KiwiCommand::has(QStringView key) const
{
    return std::any_of(words.begin(), words.end(), [key](const auto& w) { return w.first == key; });
}

std::optional<KiwiCommand> parseKiwiCommand(QStringView text)
{
    KiwiCommand command;
    bool first = true;
    for (QStringView word : text.split(u' ', Qt::SkipEmptyParts)) {
        if (first) {
            command.verb = word.toString();
            first = false;
            continue;
        }
        const qsizetype equals = word.indexOf(u'=');
        if (equals < 0)
            command.words.emplace_back(word.toString(), std::nullopt);
        else
            command.words.emplace_back(word.first(equals).toString(), word.sliced(equals + 1).toString());
    }
    if (first)
        return std::nullopt;
    return command;
}

std::optional<double> parseFiniteNumber(const std::optional<QString>& text)
{
    if (!text)
        return std::nullopt;
    bool ok = false;
    const double value = QLocale::c().toDouble(*text, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}
