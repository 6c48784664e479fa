#include "OpenWebRXWire.h"
#include "RxSimTestSupport.h"
#include "openwebrx/OpenWebRXADPCMDecoder.h"
#include "openwebrx/OpenWebRXMessage.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

RxSimOptions openWebRX()
{
    RxSimOptions options;
    options.kind = RxSimKind::openwebrx;
    return options;
}

// The OpenWebRX socket: text messages read with the program's own reader.
struct RawOpenWebRX : RawKiwiChannel {
    explicit RawOpenWebRX(quint16 port, const QString& path = QStringLiteral("/ws/")) : RawKiwiChannel(port, path) { }

    void handshake()
    {
        send(openWebRXHandshakeLine());
        send(openWebRXConnectionProperties());
    }

    std::vector<OpenWebRXMessage> messages(const QString& type) const
    {
        std::vector<OpenWebRXMessage> out;
        for (const QString& t : texts) {
            if (auto m = parseOpenWebRXText(t); m && m->type == type)
                out.push_back(std::move(*m));
        }
        return out;
    }
    bool waitMessages(const QString& type, std::size_t count, int ms = 5000)
    {
        return QTest::qWaitFor([&] { return messages(type).size() >= count; }, ms);
    }

    std::vector<QByteArray> framesOfType(char type, std::size_t from = 0) const
    {
        std::vector<QByteArray> out;
        for (std::size_t i = from; i < frames.size(); ++i) {
            if (!frames[i].isEmpty() && frames[i][0] == type)
                out.push_back(frames[i].mid(1));
        }
        return out;
    }
    bool waitFrames(char type, std::size_t count, int ms = 5000)
    {
        return QTest::qWaitFor([&] { return framesOfType(type).size() >= count; }, ms);
    }
};

std::span<const std::uint8_t> bytesOf(const QByteArray& payload)
{
    return {reinterpret_cast<const std::uint8_t*>(payload.constData()), static_cast<std::size_t>(payload.size())};
}

// Levels of one waterfall payload: ADPCM after the ten warm-up samples.
std::vector<float> compressedLevels(const QByteArray& payload)
{
    const std::vector<std::int16_t> samples = OpenWebRXADPCMDecoder{}.decodePlain(bytesOf(payload));
    std::vector<float> levels;
    for (std::size_t i = 10; i < samples.size(); ++i)
        levels.push_back(samples[i] / 100.0f);
    return levels;
}

float median(std::vector<float> values)
{
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2), values.end());
    return values[values.size() / 2];
}

TEST(OpenWebRXSim, HandshakeConfigThenProfileAudioAndTuningFollowTheClient)
{
    RxSimServer server(openWebRX());
    RawOpenWebRX c(server.listen());
    ASSERT_TRUE(c.waitConnected());
    // Nothing before the handshake line.
    c.send(openWebRXDSPStart());
    QTest::qWait(200);
    EXPECT_TRUE(c.texts.empty());

    c.handshake();
    ASSERT_TRUE(c.waitMessages(QStringLiteral("clients"), 1));
    EXPECT_EQ(c.texts.front(), QStringLiteral("CLIENT DE SERVER server=openwebrx version=1.2.2"));
    // The config comes in parts: the band only in the second.
    const auto configs = c.messages(QStringLiteral("config"));
    ASSERT_EQ(configs.size(), 2u);
    EXPECT_FALSE(configs[0].value->member(QStringLiteral("center_freq")));
    EXPECT_TRUE(configs[1].value->member(QStringLiteral("center_freq")));

    // Waterfall at once: 4096 levels across 6975..7225 kHz, near the noise
    // floor; no audio and no S-meter until the demodulator is started.
    ASSERT_TRUE(c.waitFrames(1, 3));
    const std::vector<float> quiet = compressedLevels(c.framesOfType(1).back());
    ASSERT_EQ(quiet.size(), 4096u);
    EXPECT_NEAR(median(quiet), -110, 4);
    QTest::qWait(300);
    EXPECT_TRUE(c.framesOfType(2).empty());
    EXPECT_TRUE(c.messages(QStringLiteral("smeter")).empty());

    c.send(openWebRXSelectProfile(QStringLiteral("rxsim|nonesuch")));
    c.send(openWebRXSelectProfile(QStringLiteral("rxsim|31m")));
    ASSERT_TRUE(c.waitMessages(QStringLiteral("config"), 3));
    // The new band's waterfall shows the 9500 kHz carrier (bin 409 of 4096);
    // ADPCM follows the rise within a few bins.
    const std::size_t before = c.frames.size();
    ASSERT_TRUE(QTest::qWaitFor([&] { return c.framesOfType(1, before).size() >= 2; }, 5000));
    const std::vector<float> levels = compressedLevels(c.framesOfType(1, before).back());
    EXPECT_GT(*std::max_element(levels.begin() + 405, levels.begin() + 416), -75);

    // AM on the 9500 kHz station: its 400 Hz tone.
    c.send(openWebRXDSPControl(QStringLiteral("am"), -100000, -4000, 4000));
    c.send(openWebRXDSPStart());
    QTest::qWait(1200);
    // Not JSON integers: the whole message is refused, the station stays.
    const std::size_t rejected = c.frames.size();
    for (const char* offset : {"-101000.5", "-101000.0", "\"-101000\""}) {
        c.send(QStringLiteral(R"({"type":"dspcontrol","params":{"mod":"usb","offset_freq":%1,"low_cut":300,)"
                              R"("high_cut":2700,"squelch_level":-150}})").arg(QLatin1String(offset)));
    }
    QTest::qWait(1200);
    // USB 1 kHz below the carrier: the carrier becomes a 1000 Hz tone.
    const std::size_t retuned = c.frames.size();
    c.send(openWebRXDSPControl(QStringLiteral("usb"), -101000, 300, 2700));
    QTest::qWait(1200);

    // One decoder across all frames, as a client; the stream kept to find its state blocks.
    OpenWebRXADPCMDecoder decoder;
    std::vector<std::int16_t> samples;
    std::vector<std::size_t> marks;
    QByteArray stream;
    std::vector<qsizetype> boundaries;
    for (std::size_t i = 0; i < c.frames.size(); ++i) {
        if (i == rejected || i == retuned)
            marks.push_back(samples.size());
        if (c.frames[i][0] != 2)
            continue;
        const QByteArray payload = c.frames[i].mid(1);
        decoder.decodeSynced(bytesOf(payload), samples);
        stream += payload;
        boundaries.push_back(stream.size());
    }
    ASSERT_EQ(marks.size(), 2u);
    const std::vector<float> audio(samples.begin(), samples.end());
    // Most of 3.6 s of 12 kHz audio; none lost to split state blocks.
    EXPECT_GT(audio.size(), 30000u);
    const auto dominant = [&](std::size_t from, std::size_t to) {
        // Skip the first half of each stretch: the AGC settles there.
        const std::span<const float> part(audio.data() + from + (to - from) / 2, (to - from) / 2);
        const double p400 = tonePower(part, 400, 12000);
        const double p1000 = tonePower(part, 1000, 12000);
        return p400 > 20 * p1000 ? 400 : p1000 > 20 * p400 ? 1000 : 0;
    };
    EXPECT_EQ(dominant(0, marks[0]), 400);
    EXPECT_EQ(dominant(marks[0], marks[1]), 400);
    EXPECT_EQ(dominant(marks[1], audio.size()), 1000);

    // Every state block follows 1001 code bytes, and some straddle two messages.
    std::vector<qsizetype> syncs;
    for (qsizetype at = stream.indexOf("SYNC"); at >= 0; at = stream.indexOf("SYNC", at + 1))
        syncs.push_back(at);
    ASSERT_GT(syncs.size(), 10u);
    EXPECT_EQ(syncs[0], 0);
    for (std::size_t i = 1; i < syncs.size(); ++i)
        ASSERT_EQ(syncs[i] - syncs[i - 1], 1009) << i;
    const auto straddled = std::count_if(syncs.begin(), syncs.end(), [&](qsizetype s) {
        return std::any_of(boundaries.begin(), boundaries.end(), [s](qsizetype b) { return b > s && b < s + 8; });
    });
    EXPECT_GE(straddled, 3);

    // The S-meter is linear power: the -60 dBm carrier in the AM passband.
    const auto smeters = c.messages(QStringLiteral("smeter"));
    ASSERT_GE(smeters.size(), 5u);
    EXPECT_NEAR(10 * std::log10(smeters[4].value->asNumber().value_or(1e-30)), -60, 3);
}

TEST(OpenWebRXSim, AsVersion1_1RepliesLastAndSendsOnePlainStreamInShortFrames)
{
    RxSimOptions options = openWebRX();
    options.openWebRXVersion = RxSimOpenWebRXVersion::v1_1;
    RxSimServer server(options);
    RawOpenWebRX c(server.listen());
    ASSERT_TRUE(c.waitConnected());
    c.handshake();
    ASSERT_TRUE(c.waitMessages(QStringLiteral("handshake"), 1));
    EXPECT_EQ(c.texts.back(), QStringLiteral("CLIENT DE SERVER server=openwebrx version=v1.1.0"));
    EXPECT_EQ(c.messages(QStringLiteral("clients")).size(), 1u) << "before the reply";

    c.send(openWebRXDSPStart());
    ASSERT_TRUE(c.waitFrames(2, 40));
    QByteArray stream;
    for (const QByteArray& payload : c.framesOfType(2)) {
        EXPECT_EQ(payload.size(), 32);
        stream += payload;
    }
    EXPECT_EQ(stream.indexOf("SYNC"), -1);
}

} // namespace
