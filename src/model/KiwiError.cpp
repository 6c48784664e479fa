#include "model/KiwiError.h"

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
        return QStringLiteral("Bad password, or all channels that don't require a password are busy.");
    case 2:
        return QStringLiteral(
            "The receiver is still determining its local interface address. Try again shortly.");
    case 3:
        return QStringLiteral("Admin connections are not allowed from this IP address.");
    case 4:
        return QStringLiteral("No admin password set; only local connections are allowed.");
    case 5:
        return QStringLiteral("This receiver allows only one connection per IP address. Close other "
                              "sessions to it (for example a browser tab) and try again.");
    case 6:
        return QStringLiteral("The receiver is updating its database. Try again in a minute.");
    default:
        return QStringLiteral("The receiver rejected the connection (badp=") + QString::number(code)
            + QStringLiteral(").");
    }
}

QString tooBusyMessage(const KiwiError::TooBusy& e)
{
    if (!e.afterConnecting) {
        return QStringLiteral("All ") + (e.channels ? *e.channels + u' ' : QString())
            + QStringLiteral("channels on this receiver are in use. Try again later.");
    }
    if (e.channels == QStringLiteral("0"))
        return QStringLiteral(
            "This receiver only allows listening through its web page, so it disconnected this app.");
    return QStringLiteral("This receiver allows at most ")
        + (e.channels ? *e.channels + u' ' : QStringLiteral("a few "))
        + QStringLiteral("connections from apps other than its web page, and others are using "
                         "them, so it disconnected this one. Try again later or use its web page.");
}

} // namespace

QString KiwiError::errorDescription() const
{
    return std::visit(
        Overloaded{
            [](const Authentication& e) -> QString { return authenticationMessage(e.code); },
            [](const TooBusy& e) -> QString { return tooBusyMessage(e); },
            [](const Redirect& e) -> QString {
                return QStringLiteral("The receiver redirected the connection to ")
                    + e.address.value_or(QStringLiteral("another server")) + u'.';
            },
            [](const Kicked& e) -> QString {
                const QString lead = QStringLiteral("Disconnected by the receiver");
                return e.reason ? lead + QStringLiteral(": ") + *e.reason : lead + u'.';
            },
            [](const InactivityTimeout& e) -> QString {
                return QStringLiteral("Disconnected after ")
                    + (e.minutes ? *e.minutes
                                  + (*e.minutes == u"1" ? QStringLiteral(" minute of ") : QStringLiteral(" minutes of "))
                                 : QString())
                    + QStringLiteral("inactivity. Reconnect to continue listening.");
            },
            [](const ConnectionClosed& e) -> QString {
                const QString lead = QStringLiteral("The connection was closed");
                return e.detail ? lead + QStringLiteral(": ") + *e.detail
                                : lead + QStringLiteral(" by the server.");
            },
            [](const Server& e) -> QString { return e.message; },
            [](const InvalidAddress&) -> QString { return QStringLiteral("The server address is not valid."); },
            [](const ServerDown&) -> QString { return QStringLiteral("The receiver is down for maintenance."); },
            [](const DailyLimit&) -> QString {
                return QStringLiteral(
                    "The receiver's 24-hour listening limit for your IP address has been reached.");
            },
            [](const ExclusiveUse&) -> QString {
                return QStringLiteral("The receiver is currently reserved for exclusive use.");
            },
        },
        m_case);
}
