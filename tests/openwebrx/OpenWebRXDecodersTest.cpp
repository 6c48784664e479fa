// What an OpenWebRX server says of its decoders, read as the session needs
// it: the decoders of a "modes" list with what each lacks, and decoder output
// made plain, bounded text and table rows.
#include "openwebrx/OpenWebRXDecoders.h"
#include "openwebrx/OpenWebRXMessage.h"

#include <gtest/gtest.h>

namespace {

std::optional<JSONValue> valueOf(const QString& json)
{
    const std::optional<OpenWebRXMessage> message = parseOpenWebRXText(json);
    return message ? message->value : std::nullopt;
}

TEST(OpenWebRXDecoders, TheModesListNamesTheDecodersAndWhatTheyLack)
{
    const OpenWebRXModes modes = readOpenWebRXModes(valueOf(QStringLiteral(R"({"type":"modes","value":[
        {"modulation":"usb","type":"analog","bandpass":{"low_cut":200,"high_cut":2600}},
        {"modulation":"lsb","type":"analog"},
        {"modulation":"cwdecoder","name":"CW Decoder","type":"digimode","underlying":["usb","lsb"],
         "requirements":[]},
        {"modulation":"ft8","name":"FT8","type":"digimode","underlying":["usb"],"requirements":["wsjt-x"],
         "secondaryFft":false,"bandpass":{"low_cut":0,"high_cut":3000}},
        {"modulation":"dmr","name":"DMR","type":"digimode","underlying":["empty"],"requirements":["digital_voice"]},
        {"modulation":"bad\u0007","name":"x","type":"digimode","underlying":["usb"]},
        {"modulation":"sstv","name":"<b>SSTV</b>","type":"digimode","underlying":["usb","nonsense"],
         "bandpass":{"low_cut":5000,"high_cut":-5000}}]})")));
    EXPECT_EQ(modes.analog, (QSet<QString>{"usb", "lsb"}));

    // A modulation that is no plain word cannot be sent back, so it is left
    // out; an underlying mode we cannot tune is dropped; the decoder's own
    // bandpass (when sound) wins over its mode's.
    const QList<ReceiverDecoder> known = openWebRXDecoders(modes, std::nullopt);
    ASSERT_EQ(known.size(), 4);
    EXPECT_EQ(known[0].name, "CW Decoder");
    EXPECT_EQ(known[0].underlying,
        (QList<DecoderUnderlying>{{Mode::usb, {200, 2600}}, {Mode::lsb, defaultPassband(Mode::lsb)}}));
    EXPECT_TRUE(known[0].spectrum);
    EXPECT_EQ(known[1].underlying, (QList<DecoderUnderlying>{{Mode::usb, {0, 3000}}}));
    EXPECT_FALSE(known[1].spectrum);
    EXPECT_TRUE(known[2].underlying.isEmpty());
    EXPECT_EQ(known[3].name, "<b>SSTV</b>");
    EXPECT_EQ(known[3].underlying, (QList<DecoderUnderlying>{{Mode::usb, {200, 2600}}}));
    // Until the features are known nothing counts as missing.
    EXPECT_TRUE(known[1].isAvailable());

    const QSet<QString> features = readOpenWebRXFeatures(
        valueOf(QStringLiteral(R"({"type":"features","value":{"core":true,"wsjt-x":false,"digital_voice":"yes"}})")));
    EXPECT_EQ(features, QSet<QString>{"core"});
    const QList<ReceiverDecoder> decoders = openWebRXDecoders(modes, features);
    EXPECT_TRUE(decoders[0].isAvailable());
    EXPECT_EQ(decoders[1].missingRequirements, QStringList{"wsjt-x"});
    EXPECT_EQ(decoderUnavailableReason(decoders[1]), "The receiver lacks wsjt-x.");
    EXPECT_TRUE(decoderUnavailableReason(decoders[2]).has_value());

    // Found by modulation or by name in any case; the tuned mode is kept when
    // the decoder runs on it; a mode it does not run on is refused.
    EXPECT_EQ(findDecoder(decoders, "cw decoder"), &decoders[0]);
    EXPECT_EQ(findDecoder(decoders, "FT8"), &decoders[1]);
    EXPECT_EQ(findDecoder(decoders, "CW"), nullptr);
    EXPECT_EQ(decoderUnderlying(decoders[0], std::nullopt, Mode::lsb)->mode, Mode::lsb);
    EXPECT_EQ(decoderUnderlying(decoders[0], std::nullopt, Mode::am)->mode, Mode::usb);
    EXPECT_FALSE(decoderUnderlying(decoders[0], Mode::am, Mode::usb));
    // 1000 Hz of audio is below the carrier in LSB.
    EXPECT_EQ(decoderOffsetInPassband(1000, {-2750, -150}), -1000);
    EXPECT_EQ(decoderOffsetInPassband(1000, {150, 2750}), 1000);
    EXPECT_EQ(decoderOffsetInPassband(5000, {-4000, 4000}), 0);

    const OpenWebRXDecoderConfig channel = readOpenWebRXDecoderConfig(valueOf(QStringLiteral(
        R"({"type":"secondary_config","value":{"if_samp_rate":12000,"secondary_bw":-31.25,"secondary_fft_size":1e300}})")));
    EXPECT_EQ(channel, (OpenWebRXDecoderConfig{12000.0, std::nullopt}));
}

TEST(OpenWebRXDecoders, DecoderOutputIsPlainBoundedText)
{
    // Line ends become "\n" also when "\r\n" is split between two pieces;
    // escape sequences, other controls and broken surrogate pairs go.
    DecodedTextCleaner cleaner;
    EXPECT_EQ(cleaner.clean(QStringLiteral("CQ\x1b[2J DE\r")), "CQ[2J DE\n");
    EXPECT_EQ(cleaner.clean(QStringLiteral("\nK\r\r")), "K\n\n");
    EXPECT_EQ(cleaner.clean(QString(QChar(0xd800)) + QStringLiteral("A\u200b") + QChar(0)), "A");

    const OpenWebRXDecode piece =
        readOpenWebRXDecode(valueOf(QStringLiteral(R"({"type":"secondary_demod","value":"%1"})").arg(QString(9000, u'x'))));
    EXPECT_EQ(std::get<QString>(piece).size(), maxDecodedPieceLength);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(
        readOpenWebRXDecode(valueOf(QStringLiteral(R"({"type":"secondary_demod","value":[1,2]})")))));

    // A message keeps markup as text, nested values as compact JSON on one
    // line, and all of it within one piece's bound.
    const auto message = std::get<DecodedMessage>(readOpenWebRXDecode(valueOf(QStringLiteral(
        R"({"type":"secondary_demod","value":{"mode":"FT8","timestamp":1733600000000,"db":-12,"dt":"<b>x</b>",
            "freq":7075250,"msg":"CQ <i>DL1ABC</i>\r\nJO62","callsign":"DL1ABC","path":["A",{"b":null,"c":true}],
            "zz":"%1"}})").arg(QString(9000, u'y')))));
    EXPECT_EQ(message.text("dt"), "<b>x</b>");
    EXPECT_EQ(message.text("msg"), "CQ <i>DL1ABC</i> JO62");
    EXPECT_EQ(message.text("path"), R"(["A",{"b":null,"c":true}])");
    qsizetype length = 0;
    for (const DecodedField& field : message.fields) {
        const QString* value = std::get_if<QString>(&field.value);
        length += field.key.size() + (value ? value->size() : 1);
    }
    EXPECT_LE(length, maxDecodedPieceLength);

    // As a row: the message's own time, audio frequency from the carrier,
    // every other field as key = value; absurd numbers are left out.
    const DecodedRow row = decodedRow(message, 7'074'000, QDateTime::fromSecsSinceEpoch(0, Qt::UTC));
    EXPECT_EQ(row.time, QDateTime::fromMSecsSinceEpoch(1'733'600'000'000, Qt::UTC));
    EXPECT_EQ(row.db, -12);
    EXPECT_EQ(row.dt, std::nullopt);
    EXPECT_EQ(row.audioHz, 1250);
    EXPECT_EQ(row.callsign, "DL1ABC");
    EXPECT_TRUE(row.details.startsWith(QStringLiteral("dt = <b>x</b>, path = [")));
    const DecodedMessage absurd{{{"timestamp", 1e300}, {"freq", -1e300}, {"msg", QStringLiteral("a,\"b\"\nc")}}};
    const QDateTime arrived = QDateTime::fromSecsSinceEpoch(1'700'000'000, Qt::UTC);
    const DecodedRow absurdRow = decodedRow(absurd, 7'074'000, arrived);
    EXPECT_EQ(absurdRow.time, arrived);
    EXPECT_EQ(absurdRow.audioHz, std::nullopt);
    EXPECT_EQ(decodedCsvLine(absurdRow),
        QStringLiteral("2023-11-14T22:13:20Z,,,,\"a,\"\"b\"\"\nc\",,,\"timestamp = 1e+300, freq = -1e+300\""));

    // What is merged for the window keeps only the newest.
    DecoderOutput merged;
    for (int i = 0; i < 30; ++i)
        merged.append(QString(5000, QChar(u'a' + i % 26)), QList<DecodedMessage>(200, absurd));
    EXPECT_EQ(merged.text.size(), maxKeptDecodedText);
    EXPECT_TRUE(merged.text.endsWith(QString(5000, u'd')));
    EXPECT_EQ(merged.messages.size(), maxKeptDecodedMessages);
}

} // namespace
