// The session against rxsim as an OpenWebRX server, which behaves like a real
// one: config in several parts, audio and S-meter only after the demodulator
// is started, refusals followed by a close.
#include "SessionTestSupport.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <functional>

namespace {

const QString dspStart = QStringLiteral(R"({"action":"start","type":"dspcontrol"})");

class OpenWebRXSessionRxSimTest : public RxSimSessionTest {
protected:
    void startServer(RxSimOptions options = {})
    {
        options.kind = RxSimKind::openwebrx;
        RxSimSessionTest::startServer(std::move(options));
    }

    void connect() { client->connect(address()); }
    QStringList sent() const { return received(QStringLiteral("OWRX")); }

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

} // namespace

TEST_F(OpenWebRXSessionRxSimTest, DetectsConnectsTunesPlaysAndChangesProfile)
{
    startServer();
    client->restoreTuning(KiwiMode::cw, 0, 7030);
    connect();
    ASSERT_TRUE(QTest::qWaitFor([&] { return client->state().isConnected(); }));
    EXPECT_EQ(client->serverKind(), ServerKind::openWebRX);
    // The 40 m profile (6975 to 7225 kHz) covers the remembered frequency.
    EXPECT_EQ(client->frequencyKHz(), 7030);
    EXPECT_EQ(client->mode(), KiwiMode::cw);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sent().contains(dspStart); }));
    EXPECT_EQ(sent().first(), QStringLiteral("SERVER DE CLIENT client=openwebrx.js type=receiver"));
    ASSERT_FALSE(tuningMessages().isEmpty());
    EXPECT_EQ(tuningMessages().first(), tuning("cw", -70500, 300, 700));
    EXPECT_LT(sent().indexOf(QRegularExpression("offset_freq")), sent().indexOf(dspStart));

    ASSERT_TRUE(QTest::qWaitFor([&] { return audio->buffers() >= 4 && client->rssi() && rows.size() >= 2; }));
    EXPECT_EQ(audio->starts(), std::vector<double>{12000});
    EXPECT_FALSE(client->sMeter()->isCalibrated);
    EXPECT_EQ(rows.back().startHz, 6'975'000);
    EXPECT_EQ(rows.back().spanHz, 250'000);

    const KiwiReceiverInfo& info = client->info();
    EXPECT_EQ(info.softwareVersion, QStringLiteral("OpenWebRX 1.2.2"));
    EXPECT_EQ(info.name, QStringLiteral("Farlisten rxsim test receiver"));
    EXPECT_EQ(info.grid, QStringLiteral("JO62qm"));
    EXPECT_EQ(info.maxZoom, 4);
    EXPECT_EQ(info.baseHz, 6'975'000);
    EXPECT_EQ(client->profiles().size(), 2);
    EXPECT_EQ(client->currentProfileID(), QStringLiteral("rxsim|40m"));
    EXPECT_EQ(client->availableModes(),
        (QList<KiwiMode>{KiwiMode::am, KiwiMode::amn, KiwiMode::amw, KiwiMode::sam, KiwiMode::lsb, KiwiMode::usb,
            KiwiMode::cw, KiwiMode::cwn, KiwiMode::nbfm, KiwiMode::wfm}));

    // A profile change moves to the new band's start.
    client->selectProfile(QStringLiteral("rxsim|31m"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return client->frequencyKHz() == 9500; }));
    EXPECT_EQ(client->mode(), KiwiMode::am);
    EXPECT_EQ(client->info().baseHz, 9'475'000);
    EXPECT_EQ(client->currentProfileID(), QStringLiteral("rxsim|31m"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !tuningMessages().isEmpty() && tuningMessages().last().value("mod") == "am"; }));
    EXPECT_EQ(tuningMessages().last(), tuning("am", -100000, -4900, 4900));
    rows.clear();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !rows.empty() && rows.back().startHz == 9'475'000; }));
    EXPECT_EQ(sent().count(dspStart), 1);
}

TEST_F(OpenWebRXSessionRxSimTest, RefusalsFailWithTheirTexts)
{
    struct Case {
        std::function<void(RxSimOptions&)> configure;
        QString expected;
    };
    const Case cases[] = {
        {[](RxSimOptions& o) { o.backoff = true, o.backoffReason = QStringLiteral("Maintenance"); },
            "The receiver is busy: Maintenance"},
        {[](RxSimOptions& o) { o.backoff = true; }, "The receiver is busy. Try again later."},
        {[](RxSimOptions& o) { o.sdrError = QStringLiteral("The SDR is unplugged"); }, "The SDR is unplugged"},
        {[](RxSimOptions& o) { o.rxChannels = 0; }, "The receiver is busy: Too many clients"},
    };
    for (const Case& c : cases) {
        RxSimOptions options;
        c.configure(options);
        startServer(options);
        connect();
        ASSERT_TRUE(QTest::qWaitFor([&] { return client->state().isFailed(); })) << c.expected.toStdString();
        EXPECT_EQ(client->state(), KiwiState::failed(c.expected));
    }
}
