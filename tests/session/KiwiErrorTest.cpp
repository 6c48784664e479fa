#include "session/KiwiError.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

struct MessageCase {
    KiwiError error;
    const char* message;
};

class KiwiErrorMessageTest : public ::testing::TestWithParam<MessageCase> {};

TEST_P(KiwiErrorMessageTest, ReadsExactly)
{
    EXPECT_EQ(GetParam().error.errorDescription(), QString::fromUtf8(GetParam().message));
}

QString text(const char* s)
{
    return QString::fromUtf8(s);
}

INSTANTIATE_TEST_SUITE_P(Authentication, KiwiErrorMessageTest,
    ::testing::Values(
        MessageCase{KiwiError::authentication(1),
            "Bad password, or all channels that don't require a password are busy."},
        MessageCase{KiwiError::authentication(2),
            "The receiver is still determining its local interface address. Try again shortly."},
        MessageCase{KiwiError::authentication(3), "Admin connections are not allowed from this IP address."},
        MessageCase{KiwiError::authentication(4), "No admin password set; only local connections are allowed."},
        MessageCase{KiwiError::authentication(5),
            "This receiver allows only one connection per IP address. Close other sessions to it (for "
            "example a browser tab) and try again."},
        MessageCase{KiwiError::authentication(6), "The receiver is updating its database. Try again in a minute."},
        MessageCase{KiwiError::authentication(0), "The receiver rejected the connection (badp=0)."},
        MessageCase{KiwiError::authentication(-1), "The receiver rejected the connection (badp=-1)."},
        MessageCase{KiwiError::authentication(7), "The receiver rejected the connection (badp=7)."},
        MessageCase{KiwiError::authentication(std::numeric_limits<std::int64_t>::min()),
            "The receiver rejected the connection (badp=-9223372036854775808)."}));

INSTANTIATE_TEST_SUITE_P(TooBusy, KiwiErrorMessageTest,
    ::testing::Values(
        MessageCase{KiwiError::tooBusy(text("0"), false),
            "All 0 channels on this receiver are in use. Try again later."},
        MessageCase{KiwiError::tooBusy(text("4"), false),
            "All 4 channels on this receiver are in use. Try again later."},
        MessageCase{KiwiError::tooBusy(std::nullopt, false),
            "All channels on this receiver are in use. Try again later."},
        MessageCase{KiwiError::tooBusy(text("0"), true),
            "This receiver only allows listening through its web page, so it disconnected this app."},
        MessageCase{KiwiError::tooBusy(text("2"), true),
            "This receiver allows at most 2 connections from apps other than its web page, and others "
            "are using them, so it disconnected this one. Try again later or use its web page."},
        MessageCase{KiwiError::tooBusy(text("00"), true),
            "This receiver allows at most 00 connections from apps other than its web page, and others "
            "are using them, so it disconnected this one. Try again later or use its web page."},
        MessageCase{KiwiError::tooBusy(std::nullopt, true),
            "This receiver allows at most a few connections from apps other than its web page, and "
            "others are using them, so it disconnected this one. Try again later or use its web page."}));

INSTANTIATE_TEST_SUITE_P(WithOptionalDetail, KiwiErrorMessageTest,
    ::testing::Values(
        MessageCase{KiwiError::redirect(text("http://other.example:8073/")),
            "The receiver redirected the connection to http://other.example:8073/."},
        MessageCase{KiwiError::redirect(std::nullopt),
            "The receiver redirected the connection to another server."},
        MessageCase{KiwiError::kicked(text("maintenance")), "Disconnected by the receiver: maintenance"},
        MessageCase{KiwiError::kicked(text("")), "Disconnected by the receiver: "},
        MessageCase{KiwiError::kicked(std::nullopt), "Disconnected by the receiver."},
        MessageCase{KiwiError::inactivityTimeout(text("30")),
            "Disconnected after 30 minutes of inactivity. Reconnect to continue listening."},
        MessageCase{KiwiError::inactivityTimeout(std::nullopt),
            "Disconnected after inactivity. Reconnect to continue listening."},
        MessageCase{KiwiError::connectionClosed(text("Host not found")),
            "The connection was closed: Host not found"},
        MessageCase{KiwiError::connectionClosed(std::nullopt), "The connection was closed by the server."},
        MessageCase{KiwiError::server(text("Too many users. Please try again later.")),
            "Too many users. Please try again later."}));

INSTANTIATE_TEST_SUITE_P(Fixed, KiwiErrorMessageTest,
    ::testing::Values(MessageCase{KiwiError::invalidAddress(), "The server address is not valid."},
        MessageCase{KiwiError::serverDown(), "The receiver is down for maintenance."},
        MessageCase{KiwiError::dailyLimit(),
            "The receiver's 24-hour listening limit for your IP address has been reached."},
        MessageCase{KiwiError::exclusiveUse(), "The receiver is currently reserved for exclusive use."}));

TEST(KiwiError, EqualityComparesCaseAndPayload)
{
    EXPECT_EQ(KiwiError::tooBusy(text("2"), true), KiwiError::tooBusy(text("2"), true));
    EXPECT_NE(KiwiError::tooBusy(text("2"), true), KiwiError::tooBusy(text("2"), false));
    EXPECT_NE(KiwiError::kicked(std::nullopt), KiwiError::kicked(text("")));
    EXPECT_NE(KiwiError::serverDown(), KiwiError::dailyLimit());
    EXPECT_TRUE(std::holds_alternative<KiwiError::Authentication>(KiwiError::authentication(3).value()));
}

} // namespace
