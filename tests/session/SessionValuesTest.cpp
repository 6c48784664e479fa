// The pure pieces of the session: addresses, command texts, what servers'
// values are read as, waterfall geometry, an OpenWebRX band's tuning, and
// when to reconnect.
#include "session/KiwiCommands.h"
#include "session/KiwiParamValues.h"
#include "session/ReceiverClient.h"
#include "session/KiwiWaterfallGeometry.h"
#include "session/OpenWebRXSessionValues.h"
#include "session/ReconnectSchedule.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

TEST(NormalizedServerURL, AddsSchemePortAndSlash)
{
    const std::pair<const char*, const char*> cases[] = {
        {"  sdr.example.org:8074 \n", "http://sdr.example.org:8074/"},
        {"sdr.example.org", "http://sdr.example.org:8073/"},
        {"https://sdr.example.org/sdr", "https://sdr.example.org/sdr/"},
        {"http://sdr.example.org", "http://sdr.example.org/"},
        {"sdr.example.org/x/?q=1#frag", "http://sdr.example.org:8073/x/"},
        {"[2001:db8::1]:8074", "http://[2001:db8::1]:8074/"},
        {"", ""}, {"http://", ""}, {"sdr.example.org:99999", ""}, {"sdr example.org", ""},
    };
    for (const auto& [typed, expected] : cases) {
        const std::optional<QUrl> url = ReceiverClient::normalizedServerURL(QString::fromUtf8(typed));
        EXPECT_EQ(url ? url->toString() : QString(), QString::fromUtf8(expected)) << typed;
    }
}

TEST(KiwiCommands, TextsTheSessionTestsDoNotReach)
{
    EXPECT_EQ(kiwiIdentCommand(QStringLiteral("Far listen-1.é")), QStringLiteral("SET ident_user=Far%20listen%2D1%2E%C3%A9"));
    EXPECT_FALSE(kiwiZoomCommand(0, nan, 30'000'000, 14));
    EXPECT_EQ(openWebRXSocketURL(QUrl(QStringLiteral("https://example.org/sdr/")))->toString(),
        QStringLiteral("wss://example.org/sdr/ws/"));
}

TEST(KiwiParamValues, NumbersAndConversionsAreStrictAndRangeChecked)
{
    const std::pair<const char*, std::optional<double>> numbers[] = {
        {"12000.7", 12000.7}, {"+5", 5.0}, {"-2.5", -2.5}, {"1e3", 1000.0}, {".5", 0.5}, {"", std::nullopt},
        {" 5", std::nullopt}, {"5 ", std::nullopt}, {"5,0", std::nullopt}, {"0x10", std::nullopt},
        {"nan", std::nullopt}, {"inf", std::nullopt}, {"1e400", std::nullopt}, {"+-5", std::nullopt},
    };
    for (const auto& [text, expected] : numbers)
        EXPECT_EQ(parseServerNumber(QString::fromUtf8(text)), expected) << text;

    EXPECT_EQ(truncatedToInt64(-12.9), -12);
    for (const double bad : {nan, inf, 9.3e18, -9.3e18})
        EXPECT_FALSE(roundedToInt64(bad)) << bad;
    EXPECT_EQ(clampedZoom(-4), 0);
}

TEST(KiwiParamValues, TextsDecodeOrStayAsSent)
{
    const std::pair<const char*, const char*> texts[] = {
        {"maint%20work", "maint work"}, {"caf%C3%A9", "café"}, {"100%", "100%"}, {"%ZZ", "%ZZ"}, {"%C3", "%C3"},
    };
    for (const auto& [text, expected] : texts)
        EXPECT_EQ(percentDecoded(QString::fromUtf8(text)), QString::fromUtf8(expected)) << text;
    EXPECT_EQ(updatedSoftwareVersion(std::nullopt, QStringLiteral("version_min"), QStringLiteral("7")), "1.7");
    EXPECT_EQ(updatedSoftwareVersion(QStringLiteral("2.1"), QStringLiteral("version_maj"), std::nullopt), "2.1");
}

TEST(KiwiParamValues, ReceiverConfiguration)
{
    ReceiverInfo info;
    info.name = QStringLiteral("Known");
    info.inactivityTimeoutMinutes = 30;
    const auto apply = [&](const QString& value) {
        if (const std::optional<KiwiReceiverConfig> config = readReceiverConfig(value))
            applyReceiverConfig(info, *config);
    };
    apply(QStringLiteral(R"({"rx_location":"Twente%2C%20NL","rx_antenna":"","rx_name":5})"));
    // A missing limit clears the known one.
    EXPECT_EQ(std::tuple(info.name, info.location, info.antenna, info.inactivityTimeoutMinutes),
        std::tuple("Known", "Twente, NL", std::nullopt, std::nullopt));
    apply(QStringLiteral(R"({"inactivity_timeout_mins":45})"));
    EXPECT_EQ(info.inactivityTimeoutMinutes, 45);
    apply(QStringLiteral(R"({"inactivity_timeout_mins":4.5})"));
    EXPECT_FALSE(info.inactivityTimeoutMinutes);

    // Huge texts are cut, a huge configuration is not read at all.
    apply(QStringLiteral(R"({"rx_name":"%1"})").arg(QString(5000, u'n')));
    EXPECT_EQ(info.name, QString(maxServerTextLength, u'n'));
    apply(QStringLiteral(R"({"rx_grid":"JO33","pad":"%1"})").arg(QString(maxReceiverConfigLength, u'x')));
    EXPECT_FALSE(info.grid);
}

TEST(KiwiWaterfallGeometry, OnlyNewGeometryCountsAsChangedAndZoomsBeyondAnyReceiversGiveNoRow)
{
    KiwiWaterfallGeometry geometry;
    const auto frame = [](std::uint32_t xBin, int zoom) { return KiwiWaterfallFrame{xBin, zoom, 7, {1, 2, 3}}; };
    EXPECT_TRUE(geometry.place(frame(4'194'304, 3))->geometryChanged);
    EXPECT_FALSE(geometry.place(frame(4'194'304, 3))->geometryChanged);
    EXPECT_TRUE(geometry.place(frame(0, 3))->geometryChanged);
    EXPECT_FALSE(geometry.place(frame(0, 31)));
}

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
    EXPECT_EQ(readOpenWebRXModulations(JSONValue(modes)), (QSet<QString>{"usb"}));

    const JSONValue details = object({{"receiver_gps", object({{"lat", JSONValue(52.515)}, {"lon", JSONValue(-13.35)}})}});
    EXPECT_EQ(openWebRXGPSText(details, QLocale(QLocale::German, QLocale::Germany)), QStringLiteral("(52,5150, -13,3500)"));
    EXPECT_FALSE(openWebRXGPSText(object({{"receiver_gps", object({{"lat", JSONValue(1.0)}})}}), QLocale::c()));
}

TEST(ReconnectSchedule, WaitsGrowWithJitterWithinTenTriesAndTenMinutes)
{
    using namespace std::chrono_literals;
    using Duration = ReconnectSchedule::Duration;
    struct Case {
        const char* name;
        double uniform;
        std::vector<Duration> waits;
    };
    const Case cases[] = {
        {"middle of the jitter", 0.5, {1s, 2s, 4s, 8s, 16s, 30s, 60s, 60s, 60s, 60s}},
        {"a fifth shorter", 0.0, {800ms, 1600ms, 3200ms, 6400ms, 12800ms, 24s, 48s, 48s, 48s, 48s}},
        {"a fifth longer", 1.0, {1200ms, 2400ms, 4800ms, 9600ms, 19200ms, 36s, 72s, 72s, 72s, 72s}},
        {"out of range clamps", 7.0, {1200ms, 2400ms, 4800ms, 9600ms, 19200ms, 36s, 72s, 72s, 72s, 72s}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReconnectSchedule schedule(ReconnectPolicy{}, [&] { return c.uniform; });
        // Each try fails at once, when its wait is over.
        Duration now = 5000s;
        std::vector<Duration> waits;
        while (const std::optional<Duration> wait = schedule.next(now)) {
            waits.push_back(*wait);
            now += *wait;
        }
        EXPECT_EQ(waits, c.waits);
        EXPECT_EQ(schedule.tries(), 10);
    }

    // Tries that each take two minutes to fail run into the ten minutes first.
    ReconnectSchedule slow(ReconnectPolicy{}, [] { return 0.5; });
    Duration now = 0s;
    while (const std::optional<Duration> wait = slow.next(now))
        now += *wait + 2min;
    EXPECT_EQ(slow.tries(), 5) << "the sixth would start at 11 min 1 s";
}

} // namespace
