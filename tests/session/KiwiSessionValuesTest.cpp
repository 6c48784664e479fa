// The pure pieces of the session: addresses, command texts, parameter values
// and waterfall geometry.
#include "session/KiwiCommands.h"
#include "session/KiwiParamValues.h"
#include "session/KiwiSDRClient.h"
#include "session/KiwiWaterfallGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(NormalizedServerURL, AddsSchemePortAndSlash)
{
    struct Case {
        const char* typed;
        const char* expected; // empty: no URL
    };
    const Case cases[] = {
        {"  sdr.example.org:8074 \n", "http://sdr.example.org:8074/"},
        {"sdr.example.org", "http://sdr.example.org:8073/"},
        {"https://sdr.example.org/sdr", "https://sdr.example.org/sdr/"},
        {"http://sdr.example.org", "http://sdr.example.org/"},
        {"sdr.example.org/x/?q=1#frag", "http://sdr.example.org:8073/x/"},
        {"kiwi_1.example.org", "http://kiwi_1.example.org:8073/"},
        {"[2001:db8::1]:8074", "http://[2001:db8::1]:8074/"},
        {"", ""}, {"   ", ""}, {"http://", ""}, {"sdr.example.org:99999", ""}, {"sdr example.org", ""},
    };
    for (const Case& c : cases) {
        const std::optional<QUrl> url = KiwiSDRClient::normalizedServerURL(QString::fromUtf8(c.typed));
        EXPECT_EQ(url ? url->toString() : QString(), QString::fromUtf8(c.expected)) << c.typed;
    }
}

TEST(WebPageURL, ReplacesTheQueryWithTheFrequencyAndMode)
{
    const QUrl base(QStringLiteral("http://sdr.example.org:8073/?old=1"));
    EXPECT_EQ(KiwiSDRClient::webPageURL(base, 7200, KiwiMode::lsb).toString(),
        QStringLiteral("http://sdr.example.org:8073/?f=7200.00lsb"));
    EXPECT_EQ(KiwiSDRClient::webPageURL(base, 14074.125, KiwiMode::usb).query(),
        QStringLiteral("f=14074.13usb"));
}

TEST(KiwiCommands, TextsTheSessionTestsDoNotReach)
{
    EXPECT_EQ(kiwiTuneCommand(KiwiMode::lsb, {-2700, -300}, 3.5),
        QStringLiteral("SET mod=lsb low_cut=-2700 high_cut=-300 freq=3.500"));
    EXPECT_EQ(kiwiIdentCommand(QStringLiteral("Far listen-1.é")),
        QStringLiteral("SET ident_user=Far%20listen%2D1%2E%C3%A9"));
    EXPECT_FALSE(kiwiZoomCommand(0, std::nan(""), 30'000'000, 14));
    EXPECT_EQ(kiwiChannelURL(QUrl(QStringLiteral("https://sdr.example.org/sdr/")), 5, QStringLiteral("W/F")).toString(),
        QStringLiteral("wss://sdr.example.org/ws/kiwi/5/W/F"));
}

TEST(KiwiParamValues, Numbers)
{
    struct Case {
        const char* text;
        std::optional<double> expected;
    };
    const Case cases[] = {
        {"12000", 12000.0}, {"12000.7", 12000.7}, {"+5", 5.0}, {"-2.5", -2.5}, {"1e3", 1000.0},
        {".5", 0.5}, {"", std::nullopt}, {" 5", std::nullopt}, {"5 ", std::nullopt},
        {"5,0", std::nullopt}, {"0x10", std::nullopt}, {"nan", std::nullopt}, {"inf", std::nullopt},
        {"1e400", std::nullopt}, {"+-5", std::nullopt}, {"--5", std::nullopt}, {"12k", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseKiwiNumber(QString::fromUtf8(c.text)), c.expected) << c.text;
    EXPECT_FALSE(parseKiwiNumber(std::nullopt));

    EXPECT_EQ(parseKiwiInteger(QStringLiteral("-3")), -3);
    EXPECT_FALSE(parseKiwiInteger(QStringLiteral("3.0")));
    EXPECT_FALSE(parseKiwiInteger(std::nullopt));
}

TEST(KiwiParamValues, ConversionsToIntegersAreRangeChecked)
{
    EXPECT_EQ(truncatedToInt64(-12.9), -12);
    EXPECT_EQ(roundedToInt64(2.5), 3);
    EXPECT_EQ(roundedToInt64(-2.5), -3);
    EXPECT_FALSE(truncatedToInt64(std::nan("")));
    EXPECT_FALSE(truncatedToInt64(std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(truncatedToInt64(9.3e18));
    EXPECT_FALSE(roundedToInt64(-9.3e18));

    EXPECT_TRUE(isUsableBandwidth(30e6));
    for (const double hz : {0.0, -1.0, std::nan(""), 1e308, std::numeric_limits<double>::infinity()})
        EXPECT_FALSE(isUsableBandwidth(hz)) << hz;
    EXPECT_EQ(clampedZoom(1000), maxKiwiZoom);
    EXPECT_EQ(clampedZoom(-4), 0);
}

TEST(KiwiParamValues, PercentDecodingKeepsTheRawTextWhenItFails)
{
    EXPECT_EQ(percentDecoded(QStringLiteral("maint%20work")), QStringLiteral("maint work"));
    EXPECT_EQ(percentDecoded(QStringLiteral("caf%C3%A9")), QStringLiteral("café"));
    EXPECT_EQ(percentDecoded(QStringLiteral("100%")), QStringLiteral("100%"));
    EXPECT_EQ(percentDecoded(QStringLiteral("%ZZ")), QStringLiteral("%ZZ"));
    EXPECT_EQ(percentDecoded(QStringLiteral("%C3")), QStringLiteral("%C3"));
    EXPECT_EQ(percentDecoded(QStringLiteral("a+b")), QStringLiteral("a+b"));
}

TEST(KiwiParamValues, SoftwareVersionFromItsTwoHalves)
{
    const QString major = QStringLiteral("version_maj");
    const QString minor = QStringLiteral("version_min");
    const QString afterMajor = updatedSoftwareVersion(std::nullopt, major, QStringLiteral("1"));
    EXPECT_EQ(afterMajor, QStringLiteral("1.0"));
    EXPECT_EQ(updatedSoftwareVersion(afterMajor, minor, QStringLiteral("560")), QStringLiteral("1.560"));
    EXPECT_EQ(updatedSoftwareVersion(std::nullopt, minor, QStringLiteral("7")), QStringLiteral("1.7"));
    EXPECT_EQ(updatedSoftwareVersion(QStringLiteral("2.1"), major, std::nullopt), QStringLiteral("2.1"));
}

void applyReceiverConfig(KiwiReceiverInfo& info, const QString& loadCfgValue)
{
    if (const std::optional<KiwiReceiverConfig> config = readReceiverConfig(loadCfgValue))
        applyReceiverConfig(info, *config);
}

TEST(KiwiParamValues, ReceiverConfiguration)
{
    KiwiReceiverInfo info;
    info.name = QStringLiteral("Known");
    info.inactivityTimeoutMinutes = 30;
    applyReceiverConfig(info,
        QStringLiteral(R"({"rx_location":"Twente%2C%20NL","rx_antenna":"","rx_grid":"JO32","rx_name":5})"));
    EXPECT_EQ(info.name, QStringLiteral("Known"));
    EXPECT_EQ(info.location, QStringLiteral("Twente, NL"));
    EXPECT_FALSE(info.antenna);
    EXPECT_EQ(info.grid, QStringLiteral("JO32"));
    EXPECT_FALSE(info.inactivityTimeoutMinutes) << "a missing limit clears the known one";

    applyReceiverConfig(info, QStringLiteral(R"({"inactivity_timeout_mins":45})"));
    EXPECT_EQ(info.inactivityTimeoutMinutes, 45);
    for (const char* hostile : {R"({"inactivity_timeout_mins":4.5})", R"({"inactivity_timeout_mins":1e300})"}) {
        applyReceiverConfig(info, QString::fromUtf8(hostile));
        EXPECT_FALSE(info.inactivityTimeoutMinutes) << hostile;
    }

    const KiwiReceiverInfo before = info;
    applyReceiverConfig(info, QStringLiteral("[1,2]"));
    applyReceiverConfig(info, QStringLiteral("not json"));
    EXPECT_EQ(info, before);

    // Huge texts are cut, a huge configuration is not read at all.
    applyReceiverConfig(info, QStringLiteral(R"({"rx_name":"%1"})").arg(QString(5000, u'n')));
    EXPECT_EQ(info.name, QString(maxServerTextLength, u'n'));
    const QString huge = QStringLiteral(R"({"rx_grid":"JO33","pad":"%1"})").arg(QString(maxReceiverConfigLength, u'x'));
    applyReceiverConfig(info, huge);
    EXPECT_EQ(info.grid, QStringLiteral("JO32"));
}

KiwiWaterfallFrame frame(std::uint32_t xBin, int zoom)
{
    return KiwiWaterfallFrame{xBin, zoom, 7, {1, 2, 3}};
}

TEST(KiwiWaterfallGeometry, OnlyNewGeometryIsReportedAsChanged)
{
    KiwiWaterfallGeometry geometry;
    EXPECT_TRUE(geometry.place(frame(4'194'304, 3))->geometryChanged);
    EXPECT_FALSE(geometry.place(frame(4'194'304, 3))->geometryChanged);
    EXPECT_TRUE(geometry.place(frame(0, 3))->geometryChanged);
}

TEST(KiwiWaterfallGeometry, HostileNumbersStayHarmless)
{
    KiwiWaterfallGeometry geometry;
    for (const char* bandwidth : {"0", "-5", "nan", "1e308", "inf"})
        geometry.applyParameters({{QStringLiteral("bandwidth"), QString::fromUtf8(bandwidth)}});
    geometry.applyParameters({{QStringLiteral("zoom_max"), QStringLiteral("1000")}});
    const auto row = geometry.place(frame(std::numeric_limits<std::uint32_t>::max(), 30));
    ASSERT_TRUE(row);
    EXPECT_TRUE(std::isfinite(row->row.startHz));
    EXPECT_GT(row->row.spanHz, 0);
    EXPECT_FALSE(geometry.place(frame(0, 31)));
    EXPECT_FALSE(geometry.place(frame(0, 65535)));
    geometry.applyParameters({{QStringLiteral("zoom_max"), QStringLiteral("-1e300")}});
    EXPECT_TRUE(std::isfinite(geometry.place(frame(1, 0))->row.startHz));
}

} // namespace
