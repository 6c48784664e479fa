#include "RxSimTestSupport.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(RxSimServer, SoundChannelFollowsARealReceiversOrder)
{
    for (const RxSimAudio format : {RxSimAudio::adpcm, RxSimAudio::pcm16}) {
        const bool adpcm = format == RxSimAudio::adpcm;
        SCOPED_TRACE(adpcm ? "adpcm" : "pcm16");
        RxSimOptions options;
        options.audio = format;
        RxSimServer server(options);
        RawKiwiChannel snd(server.listen(), QStringLiteral("/ws/kiwi/1733390000123/SND"));
        ASSERT_TRUE(snd.waitConnected());

        // The sample rate comes at once, before auth; the verdict only after it.
        ASSERT_TRUE(snd.waitParam(QStringLiteral("sample_rate")));
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
        ASSERT_TRUE(QTest::qWaitFor([&] { return snd.framesOf<KiwiSoundFrame>().size() >= 4; }, 5000));

        // The ADPCM state is announced before the first frame. What the frames
        // sound like is heard through the whole chain in the rxprobe tests.
        EXPECT_EQ(snd.param(QStringLiteral("audio_adpcm_state")).has_value(), adpcm);
        std::uint32_t expectedSequence = 0;
        for (const KiwiSoundFrame& frame : snd.framesOf<KiwiSoundFrame>()) {
            EXPECT_EQ(frame.flags, adpcm ? KiwiSoundFrame::flagADPCM : 0);
            EXPECT_EQ(frame.payload.size(), adpcm ? 1024u : 4096u);
            EXPECT_EQ(frame.sequence, expectedSequence++);
            EXPECT_NEAR(frame.rssi, -58.8, 1.0);
        }
    }
}

TEST(RxSimServer, WaterfallRowsShowTheBandAndSurviveNonsense)
{
    RxSimServer server({});
    RawKiwiChannel wf(server.listen(), QStringLiteral("/ws/kiwi/42/W/F"));
    ASSERT_TRUE(wf.waitConnected());
    wf.send(QStringLiteral("SET auth t=kiwi p="));

    // Zoom 0 shows the whole band: the AM station at 9.5 MHz stands out.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !wf.framesOf<KiwiWaterfallFrame>().empty(); }, 5000));
    const KiwiWaterfallFrame whole = wf.framesOf<KiwiWaterfallFrame>().front();
    EXPECT_EQ(whole.zoom, 0);
    EXPECT_EQ(whole.xBin, 0u);
    ASSERT_EQ(whole.bins.size(), 1024u);
    std::vector<std::uint8_t> sorted = whole.bins;
    std::nth_element(sorted.begin(), sorted.begin() + 512, sorted.end());
    EXPECT_NEAR(sorted[512], 145, 3); // -110 dB
    EXPECT_GT(whole.bins[324], 185);  // 9.5 MHz, about -60 dB

    struct Ask {
        const char* command;
        int zoom;
        std::uint32_t xBin;
    };
    for (const Ask& ask : {Ask{"SET zoom=99 start=-1e300", 14, 0}, Ask{"SET zoom=14 start=1e300", 14, 16777216 - 1024},
             Ask{"SET zoom=2 start=nan", 14, 16777216 - 1024}, Ask{"SET zoom=-5 start=100", 0, 0}}) {
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
    RxSimServer server(options);
    RawKiwiChannel wf(server.listen(), QStringLiteral("/ws/kiwi/8/W/F"));
    ASSERT_TRUE(wf.waitConnected());
    wf.send(QStringLiteral("SET auth t=kiwi p="));
    EXPECT_TRUE(QTest::qWaitFor([&] { return wf.frames.size() > 600; }, 10000)) << wf.frames.size();
}

TEST(RxSimServer, StatusPageNamesKiwiSDRInItsHeaderAndItsText)
{
    RxSimServer server({});
    QNetworkAccessManager network;
    std::unique_ptr<QNetworkReply> reply(
        network.get(QNetworkRequest(QUrl(QStringLiteral("http://127.0.0.1:%1/status").arg(server.listen())))));
    ASSERT_TRUE(QTest::qWaitFor([&] { return reply->isFinished(); }, 5000));
    EXPECT_TRUE(reply->rawHeader("Server").startsWith("KiwiSDR_Mongoose/"));
    EXPECT_TRUE(reply->readAll().split('\n').contains("sw_version=KiwiSDR_v1.560"));
}

TEST(RxSimCommandLine, TakesTheScriptsFlagsAndRefusesAWrongOne)
{
    const auto o = std::get<RxSimOptions>(
        parseRxSimCommandLine({"rxsim", "--port", "0", "--wf-fps", "60", "--audio", "adpcm"}));
    EXPECT_EQ(o.waterfallFPS, 60);
    for (const QStringList& bad : {QStringList{"rxsim", "--unknown"}, QStringList{"rxsim", "--audio", "mp3"}}) {
        const auto result = parseRxSimCommandLine(bad);
        ASSERT_TRUE(std::holds_alternative<RxSimUsage>(result)) << bad.join(u' ').toStdString();
        EXPECT_TRUE(std::get<RxSimUsage>(result).isError);
    }
}

} // namespace
