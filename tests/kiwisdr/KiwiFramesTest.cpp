#include "kiwisdr/KiwiFrames.h"

#include <gtest/gtest.h>

namespace {

template <class T>
T parsedAs(const QByteArray& message)
{
    const std::optional<KiwiMessage> parsed = parse(message);
    const bool isT = parsed && std::holds_alternative<T>(*parsed);
    EXPECT_TRUE(isT) << message.toHex().toStdString();
    return isT ? std::get<T>(*parsed) : T{};
}

KiwiParam param(const char* key, std::optional<const char*> value)
{
    return {QString::fromUtf8(key), value ? std::optional(QString::fromUtf8(*value)) : std::nullopt};
}

TEST(ParseMessage, WordRules)
{
    const std::pair<QByteArray, KiwiParams> cases[] = {
        {"MSG a=1 b  c= d=x=y", {param("a", "1"), param("b", std::nullopt), param("c", ""), param("d", "x=y")}},
        {"MSG", {}},
        {"MSG     ", {}},
        {"MSGxk=v", {param("k", "v")}}, // the separator is skipped unread
        {"MSG  k=v  ", {param("k", "v")}},
        {"MSG name=K%20o\xC3\xA9", {{QStringLiteral("name"), QStringLiteral("K%20o\u00E9")}}},
    };
    for (const auto& [message, expected] : cases)
        EXPECT_EQ(parsedAs<KiwiParams>(message), expected) << message.toStdString();

    // A flood of words: only the first ones are read.
    EXPECT_EQ(parsedAs<KiwiParams>("MSG " + QByteArray("a=1 ").repeated(100'000)),
        KiwiParams(maxKiwiParamsPerMessage, param("a", "1")));

    EXPECT_EQ(parseParam(QStringLiteral("=v")), param("", "v"));
    EXPECT_EQ(parseParam(QStringLiteral("=")), param("", ""));
}

TEST(ParseMessage, TooShortGivesNoValue)
{
    // A short "SND" or "W/F" is skipped, not mistaken for an unknown tag.
    for (const QByteArray& message : {QByteArray(), QByteArray("MS"), QByteArray("SND"), QByteArray("W/F"),
             "SND" + QByteArray(6, '\0'), "W/F" + QByteArray(12, '\0')})
        EXPECT_FALSE(parse(message)) << message.size();
    EXPECT_TRUE(parsedAs<KiwiSoundFrame>("SND" + QByteArray(7, '\0')).payload.empty());
    EXPECT_TRUE(parsedAs<KiwiWaterfallFrame>("W/F" + QByteArray(13, '\0')).bins.empty());
}

TEST(ParseSound, ReadsTheHeaderAndViewsThePayload)
{
    const QByteArray message = "SND" + QByteArray::fromHex("12 04030201 04f6") + QByteArray(100, 'x');
    const KiwiSoundFrame frame = parsedAs<KiwiSoundFrame>(message);
    EXPECT_EQ(std::tuple(frame.flags, frame.sequence, frame.payload.size()), std::tuple(0x12, 0x01020304u, 100u));
    EXPECT_EQ(reinterpret_cast<const char*>(frame.payload.data()), message.constData() + 10);
    // Signal strength: big-endian tenths above -127.
    for (const auto& [level, rssi] : {std::pair{"04f6", 0.0}, {"0001", -126.9}, {"ffff", 6426.5}})
        EXPECT_NEAR(parsedAs<KiwiSoundFrame>("SND" + QByteArray(5, 0) + QByteArray::fromHex(level)).rssi, rssi, 1e-9);
}

TEST(ParseWaterfall, ReadsTheHeaderAndCopiesTheBins)
{
    QByteArray message = "W/F" + QByteArray::fromHex("ee 10203040 03000100 78563412 007fff");
    const KiwiWaterfallFrame frame = parsedAs<KiwiWaterfallFrame>(message);
    message.fill('\0');
    // The zoom is the low half of its field only.
    EXPECT_EQ(frame, (KiwiWaterfallFrame{0x40302010u, 3, 0x12345678u, {0, 127, 255}}));
    EXPECT_EQ(parsedAs<KiwiWaterfallFrame>("W/F" + QByteArray::fromHex("00 00000000 ffffffff 00000000")).zoom, 65535);
}

TEST(ParseOther, KeepsTheDecodedTag)
{
    for (const QByteArray tag : {"DAT", "msg", "snd", "\xFFND"})
        EXPECT_EQ(parsedAs<KiwiOtherFrame>(tag + QByteArray(20, '\0')).tag, QString::fromUtf8(tag));
}

} // namespace
