#include "model/KiwiError.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

// The texts the session tests do not already meet, and every way a server's
// value fills one in.
TEST(KiwiError, TextsAroundTheServersValues)
{
    const QString two = QStringLiteral("2");
    const std::pair<KiwiError, const char*> cases[] = {
        {KiwiError::authentication(2),
            "The receiver is still determining its local interface address. Try again shortly."},
        {KiwiError::authentication(4), "No admin password set; only local connections are allowed."},
        {KiwiError::authentication(7), "The receiver rejected the connection (badp=7)."},
        {KiwiError::authentication(std::numeric_limits<std::int64_t>::min()),
            "The receiver rejected the connection (badp=-9223372036854775808)."},
        {KiwiError::tooBusy(std::nullopt, false), "All channels on this receiver are in use. Try again later."},
        {KiwiError::tooBusy(QStringLiteral("0"), true),
            "This receiver only allows listening through its web page, so it disconnected this app."},
        {KiwiError::tooBusy(QStringLiteral("00"), true),
            "This receiver allows at most 00 connections from apps other than its web page, and others "
            "are using them, so it disconnected this one. Try again later or use its web page."},
        {KiwiError::tooBusy(std::nullopt, true),
            "This receiver allows at most a few connections from apps other than its web page, and "
            "others are using them, so it disconnected this one. Try again later or use its web page."},
        {KiwiError::redirect(std::nullopt), "The receiver redirected the connection to another server."},
        {KiwiError::kicked(QString()), "Disconnected by the receiver: "},
        {KiwiError::kicked(std::nullopt), "Disconnected by the receiver."},
        {KiwiError::inactivityTimeout(two), "Disconnected after 2 minutes of inactivity. Reconnect to continue listening."},
        {KiwiError::inactivityTimeout(QStringLiteral("1")),
            "Disconnected after 1 minute of inactivity. Reconnect to continue listening."},
        {KiwiError::inactivityTimeout(std::nullopt), "Disconnected after inactivity. Reconnect to continue listening."},
        {KiwiError::connectionClosed(two), "The connection was closed: 2"},
        {KiwiError::connectionClosed(std::nullopt), "The connection was closed by the server."},
        {KiwiError::server(two), "2"},
    };
    for (const auto& [error, message] : cases)
        EXPECT_EQ(error.errorDescription(), QString::fromUtf8(message)) << message;
}

} // namespace
