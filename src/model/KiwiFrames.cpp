#include "model/KiwiFrames.h"

#include <QList>

#include <cstring>

namespace {

constexpr qsizetype tagSize = 3;
constexpr qsizetype soundHeaderSize = 10;
constexpr qsizetype waterfallHeaderSize = 16;

const std::uint8_t* bytesOf(const QByteArray& message)
{
    return reinterpret_cast<const std::uint8_t*>(message.constData());
}

std::uint32_t littleEndian32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16
        | std::uint32_t(p[3]) << 24;
}

std::uint16_t bigEndian16(const std::uint8_t* p)
{
    return std::uint16_t(p[0] << 8 | p[1]);
}

bool hasTag(const QByteArray& message, const char (&tag)[tagSize + 1])
{
    return std::memcmp(message.constData(), tag, tagSize) == 0;
}

KiwiParams parseParams(const QByteArray& message)
{
    // The separator after the tag is skipped unread.
    const qsizetype start = message.size() > tagSize ? tagSize + 1 : tagSize;
    const QString text = QString::fromUtf8(message.constData() + start, message.size() - start);
    KiwiParams params;
    for (const QStringView word : QStringView(text).split(u' ', Qt::SkipEmptyParts))
        params.push_back(parseParam(word.toString()));
    return params;
}

KiwiSoundFrame parseSound(const QByteArray& message)
{
    const std::uint8_t* p = bytesOf(message);
    KiwiSoundFrame frame;
    frame.flags = p[3];
    frame.sequence = littleEndian32(p + 4);
    frame.rssi = bigEndian16(p + 8) * 0.1 - 127.0;
    frame.payload = std::span<const std::uint8_t>(
        p + soundHeaderSize, static_cast<std::size_t>(message.size() - soundHeaderSize));
    return frame;
}

KiwiWaterfallFrame parseWaterfall(const QByteArray& message)
{
    const std::uint8_t* p = bytesOf(message);
    KiwiWaterfallFrame frame;
    frame.xBin = littleEndian32(p + 4);
    frame.zoom = static_cast<int>(littleEndian32(p + 8) & 0xFFFF);
    frame.sequence = littleEndian32(p + 12);
    frame.bins.assign(p + waterfallHeaderSize, p + message.size());
    return frame;
}

} // namespace

std::optional<KiwiMessage> parse(const QByteArray& message)
{
    if (message.size() < tagSize)
        return std::nullopt;
    // A decoded tag equals one of these exactly when its bytes do, so the
    // known tags are matched without decoding.
    if (hasTag(message, "MSG"))
        return parseParams(message);
    if (hasTag(message, "SND")) {
        if (message.size() < soundHeaderSize)
            return std::nullopt;
        return parseSound(message);
    }
    if (hasTag(message, "W/F")) {
        if (message.size() < waterfallHeaderSize)
            return std::nullopt;
        return parseWaterfall(message);
    }
    return KiwiOtherFrame{QString::fromUtf8(message.constData(), tagSize)};
}

KiwiParam parseParam(const QString& word)
{
    const qsizetype equals = word.indexOf(u'=');
    if (equals < 0)
        return {word, std::nullopt};
    return {word.left(equals), word.mid(equals + 1)};
}
