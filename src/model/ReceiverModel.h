#pragma once
// The small values a receiver session holds and every view reads: the kind of
// server, the session state, the S-meter reading, what the receiver says about
// itself, and one line of waterfall data.

#include <QHashFunctions>
#include <QString>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

enum class ServerKind { kiwiSDR, openWebRX };

inline size_t qHash(ServerKind kind, size_t seed = 0) noexcept
{
    return qHashMulti(seed, static_cast<int>(kind));
}

// Texts a server sends end up in labels; longer ones are cut to this many
// characters, so that no server can flood the window.
inline constexpr qsizetype maxServerTextLength = 1000;

// The text cut to at most `maxLength` characters, without splitting a
// surrogate pair at the cut.
QString boundedServerText(QString text, qsizetype maxLength = maxServerTextLength);

// Where the session stands. Only a failed state carries text: the message
// shown to the user, bounded because it may quote a server at length. Two
// failed states are equal when their messages are.
class ConnectionState {
public:
    enum class Kind { failed, disconnected, connecting, connected };

    ConnectionState() = default;

    // Room for a server's text of the longest length shown plus our own words.
    static constexpr qsizetype maxMessageLength = 2 * maxServerTextLength;

    static ConnectionState failed(QString message)
    {
        return ConnectionState(Kind::failed, boundedServerText(std::move(message), maxMessageLength));
    }
    static ConnectionState disconnected() { return ConnectionState(Kind::disconnected, {}); }
    static ConnectionState connecting() { return ConnectionState(Kind::connecting, {}); }
    static ConnectionState connected() { return ConnectionState(Kind::connected, {}); }

    Kind kind() const { return m_kind; }
    bool isFailed() const { return m_kind == Kind::failed; }
    bool isConnected() const { return m_kind == Kind::connected; }
    bool isConnecting() const { return m_kind == Kind::connecting; }
    bool isDisconnected() const { return m_kind == Kind::disconnected; }
    // Connecting or connected: a session is under way.
    bool isActive() const { return isConnecting() || isConnected(); }
    // The failure text; empty for every other case.
    const QString& message() const { return m_message; }

    friend bool operator==(const ConnectionState&, const ConnectionState&) = default;

private:
    ConnectionState(Kind kind, QString message) : m_kind(kind), m_message(std::move(message)) {}

    Kind m_kind = Kind::disconnected;
    QString m_message;
};

// One signal-strength reading. `dBm` is an absolute level when calibrated,
// otherwise a level in dB relative to an unknown reference.
struct SMeterReading {
    double dBm = 0;
    bool isCalibrated = true;

    // "S9+13", "S4" or "-13 dB".
    QString displayText() const;
    // `dBm` within +-1e6, far beyond any real signal, so that it is safe to
    // convert and short to show; a level that is not a number reads as the
    // bottom of the scale. A server can send any double.
    double boundedLevel() const;

    friend bool operator==(const SMeterReading&, const SMeterReading&) = default;
};

// How a server lays out its compressed audio: ADPCM whose coder state
// travels in "SYNC" blocks, or one plain ADPCM stream whose state runs on
// from the start of the connection.
enum class AudioFraming { adpcmWithSync, plainADPCM };

// What is known about the receiver of the current session.
struct ReceiverInfo {
    std::optional<QString> name;
    std::optional<QString> location;
    std::optional<QString> antenna;
    std::optional<QString> grid;
    std::optional<QString> gps;
    std::optional<QString> hardware;
    std::optional<QString> softwareVersion;
    std::optional<std::int64_t> users;
    std::optional<std::int64_t> maxUsers;
    std::optional<std::int64_t> apiChannels;
    std::optional<std::int64_t> uptime; // seconds
    std::optional<std::int64_t> rxChannel;
    std::optional<std::int64_t> rxChannels;
    std::optional<std::int64_t> waterfallChannels;
    std::optional<QString> clientIP;
    double bandwidthHz = 30'000'000;
    double baseHz = 0;
    std::optional<double> sampleRate;
    std::optional<double> audioRate;
    std::optional<AudioFraming> audioFraming;
    int maxZoom = 14;
    int zoomCap = 14;
    std::optional<std::int64_t> waterfallFPS;
    std::optional<std::int64_t> inactivityTimeoutMinutes;

    friend bool operator==(const ReceiverInfo&, const ReceiverInfo&) = default;
};

// What a receiver says of its own load, where it does (an OpenWebRX server's
// "cpuusage" and "temperature"); none until it has.
struct ReceiverLoad {
    std::optional<double> cpuPercent;   // 0..100
    std::optional<double> temperatureC; // -50..150

    friend bool operator==(const ReceiverLoad&, const ReceiverLoad&) = default;
};

// One line of waterfall data: each bin's level in dB (dBm where the receiver
// is calibrated), low frequency to high. Each kind's connection turns its
// own wire format into this.
struct WaterfallRow {
    std::vector<float> bins;
    double startHz = 0;
    double spanHz = 0;
    int zoom = 0;
    std::uint32_t sequence = 0;

    friend bool operator==(const WaterfallRow&, const WaterfallRow&) = default;
};
