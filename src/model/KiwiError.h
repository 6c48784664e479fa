#pragma once
// Why a connection failed to open or was ended, with the plain-language
// message the user is shown.

#include <QString>

#include <cstdint>
#include <optional>
#include <utility>
#include <variant>

class KiwiError {
public:
    // "badp" code of the server; -1 when it sent none or not an integer.
    struct Authentication {
        std::int64_t code = -1;
        friend bool operator==(const Authentication&, const Authentication&) = default;
    };
    // "too_busy" value as received; afterConnecting when the session had
    // already been accepted.
    struct TooBusy {
        std::optional<QString> channels;
        bool afterConnecting = false;
        friend bool operator==(const TooBusy&, const TooBusy&) = default;
    };
    struct Redirect {
        std::optional<QString> address; // percent-decoded
        friend bool operator==(const Redirect&, const Redirect&) = default;
    };
    struct Kicked {
        std::optional<QString> reason; // percent-decoded
        friend bool operator==(const Kicked&, const Kicked&) = default;
    };
    struct InactivityTimeout {
        std::optional<QString> minutes; // as received
        friend bool operator==(const InactivityTimeout&, const InactivityTimeout&) = default;
    };
    struct ConnectionClosed {
        std::optional<QString> detail; // the socket error's description
        friend bool operator==(const ConnectionClosed&, const ConnectionClosed&) = default;
    };
    // A complete message from a server that words its own failures.
    struct Server {
        QString message;
        friend bool operator==(const Server&, const Server&) = default;
    };
    struct InvalidAddress {
        friend bool operator==(const InvalidAddress&, const InvalidAddress&) = default;
    };
    struct ServerDown {
        friend bool operator==(const ServerDown&, const ServerDown&) = default;
    };
    struct DailyLimit {
        friend bool operator==(const DailyLimit&, const DailyLimit&) = default;
    };
    struct ExclusiveUse {
        friend bool operator==(const ExclusiveUse&, const ExclusiveUse&) = default;
    };

    using Case = std::variant<Authentication, TooBusy, Redirect, Kicked, InactivityTimeout,
        ConnectionClosed, Server, InvalidAddress, ServerDown, DailyLimit, ExclusiveUse>;

    static KiwiError authentication(std::int64_t code) { return KiwiError(Authentication{code}); }
    static KiwiError tooBusy(std::optional<QString> channels, bool afterConnecting)
    {
        return KiwiError(TooBusy{std::move(channels), afterConnecting});
    }
    static KiwiError redirect(std::optional<QString> address) { return KiwiError(Redirect{std::move(address)}); }
    static KiwiError kicked(std::optional<QString> reason) { return KiwiError(Kicked{std::move(reason)}); }
    static KiwiError inactivityTimeout(std::optional<QString> minutes)
    {
        return KiwiError(InactivityTimeout{std::move(minutes)});
    }
    static KiwiError connectionClosed(std::optional<QString> detail)
    {
        return KiwiError(ConnectionClosed{std::move(detail)});
    }
    static KiwiError server(QString message) { return KiwiError(Server{std::move(message)}); }
    static KiwiError invalidAddress() { return KiwiError(InvalidAddress{}); }
    static KiwiError serverDown() { return KiwiError(ServerDown{}); }
    static KiwiError dailyLimit() { return KiwiError(DailyLimit{}); }
    static KiwiError exclusiveUse() { return KiwiError(ExclusiveUse{}); }

    const Case& value() const { return m_case; }

    // The message the user is shown.
    QString errorDescription() const;

    friend bool operator==(const KiwiError&, const KiwiError&) = default;

private:
    explicit KiwiError(Case value) : m_case(std::move(value)) {}

    Case m_case;
};
