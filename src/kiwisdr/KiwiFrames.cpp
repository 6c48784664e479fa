#include "kiwisdr/KiwiFrames.h"

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
    // The separator after the tag is skipped unread. Words are found in the
    // bytes (a space is never part of a longer UTF-8 sequence) and only the
    // first maxKiwiParamsPerMessage are decoded: a flood of words costs a scan,
    // not an object each.
    const char* p = message.constData() + (message.size() > tagSize ? tagSize + 1 : tagSize);
    const char* const end = message.constData() + message.size();
    KiwiParams params;
    while (p < end && params.size() < maxKiwiParamsPerMessage) {
        if (*p == ' ') {
            ++p;
            continue;
        }
        const char* const space = static_cast<const char*>(std::memchr(p, ' ', static_cast<std::size_t>(end - p)));
        const char* const wordEnd = space ? space : end;
        params.push_back(parseParam(QString::fromUtf8(p, wordEnd - p)));
        p = wordEnd;
    }
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
