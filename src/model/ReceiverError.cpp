#include "model/ReceiverError.h"

#include <QCoreApplication>

namespace {

template <class... Handlers>
struct Overloaded : Handlers... {
    using Handlers::operator()...;
};
template <class... Handlers>
Overloaded(Handlers...) -> Overloaded<Handlers...>;

QString authenticationMessage(std::int64_t code)
{
    switch (code) {
    case 1:
        return QCoreApplication::translate("ReceiverError",
            "Bad password, or all channels that don't require a password are busy.");
    case 2:
        return QCoreApplication::translate("ReceiverError",
            "The receiver is still determining its local interface address. Try again shortly.");
    case 3:
        return QCoreApplication::translate("ReceiverError", "Admin connections are not allowed from this IP address.");
    case 4:
        return QCoreApplication::translate("ReceiverError", "No admin password set; only local connections are allowed.");
    case 5:
        return QCoreApplication::translate("ReceiverError",
            "This receiver allows only one connection per IP address. Close other "
            "sessions to it (for example a browser tab) and try again.");
    case 6:
        return QCoreApplication::translate("ReceiverError",
            "The receiver is updating its database. Try again in a minute.");
    default:
        return QCoreApplication::translate("ReceiverError", "The receiver rejected the connection (badp=%1).").arg(code);
    }
}

QString tooBusyMessage(const ReceiverError::TooBusy& e)
{
    if (!e.afterConnecting) {
        if (e.channels) {
            return QCoreApplication::translate("ReceiverError",
                "All %1 channels on this receiver are in use. Try again later.").arg(*e.channels);
        }
        return QCoreApplication::translate("ReceiverError", "All channels on this receiver are in use. Try again later.");
    }
    if (e.channels == QStringLiteral("0"))
        return QCoreApplication::translate("ReceiverError",
            "This receiver only allows listening through its web page, so it disconnected this app.");
    if (!e.channels) {
        return QCoreApplication::translate("ReceiverError",
            "This receiver allows at most a few connections from apps other than its web page, and others are "
            "using them, so it disconnected this one. Try again later or use its web page.");
    }
    return QCoreApplication::translate("ReceiverError",
        "This receiver allows at most %1 connections from apps other than its web page, and others are "
        "using them, so it disconnected this one. Try again later or use its web page.").arg(*e.channels);
}

} // namespace

QString ReceiverError::errorDescription() const
{
    // What the server sent (a reason, a detail, its own message) stays as it came.
    return std::visit(
        Overloaded{
            [](const Authentication& e) -> QString { return authenticationMessage(e.code); },
            [](const TooBusy& e) -> QString { return tooBusyMessage(e); },
            [](const Redirect& e) -> QString {
                if (e.address)
                    return QCoreApplication::translate("ReceiverError",
                        "The receiver redirected the connection to %1.").arg(*e.address);
                return QCoreApplication::translate("ReceiverError",
                    "The receiver redirected the connection to another server.");
            },
            [](const Kicked& e) -> QString {
                if (e.reason)
                    return QCoreApplication::translate("ReceiverError", "Disconnected by the receiver: %1").arg(*e.reason);
                return QCoreApplication::translate("ReceiverError", "Disconnected by the receiver.");
            },
            [](const InactivityTimeout& e) -> QString {
                if (e.minutes == u"1")
                    return QCoreApplication::translate("ReceiverError",
                        "Disconnected after 1 minute of inactivity. Reconnect to continue listening.");
                if (e.minutes)
                    return QCoreApplication::translate("ReceiverError",
                        "Disconnected after %1 minutes of inactivity. Reconnect to continue listening.")
                        .arg(*e.minutes);
                return QCoreApplication::translate("ReceiverError",
                    "Disconnected after inactivity. Reconnect to continue listening.");
            },
            [](const ConnectionClosed& e) -> QString {
                if (e.detail)
                    return QCoreApplication::translate("ReceiverError", "The connection was closed: %1").arg(*e.detail);
                return QCoreApplication::translate("ReceiverError", "The connection was closed by the server.");
            },
            [](const Server& e) -> QString { return e.message; },
            [](const InvalidAddress&) -> QString {
                return QCoreApplication::translate("ReceiverError", "The server address is not valid.");
            },
            [](const ServerDown&) -> QString {
                return QCoreApplication::translate("ReceiverError", "The receiver is down for maintenance.");
            },
            [](const DailyLimit&) -> QString {
                return QCoreApplication::translate("ReceiverError",
                    "The receiver's 24-hour listening limit for your IP address has been reached.");
            },
            [](const ExclusiveUse&) -> QString {
                return QCoreApplication::translate("ReceiverError",
                    "The receiver is currently reserved for exclusive use.");
            },
        },
        m_case);
}
