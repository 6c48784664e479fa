// The pure pieces of an OpenWebRX connection: what its config and
// messages are read as, and a band's tuning.
#include "openwebrx/OpenWebRXDecoders.h"
#include "openwebrx/OpenWebRXSessionValues.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

JSONValue object(JSONValue::Object members)
{
    return JSONValue(std::move(members));
}

JSONValue text(const char* value)
{
    return JSONValue(QString::fromUtf8(value));
}

OpenWebRXConfigValues config(double centerHz, double rateHz, JSONValue::Object more = {})
{
    more.insert_or_assign(QStringLiteral("center_freq"), JSONValue(centerHz));
    more.insert_or_assign(QStringLiteral("samp_rate"), JSONValue(rateHz));
    return readOpenWebRXConfig(object(std::move(more)));
}

TEST(OpenWebRXSessionValues, SocketAddress)
{
    EXPECT_EQ(openWebRXSocketURL(QUrl(QStringLiteral("https://example.org/sdr/")))->toString(),
        QStringLiteral("wss://example.org/sdr/ws/"));
}

TEST(OpenWebRXSessionValues, ConfigNumbersOfTheWrongKindOrOutOfRangeCountAsMissing)
{
    const std::pair<std::int64_t, int> zooms[] = {{4096, 4}, {256, 0}, {511, 0}, {512, 1}, {-1, 0},
        {std::numeric_limits<std::int64_t>::max(), 30}};
    for (const auto& [size, zoom] : zooms)
        EXPECT_EQ(openWebRXMaxZoom(size), zoom) << size;
    for (const double bad : {1e300, -1e300, nan, inf}) {
        const OpenWebRXConfigValues values = readOpenWebRXConfig(object({{"fft_size", JSONValue(bad)},
            {"max_clients", JSONValue(bad)}, {"center_freq", JSONValue(bad)}, {"samp_rate", JSONValue(bad)},
            {"start_freq", JSONValue(bad)}}));
        EXPECT_FALSE(values.maxZoom || values.maxUsers || values.hasBand() || values.startHz) << bad;
    }
    EXPECT_FALSE(readOpenWebRXConfig(object({{"samp_rate", JSONValue(1e11)}})).sampleRateHz);
    const OpenWebRXConfigValues wrong = readOpenWebRXConfig(object({{"fft_size", text("4096")},
        {"center_freq", text("7100000")}, {"sdr_id", text("rx")}, {"profile_id", JSONValue(1.0)}, {"start_mod", text("ft8")}}));
    EXPECT_FALSE(wrong.maxZoom || wrong.hasBand() || wrong.profileID || wrong.startMode);
}

TEST(OpenWebRXSessionValues, BandTuning)
{
    const QList<Mode> all(allModes.begin(), allModes.end());
    const QList<Mode> narrow{Mode::lsb, Mode::usb};
    const ReceiverTuning usb14200{14200, Mode::usb, {300, 2700}};
    const ReceiverTuning cw7050{7050, Mode::cw, {300, 700}};
    const JSONValue::Object am7150{{"start_mod", text("am")}, {"start_freq", JSONValue(7'150'000.0)}};
    const struct {
        OpenWebRXConfigValues config;
        std::optional<double> previousCenterHz;
        ReceiverTuning current;
        QList<Mode> available;
        ReceiverTuning expected;
    } cases[] = {
        // The start from the offset, or the centre, clamped into the band.
        {config(7'100'000, 200'000, {{"start_offset_freq", JSONValue(-25'000.0)}}), {}, usb14200, all,
            {7075, Mode::usb, {300, 2700}}},
        {config(7'100'000, 200'000, {{"start_freq", JSONValue(9e6)}}), {}, usb14200, all, {7200, Mode::usb, {300, 2700}}},
        {config(7'100'000, 200'000), {}, usb14200, all, {7100, Mode::usb, {300, 2700}}},
        // The first band keeps a frequency it covers, edges included; a later one does not.
        {config(7'100'000, 200'000, am7150), {}, {7200, Mode::usb, {300, 2700}}, all, {7200, Mode::usb, {300, 2700}}},
        {config(7'100'000, 200'000, am7150), 7'100'000.0, cw7050, all, {7150, Mode::am, defaultPassband(Mode::am)}},
        // A mode the server does not offer: the start mode, else the first offered one.
        {config(7'100'000, 200'000, am7150), {}, cw7050, narrow, {7050, Mode::am, defaultPassband(Mode::am)}},
        {config(7'100'000, 200'000), {}, cw7050, narrow, {7050, Mode::lsb, {-2700, -300}}},
        {config(7'100'000, 200'000), {}, cw7050, {}, cw7050},
    };
    for (const auto& c : cases) {
        const auto band = openWebRXBandForConfig(c.config, c.previousCenterHz, 30e6, c.current, c.available);
        ASSERT_TRUE(band);
        EXPECT_EQ(band->tuning, c.expected) << c.expected.frequencyKHz;
    }
    // Band members a config leaves out come from before.
    EXPECT_EQ(openWebRXBandForConfig(readOpenWebRXConfig(object({{"samp_rate", JSONValue(100'000.0)}})), 7'100'000.0,
                  200'000, cw7050, all)->baseHz, 7'050'000);
    EXPECT_FALSE(openWebRXBandForConfig(readOpenWebRXConfig(object({})), std::nullopt, 30e6, cw7050, all));
}

TEST(OpenWebRXSessionValues, DSPParamsOffsetAndCuts)
{
    const struct {
        ReceiverTuning tuning;
        double centerHz;
        OpenWebRXDSPParams expected;
    } cases[] = {
        {{7030.0, Mode::cwn, {470, 530}}, 7'100'000, {QStringLiteral("cw"), -70500, 470, 530}},
        {{7100.0, Mode::nbfm, {-6000, 6000}}, 7'100'000, {QStringLiteral("nfm"), 0, -5999, 5999}},
        {{7100.0, Mode::wfm, {-75000, 75000}}, 7'100'000, {QStringLiteral("wfm"), 0, -75000, 75000}},
        // Halves round away from zero.
        {{7100.0, Mode::am, {-4900, 4900}}, 7'099'999.5, {QStringLiteral("am"), 1, -4900, 4900}},
        {{7100.0, Mode::am, {-4900, 4900}}, 7'100'000.5, {QStringLiteral("am"), -1, -4900, 4900}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(openWebRXDSPParams(c.tuning, c.centerHz), c.expected) << c.centerHz;
    EXPECT_FALSE(openWebRXDSPParams({1e300, Mode::am, {0, 0}}, 0));
}

TEST(OpenWebRXSessionValues, MessagesReadAsTheSessionNeedsThem)
{
    EXPECT_EQ(openWebRXClients(JSONValue(3.7)), 3);
    EXPECT_FALSE(openWebRXClients(JSONValue(1e300)));
    EXPECT_DOUBLE_EQ(*openWebRXSMeterDB(JSONValue(0.01)), -20);
    for (const JSONValue& ignored : {JSONValue(0.0), JSONValue(-1.0), JSONValue(inf), text("0.5")})
        EXPECT_FALSE(openWebRXSMeterDB(ignored));
    EXPECT_EQ(openWebRXSDRErrorText(JSONValue(3.0)), QStringLiteral("The receiver reported an SDR error."));
    EXPECT_EQ(openWebRXSDRErrorText(JSONValue(QString(5000, u'x'))).size(), maxServerTextLength);

    JSONValue::Array profiles{object({{"id", text("rx|40m")}, {"name", text("40m")}}), object({{"id", text("rx|20m")}}),
        text("rx|30m"), object({{"id", JSONValue(1.0)}, {"name", text("1")}})};
    EXPECT_EQ(readOpenWebRXProfiles(JSONValue(profiles)), (QList<ReceiverProfile>{{"rx|40m", "40m"}}));
    for (int index = 0; index < 2000; ++index)
        profiles.push_back(object({{"id", JSONValue(QStringLiteral("p%1").arg(index))}, {"name", text("p")}}));
    EXPECT_EQ(readOpenWebRXProfiles(JSONValue(profiles)).size(), maxOpenWebRXProfiles);
    EXPECT_TRUE(readOpenWebRXProfiles(object({{"id", text("a")}, {"name", text("b")}})).isEmpty());

    const JSONValue::Array modes{object({{"modulation", text("usb")}, {"type", text("analog")}}),
        object({{"modulation", text("ft8")}, {"type", text("digimode")}}), object({{"modulation", text("am")}})};
    EXPECT_EQ(readOpenWebRXModes(JSONValue(modes)).analog, (QSet<QString>{"usb"}));

    const JSONValue details = object({{"receiver_gps", object({{"lat", JSONValue(52.515)}, {"lon", JSONValue(-13.35)}})}});
    EXPECT_EQ(openWebRXGPSText(details, QLocale(QLocale::German, QLocale::Germany)), QStringLiteral("(52,5150, -13,3500)"));
    EXPECT_FALSE(openWebRXGPSText(object({{"receiver_gps", object({{"lat", JSONValue(1.0)}})}}), QLocale::c()));
}

} // namespace
