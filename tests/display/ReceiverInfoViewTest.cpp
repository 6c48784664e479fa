#include "DisplayTestSupport.h"
#include "display/ReceiverInfoRows.h"
#include "display/ReceiverInfoView.h"

#include <QLabel>

#include <limits>
#include <utility>

namespace {

using Rows = QList<ReceiverInfoRow>;

TEST(ReceiverInfoRowsTest, EveryKnownFieldInOrderAndTheRestLeftOut)
{
    const DefaultLocale locale(QLocale(QLocale::English, QLocale::UnitedStates));
    ReceiverInfo info;
    EXPECT_EQ(receiverInfoTitle(info), "Receiver");
    EXPECT_EQ(receiverInfoRows(info), Rows({{"Coverage", QString::fromUtf8("0 \u2013 30 MHz")}}));

    info.name = "Twente";
    info.location = "Enschede";
    info.antenna = "Mini-whip";
    info.grid = "JO32kf";
    info.gps = "(52.2, 6.8)";
    info.hardware = "not listed";
    info.softwareVersion = "v1.560";
    info.users = 3;
    info.maxUsers = 8;
    info.apiChannels = 2;
    info.rxChannel = 0;
    info.rxChannels = 8;
    info.baseHz = 500000;
    info.bandwidthHz = 1500000;
    info.audioRate = 12000;
    info.audioFraming = AudioFraming::adpcmWithSync;
    info.waterfallFPS = 23;
    info.uptime = 3 * 86400 + 4 * 3600 + 59;
    info.inactivityTimeoutMinutes = 30;
    EXPECT_EQ(receiverInfoTitle(info), "Twente");
    EXPECT_EQ(receiverInfoRows(info),
        Rows({{"Location", "Enschede"}, {"Antenna", "Mini-whip"}, {"Grid", "JO32kf"}, {"GPS", "(52.2, 6.8)"},
            {"Software", "v1.560"}, {"Users", "3 of 8"}, {"API channels", "2"}, {"Channel", "RX0 of 8"},
            {"Coverage", QString::fromUtf8("500 kHz \u2013 2 MHz")}, {"Audio rate", "12,000.0 Hz"}, {"Audio", "ADPCM with sync"},
            {"Waterfall", "23 fps"}, {"Uptime", "3d 4h"}, {"Inactivity limit", "30 min"}}));

    // Empty, zero or partial fields are shortened or left out.
    ReceiverInfo sparse;
    sparse.location = "";
    sparse.apiChannels = 0;
    sparse.rxChannel = 2;
    sparse.inactivityTimeoutMinutes = 0;
    sparse.users = 1234567;
    sparse.audioRate = 11025;
    sparse.audioFraming = AudioFraming::plainADPCM;
    const DefaultLocale comma(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(receiverInfoRows(sparse),
        Rows({{"Users", "1234567"}, {"API channels", "None (web page only)"}, {"Channel", "RX2"},
            {"Coverage", QString::fromUtf8("0 \u2013 30 MHz")}, {"Audio rate", "11.025,0 Hz"}, {"Audio", "ADPCM"}}));
}

TEST(ReceiverInfoRowsTest, UptimeHasAtMostTwoUnits)
{
    const std::pair<std::int64_t, const char*> cases[] = {
        {59, "0m"}, {60, "1m"}, {3 * 3600 + 5 * 60 + 7, "3h 5m"}, {86400 + 5 * 60, "1d"},
        {2 * 86400 + 3600 + 60, "2d 1h"}, {-5, "0m"},
        {std::numeric_limits<std::int64_t>::max(), "106751991167300d 15h"},
        {std::numeric_limits<std::int64_t>::min(), "0m"},
    };
    for (const auto& [seconds, text] : cases)
        EXPECT_EQ(formatUptime(seconds), text) << seconds;
}

TEST(ReceiverInfoViewTest, ShowsWhatTheReceiverSays)
{
    RxSimSession session;
    ReceiverInfoView view(session.client);
    view.resize(360, 260);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    EXPECT_EQ(view.findChildren<QLabel*>().first()->text(), "Receiver");

    ASSERT_TRUE(session.connect());
    ASSERT_TRUE(QTest::qWaitFor([&] { return session.client.info().users.has_value(); }, 10000));
    const QList<QLabel*> labels = view.findChildren<QLabel*>();
    EXPECT_EQ(labels.first()->text(), "Farlisten rxsim test receiver");
    QStringList texts;
    for (QLabel* label : labels) {
        EXPECT_EQ(label->textFormat(), Qt::PlainText);
        texts.append(label->text());
    }
    EXPECT_TRUE(texts.contains("Location") && texts.contains("Loopback, 127.0.0.1"));
}

} // namespace
