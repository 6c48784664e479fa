#include "model/KiwiError.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

QString text(const char* s)
{
    return QString::fromUtf8(s);
}

TEST(KiwiError, EveryTextReadsExactly)
{
    const std::pair<KiwiError, const char*> cases[] = {
        {KiwiError::authentication(1), "Bad password, or all channels that don't require a password are busy."},
        {KiwiError::authentication(2),
            "The receiver is still determining its local interface address. Try again shortly."},
        {KiwiError::authentication(3), "Admin connections are not allowed from this IP address."},
        {KiwiError::authentication(4), "No admin password set; only local connections are allowed."},
        {KiwiError::authentication(5),
            "This receiver allows only one connection per IP address. Close other sessions to it (for "
            "example a browser tab) and try again."},
        {KiwiError::authentication(6), "The receiver is updating its database. Try again in a minute."},
        {KiwiError::authentication(0), "The receiver rejected the connection (badp=0)."},
        {KiwiError::authentication(-1), "The receiver rejected the connection (badp=-1)."},
        {KiwiError::authentication(7), "The receiver rejected the connection (badp=7)."},
        {KiwiError::authentication(std::numeric_limits<std::int64_t>::min()),
            "The receiver rejected the connection (badp=-9223372036854775808)."},
        {KiwiError::tooBusy(text("0"), false), "All 0 channels on this receiver are in use. Try again later."},
        {KiwiError::tooBusy(text("4"), false), "All 4 channels on this receiver are in use. Try again later."},
        {KiwiError::tooBusy(std::nullopt, false), "All channels on this receiver are in use. Try again later."},
        {KiwiError::tooBusy(text("0"), true),
            "This receiver only allows listening through its web page, so it disconnected this app."},
        {KiwiError::tooBusy(text("2"), true),
            "This receiver allows at most 2 connections from apps other than its web page, and others "
            "are using them, so it disconnected this one. Try again later or use its web page."},
        {KiwiError::tooBusy(text("00"), true),
            "This receiver allows at most 00 connections from apps other than its web page, and others "
            "are using them, so it disconnected this one. Try again later or use its web page."},
        {KiwiError::tooBusy(std::nullopt, true),
            "This receiver allows at most a few connections from apps other than its web page, and "
            "others are using them, so it disconnected this one. Try again later or use its web page."},
        {KiwiError::redirect(text("http://other.example:8073/")),
            "The receiver redirected the connection to http://other.example:8073/."},
        {KiwiError::redirect(std::nullopt), "The receiver redirected the connection to another server."},
        {KiwiError::kicked(text("maintenance")), "Disconnected by the receiver: maintenance"},
        {KiwiError::kicked(text("")), "Disconnected by the receiver: "},
        {KiwiError::kicked(std::nullopt), "Disconnected by the receiver."},
        {KiwiError::inactivityTimeout(text("30")),
            "Disconnected after 30 minutes of inactivity. Reconnect to continue listening."},
        {KiwiError::inactivityTimeout(std::nullopt), "Disconnected after inactivity. Reconnect to continue listening."},
        {KiwiError::connectionClosed(text("Host not found")), "The connection was closed: Host not found"},
        {KiwiError::connectionClosed(std::nullopt), "The connection was closed by the server."},
        {KiwiError::server(text("Too many users. Please try again later.")), "Too many users. Please try again later."},
        {KiwiError::invalidAddress(), "The server address is not valid."},
        {KiwiError::serverDown(), "The receiver is down for maintenance."},
        {KiwiError::dailyLimit(), "The receiver's 24-hour listening limit for your IP address has been reached."},
        {KiwiError::exclusiveUse(), "The receiver is currently reserved for exclusive use."},
    };
    for (const auto& [error, message] : cases)
        EXPECT_EQ(error.errorDescription(), QString::fromUtf8(message)) << message;
}

TEST(KiwiError, EqualityComparesCaseAndPayload)
{
    EXPECT_NE(KiwiError::tooBusy(text("2"), true), KiwiError::tooBusy(text("2"), false));
    EXPECT_NE(KiwiError::kicked(std::nullopt), KiwiError::kicked(text("")));
}

} // namespace
