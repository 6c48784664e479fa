#include "RxSimTestSupport.h"
#include "audio/IMAADPCMDecoder.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QUrl>

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

namespace {

using namespace std::chrono_literals;

struct LoggedCommand {
    QString channel, text, timestamp;
};

struct Harness {
    RxSimServer server;
    quint16 port;
    std::vector<LoggedCommand> log;

    explicit Harness(RxSimOptions options = {})
        : server(std::move(options))
        , port(server.listen())
    {
        QObject::connect(&server, &RxSimServer::commandReceived,
                         [this](const QString& c, const QString& t, const QString& ts) { log.push_back({c, t, ts}); });
    }
};

TEST(RxSimServer, SoundChannelFollowsARealReceiversOrderAndPlaysTheTunedStation)
{
    Harness h;
    ASSERT_NE(h.port, 0);
    RawKiwiChannel snd(h.port, QStringLiteral("/ws/kiwi/1733390000123/SND"));
    ASSERT_TRUE(snd.waitConnected());

    // The sample rate comes at once, before auth, and nothing else of note.
    ASSERT_TRUE(snd.waitParam(QStringLiteral("sample_rate")));
    EXPECT_EQ(snd.param(QStringLiteral("sample_rate"))->value, QStringLiteral("12001.188119"));
    EXPECT_EQ(snd.param(QStringLiteral("audio_rate"))->value, QStringLiteral("12000"));
    QTest::qWait(100);
    EXPECT_FALSE(snd.param(QStringLiteral("badp")));

    snd.send(QStringLiteral("SET auth t=kiwi p="));
    ASSERT_TRUE(snd.waitParam(QStringLiteral("load_cfg")));
    EXPECT_EQ(snd.param(QStringLiteral("badp"))->value, QStringLiteral("0"));
    // Every MSG is its own WebSocket message, except the two pairs a real
    // receiver sends together (audio_init with audio_rate, the versions).
    EXPECT_EQ(snd.frames.size(), snd.params().size() - 2);

    // Tuning and AGC alone do not start the audio.
    snd.send(QStringLiteral("SET mod=am low_cut=-4900 high_cut=4900 freq=9500.000"));
    snd.send(QStringLiteral("SET agc=1 hang=0 thresh=-100 slope=6 decay=1000 manGain=50"));
    QTest::qWait(500);
    EXPECT_TRUE(snd.framesOf<KiwiSoundFrame>().empty());

    snd.send(QStringLiteral("SET AR OK in=12000 out=44100"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return snd.framesOf<KiwiSoundFrame>().size() >= 8; }, 5000));

    // The ADPCM state is announced before the first frame; decode with it.
    const auto state = snd.param(QStringLiteral("audio_adpcm_state"));
    ASSERT_TRUE(state);
    const QStringList pair = state->value->split(u',');
    ASSERT_EQ(pair.size(), 2);
    IMAADPCMDecoder decoder{pair[0].toInt(), pair[1].toInt()};
    std::vector<float> audio;
    std::uint32_t expectedSequence = 0;
    for (const QByteArray& bytes : snd.frames) {
        const auto m = parse(bytes);
        if (!m || !std::holds_alternative<KiwiSoundFrame>(*m))
            continue;
        const auto& frame = std::get<KiwiSoundFrame>(*m);
        EXPECT_EQ(frame.flags, KiwiSoundFrame::flagADPCM);
        EXPECT_EQ(frame.payload.size(), 1024u);
        EXPECT_EQ(frame.sequence, expectedSequence++);
        EXPECT_NEAR(frame.rssi, -58.8, 1.0);
        const std::vector<float> samples = decoder.decodeBlock(frame.payload);
        audio.insert(audio.end(), samples.begin(), samples.end());
    }
    const double total = std::inner_product(audio.begin(), audio.end(), audio.begin(), 0.0) / audio.size();
    const double at400 = tonePower(audio, 400, 12000) / total;
    EXPECT_GT(at400, 0.05 * audio.size());
    EXPECT_GT(at400, 20 * tonePower(audio, 550, 12000) / total);

    // Every command was reported, in order, with the channel and timestamp.
    ASSERT_EQ(h.log.size(), 4u);
    EXPECT_EQ(h.log[1].text, QStringLiteral("SET mod=am low_cut=-4900 high_cut=4900 freq=9500.000"));
    EXPECT_EQ(h.log[1].channel, QStringLiteral("SND"));
    EXPECT_EQ(h.log[1].timestamp, QStringLiteral("1733390000123"));
}

TEST(RxSimServer, Pcm16FramesCarryBigEndianSamples)
{
    RxSimOptions options;
    options.audio = RxSimAudio::pcm16;
    Harness h(options);
    RawKiwiChannel snd(h.port, QStringLiteral("/ws/kiwi/7/SND"));
    ASSERT_TRUE(snd.waitConnected());
    for (const char* command : {"SET auth t=kiwi p=", "SET mod=usb low_cut=300 high_cut=2700 freq=12000.000",
             "SET agc=1 hang=0 thresh=-100 slope=6 decay=1000 manGain=50", "SET AR OK in=12000 out=44100"})
        snd.send(QString::fromLatin1(command));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !snd.framesOf<KiwiSoundFrame>().empty(); }, 5000));
    const KiwiSoundFrame frame = snd.framesOf<KiwiSoundFrame>().front();
    EXPECT_EQ(frame.flags, 0);
    EXPECT_EQ(frame.payload.size(), 4096u);
    EXPECT_FALSE(snd.param(QStringLiteral("audio_adpcm_state")));
    EXPECT_NEAR(frame.rssi, -116.2, 0.2);
}

TEST(RxSimServer, WaterfallRowsFollowZoomAndSurviveNonsense)
{
    Harness h;
    RawKiwiChannel wf(h.port, QStringLiteral("/ws/kiwi/42/W/F"));
    ASSERT_TRUE(wf.waitConnected());
    wf.send(QStringLiteral("SET auth t=kiwi p="));
    ASSERT_TRUE(wf.waitParam(QStringLiteral("bandwidth")));
    EXPECT_EQ(wf.param(QStringLiteral("badp"))->value, QStringLiteral("0"));
    EXPECT_EQ(wf.param(QStringLiteral("wf_fps"))->value, QStringLiteral("23"));
    EXPECT_EQ(wf.param(QStringLiteral("zoom_max"))->value, QStringLiteral("14"));
    EXPECT_TRUE(wf.param(QStringLiteral("zoom_cap")));
    EXPECT_TRUE(wf.param(QStringLiteral("wf_chans")));

    // Zoom 0 shows the whole band: the AM station at 9.5 MHz stands out.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !wf.framesOf<KiwiWaterfallFrame>().empty(); }, 5000));
    const KiwiWaterfallFrame whole = wf.framesOf<KiwiWaterfallFrame>().front();
    EXPECT_EQ(whole.zoom, 0);
    EXPECT_EQ(whole.xBin, 0u);
    ASSERT_EQ(whole.bins.size(), 1024u);
    std::vector<std::uint8_t> sorted = whole.bins;
    std::nth_element(sorted.begin(), sorted.begin() + 512, sorted.end());
    EXPECT_NEAR(sorted[512], 145, 3);  // -110 dB
    EXPECT_GT(whole.bins[324], 185);   // 9.5 MHz, about -60 dB

    struct Ask {
        const char* command;
        int zoom;
        std::uint32_t xBin;
    };
    for (const Ask& ask : {Ask{"SET zoom=3 start=4194304", 3, 4194304},
                           Ask{"SET zoom=99 start=-1e300", 14, 0},
                           Ask{"SET zoom=14 start=1e300", 14, 16777216 - 1024},
                           Ask{"SET zoom=2 start=nan", 14, 16777216 - 1024},
                           Ask{"SET zoom=-5 start=100", 0, 0}}) {
        wf.frames.clear();
        wf.send(QString::fromLatin1(ask.command));
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                const auto rows = wf.framesOf<KiwiWaterfallFrame>();
                return rows.size() >= 2 && rows.back().zoom == ask.zoom && rows.back().xBin == ask.xBin;
            },
            3000))
            << ask.command;
        EXPECT_EQ(wf.framesOf<KiwiWaterfallFrame>().back().bins.size(), 1024u);
    }
}

TEST(RxSimServer, FastWaterfallKeepsFlowingPastItsOutputBound)
{
    // More rows than the 256 KiB output bound holds: rows keep coming only if
    // written bytes are really taken off the backlog.
    RxSimOptions options;
    options.fast = true;
    Harness h(options);
    RawKiwiChannel wf(h.port, QStringLiteral("/ws/kiwi/8/W/F"));
    ASSERT_TRUE(wf.waitConnected());
    wf.send(QStringLiteral("SET auth t=kiwi p="));
    EXPECT_TRUE(QTest::qWaitFor([&] { return wf.frames.size() > 600; }, 10000)) << wf.frames.size();
}

TEST(RxSimServer, StatusPageNamesKiwiSDRAndCanBeSlowOrSilent)
{
    struct Case {
        std::optional<std::chrono::milliseconds> delay;
        bool never;
        QNetworkReply::NetworkError error;
    };
    QNetworkAccessManager nam;
    for (const Case& c : {Case{{}, false, QNetworkReply::NoError}, Case{600ms, false, QNetworkReply::NoError},
             Case{{}, true, QNetworkReply::OperationCanceledError}}) {
        RxSimOptions options;
        options.statusDelay = c.delay;
        options.statusNever = c.never;
        Harness h(options);
        QElapsedTimer clock;
        clock.start();
        QNetworkRequest request(QUrl(QStringLiteral("http://127.0.0.1:%1/status").arg(h.port)));
        request.setTransferTimeout(c.never ? 500 : 5000);
        std::unique_ptr<QNetworkReply> reply(nam.get(request));
        ASSERT_TRUE(QTest::qWaitFor([&] { return reply->isFinished(); }, 5000));
        EXPECT_EQ(reply->error(), c.error);
        EXPECT_GE(clock.elapsed(), c.delay ? 550 : 0);
        if (c.error == QNetworkReply::NoError) {
            EXPECT_TRUE(reply->rawHeader("Server").startsWith("KiwiSDR_Mongoose/"));
            EXPECT_TRUE(reply->readAll().split('\n').contains("sw_version=KiwiSDR_v1.560"));
        }
    }
}

TEST(RxSimCommandLine, ReadsEveryKindOfFlagAndRejectsBadValues)
{
    const auto parse = [](QStringList args) {
        args.prepend(QStringLiteral("rxsim"));
        return parseRxSimCommandLine(args);
    };
    const auto o = std::get<RxSimOptions>(parse({"--port", "8073", "--audio", "pcm16", "--kick", "bye", "--kick-after",
        "1.5", "--too-busy-after", "2", "--down", "--kind", "openwebrx", "--fft", "float", "--hd-audio", "--backoff",
        "Too many users", "--sdr-error", "gone"}));
    EXPECT_EQ(o.port, 8073);
    EXPECT_EQ(o.audio, RxSimAudio::pcm16);
    EXPECT_EQ(o.kick, QStringLiteral("bye"));
    EXPECT_EQ(o.kickAfter, 1500ms);
    EXPECT_EQ(o.tooBusyAfter, 2);
    EXPECT_TRUE(o.down && o.hdAudio && o.backoff && !o.monitor);
    EXPECT_EQ(o.kind, RxSimKind::openwebrx);
    EXPECT_EQ(o.waterfallFormat, RxSimWaterfallFormat::float32);
    EXPECT_EQ(o.backoffReason, QStringLiteral("Too many users"));
    EXPECT_EQ(o.sdrError, QStringLiteral("gone"));

    const auto plain = std::get<RxSimOptions>(parse({"--backoff-no-reason"}));
    EXPECT_EQ(plain.kind, RxSimKind::kiwisdr);
    EXPECT_TRUE(plain.backoff);
    EXPECT_FALSE(plain.backoffReason);

    for (const QStringList& bad : {QStringList{"--port", "70000"}, QStringList{"--wf-fps", "0"},
             QStringList{"--kick-after", "nan"}, QStringList{"--audio", "mp3"}, QStringList{"--drop-after", "-1"},
             QStringList{"--unknown"}, QStringList{"--kind", "websdr"}, QStringList{"--fft", "png"},
             QStringList{"--backoff", "x", "--backoff-no-reason"}}) {
        const auto result = parse(bad);
        ASSERT_TRUE(std::holds_alternative<RxSimUsage>(result)) << bad.join(u' ').toStdString();
        EXPECT_TRUE(std::get<RxSimUsage>(result).isError);
    }
    // The one who typed a wrong word learns the right ones.
    const auto wrongWord = parse({"--audio", "mp3"});
    ASSERT_TRUE(std::holds_alternative<RxSimUsage>(wrongWord));
    EXPECT_TRUE(std::get<RxSimUsage>(wrongWord).text.contains(u"--audio takes adpcm or pcm16"));
}

} // namespace
