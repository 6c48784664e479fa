// The session against rxsim as an OpenWebRX server, which behaves like a real
// one: config in several parts, audio and S-meter only after the demodulator
// is started, refusals followed by a close.
#include "support/SessionTestSupport.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <algorithm>
#include <complex>
#include <functional>
#include <numbers>
#include <numeric>

namespace {

const QString dspStart = QStringLiteral(R"({"action":"start","type":"dspcontrol"})");

class OpenWebRXSessionRxSimTest : public RxSimSessionTest {
protected:
    void startServer(const std::function<void(RxSimOptions&)>& configure = {})
    {
        RxSimSessionTest::startServer([&](RxSimOptions& o) {
            o.kind = RxSimKind::openwebrx;
            if (configure)
                configure(o);
        });
    }

    QStringList sent() const { return received(QStringLiteral("OWRX")); }

    // Plays for `ms` as a sound card that takes every buffer at once would,
    // keeping every sample.
    std::vector<float> play(int ms)
    {
        std::vector<float> samples;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms) {
            QTest::qWait(10);
            for (AudioRecording::Buffer& buffer : audio->takeScheduled()) {
                samples.insert(samples.end(), buffer.samples.begin(), buffer.samples.end());
                buffer.consumed();
            }
        }
        return samples;
    }

    // The "params" of every tuning message the server received.
    QList<QJsonObject> tuningMessages() const
    {
        QList<QJsonObject> params;
        for (const QString& text : sent()) {
            const QJsonObject message = QJsonDocument::fromJson(text.toUtf8()).object();
            if (message.value("type") == "dspcontrol" && message.contains("params"))
                params.append(message.value("params").toObject());
        }
        return params;
    }
};

QJsonObject tuning(const QString& mod, qint64 offset, qint64 low, qint64 high)
{
    return {{"mod", mod}, {"offset_freq", offset}, {"low_cut", low}, {"high_cut", high}, {"squelch_level", -150}};
}

// The tone at `hz` in each 20 ms of the samples, as amplitude and phase; the
// phase is read against one clock running through all of them, so it stays
// put while no sample is lost or repeated.
std::vector<std::complex<double>> toneByWindow(const std::vector<float>& samples, double hz, double rate)
{
    const auto window = static_cast<std::size_t>(rate / 50);
    std::vector<std::complex<double>> tones;
    for (std::size_t start = 0; start + window <= samples.size(); start += window) {
        std::complex<double> sum;
        for (std::size_t n = start; n < start + window; ++n)
            sum += double(samples[n]) * std::polar(1.0, -2 * std::numbers::pi * hz * double(n) / rate);
        tones.push_back(sum * 2.0 / double(window));
    }
    return tones;
}

double meanAmplitude(const std::vector<std::complex<double>>& tones)
{
    return std::accumulate(tones.begin(), tones.end(), 0.0, [](double sum, auto tone) { return sum + std::abs(tone); })
        / double(std::max<std::size_t>(tones.size(), 1));
}

// How far the tone's phase moves from one window to the next, less the usual
// move, at worst; in radians.
double worstPhaseJump(const std::vector<std::complex<double>>& tones)
{
    std::vector<double> steps;
    for (std::size_t i = 1; i < tones.size(); ++i)
        steps.push_back(std::arg(tones[i] * std::conj(tones[i - 1])));
    std::vector<double> sorted = steps;
    std::sort(sorted.begin(), sorted.end());
    double worst = 0;
    for (const double step : steps)
        worst = std::max(worst, std::abs(std::remainder(step - sorted[sorted.size() / 2], 2 * std::numbers::pi)));
    return worst;
}

struct ToneCase {
    const char* name;
    RxSimOpenWebRXVersion version;
    bool hd;
    Mode mode;
    double frequencyKHz;
    double toneHz;
    AudioFraming framing;
    const char* software;
};

} // namespace

TEST_F(OpenWebRXSessionRxSimTest, DetectsConnectsTunesPlaysAndChangesProfile)
{
    startServer();
    client->restoreTuning(Mode::cw, 0, 7030);
    client->connect(address());
    ASSERT_TRUE(QTest::qWaitFor([&] { return client->state().isConnected(); }));
    // The 40 m profile (6975 to 7225 kHz) covers the remembered frequency.
    EXPECT_EQ(std::tuple(client->serverKind(), client->frequencyKHz(), client->mode()),
        std::tuple(ServerKind::openWebRX, 7030, Mode::cw));
    ASSERT_TRUE(QTest::qWaitFor([&] { return sent().contains(dspStart); }));
    EXPECT_EQ(sent().first(), QStringLiteral("SERVER DE CLIENT client=openwebrx.js type=receiver"));
    EXPECT_EQ(tuningMessages().value(0), tuning("cw", -70500, 300, 700));
    EXPECT_LT(sent().indexOf(QRegularExpression("offset_freq")), sent().indexOf(dspStart));

    ASSERT_TRUE(QTest::qWaitFor([&] { return audio->buffers() >= 4 && client->rssi() && rows.size() >= 2; }));
    EXPECT_EQ(audio->starts(), std::vector<double>{12000});
    EXPECT_FALSE(client->sMeter()->isCalibrated);
    EXPECT_EQ(std::pair(rows.back().startHz, rows.back().spanHz), std::pair(6'975'000.0, 250'000.0));

    const ReceiverInfo& info = client->info();
    EXPECT_EQ(std::tuple(info.softwareVersion, info.name, info.grid, info.maxZoom, info.audioRate, info.baseHz),
        std::tuple("OpenWebRX 1.2.2", "Farlisten rxsim test receiver", "JO62qm", 4, 12000, 6'975'000));
    EXPECT_EQ(std::tuple(client->profiles().size(), client->currentProfileID()), std::tuple(2, "rxsim|40m"));
    EXPECT_EQ(client->availableModes(),
        (QList<Mode>{Mode::am, Mode::amn, Mode::amw, Mode::sam, Mode::lsb, Mode::usb,
            Mode::cw, Mode::cwn, Mode::nbfm, Mode::wfm}));

    // A profile change moves to the new band's start.
    client->selectProfile(QStringLiteral("rxsim|31m"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return client->frequencyKHz() == 9500; }));
    EXPECT_EQ(std::tuple(client->mode(), client->info().baseHz, client->currentProfileID()),
        std::tuple(Mode::am, 9'475'000, "rxsim|31m"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !tuningMessages().isEmpty() && tuningMessages().last().value("mod") == "am"; }));
    EXPECT_EQ(tuningMessages().last(), tuning("am", -100000, -4900, 4900));
    rows.clear();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !rows.empty() && rows.back().startHz == 9'475'000; }));
    EXPECT_EQ(sent().count(dspStart), 1);
}

TEST_F(OpenWebRXSessionRxSimTest, RefusalsFailWithTheirTexts)
{
    const std::pair<std::function<void(RxSimOptions&)>, QString> cases[] = {
        {[](RxSimOptions& o) { o.backoff = true, o.backoffReason = QStringLiteral("Maintenance"); },
            "The receiver is busy: Maintenance"},
        {[](RxSimOptions& o) { o.backoff = true; }, "The receiver is busy. Try again later."},
        {[](RxSimOptions& o) { o.sdrError = QStringLiteral("The SDR is unplugged"); }, "The SDR is unplugged"},
        {[](RxSimOptions& o) { o.rxChannels = 0; }, "The receiver is busy: Too many clients"},
    };
    for (const auto& [configure, expected] : cases) {
        startServer(configure);
        client->connect(address());
        ASSERT_TRUE(QTest::qWaitFor([&] { return client->state().isFailed(); })) << expected.toStdString();
        EXPECT_EQ(client->state(), ConnectionState::failed(expected));
    }
}

TEST_F(OpenWebRXSessionRxSimTest, EveryGenerationPlaysTheTunedStationWithoutALostOrRepeatedSample)
{
    // On the 31 m band: USB 1 kHz below the 9500 kHz carrier hears it as a
    // 1000 Hz tone; AM hears the station's 400 Hz modulation. A 1.2 server's
    // first audio frame holds only the "S" of its first state block.
    const ToneCase cases[] = {
        {"1.2, USB", RxSimOpenWebRXVersion::v1_2, false, Mode::usb, 9499, 1000, AudioFraming::adpcmWithSync,
            "OpenWebRX 1.2.2"},
        {"1.1, AM", RxSimOpenWebRXVersion::v1_1, false, Mode::am, 9500, 400, AudioFraming::plainADPCM,
            "OpenWebRX v1.1.0"},
        {"1.1, USB in HD audio", RxSimOpenWebRXVersion::v1_1, true, Mode::usb, 9499, 1000,
            AudioFraming::plainADPCM, "OpenWebRX v1.1.0"},
    };
    for (const ToneCase& c : cases) {
        SCOPED_TRACE(c.name);
        client->disconnect();
        startServer([&](RxSimOptions& o) { o.openWebRXVersion = c.version, o.hdAudio = c.hd; });
        client->connect(address());
        ASSERT_TRUE(QTest::qWaitFor([&] { return client->state().isConnected(); }));
        client->selectProfile(QStringLiteral("rxsim|31m"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return client->info().baseHz == 9'475'000; }));
        client->setMode(c.mode);
        client->tune(c.frequencyKHz);
        const qint64 offset = qint64(c.frequencyKHz * 1000) - 9'600'000;
        ASSERT_TRUE(QTest::qWaitFor([&] {
            return !tuningMessages().isEmpty() && tuningMessages().last().value("offset_freq").toInteger() == offset
                && tuningMessages().last().value("mod").toString() == rawValue(c.mode);
        }));
        ASSERT_TRUE(QTest::qWaitFor([&] { return audio->buffers() > 0; }));

        // A second for the old tuning to leave the queue and the AGC to settle.
        play(1000);
        const std::vector<float> samples = play(1500);
        const double rate = c.hd ? 48000 : 12000;
        EXPECT_EQ(audio->currentRate(), rate);
        const std::vector<std::complex<double>> tones = toneByWindow(samples, c.toneHz, rate);
        ASSERT_GT(tones.size(), 50u);
        const double amplitude = meanAmplitude(tones);
        EXPECT_GT(amplitude, 0.05);
        for (const double other : {c.toneHz - 100, c.toneHz + 100, 2 * c.toneHz})
            EXPECT_GT(amplitude, 10 * meanAmplitude(toneByWindow(samples, other, rate))) << other;
        // One sample lost or repeated moves the phase by a whole sample's turn.
        const double sampleTurn = 2 * std::numbers::pi * c.toneHz / rate;
        EXPECT_LT(worstPhaseJump(tones), sampleTurn / 2);

        EXPECT_EQ(std::tuple(client->info().audioFraming, client->info().softwareVersion),
            std::tuple(c.framing, QString::fromLatin1(c.software)));
    }
}

TEST_F(OpenWebRXSessionRxSimTest, DecodersFromTheModesListRunOnTheirModeAndSendWhatTheyDecode)
{
    startServer();
    client->restoreTuning(Mode::usb, 0, 7029);
    client->connect(address());
    ASSERT_TRUE(QTest::qWaitFor([&] { return client->decoders().size() == 3 && sent().contains(dspStart); }));
    EXPECT_TRUE(client->features().decoders);
    const QList<ReceiverDecoder>& decoders = client->decoders();
    EXPECT_EQ(std::tuple(decoders[0].name, decoders[1].name, decoders[2].name),
        std::tuple("CW Decoder", "CW Skimmer", "FT8"));
    EXPECT_EQ(decoders[2].missingRequirements, QStringList{"wsjt-x"});

    // Refusals change nothing and are said once.
    const qsizetype before = sent().size();
    client->chooseDecoder(QStringLiteral("RTTY"));
    EXPECT_EQ(client->decoderError(), "The receiver offers no decoder named \u201cRTTY\u201d.");
    client->chooseDecoder(QStringLiteral("ft8"));
    EXPECT_EQ(client->decoderError(), "\u201cFT8\u201d cannot run here. The receiver lacks wsjt-x.");
    client->chooseDecoder(QStringLiteral("cwdecoder"), Mode::am);
    EXPECT_EQ(client->decoderError(), "\u201cCW Decoder\u201d runs only on USB or LSB.");
    EXPECT_EQ(client->decoder(), std::nullopt);

    // As the server's own page does: the tuning with the decoder, then where
    // it listens, 1000 Hz of audio above the dial.
    QString text;
    QObject::connect(client.get(), &ReceiverClient::decoderOutputChanged, &view,
        [&] { text += client->decoderOutput().text; });
    client->chooseDecoder(QStringLiteral("CW Decoder"));
    EXPECT_EQ(client->decoderError(), std::nullopt);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sent().size() >= before + 2; }));
    EXPECT_EQ(sent().mid(before),
        (QStringList{R"({"params":{"high_cut":2750,"low_cut":150,"mod":"usb","offset_freq":-71000,)"
                     R"("secondary_mod":"cwdecoder"},"type":"dspcontrol"})",
            R"({"params":{"secondary_offset_freq":1000},"type":"dspcontrol"})"}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return client->decoderChannel().bandwidthHz.has_value(); }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return text.contains(QStringLiteral("FARLISTEN")); }, 40000)) << text.toStdString();

    // The other sideband mirrors where it listens; another mode ends it.
    client->setMode(Mode::lsb);
    EXPECT_EQ(client->decoder(), (DecoderChoice{"cwdecoder", -1000}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return sent().last() == R"({"params":{"secondary_offset_freq":-1000},"type":"dspcontrol"})"; }));
    client->setMode(Mode::am);
    EXPECT_EQ(client->decoder(), std::nullopt);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sent().last().contains(R"("secondary_mod":false)"); }));
    EXPECT_EQ(tuningMessages().last().value("mod"), "am");
}
