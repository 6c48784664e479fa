#include "HostileWire.h"

namespace {

// The sound header is "SND", flags, sequence (4), S-meter (2); the waterfall
// header "W/F", a zero byte, xBin, zoom and sequence (4 each).
constexpr int soundHeaderSize = 10;
constexpr int waterfallHeaderSize = 16;

} // namespace

QList<QByteArray> kiwiTruncatedFrames()
{
    QList<QByteArray> frames;
    for (const QByteArray& tag : {QByteArrayLiteral("MSG"), QByteArrayLiteral("SND"), QByteArrayLiteral("W/F")}) {
        for (qsizetype n = 0; n <= tag.size(); ++n)
            frames.append(tag.left(n));
    }
    frames.append(QByteArrayLiteral("MSG "));
    const QByteArray sound = QByteArrayLiteral("SND") + QByteArray(soundHeaderSize - 3, '\xff');
    for (int n = 4; n < soundHeaderSize; ++n)
        frames.append(sound.left(n));
    const QByteArray waterfall = QByteArrayLiteral("W/F") + QByteArray(waterfallHeaderSize - 3, '\xff');
    for (int n = 4; n < waterfallHeaderSize; ++n)
        frames.append(waterfall.left(n));
    frames.append(QByteArrayLiteral("XYZ"));
    frames.append(QByteArrayLiteral("\xff\xfe\xfd"));
    return frames;
}

QStringList absurdNumberTexts()
{
    return {
        QStringLiteral("1e308"), QStringLiteral("-1e308"), QStringLiteral("1e400"), QStringLiteral("-1e400"),
        QStringLiteral("1e-400"), QStringLiteral("nan"), QStringLiteral("-nan"), QStringLiteral("inf"),
        QStringLiteral("-inf"), QStringLiteral("Infinity"), QStringLiteral("0"), QStringLiteral("-0"),
        QStringLiteral("-1"), QStringLiteral("2147483648"), QStringLiteral("-2147483649"),
        QStringLiteral("4294967296"), QStringLiteral("9223372036854775807"),
        QStringLiteral("9223372036854775808"), QStringLiteral("-9223372036854775809"),
        QStringLiteral("18446744073709551616"), QStringLiteral("99999999999999999999999999999999999999"),
        QStringLiteral("0x7fffffff"), QStringLiteral("1,5"), QStringLiteral("+-1"), QStringLiteral(""),
        QStringLiteral("4.9e-324"), QStringLiteral("1.7976931348623157e308"),
    };
}

QStringList absurdJsonNumbers()
{
    return {
        QStringLiteral("1e308"), QStringLiteral("-1e308"), QStringLiteral("1.7976931348623157e308"),
        QStringLiteral("-1.7976931348623157e308"), QStringLiteral("4.9e-324"), QStringLiteral("-0"),
        QStringLiteral("0"), QStringLiteral("-1"), QStringLiteral("2147483648"), QStringLiteral("-2147483649"),
        QStringLiteral("9223372036854775807"), QStringLiteral("9223372036854775808"),
        QStringLiteral("-9223372036854775809"), QStringLiteral("1e20"), QStringLiteral("9007199254740993"),
        QStringLiteral("0.5"), QStringLiteral("\"7100000\""), QStringLiteral("null"), QStringLiteral("true"),
        QStringLiteral("[]"), QStringLiteral("{}"),
    };
}

QList<QByteArray> invalidUtf8Samples()
{
    return {
        QByteArrayLiteral("\x80"),             // a continuation byte alone
        QByteArrayLiteral("\xc3\x28"),         // a lead byte without its continuation
        QByteArrayLiteral("\xe2\x82"),         // cut off
        QByteArrayLiteral("\xc0\xaf"),         // overlong "/"
        QByteArrayLiteral("\xed\xa0\x80"),     // a surrogate
        QByteArrayLiteral("\xf4\x90\x80\x80"), // beyond U+10FFFF
        QByteArrayLiteral("\xf8\x88\x80\x80\x80"),
        QByteArrayLiteral("\xff\xfe"),
    };
}

QByteArray invalidUtf8Text()
{
    QByteArray text = QByteArrayLiteral("bad");
    for (const QByteArray& sample : invalidUtf8Samples())
        text += sample;
    return text + QByteArrayLiteral("text");
}

QByteArray deepJsonArray(int depth)
{
    return QByteArray(depth, '[') + QByteArray(depth, ']');
}

QByteArray deepJsonObject(int depth)
{
    QByteArray json;
    json.reserve(depth * 6L + 2);
    for (int i = 0; i < depth; ++i)
        json += "{\"a\":";
    json += "0";
    json += QByteArray(depth, '}');
    return json;
}

QByteArray webSocketFrameHeader(WebSocketOpcode opcode, std::uint64_t payloadLength)
{
    QByteArray header;
    header.append(static_cast<char>(0x80 | static_cast<std::uint8_t>(opcode)));
    if (payloadLength < 126) {
        header.append(static_cast<char>(payloadLength));
    } else if (payloadLength <= 0xffff) {
        header.append(static_cast<char>(126));
        header.append(static_cast<char>(payloadLength >> 8));
        header.append(static_cast<char>(payloadLength & 0xff));
    } else {
        header.append(static_cast<char>(127));
        for (int shift = 56; shift >= 0; shift -= 8)
            header.append(static_cast<char>((payloadLength >> shift) & 0xff));
    }
    return header;
}
