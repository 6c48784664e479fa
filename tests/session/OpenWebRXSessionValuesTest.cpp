// Reading an OpenWebRX server's messages into session values, and the tuning
// message we answer with.
#include "session/OpenWebRXSessionValues.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

JSONValue object(JSONValue::Object members)
{
    return JSONValue(std::move(members));
}

JSONValue text(const char* value)
{
    return JSONValue(QString::fromUtf8(value));
}

JSONValue number(double value)
{
    return JSONValue(value);
}

const QList<KiwiMode> defaultAvailable{KiwiMode::am, KiwiMode::amn, KiwiMode::amw, KiwiMode::lsb,
    KiwiMode::usb, KiwiMode::cw, KiwiMode::cwn, KiwiMode::nbfm, KiwiMode::wfm};

OpenWebRXConfigValues band40m()
{
    return readOpenWebRXConfig(object({{"center_freq", number(7'100'000)}, {"samp_rate", number(200'000)},
        {"start_mod", text("am")}, {"start_freq", number(7'150'000)}}));
}

} // namespace

TEST(OpenWebRXSessionValues, SocketAddressFollowsTheServerAddress)
{
    const auto secure = openWebRXSocketURL(QUrl(QStringLiteral("https://example.org/sdr/")));
    ASSERT_TRUE(secure);
    EXPECT_EQ(secure->scheme(), QStringLiteral("wss"));
    EXPECT_EQ(secure->path(), QStringLiteral("/sdr/ws/"));
    EXPECT_EQ(secure->port(), -1);

    const auto plain = openWebRXSocketURL(QUrl(QStringLiteral("http://example.org:8073/")));
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->toString(), QStringLiteral("ws://example.org:8073/ws/"));
}

TEST(OpenWebRXSessionValues, MaxZoomIsOneLevelPerDoublingAbove256Bins)
{
    const std::pair<std::int64_t, int> cases[] = {{4096, 4}, {8192, 5}, {256, 0}, {1024, 2}, {257, 0},
        {511, 0}, {512, 1}, {0, 0}, {-1, 0}, {std::numeric_limits<std::int64_t>::min(), 0},
        {std::numeric_limits<std::int64_t>::max(), 30}};
    for (const auto& [size, zoom] : cases)
        EXPECT_EQ(openWebRXMaxZoom(size), zoom) << size;
}

TEST(OpenWebRXSessionValues, HostileConfigNumbersCountAsMissing)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (const double bad : {1e300, -1e300, nan, inf}) {
        const OpenWebRXConfigValues values = readOpenWebRXConfig(object({{"fft_size", number(bad)},
            {"max_clients", number(bad)}, {"center_freq", number(bad)}, {"samp_rate", number(bad)},
            {"start_freq", number(bad)}, {"start_offset_freq", number(bad)}}));
        EXPECT_FALSE(values.maxZoom) << bad;
        EXPECT_FALSE(values.maxUsers) << bad;
        EXPECT_FALSE(values.hasBand()) << bad;
        EXPECT_FALSE(values.startHz) << bad;
        EXPECT_FALSE(values.startOffsetHz) << bad;
    }
    for (const double rate : {0.0, -250000.0, 1e11})
        EXPECT_FALSE(readOpenWebRXConfig(object({{"samp_rate", number(rate)}})).sampleRateHz) << rate;

    const OpenWebRXConfigValues negative =
        readOpenWebRXConfig(object({{"fft_size", number(-1)}, {"max_clients", number(3.9)}}));
    EXPECT_EQ(negative.maxZoom, 0);
    EXPECT_EQ(negative.maxUsers, 3);
}

TEST(OpenWebRXSessionValues, MembersOfTheWrongKindAreIgnored)
{
    const OpenWebRXConfigValues values = readOpenWebRXConfig(object({{"fft_size", text("4096")},
        {"center_freq", text("7100000")}, {"sdr_id", text("rx")}, {"profile_id", number(1)},
        {"start_mod", text("ft8")}}));
    EXPECT_FALSE(values.maxZoom);
    EXPECT_FALSE(values.hasBand());
    EXPECT_FALSE(values.profileID);
    EXPECT_FALSE(values.startMode);
    EXPECT_EQ(readOpenWebRXConfig(text("config")).maxZoom, std::nullopt);
    EXPECT_EQ(readOpenWebRXConfig(object({{"sdr_id", text("rx")}, {"profile_id", text("40m")}})).profileID,
        QStringLiteral("rx|40m"));
}

TEST(OpenWebRXSessionValues, StartFrequencyComesFromOffsetAndIsClampedIntoTheBand)
{
    const ReceiverTuning user{14200, KiwiMode::usb, {300, 2700}};
    const auto offset = openWebRXBandForConfig(readOpenWebRXConfig(object({{"center_freq", number(7'100'000)},
        {"samp_rate", number(200'000)}, {"start_offset_freq", number(-25'000)}})), std::nullopt, 30e6, user,
        defaultAvailable);
    ASSERT_TRUE(offset);
    EXPECT_EQ(offset->tuning, (ReceiverTuning{7075, KiwiMode::usb, {300, 2700}}));

    const auto outside = openWebRXBandForConfig(readOpenWebRXConfig(object({{"center_freq", number(7'100'000)},
        {"samp_rate", number(200'000)}, {"start_freq", number(9'000'000)}})), std::nullopt, 30e6, user,
        defaultAvailable);
    EXPECT_EQ(outside->tuning.frequencyKHz, 7200);

    const auto centre = openWebRXBandForConfig(readOpenWebRXConfig(object({{"center_freq", number(7'100'000)},
        {"samp_rate", number(200'000)}})), std::nullopt, 30e6, user, defaultAvailable);
    EXPECT_EQ(centre->tuning.frequencyKHz, 7100);
    // A remembered frequency on the band's edge is kept.
    EXPECT_EQ(openWebRXBandForConfig(band40m(), std::nullopt, 30e6, {7200, KiwiMode::usb, {300, 2700}},
                  defaultAvailable)->tuning.frequencyKHz, 7200);
}

TEST(OpenWebRXSessionValues, BandMembersMissingFromAConfigComeFromBefore)
{
    const ReceiverTuning user{7050, KiwiMode::usb, {300, 2700}};
    EXPECT_FALSE(openWebRXBandForConfig(readOpenWebRXConfig(object({{"fft_size", number(4096)}})), std::nullopt,
        30e6, user, defaultAvailable));

    const auto rateOnly = openWebRXBandForConfig(readOpenWebRXConfig(object({{"samp_rate", number(100'000)}})),
        7'100'000.0, 200'000, user, defaultAvailable);
    ASSERT_TRUE(rateOnly);
    EXPECT_EQ(rateOnly->centerHz, 7'100'000);
    EXPECT_EQ(rateOnly->baseHz, 7'050'000);

    const auto centreOnly = openWebRXBandForConfig(readOpenWebRXConfig(object({{"center_freq", number(9'600'000)}})),
        std::nullopt, 250'000, user, defaultAvailable);
    ASSERT_TRUE(centreOnly);
    EXPECT_EQ(centreOnly->bandwidthHz, 250'000);
    EXPECT_EQ(centreOnly->baseHz, 9'475'000);
}

TEST(OpenWebRXSessionValues, UnavailableModeIsReplaced)
{
    const QList<KiwiMode> narrow{KiwiMode::lsb, KiwiMode::usb};
    // Kept frequency, mode the server does not offer: the start mode.
    const auto start = openWebRXBandForConfig(band40m(), std::nullopt, 30e6, {7050, KiwiMode::cw, {300, 700}}, narrow);
    EXPECT_EQ(start->tuning.mode, KiwiMode::am);
    EXPECT_EQ(start->tuning.passband, defaultPassband(KiwiMode::am));
    // No start mode: the first available one.
    const auto first = openWebRXBandForConfig(readOpenWebRXConfig(object({{"center_freq", number(7'100'000)},
        {"samp_rate", number(200'000)}})), std::nullopt, 30e6, {7050, KiwiMode::cw, {300, 700}}, narrow);
    EXPECT_EQ(first->tuning.mode, KiwiMode::lsb);
    EXPECT_EQ(first->tuning.passband, (KiwiPassband{-2700, -300}));
    // Nothing available: the mode stays.
    const auto none = openWebRXBandForConfig(readOpenWebRXConfig(object({{"center_freq", number(7'100'000)},
        {"samp_rate", number(200'000)}})), std::nullopt, 30e6, {7050, KiwiMode::cw, {300, 700}}, {});
    EXPECT_EQ(none->tuning.mode, KiwiMode::cw);
}

TEST(OpenWebRXSessionValues, DSPParamsOffsetAndCuts)
{
    struct Case {
        ReceiverTuning tuning;
        double centerHz;
        OpenWebRXDSPParams expected;
    };
    const Case cases[] = {
        {{7030.0, KiwiMode::cwn, {470, 530}}, 7'100'000, {QStringLiteral("cw"), -70500, 470, 530}},
        {{7100.0, KiwiMode::nbfm, {-6000, 6000}}, 7'100'000, {QStringLiteral("nfm"), 0, -5999, 5999}},
        // Halves round away from zero.
        {{7100.0, KiwiMode::am, {-4900, 4900}}, 7'099'999.5, {QStringLiteral("am"), 1, -4900, 4900}},
        {{7100.0, KiwiMode::am, {-4900, 4900}}, 7'100'000.5, {QStringLiteral("am"), -1, -4900, 4900}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(openWebRXDSPParams(c.tuning, c.centerHz), c.expected) << c.tuning.frequencyKHz << ' ' << c.centerHz;
    EXPECT_FALSE(openWebRXDSPParams({1e300, KiwiMode::am, {0, 0}}, 0));
}

TEST(OpenWebRXSessionValues, HostileClientCountsAndLongTexts)
{
    EXPECT_EQ(openWebRXClients(number(3.7)), 3);
    EXPECT_EQ(openWebRXClients(number(1e300)), std::nullopt);
    EXPECT_EQ(openWebRXSMeterDB(number(std::numeric_limits<double>::infinity())), std::nullopt);
    EXPECT_EQ(openWebRXSDRErrorText(QString(5000, u'x')).size(), maxServerTextLength);
}

TEST(OpenWebRXSessionValues, ProfilesSkipIncompleteElements)
{
    const JSONValue::Array elements{object({{"id", text("rx|40m")}, {"name", text("40m")}}),
        object({{"id", text("rx|20m")}}), text("rx|30m"), object({{"id", number(1)}, {"name", text("1")}}),
        object({{"id", text("rx|31m")}, {"name", text("31m")}})};
    EXPECT_EQ(readOpenWebRXProfiles(JSONValue(elements)),
        (QList<ReceiverProfile>{{"rx|40m", "40m"}, {"rx|31m", "31m"}}));
    EXPECT_TRUE(readOpenWebRXProfiles(JSONValue(nullptr)).isEmpty());
    EXPECT_TRUE(readOpenWebRXProfiles(std::nullopt).isEmpty());
    EXPECT_TRUE(readOpenWebRXProfiles(object({{"id", text("a")}, {"name", text("b")}})).isEmpty());
}

TEST(OpenWebRXSessionValues, ModulationsAreTheAnalogOnes)
{
    const JSONValue::Array elements{object({{"modulation", text("usb")}, {"type", text("analog")}}),
        object({{"modulation", text("ft8")}, {"type", text("digimode")}}),
        object({{"type", text("analog")}}), object({{"modulation", text("lsb")}, {"type", text("analog")}}),
        object({{"modulation", text("am")}})};
    EXPECT_EQ(readOpenWebRXModulations(JSONValue(elements)), (QSet<QString>{"usb", "lsb"}));
    EXPECT_TRUE(readOpenWebRXModulations(text("usb")).isEmpty());
    EXPECT_TRUE(readOpenWebRXModulations(std::nullopt).isEmpty());
}

TEST(OpenWebRXSessionValues, GPSTextHasFourFractionDigitsInTheLocale)
{
    const JSONValue details = object({{"receiver_gps", object({{"lat", number(52.515)}, {"lon", number(-13.35)}})}});
    EXPECT_EQ(openWebRXGPSText(details, QLocale::c()), QStringLiteral("(52.5150, -13.3500)"));
    EXPECT_EQ(openWebRXGPSText(details, QLocale(QLocale::German, QLocale::Germany)),
        QStringLiteral("(52,5150, -13,3500)"));
    EXPECT_FALSE(openWebRXGPSText(object({{"receiver_gps", object({{"lat", number(1)}})}}), QLocale::c()));
    EXPECT_FALSE(openWebRXGPSText(object({{"receiver_gps", text("52,13")}}), QLocale::c()));
}
