#include "model/ReceiverError.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

// The texts the session tests do not already meet, and every way a server's
// value fills one in.
TEST(ReceiverError, TextsAroundTheServersValues)
{
    const QString two = QStringLiteral("2");
    const std::pair<ReceiverError, const char*> cases[] = {
        {ReceiverError::authentication(2),
            "The receiver is still determining its local interface address. Try again shortly."},
        {ReceiverError::authentication(4), "No admin password set; only local connections are allowed."},
        {ReceiverError::authentication(7), "The receiver rejected the connection (badp=7)."},
        {ReceiverError::authentication(std::numeric_limits<std::int64_t>::min()),
            "The receiver rejected the connection (badp=-9223372036854775808)."},
        {ReceiverError::tooBusy(std::nullopt, false), "All channels on this receiver are in use. Try again later."},
        {ReceiverError::tooBusy(QStringLiteral("0"), true),
            "This receiver only allows listening through its web page, so it disconnected this app."},
        {ReceiverError::tooBusy(QStringLiteral("00"), true),
            "This receiver allows at most 00 connections from apps other than its web page, and others "
            "are using them, so it disconnected this one. Try again later or use its web page."},
        {ReceiverError::tooBusy(std::nullopt, true),
            "This receiver allows at most a few connections from apps other than its web page, and "
            "others are using them, so it disconnected this one. Try again later or use its web page."},
        {ReceiverError::redirect(std::nullopt), "The receiver redirected the connection to another server."},
        {ReceiverError::kicked(QString()), "Disconnected by the receiver: "},
        {ReceiverError::kicked(std::nullopt), "Disconnected by the receiver."},
        {ReceiverError::inactivityTimeout(two), "Disconnected after 2 minutes of inactivity. Reconnect to continue listening."},
        {ReceiverError::inactivityTimeout(QStringLiteral("1")),
            "Disconnected after 1 minute of inactivity. Reconnect to continue listening."},
        {ReceiverError::inactivityTimeout(std::nullopt), "Disconnected after inactivity. Reconnect to continue listening."},
        {ReceiverError::connectionClosed(two), "The connection was closed: 2"},
        {ReceiverError::connectionClosed(std::nullopt), "The connection was closed by the server."},
        {ReceiverError::server(two), "2"},
    };
    for (const auto& [error, message] : cases)
        EXPECT_EQ(error.errorDescription(), QString::fromUtf8(message)) << message;
}

} // namespace
