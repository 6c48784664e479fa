#include "session/KiwiMode.h"
#include "session/KiwiModel.h"

#include <QSet>

#include <gtest/gtest.h>

#include <limits>

namespace {

struct ReadingCase {
    double dBm;
    bool isCalibrated;
    const char* text;
};

class SMeterTextTest : public ::testing::TestWithParam<ReadingCase> {};

TEST_P(SMeterTextTest, ShowsTheLevel)
{
    const ReadingCase c = GetParam();
    EXPECT_EQ((SMeterReading{c.dBm, c.isCalibrated}.displayText()), QString::fromUtf8(c.text))
        << "dBm " << c.dBm << (c.isCalibrated ? " calibrated" : " relative");
}

INSTANTIATE_TEST_SUITE_P(Calibrated, SMeterTextTest,
    ::testing::Values(ReadingCase{-60.4, true, "S9+13"}, ReadingCase{-73, true, "S9"},
        ReadingCase{-72.5, true, "S9+1"}, ReadingCase{-72.9, true, "S9+0"},
        ReadingCase{-73.1, true, "S8"}, ReadingCase{-100, true, "S4"},
        ReadingCase{-121, true, "S1"}, ReadingCase{-121.01, true, "S0"},
        ReadingCase{-127, true, "S0"}, ReadingCase{-200, true, "S0"},
        ReadingCase{0, true, "S9+73"}, ReadingCase{6426.5, true, "S9+6500"}));

INSTANTIATE_TEST_SUITE_P(Relative, SMeterTextTest,
    ::testing::Values(ReadingCase{-12.5, false, "-13 dB"}, ReadingCase{12.5, false, "13 dB"},
        ReadingCase{-12.4, false, "-12 dB"}, ReadingCase{0, false, "0 dB"},
        ReadingCase{-60.4, false, "-60 dB"}, ReadingCase{-100, false, "-100 dB"}));

// Whatever a server sends, the text stays short and no conversion is undefined.
INSTANTIATE_TEST_SUITE_P(Nonsense, SMeterTextTest,
    ::testing::Values(ReadingCase{std::numeric_limits<double>::infinity(), true, "S9+1000073"},
        ReadingCase{-std::numeric_limits<double>::infinity(), true, "S0"},
        ReadingCase{std::numeric_limits<double>::quiet_NaN(), true, "S0"},
        ReadingCase{1e300, true, "S9+1000073"},
        ReadingCase{std::numeric_limits<double>::infinity(), false, "1000000 dB"},
        ReadingCase{-1e300, false, "-1000000 dB"},
        ReadingCase{std::numeric_limits<double>::quiet_NaN(), false, "-1000000 dB"}));

TEST(SMeterReading, RelativeLevelsNeverShowSUnits)
{
    for (double dBm = -200; dBm <= 100; dBm += 0.7)
        EXPECT_FALSE((SMeterReading{dBm, false}.displayText().startsWith(u'S'))) << dBm;
}

TEST(KiwiState, FailedStatesCompareByMessage)
{
    EXPECT_EQ(KiwiState::failed(QStringLiteral("a")), KiwiState::failed(QStringLiteral("a")));
    EXPECT_NE(KiwiState::failed(QStringLiteral("a")), KiwiState::failed(QStringLiteral("b")));
    EXPECT_NE(KiwiState::failed(QString()), KiwiState::disconnected());
    EXPECT_EQ(KiwiState::failed(QStringLiteral("a")).message(), QStringLiteral("a"));
}

TEST(KiwiState, OtherStatesCompareByCase)
{
    const KiwiState states[] = {KiwiState::disconnected(), KiwiState::connecting(), KiwiState::connected()};
    for (std::size_t i = 0; i < std::size(states); ++i) {
        for (std::size_t j = 0; j < std::size(states); ++j)
            EXPECT_EQ(states[i] == states[j], i == j) << i << " " << j;
        EXPECT_TRUE(states[i].message().isEmpty());
    }
}

TEST(KiwiState, StartsDisconnected)
{
    EXPECT_EQ(KiwiState(), KiwiState::disconnected());
    EXPECT_TRUE(KiwiState().isDisconnected());
    EXPECT_EQ(KiwiState::connected().kind(), KiwiState::Kind::connected);
}

TEST(ServerKind, IsHashable)
{
    const QSet<ServerKind> kinds{ServerKind::kiwiSDR, ServerKind::openWebRX, ServerKind::kiwiSDR};
    EXPECT_EQ(kinds.size(), 2);
}

TEST(KiwiReceiverInfo, NewValueKnowsOnlyTheDefaults)
{
    const KiwiReceiverInfo info;
    EXPECT_EQ(info.bandwidthHz, 30'000'000.0);
    EXPECT_EQ(info.baseHz, 0.0);
    EXPECT_EQ(info.maxZoom, 14);
    EXPECT_EQ(info.zoomCap, 14);
    EXPECT_FALSE(info.name || info.location || info.antenna || info.grid || info.gps || info.hardware
        || info.softwareVersion || info.clientIP);
    EXPECT_FALSE(info.users || info.maxUsers || info.apiChannels || info.uptime || info.rxChannel
        || info.rxChannels || info.waterfallChannels || info.waterfallFPS
        || info.inactivityTimeoutMinutes);
    EXPECT_FALSE(info.sampleRate || info.audioRate);
}

TEST(KiwiReceiverInfo, EqualityTellsEmptyTextFromAbsent)
{
    KiwiReceiverInfo a;
    KiwiReceiverInfo b;
    EXPECT_EQ(a, b);
    b.gps = QString();
    EXPECT_NE(a, b);
    a.gps = QString();
    EXPECT_EQ(a, b);
    b.inactivityTimeoutMinutes = 30;
    EXPECT_NE(a, b);
}

TEST(KiwiMode, RawTextIsExactAndCaseSensitive)
{
    EXPECT_EQ(kiwiModeFromRawValue(QStringLiteral("nbfm")), KiwiMode::nbfm);
    EXPECT_EQ(kiwiModeFromRawValue(QStringLiteral("LSB")), std::nullopt);
    EXPECT_EQ(kiwiModeFromRawValue(QStringLiteral("nfm")), std::nullopt);
    for (const KiwiMode mode : allKiwiModes)
        EXPECT_EQ(kiwiModeFromRawValue(rawValue(mode)), mode) << rawValue(mode).toStdString();
}

TEST(KiwiMode, OpenWebRXNamesNeverGiveNarrowOrWideVariants)
{
    EXPECT_EQ(modeForOpenWebRXModulation(QStringLiteral("nfm")), KiwiMode::nbfm);
    EXPECT_EQ(modeForOpenWebRXModulation(QStringLiteral("amn")), std::nullopt);
    EXPECT_EQ(defaultPassband(KiwiMode::lsb), (KiwiPassband{-2700, -300}));
}

} // namespace
