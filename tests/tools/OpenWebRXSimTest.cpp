#include "OpenWebRXWire.h"
#include "RxSimTestSupport.h"
#include "openwebrx/OpenWebRXADPCMDecoder.h"
#include "openwebrx/OpenWebRXMessage.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

using namespace std::chrono_literals;

RxSimOptions openWebRX()
{
    RxSimOptions options;
    options.kind = RxSimKind::openwebrx;
    return options;
}

// A bare client of the OpenWebRX socket: every text message parsed with the
// program's own reader, every binary frame kept as it came.
struct RawOpenWebRX {
    QWebSocket socket;
    std::vector<QString> texts;
    std::vector<QByteArray> frames;
    bool disconnected = false;
    std::optional<QAbstractSocket::SocketError> error;

    explicit RawOpenWebRX(quint16 port, const QString& path = QStringLiteral("/ws/"))
    {
        QObject::connect(&socket, &QWebSocket::textMessageReceived, [this](const QString& t) { texts.push_back(t); });
        QObject::connect(&socket, &QWebSocket::binaryMessageReceived,
                         [this](const QByteArray& m) { frames.push_back(m); });
        QObject::connect(&socket, &QWebSocket::disconnected, [this] { disconnected = true; });
        QObject::connect(&socket, QOverload<QAbstractSocket::SocketError>::of(&QWebSocket::error),
                         [this](QAbstractSocket::SocketError e) { error = e; });
        socket.open(QUrl(QStringLiteral("ws://127.0.0.1:%1%2").arg(port).arg(path)));
    }

    bool waitConnected()
    {
        return QTest::qWaitFor([this] { return socket.state() == QAbstractSocket::ConnectedState; }, 5000);
    }
    void send(const QString& text) { socket.sendTextMessage(text); }
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

// The audio of ADPCM frames decoded in order with one decoder, as a client
// does; `marks` are frame counts, and the sample count reached at each comes back.
std::vector<float> decodeAudio(const std::vector<QByteArray>& payloads, std::vector<std::size_t>* marks = nullptr)
{
    OpenWebRXADPCMDecoder decoder;
    std::vector<std::int16_t> samples;
    std::vector<std::size_t> reached;
    for (std::size_t i = 0; i < payloads.size(); ++i) {
        if (marks) {
            for (std::size_t m : *marks) {
                if (m == i)
                    reached.push_back(samples.size());
            }
        }
        decoder.decodeSynced(bytesOf(payloads[i]), samples);
    }
    if (marks)
        *marks = reached;
    std::vector<float> audio(samples.size());
    std::transform(samples.begin(), samples.end(), audio.begin(), [](std::int16_t s) { return s / 32768.0f; });
    return audio;
}

double number(const JSONValue& value, const char* key)
{
    return value.numberMember(QString::fromLatin1(key)).value_or(-1);
}

QString text(const JSONValue& value, const char* key)
{
    return value.stringMember(QString::fromLatin1(key)).value_or(QString());
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

struct Harness {
    RxSimServer server;
    quint16 port;
    std::vector<std::pair<QString, QString>> log;

    explicit Harness(RxSimOptions options = openWebRX())
        : server(std::move(options))
        , port(server.listen())
    {
        QObject::connect(&server, &RxSimServer::commandReceived,
                         [this](const QString& c, const QString& t, const QString& ts) {
                             EXPECT_EQ(ts, QStringLiteral("-"));
                             log.emplace_back(c, t);
                         });
    }
};

TEST(OpenWebRXSim, RootPageNamesOpenWebRXAndThereIsNoKiwiStatus)
{
    Harness h;
    QNetworkAccessManager nam;
    std::unique_ptr<QNetworkReply> root(nam.get(QNetworkRequest(QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(h.port)))));
    std::unique_ptr<QNetworkReply> status(
        nam.get(QNetworkRequest(QUrl(QStringLiteral("http://127.0.0.1:%1/status").arg(h.port)))));
    ASSERT_TRUE(QTest::qWaitFor([&] { return root->isFinished() && status->isFinished(); }, 5000));
    EXPECT_EQ(root->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 200);
    EXPECT_TRUE(QString::fromUtf8(root->readAll()).contains(QStringLiteral("OpenWebRX")));
    EXPECT_EQ(status->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 404);
    EXPECT_FALSE(status->rawHeader("Server").contains("KiwiSDR"));

    // Only /ws/ is a socket.
    RawOpenWebRX wrong(h.port, QStringLiteral("/ws/kiwi/1/SND"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return wrong.disconnected; }, 5000));
}

TEST(OpenWebRXSim, HandshakeThenConfigInPartsAndNoAudioBeforeStart)
{
    Harness h;
    RawOpenWebRX c(h.port);
    ASSERT_TRUE(c.waitConnected());
    // Nothing before the handshake line.
    c.send(QStringLiteral("{\"type\":\"dspcontrol\",\"action\":\"start\"}"));
    QTest::qWait(200);
    EXPECT_TRUE(c.texts.empty());

    c.handshake();
    ASSERT_TRUE(c.waitMessages(QStringLiteral("clients"), 1));
    EXPECT_EQ(c.texts.front(), QStringLiteral("CLIENT DE SERVER server=openwebrx version=1.2.2"));
    const auto handshake = c.messages(QStringLiteral("handshake"));
    ASSERT_EQ(handshake.size(), 1u);
    EXPECT_EQ(text(*handshake[0].value, "server"), QStringLiteral("openwebrx"));

    const auto configs = c.messages(QStringLiteral("config"));
    ASSERT_EQ(configs.size(), 2u);
    const JSONValue& global = *configs[0].value;
    EXPECT_EQ(number(global, "fft_size"), 4096);
    EXPECT_EQ(number(global, "max_clients"), 4);
    EXPECT_EQ(text(global, "audio_compression"), QStringLiteral("adpcm"));
    EXPECT_EQ(text(global, "fft_compression"), QStringLiteral("adpcm"));
    EXPECT_FALSE(global.member(QStringLiteral("center_freq")));
    EXPECT_FALSE(global.member(QStringLiteral("samp_rate")));
    const JSONValue& band = *configs[1].value;
    EXPECT_EQ(number(band, "center_freq"), 7100000);
    EXPECT_EQ(number(band, "samp_rate"), 250000);
    EXPECT_EQ(number(band, "start_offset_freq"), 100000);
    EXPECT_EQ(text(band, "start_mod"), QStringLiteral("lsb"));
    EXPECT_EQ(text(band, "sdr_id"), QStringLiteral("rxsim"));
    EXPECT_EQ(text(band, "profile_id"), QStringLiteral("40m"));

    const auto details = c.messages(QStringLiteral("receiver_details"));
    ASSERT_EQ(details.size(), 1u);
    EXPECT_FALSE(text(*details[0].value, "receiver_name").isEmpty());
    EXPECT_TRUE(details[0].value->member(QStringLiteral("receiver_gps")));
    const auto profiles = c.messages(QStringLiteral("profiles"));
    ASSERT_EQ(profiles.size(), 1u);
    ASSERT_GE(profiles[0].value->asArray()->size(), 2u);
    EXPECT_EQ(text(profiles[0].value->asArray()->at(0), "id"), QStringLiteral("rxsim|40m"));
    EXPECT_EQ(text(profiles[0].value->asArray()->at(1), "id"), QStringLiteral("rxsim|31m"));
    const auto modes = c.messages(QStringLiteral("modes"));
    ASSERT_EQ(modes.size(), 1u);
    QStringList analog;
    for (const JSONValue& m : *modes[0].value->asArray()) {
        if (text(m, "type") == QLatin1String("analog"))
            analog << text(m, "modulation");
    }
    EXPECT_EQ(analog, (QStringList{"am", "sam", "lsb", "usb", "cw", "nfm", "wfm"}));
    EXPECT_EQ(c.messages(QStringLiteral("clients"))[0].value->asNumber(), 1.0);

    // Waterfall at once: 4096 levels across 6975..7225 kHz, near the noise floor.
    ASSERT_TRUE(c.waitFrames(1, 3));
    const std::vector<float> levels = compressedLevels(c.framesOfType(1).back());
    ASSERT_EQ(levels.size(), 4096u);
    EXPECT_NEAR(median(levels), -110, 4);

    // No audio and no S-meter until the demodulator is started.
    QTest::qWait(500);
    EXPECT_TRUE(c.framesOfType(2).empty());
    EXPECT_TRUE(c.messages(QStringLiteral("smeter")).empty());
    c.send(openWebRXDSPStart());
    ASSERT_TRUE(c.waitFrames(2, 10));
    ASSERT_TRUE(c.waitMessages(QStringLiteral("smeter"), 1));
    EXPECT_GT(c.messages(QStringLiteral("smeter"))[0].value->asNumber().value_or(0), 0);

    ASSERT_FALSE(h.log.empty());
    EXPECT_EQ(h.log.front().first, QStringLiteral("OWRX"));
    EXPECT_EQ(h.log[1].second, openWebRXHandshakeLine());
    EXPECT_EQ(h.log.back().second, openWebRXDSPStart());
}

TEST(OpenWebRXSim, ProfileAudioAndTuningFollowTheClient)
{
    Harness h;
    RawOpenWebRX c(h.port);
    ASSERT_TRUE(c.waitConnected());
    c.handshake();
    ASSERT_TRUE(c.waitMessages(QStringLiteral("config"), 2));

    c.send(openWebRXSelectProfile(QStringLiteral("rxsim|nonesuch")));
    c.send(openWebRXSelectProfile(QStringLiteral("rxsim|31m")));
    ASSERT_TRUE(c.waitMessages(QStringLiteral("config"), 3));
    const JSONValue band = *c.messages(QStringLiteral("config"))[2].value;
    EXPECT_EQ(number(band, "center_freq"), 9600000);
    EXPECT_EQ(number(band, "start_freq"), 9500000);
    EXPECT_EQ(text(band, "start_mod"), QStringLiteral("am"));
    EXPECT_EQ(text(band, "profile_id"), QStringLiteral("31m"));
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
    c.send(QStringLiteral("{\"type\":\"dspcontrol\",\"params\":{\"mod\":\"usb\",\"offset_freq\":-101000.5,"
                          "\"low_cut\":300,\"high_cut\":2700,\"squelch_level\":-150}}"));
    c.send(QStringLiteral("{\"type\":\"dspcontrol\",\"params\":{\"mod\":\"usb\",\"offset_freq\":-101000.0,"
                          "\"low_cut\":300,\"high_cut\":2700,\"squelch_level\":-150}}"));
    c.send(QStringLiteral("{\"type\":\"dspcontrol\",\"params\":{\"mod\":\"usb\",\"offset_freq\":\"-101000\","
                          "\"low_cut\":300,\"high_cut\":2700,\"squelch_level\":-150}}"));
    QTest::qWait(1200);
    // USB 1 kHz below the carrier: the carrier becomes a 1000 Hz tone.
    const std::size_t retuned = c.frames.size();
    c.send(openWebRXDSPControl(QStringLiteral("usb"), -101000, 300, 2700));
    QTest::qWait(1200);

    std::vector<QByteArray> payloads;
    std::vector<std::size_t> marks;
    for (std::size_t i = 0; i < c.frames.size(); ++i) {
        if (i == rejected || i == retuned)
            marks.push_back(payloads.size());
        if (c.frames[i][0] == 2)
            payloads.push_back(c.frames[i].mid(1));
    }
    ASSERT_EQ(marks.size(), 2u);
    const std::vector<float> audio = decodeAudio(payloads, &marks);
    ASSERT_EQ(marks.size(), 2u);
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
    QByteArray stream;
    std::vector<qsizetype> boundaries;
    for (const QByteArray& p : payloads) {
        stream += p;
        boundaries.push_back(stream.size());
    }
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

TEST(OpenWebRXSim, HdPcmAudioAndFloatWaterfall)
{
    RxSimOptions options = openWebRX();
    options.hdAudio = true;
    options.audio = RxSimAudio::pcm16;
    options.waterfallFormat = RxSimWaterfallFormat::float32;
    Harness h(options);
    RawOpenWebRX c(h.port);
    ASSERT_TRUE(c.waitConnected());
    c.handshake();
    ASSERT_TRUE(c.waitMessages(QStringLiteral("config"), 2));
    const JSONValue global = *c.messages(QStringLiteral("config"))[0].value;
    EXPECT_EQ(text(global, "audio_compression"), QStringLiteral("none"));
    EXPECT_EQ(text(global, "fft_compression"), QStringLiteral("none"));

    ASSERT_TRUE(c.waitFrames(1, 1));
    const QByteArray row = c.framesOfType(1).front();
    ASSERT_EQ(row.size(), 4096 * 4);
    std::vector<float> levels(4096);
    std::memcpy(levels.data(), row.constData(), static_cast<std::size_t>(row.size()));
    EXPECT_NEAR(median(levels), -110, 4);

    c.send(openWebRXSelectProfile(QStringLiteral("rxsim|31m")));
    ASSERT_TRUE(c.waitMessages(QStringLiteral("config"), 3));
    const std::size_t before = c.frames.size();
    ASSERT_TRUE(QTest::qWaitFor([&] { return c.framesOfType(1, before).size() >= 1; }, 5000));
    const QByteArray band = c.framesOfType(1, before).front();
    std::vector<float> bandLevels(4096);
    std::memcpy(bandLevels.data(), band.constData(), bandLevels.size() * 4);
    EXPECT_NEAR(bandLevels[409], -64, 3); // the -60 dBm carrier, spread over five bins
    EXPECT_NEAR(median(bandLevels), -110, 4);

    c.send(openWebRXDSPControl(QStringLiteral("am"), -100000, -4000, 4000));
    c.send(openWebRXDSPStart());
    ASSERT_TRUE(QTest::qWaitFor([&] { return c.framesOfType(4).size() >= 60; }, 5000));
    EXPECT_TRUE(c.framesOfType(2).empty());
    std::vector<float> audio;
    for (const QByteArray& p : c.framesOfType(4)) {
        ASSERT_EQ(p.size() % 2, 0);
        for (qsizetype i = 0; i + 1 < p.size(); i += 2)
            audio.push_back(static_cast<std::int16_t>(std::uint8_t(p[i]) | (std::uint8_t(p[i + 1]) << 8)) / 32768.0f);
    }
    const std::span<const float> settled(audio.data() + audio.size() / 2, audio.size() / 2);
    EXPECT_GT(tonePower(settled, 400, 48000), 20 * tonePower(settled, 1000, 48000));
}

TEST(OpenWebRXSim, RefusalsAnswerTheHandshake)
{
    struct Case {
        bool backoff;
        std::optional<QString> reason;
        std::optional<QString> sdrError;
    };
    for (const Case& k : {Case{true, QStringLiteral("Too many users"), {}}, Case{true, {}, {}},
                          Case{false, {}, QStringLiteral("Device not found")}}) {
        RxSimOptions options = openWebRX();
        options.backoff = k.backoff;
        options.backoffReason = k.reason;
        options.sdrError = k.sdrError;
        Harness h(options);
        RawOpenWebRX c(h.port);
        ASSERT_TRUE(c.waitConnected());
        c.handshake();
        if (k.backoff) {
            ASSERT_TRUE(c.waitMessages(QStringLiteral("backoff"), 1));
            EXPECT_EQ(c.messages(QStringLiteral("backoff"))[0].reason, k.reason);
            EXPECT_TRUE(QTest::qWaitFor([&] { return c.disconnected; }, 5000));
            EXPECT_TRUE(c.messages(QStringLiteral("config")).empty());
        } else {
            ASSERT_TRUE(c.waitMessages(QStringLiteral("sdr_error"), 1));
            EXPECT_EQ(c.messages(QStringLiteral("sdr_error"))[0].value->asString(), k.sdrError);
            QTest::qWait(300);
            EXPECT_EQ(c.messages(QStringLiteral("config")).size(), 1u); // the global part only
            EXPECT_TRUE(c.frames.empty());
        }
    }
}

TEST(OpenWebRXSim, OneListenerTooManyGetsBackoffAndDropAfterCutsTheSocket)
{
    RxSimOptions options = openWebRX();
    options.rxChannels = 1;
    options.dropAfter = 800ms;
    Harness h(options);
    RawOpenWebRX first(h.port);
    ASSERT_TRUE(first.waitConnected());
    first.handshake();
    ASSERT_TRUE(first.waitMessages(QStringLiteral("config"), 2));
    EXPECT_EQ(number(*first.messages(QStringLiteral("config"))[0].value, "max_clients"), 1);

    RawOpenWebRX second(h.port);
    ASSERT_TRUE(second.waitConnected());
    second.handshake();
    ASSERT_TRUE(second.waitMessages(QStringLiteral("backoff"), 1));
    EXPECT_TRUE(second.messages(QStringLiteral("backoff"))[0].reason.has_value());

    EXPECT_TRUE(QTest::qWaitFor([&] { return first.disconnected; }, 3000));
    EXPECT_EQ(first.error, QAbstractSocket::RemoteHostClosedError);
}

TEST(OpenWebRXSimWire, OnlyIntegerLiteralsAreIntegers)
{
    const QString key = QStringLiteral("offset_freq");
    const std::pair<const char*, bool> cases[] = {
        {R"({"params":{"offset_freq":-70500}})", true},
        {R"({"params":{"offset_freq" : 0 ,"mod":"am"}})", true},
        {R"({"params":{"offset_freq":-70500.0}})", false},
        {R"({"params":{"offset_freq":7e3}})", false},
        {R"({"params":{"offset_freq":"7000"}})", false},
        {R"({"params":{"offset_freq":007}})", false},
        {R"({"params":{"low_cut":300}})", false},
    };
    for (const auto& [json, integer] : cases)
        EXPECT_EQ(isJsonIntegerMember(QString::fromLatin1(json), key), integer) << json;
}

TEST(OpenWebRXSimCommandLine, SelectsTheKindAndItsBehaviour)
{
    const auto parsed = parseRxSimCommandLine(
        {QStringLiteral("rxsim"), QStringLiteral("--kind"), QStringLiteral("openwebrx"), QStringLiteral("--fft"),
         QStringLiteral("float"), QStringLiteral("--hd-audio"), QStringLiteral("--backoff"),
         QStringLiteral("Too many users"), QStringLiteral("--sdr-error"), QStringLiteral("gone")});
    ASSERT_TRUE(std::holds_alternative<RxSimOptions>(parsed));
    const auto& o = std::get<RxSimOptions>(parsed);
    EXPECT_EQ(o.kind, RxSimKind::openwebrx);
    EXPECT_EQ(o.waterfallFormat, RxSimWaterfallFormat::float32);
    EXPECT_TRUE(o.hdAudio);
    EXPECT_TRUE(o.backoff);
    EXPECT_EQ(o.backoffReason, QStringLiteral("Too many users"));
    EXPECT_EQ(o.sdrError, QStringLiteral("gone"));

    const auto plain = std::get<RxSimOptions>(
        parseRxSimCommandLine({QStringLiteral("rxsim"), QStringLiteral("--backoff-no-reason")}));
    EXPECT_EQ(plain.kind, RxSimKind::kiwisdr);
    EXPECT_TRUE(plain.backoff);
    EXPECT_FALSE(plain.backoffReason);

    for (const QStringList& bad : {QStringList{"--kind", "websdr"}, QStringList{"--fft", "png"},
                                   QStringList{"--backoff", "x", "--backoff-no-reason"}}) {
        const auto result = parseRxSimCommandLine(QStringList{QStringLiteral("rxsim")} + bad);
        ASSERT_TRUE(std::holds_alternative<RxSimUsage>(result)) << bad.join(u' ').toStdString();
        EXPECT_TRUE(std::get<RxSimUsage>(result).isError);
    }
}

} // namespace
