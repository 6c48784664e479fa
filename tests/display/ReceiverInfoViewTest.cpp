#include "DisplayTestSupport.h"
#include "display/ReceiverInfoRows.h"
#include "display/ReceiverInfoView.h"

#include <QLabel>

#include <limits>

namespace {

using Rows = QList<ReceiverInfoRow>;

QStringList labelsOf(const Rows& rows)
{
    QStringList labels;
    for (const ReceiverInfoRow& row : rows)
        labels.append(row.label);
    return labels;
}

QString valueOf(const Rows& rows, const QString& label)
{
    for (const ReceiverInfoRow& row : rows) {
        if (row.label == label)
            return row.value;
    }
    return QStringLiteral("<absent>");
}

TEST(ReceiverInfoRowsTest, EveryRowInOrder)
{
    const DefaultLocale locale(QLocale(QLocale::English, QLocale::UnitedStates));
    KiwiReceiverInfo info;
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
    const Rows rows = receiverInfoRows(info);
    EXPECT_EQ(labelsOf(rows), QStringList({"Location", "Antenna", "Grid", "GPS", "Software", "Users", "API channels",
                                  "Channel", "Coverage", "Audio rate", "Audio", "Waterfall", "Uptime",
                                  "Inactivity limit"}));
    EXPECT_EQ(valueOf(rows, "Users"), "3 of 8");
    EXPECT_EQ(valueOf(rows, "API channels"), "2");
    EXPECT_EQ(valueOf(rows, "Channel"), "RX0 of 8");
    EXPECT_EQ(valueOf(rows, "Coverage"), QString::fromUtf8("500 kHz \u2013 2 MHz"));
    EXPECT_EQ(valueOf(rows, "Audio rate"), "12,000.0 Hz");
    EXPECT_EQ(valueOf(rows, "Audio"), "ADPCM with sync");
    EXPECT_EQ(valueOf(rows, "Waterfall"), "23 fps");
    EXPECT_EQ(valueOf(rows, "Uptime"), "3d 4h");
    EXPECT_EQ(valueOf(rows, "Inactivity limit"), "30 min");

    const DefaultLocale comma(QLocale(QLocale::German, QLocale::Germany));
    info.audioRate = 11025;
    EXPECT_EQ(valueOf(receiverInfoRows(info), "Audio rate"), "11.025,0 Hz");
    info.audioFraming = AudioFraming::plainADPCM;
    EXPECT_EQ(valueOf(receiverInfoRows(info), "Audio"), "ADPCM");
}

TEST(ReceiverInfoRowsTest, RowsLeftOutOrShortened)
{
    KiwiReceiverInfo info;
    EXPECT_EQ(receiverInfoTitle(info), "Receiver");
    EXPECT_EQ(receiverInfoRows(info), Rows({{"Coverage", QString::fromUtf8("0 \u2013 30 MHz")}}));
    info.location = "";
    info.apiChannels = 0;
    info.rxChannel = 2;
    info.inactivityTimeoutMinutes = 0;
    info.users = 1234567;
    const Rows rows = receiverInfoRows(info);
    EXPECT_EQ(labelsOf(rows), QStringList({"Users", "API channels", "Channel", "Coverage"}));
    EXPECT_EQ(valueOf(rows, "API channels"), "None (web page only)");
    EXPECT_EQ(valueOf(rows, "Users"), "1234567");
    EXPECT_EQ(valueOf(rows, "Channel"), "RX2");
}

TEST(ReceiverInfoRowsTest, UptimeHasAtMostTwoUnits)
{
    struct UptimeCase {
        std::int64_t seconds;
        const char* text;
    };
    const UptimeCase cases[] = {
        {59, "0m"}, {60, "1m"}, {3 * 3600 + 5 * 60 + 7, "3h 5m"}, {86400 + 5 * 60, "1d"},
        {2 * 86400 + 3600 + 60, "2d 1h"}, {-5, "0m"},
        {std::numeric_limits<std::int64_t>::max(), "106751991167300d 15h"},
        {std::numeric_limits<std::int64_t>::min(), "0m"},
    };
    for (const UptimeCase& c : cases)
        EXPECT_EQ(formatUptime(c.seconds), c.text) << c.seconds;
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
    QTest::qWait(50);
    saveScreenshot(view, QStringLiteral("receiver-info.png"));
}

} // namespace
