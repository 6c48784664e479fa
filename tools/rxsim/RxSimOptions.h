#pragma once
// How the stand-in receiver behaves: which kind of server it is, its audio
// format and frame rates, and the ways it can be told to misbehave. The
// command line of the rxsim program has one flag per field (--wf-fps for
// waterfallFPS, --rx-chans and --wf-chans for the channel counts, --fft for
// waterfallFormat, --server-version for openWebRXVersion, --backoff REASON and --backoff-no-reason for the backoff
// pair, --hostile CASE for hostile, the rest by the same name).

#include <QString>
#include <QStringList>

#include <chrono>
#include <cstdint>
#include <optional>
#include <variant>

enum class RxSimKind { kiwisdr, openwebrx };
enum class RxSimAudio { adpcm, pcm16 };
enum class RxSimWaterfallFormat { adpcm, float32 };
// The OpenWebRX generation to behave as: 1.2 and newer reply to the handshake
// first and frame ADPCM audio with "SYNC" blocks; 1.1 replies after its first
// messages and sends one plain ADPCM stream.
enum class RxSimOpenWebRXVersion { v1_1, v1_2 };
// One way of being a hostile server at a time (README: "Hostile receiver").
enum class RxSimHostile {
    flood,
    oversized,
    truncatedTags,
    invalidUtf8,
    deepJson,
    absurdNumbers,
    statusHuge,
    statusTrickle,
    wsSilent,
    closeMidFrame,
    paramFlood,
    repeatedAudioRate,
    alternatingRxChan,
    markupReasons,
    silentAfterFirst,
    hugeAdpcmFrame,
    longProfileNames,
    alternatingZoom,
    wideJsonArray,
    decoderFlood,
};
// The case's name on the command line ("truncated-tags"), and back.
QString rxSimHostileName(RxSimHostile hostile);
std::optional<RxSimHostile> rxSimHostileFromName(const QString& name);

struct RxSimOptions {
    using Duration = std::chrono::milliseconds;

    std::uint16_t port = 0;
    RxSimKind kind = RxSimKind::kiwisdr;
    RxSimAudio audio = RxSimAudio::adpcm;
    // OpenWebRX only: waterfall frames as ADPCM or as 32-bit floats, and
    // audio as HD (frame type 4, 48000 samples per second).
    RxSimWaterfallFormat waterfallFormat = RxSimWaterfallFormat::adpcm;
    bool hdAudio = false;
    RxSimOpenWebRXVersion openWebRXVersion = RxSimOpenWebRXVersion::v1_2;
    int waterfallFPS = 23;
    // Waterfall frames as fast as the client takes them, for benchmarks.
    bool fast = false;
    Duration keepaliveTimeout = std::chrono::seconds(60);
    int rxChannels = 4;
    int waterfallChannels = 4;

    // Refusals answered to the sound channel's auth instead of "badp=0".
    std::optional<QString> badp;
    // Both channels answer "badp=1" to any other password ("p=", percent-decoded).
    std::optional<QString> password;
    std::optional<int> tooBusy;
    bool monitor = false;
    std::optional<QString> redirect;
    bool down = false;
    bool ipLimit = false;
    bool exclusiveUse = false;

    // Limits that strike an accepted sound channel later.
    std::optional<int> tooBusyAfter;
    Duration tooBusyDelay = std::chrono::seconds(1);
    std::optional<QString> kick;
    Duration kickAfter = std::chrono::seconds(0);
    std::optional<int> inactivityTimeout;
    Duration inactivityDelay = std::chrono::seconds(2);
    std::optional<Duration> dropAfter;

    bool refuseWaterfall = false;

    // OpenWebRX refusals answered to the handshake: "backoff" (with the reason
    // when there is one), then close; or "sdr_error" instead of the band.
    bool backoff = false;
    std::optional<QString> backoffReason;
    std::optional<QString> sdrError;

    std::optional<Duration> statusDelay;
    bool statusNever = false;

    std::optional<RxSimHostile> hostile;

    // What the receiver calls itself and where it says it stands, instead of
    // the stand-in's own.
    std::optional<QString> name;
    std::optional<QString> gps;
};

// Parses the program's arguments (args[0] is the program name). Gives the
// options, or the text to print: the help text (exit 0) or an error (exit 2).
struct RxSimUsage {
    QString text;
    bool isError = false;
};
std::variant<RxSimOptions, RxSimUsage> parseRxSimCommandLine(const QStringList& args);
