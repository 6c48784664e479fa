#include "session/KiwiFrames.h"

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

TEST(ParseMessage, SplitsWordsIntoKeysAndValues)
{
    EXPECT_EQ(parsedAs<KiwiParams>("MSG a=1 b  c= d=x=y"),
        (KiwiParams{param("a", "1"), param("b", std::nullopt), param("c", ""), param("d", "x=y")}));
}

TEST(ParseMessage, EmptyTextsGiveEmptyLists)
{
    for (const char* text : {"MSG", "MSG ", "MSG     "})
        EXPECT_EQ(parsedAs<KiwiParams>(text), KiwiParams{}) << text;
}

TEST(ParseMessage, SkipsTheSeparatorUnread)
{
    EXPECT_EQ(parsedAs<KiwiParams>("MSGxk=v"), (KiwiParams{param("k", "v")}));
    EXPECT_EQ(parsedAs<KiwiParams>("MSG  k=v  "), (KiwiParams{param("k", "v")}));
}

TEST(ParseMessage, KeepsValuesVerbatimAndRepairsBadUtf8)
{
    EXPECT_EQ(parsedAs<KiwiParams>("MSG name=K%20o\xC3\xA9"),
        (KiwiParams{{QStringLiteral("name"), QStringLiteral("K%20o\u00E9")}}));
    const KiwiParams repaired = parsedAs<KiwiParams>(QByteArray("MSG k=\xFF"));
    ASSERT_EQ(repaired.size(), 1u);
    EXPECT_EQ(repaired[0].value, QString(QChar::ReplacementCharacter));
}

TEST(ParseMessage, TooShortGivesNoValue)
{
    EXPECT_FALSE(parse(QByteArray()));
    EXPECT_FALSE(parse("MS"));
}

TEST(ParseParam, SplitsAtTheFirstEquals)
{
    EXPECT_EQ(parseParam(QStringLiteral("=v")), param("", "v"));
    EXPECT_EQ(parseParam(QStringLiteral("=")), param("", ""));
    EXPECT_EQ(parseParam(QStringLiteral("k==")), param("k", "="));
    EXPECT_EQ(parseParam(QStringLiteral("bare")), param("bare", std::nullopt));
}

TEST(ParseSound, ReadsTheHeader)
{
    const QByteArray message = "SND" + bytes({0x12, 0x04, 0x03, 0x02, 0x01, 0x04, 0xF6, 0xAA, 0xBB});
    const KiwiSoundFrame frame = parsedAs<KiwiSoundFrame>(message);
    EXPECT_EQ(frame.flags, 0x12);
    EXPECT_EQ(frame.sequence, 0x01020304u);
    EXPECT_DOUBLE_EQ(frame.rssi, 0.0);
    ASSERT_EQ(frame.payload.size(), 2u);
    EXPECT_EQ(frame.payload[0], 0xAA);
    EXPECT_EQ(frame.payload[1], 0xBB);
}

TEST(ParseSound, PayloadIsAViewOfTheMessage)
{
    const QByteArray message = "SND" + QByteArray(7, '\0') + QByteArray(100, 'x');
    const KiwiSoundFrame frame = parsedAs<KiwiSoundFrame>(message);
    EXPECT_EQ(reinterpret_cast<const char*>(frame.payload.data()), message.constData() + 10);
    EXPECT_EQ(frame.payload.size(), 100u);
}

TEST(ParseSound, SignalStrengthIsBigEndianTenthsAboveMinus127)
{
    struct Case {
        int high, low;
        double rssi;
    };
    for (const Case c : {Case{0x00, 0x00, -127.0}, Case{0x04, 0xF6, 0.0}, Case{0x00, 0x01, -126.9},
             Case{0xFF, 0xFF, 6426.5}}) {
        const QByteArray message = "SND" + bytes({0, 0, 0, 0, 0, c.high, c.low});
        EXPECT_NEAR(parsedAs<KiwiSoundFrame>(message).rssi, c.rssi, 1e-9) << c.high << " " << c.low;
    }
}

TEST(ParseSound, NeedsTenBytes)
{
    EXPECT_FALSE(parse("SND" + QByteArray(6, '\0')));
    EXPECT_TRUE(parsedAs<KiwiSoundFrame>("SND" + QByteArray(7, '\0')).payload.empty());
}

TEST(ParseWaterfall, ReadsTheHeaderAndCopiesTheBins)
{
    QByteArray message = "W/F" + bytes({0xEE, 0x10, 0x20, 0x30, 0x40, 0x03, 0x00, 0x01, 0x00, 0x78,
                                     0x56, 0x34, 0x12, 0, 127, 255});
    const KiwiWaterfallFrame frame = parsedAs<KiwiWaterfallFrame>(message);
    message.fill('\0');
    EXPECT_EQ(frame.xBin, 0x40302010u);
    EXPECT_EQ(frame.zoom, 3);
    EXPECT_EQ(frame.sequence, 0x12345678u);
    EXPECT_EQ(frame.bins, (std::vector<std::uint8_t>{0, 127, 255}));
}

TEST(ParseWaterfall, ZoomIsTheLowHalfOnly)
{
    const QByteArray message = "W/F" + bytes({0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0});
    EXPECT_EQ(parsedAs<KiwiWaterfallFrame>(message).zoom, 65535);
}

TEST(ParseWaterfall, NeedsSixteenBytes)
{
    EXPECT_FALSE(parse("W/F" + QByteArray(12, '\0')));
    EXPECT_TRUE(parsedAs<KiwiWaterfallFrame>("W/F" + QByteArray(13, '\0')).bins.empty());
}

TEST(ParseOther, KeepsTheDecodedTag)
{
    EXPECT_EQ(parsedAs<KiwiOtherFrame>("DAT"), KiwiOtherFrame{QStringLiteral("DAT")});
    EXPECT_EQ(parsedAs<KiwiOtherFrame>("msg a=1"), KiwiOtherFrame{QStringLiteral("msg")});
    EXPECT_EQ(parsedAs<KiwiOtherFrame>("snd" + QByteArray(20, '\0')), KiwiOtherFrame{QStringLiteral("snd")});
    EXPECT_EQ(parsedAs<KiwiOtherFrame>(QByteArray("\xFFND")).tag,
        QString(QChar::ReplacementCharacter) + QStringLiteral("ND"));
}

TEST(ParseOther, ShortKnownTagsAreNotOtherFrames)
{
    // A short "SND" is skipped, not mistaken for an unknown tag.
    EXPECT_FALSE(parse("SND"));
    EXPECT_FALSE(parse("W/F"));
}

} // namespace
