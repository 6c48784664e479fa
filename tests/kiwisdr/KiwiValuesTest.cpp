// The pure pieces of a KiwiSDR connection: command texts, what its
// parameters are read as, and its waterfall geometry.
#include "kiwisdr/KiwiCommands.h"
#include "kiwisdr/KiwiParamValues.h"
#include "kiwisdr/KiwiWaterfallGeometry.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

TEST(KiwiCommands, TextsTheSessionTestsDoNotReach)
{
    EXPECT_EQ(kiwiIdentCommand(QStringLiteral("Far listen-1.é")), QStringLiteral("SET ident_user=Far%20listen%2D1%2E%C3%A9"));
    EXPECT_FALSE(kiwiZoomCommand(0, nan, 30'000'000, 14));
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

} // namespace
