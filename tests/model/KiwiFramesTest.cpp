#include "model/KiwiFrames.h"

#include <gtest/gtest.h>

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (const int v : values)
        out.append(static_cast<char>(v));
    return out;
}

template <class T>
T parsedAs(const QByteArray& message)
{
    const std::optional<KiwiMessage> parsed = parse(message);
    if (!parsed)
        ADD_FAILURE() << "no value";
    else if (!std::holds_alternative<T>(*parsed))
        ADD_FAILURE() << "other case: " << parsed->index();
    else
        return std::get<T>(*parsed);
    return T{};
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
        {"MSG ", {}},
        {"MSG     ", {}},
        {"MSGxk=v", {param("k", "v")}}, // the separator is skipped unread
        {"MSG  k=v  ", {param("k", "v")}},
        {"MSG name=K%20o\xC3\xA9", {{QStringLiteral("name"), QStringLiteral("K%20o\u00E9")}}},
        {"MSG k=\xFF", {{QStringLiteral("k"), QString(QChar::ReplacementCharacter)}}},
    };
    for (const auto& [message, expected] : cases)
        EXPECT_EQ(parsedAs<KiwiParams>(message), expected) << message.toStdString();

    EXPECT_EQ(parseParam(QStringLiteral("=v")), param("", "v"));
    EXPECT_EQ(parseParam(QStringLiteral("=")), param("", ""));
    EXPECT_EQ(parseParam(QStringLiteral("k==")), param("k", "="));
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
    const QByteArray message = "SND" + bytes({0x12, 0x04, 0x03, 0x02, 0x01, 0x04, 0xF6}) + QByteArray(100, 'x');
    const KiwiSoundFrame frame = parsedAs<KiwiSoundFrame>(message);
    EXPECT_EQ(frame.flags, 0x12);
    EXPECT_EQ(frame.sequence, 0x01020304u);
    EXPECT_DOUBLE_EQ(frame.rssi, 0.0);
    EXPECT_EQ(reinterpret_cast<const char*>(frame.payload.data()), message.constData() + 10);
    EXPECT_EQ(frame.payload.size(), 100u);
}

TEST(ParseSound, SignalStrengthIsBigEndianTenthsAboveMinus127)
{
    struct Case {
        int high, low;
        double rssi;
    };
    for (const Case c : {Case{0x00, 0x00, -127.0}, Case{0x00, 0x01, -126.9}, Case{0xFF, 0xFF, 6426.5}}) {
        const QByteArray message = "SND" + bytes({0, 0, 0, 0, 0, c.high, c.low});
        EXPECT_NEAR(parsedAs<KiwiSoundFrame>(message).rssi, c.rssi, 1e-9) << c.high << " " << c.low;
    }
}

TEST(ParseWaterfall, ReadsTheHeaderAndCopiesTheBins)
{
    QByteArray message = "W/F" + bytes({0xEE, 0x10, 0x20, 0x30, 0x40, 0x03, 0x00, 0x01, 0x00, 0x78,
                                     0x56, 0x34, 0x12, 0, 127, 255});
    const KiwiWaterfallFrame frame = parsedAs<KiwiWaterfallFrame>(message);
    message.fill('\0');
    EXPECT_EQ(frame.xBin, 0x40302010u);
    EXPECT_EQ(frame.zoom, 3) << "the low half only";
    EXPECT_EQ(frame.sequence, 0x12345678u);
    EXPECT_EQ(frame.bins, (std::vector<std::uint8_t>{0, 127, 255}));
    EXPECT_EQ(parsedAs<KiwiWaterfallFrame>("W/F" + bytes({0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0})).zoom,
        65535);
}

TEST(ParseOther, KeepsTheDecodedTag)
{
    EXPECT_EQ(parsedAs<KiwiOtherFrame>("DAT"), KiwiOtherFrame{QStringLiteral("DAT")});
    EXPECT_EQ(parsedAs<KiwiOtherFrame>("msg a=1"), KiwiOtherFrame{QStringLiteral("msg")});
    EXPECT_EQ(parsedAs<KiwiOtherFrame>("snd" + QByteArray(20, '\0')), KiwiOtherFrame{QStringLiteral("snd")});
    EXPECT_EQ(parsedAs<KiwiOtherFrame>(QByteArray("\xFFND")).tag,
        QString(QChar::ReplacementCharacter) + QStringLiteral("ND"));
}

} // namespace
