#pragma once
// Why a connection failed to open or was ended, with the plain-language
// message the user is shown.

#include <QString>

#include <cstdint>
#include <optional>
#include <utility>
#include <variant>

class ReceiverError {
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

    static ReceiverError authentication(std::int64_t code) { return ReceiverError(Authentication{code}); }
    static ReceiverError tooBusy(std::optional<QString> channels, bool afterConnecting)
    {
        return ReceiverError(TooBusy{std::move(channels), afterConnecting});
    }
    static ReceiverError redirect(std::optional<QString> address) { return ReceiverError(Redirect{std::move(address)}); }
    static ReceiverError kicked(std::optional<QString> reason) { return ReceiverError(Kicked{std::move(reason)}); }
    static ReceiverError inactivityTimeout(std::optional<QString> minutes)
    {
        return ReceiverError(InactivityTimeout{std::move(minutes)});
    }
    static ReceiverError connectionClosed(std::optional<QString> detail)
    {
        return ReceiverError(ConnectionClosed{std::move(detail)});
    }
    static ReceiverError server(QString message) { return ReceiverError(Server{std::move(message)}); }
    static ReceiverError invalidAddress() { return ReceiverError(InvalidAddress{}); }
    static ReceiverError serverDown() { return ReceiverError(ServerDown{}); }
    static ReceiverError dailyLimit() { return ReceiverError(DailyLimit{}); }
    static ReceiverError exclusiveUse() { return ReceiverError(ExclusiveUse{}); }

    const Case& value() const { return m_case; }

    // The message the user is shown.
    QString errorDescription() const;

    friend bool operator==(const ReceiverError&, const ReceiverError&) = default;

private:
    explicit ReceiverError(Case value) : m_case(std::move(value)) {}

    Case m_case;
};
