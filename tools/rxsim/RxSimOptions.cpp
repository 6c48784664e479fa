#include "RxSimOptions.h"

#include "model/StrictInteger.h"

#include <QCommandLineParser>
#include <QLocale>

#include <array>
#include <cmath>
#include <limits>
#include <utility>

namespace {

constexpr double maxSeconds = 7 * 24 * 3600;

constexpr std::array<std::pair<RxSimHostile, const char*>, 20> hostileNames{{
    {RxSimHostile::flood, "flood"},
    {RxSimHostile::oversized, "oversized"},
    {RxSimHostile::truncatedTags, "truncated-tags"},
    {RxSimHostile::invalidUtf8, "invalid-utf8"},
    {RxSimHostile::deepJson, "deep-json"},
    {RxSimHostile::absurdNumbers, "absurd-numbers"},
    {RxSimHostile::statusHuge, "status-huge"},
    {RxSimHostile::statusTrickle, "status-trickle"},
    {RxSimHostile::wsSilent, "ws-silent"},
    {RxSimHostile::closeMidFrame, "close-mid-frame"},
    {RxSimHostile::paramFlood, "param-flood"},
    {RxSimHostile::repeatedAudioRate, "repeated-audio-rate"},
    {RxSimHostile::alternatingRxChan, "alternating-rx-chan"},
    {RxSimHostile::markupReasons, "markup-reasons"},
    {RxSimHostile::silentAfterFirst, "silent-after-first"},
    {RxSimHostile::hugeAdpcmFrame, "huge-adpcm-frame"},
    {RxSimHostile::longProfileNames, "long-profile-names"},
    {RxSimHostile::alternatingZoom, "alternating-zoom"},
    {RxSimHostile::wideJsonArray, "wide-json-array"},
    {RxSimHostile::decoderFlood, "decoder-flood"},
}};

struct Parser {
    QCommandLineParser& parser;
    QString error;

    std::optional<std::int64_t> integer(const QString& name, std::int64_t low, std::int64_t high)
    {
        if (!parser.isSet(name))
            return std::nullopt;
        const auto value = parseStrictInteger(parser.value(name));
        if (!value || *value < low || *value > high) {
            fail(QStringLiteral("--%1 takes a whole number from %2 to %3").arg(name).arg(low).arg(high));
            return std::nullopt;
        }
        return value;
    }

    std::optional<RxSimOptions::Duration> seconds(const QString& name)
    {
        if (!parser.isSet(name))
            return std::nullopt;
        bool ok = false;
        const double value = QLocale::c().toDouble(parser.value(name), &ok);
        if (!ok || !std::isfinite(value) || value < 0 || value > maxSeconds) {
            fail(QStringLiteral("--%1 takes seconds from 0 to %2").arg(name).arg(maxSeconds));
            return std::nullopt;
        }
        return RxSimOptions::Duration(std::llround(value * 1000));
    }

    std::optional<QString> text(const QString& name)
    {
        if (!parser.isSet(name))
            return std::nullopt;
        return parser.value(name);
    }

    // A flag that takes one of two words, each standing for a value.
    template <typename T>
    std::optional<T> either(const QString& name, const char* firstWord, T first, const char* secondWord, T second)
    {
        const auto value = text(name);
        if (!value)
            return std::nullopt;
        if (*value == QLatin1String(firstWord))
            return first;
        if (*value == QLatin1String(secondWord))
            return second;
        fail(QStringLiteral("--%1 takes %2 or %3").arg(name, QLatin1String(firstWord), QLatin1String(secondWord)));
        return std::nullopt;
    }

    void fail(const QString& message)
    {
        if (error.isEmpty())
            error = message;
    }
};

void addOptions(QCommandLineParser& parser)
{
    const auto option = [&parser](const char* name, const char* description, const char* valueName = nullptr) {
        QCommandLineOption o(QString::fromLatin1(name), QString::fromLatin1(description));
        if (valueName)
            o.setValueName(QString::fromLatin1(valueName));
        parser.addOption(o);
    };
    option("port", "TCP port on 127.0.0.1 (0 = any free port; default 0).", "PORT");
    option("kind", "The server to stand in for: kiwisdr (default) or openwebrx.", "KIND");
    option("audio", "Sound frames as adpcm (default) or pcm16.", "FORMAT");
    option("fft", "OpenWebRX: waterfall frames as adpcm (default) or float.", "FORMAT");
    option("hd-audio", "OpenWebRX: send HD audio (frame type 4, 48000 samples per second).");
    option("server-version", "OpenWebRX: behave as version 1.2 (default; ADPCM audio with SYNC blocks) or 1.1 "
                             "(handshake reply last, plain continuous ADPCM audio).", "VERSION");
    option("backoff", "OpenWebRX: answer the handshake with backoff and REASON, then close.", "REASON");
    option("backoff-no-reason", "OpenWebRX: answer the handshake with backoff without a reason, then close.");
    option("sdr-error", "OpenWebRX: send sdr_error with TEXT instead of the band.", "TEXT");
    option("wf-fps", "Waterfall frames per second (1-100; default 23).", "N");
    option("fast", "Send waterfall frames as fast as the client takes them.");
    option("keepalive-timeout", "Close a channel that sends no \"SET keepalive\" for this long (default 60).", "S");
    option("rx-chans", "Sound channels (OpenWebRX: max_clients); one more listener gets too_busy (backoff) (1-64; default 4).", "N");
    option("wf-chans", "Waterfall channels; one more gets too_busy (1-64; default 4).", "N");
    option("badp", "Answer auth with badp=CODE instead of 0, then close.", "CODE");
    option("password", "KiwiSDR: answer auth with badp=1, then close, unless its password is TEXT.", "TEXT");
    option("too-busy", "Answer auth with too_busy=N, then close.", "N");
    option("monitor", "Answer auth with monitor, then close.");
    option("redirect", "Answer auth with redirect=URL, then close.", "URL");
    option("down", "Answer auth with down, then close.");
    option("ip-limit", "Answer auth with ip_limit, then close.");
    option("exclusive-use", "Answer auth with exclusive_use, then close.");
    option("too-busy-after", "Accept, then send too_busy=N after --too-busy-delay seconds and close.", "N");
    option("too-busy-delay", "Seconds before --too-busy-after strikes (default 1).", "S");
    option("kick", "Accept, then send kiwi_kick=REASON after --kick-after seconds and close.", "REASON");
    option("kick-after", "Seconds before --kick strikes (default 0).", "S");
    option("inactivity-timeout", "Announce an inactivity limit of MIN minutes and enforce it after --inactivity-delay seconds.", "MIN");
    option("inactivity-delay", "Seconds before --inactivity-timeout strikes (default 2).", "S");
    option("drop-after", "Drop the TCP connections of a listener S seconds after its sound channel (OpenWebRX: its socket) opened, without a close frame.", "S");
    option("refuse-waterfall", "Answer the waterfall channel's auth with too_busy, then close it.");
    option("status-delay", "Answer the status page only after S seconds.", "S");
    option("status-never", "Never answer the status page.");
    option("name", "The receiver's name, on its pages and in the receiver lists it serves.", "TEXT");
    option("gps", "The receiver's position as its status page writes it, \"(LAT, LON)\".", "TEXT");
    option("hostile", "Misbehave in one way: flood, oversized, truncated-tags, invalid-utf8, deep-json, "
                      "absurd-numbers, status-huge, status-trickle, param-flood, repeated-audio-rate, "
                      "alternating-rx-chan, alternating-zoom (KiwiSDR only), markup-reasons, silent-after-first, "
                      "huge-adpcm-frame, long-profile-names, wide-json-array, decoder-flood (OpenWebRX only), ws-silent or "
                      "close-mid-frame (see the README).", "CASE");
}

} // namespace

std::variant<RxSimOptions, RxSimUsage> parseRxSimCommandLine(const QStringList& args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "A stand-in KiwiSDR receiver or OpenWebRX server for tests and demos. Prints\n"
        "\"rxsim listening on 127.0.0.1:PORT\", then one line per command received:\n"
        "CHANNEL TIMESTAMP COMMAND (OpenWebRX: OWRX - MESSAGE)."));
    const QCommandLineOption help = parser.addHelpOption();
    addOptions(parser);
    if (!parser.parse(args))
        return RxSimUsage{parser.errorText(), true};
    if (parser.isSet(help))
        return RxSimUsage{parser.helpText(), false};
    if (!parser.positionalArguments().isEmpty())
        return RxSimUsage{QStringLiteral("rxsim takes no arguments besides its options"), true};

    Parser p{parser, {}};
    RxSimOptions o;
    if (const auto port = p.integer(QStringLiteral("port"), 0, 65535))
        o.port = static_cast<std::uint16_t>(*port);
    if (const auto kind =
            p.either(QStringLiteral("kind"), "kiwisdr", RxSimKind::kiwisdr, "openwebrx", RxSimKind::openwebrx))
        o.kind = *kind;
    if (const auto fft = p.either(QStringLiteral("fft"), "adpcm", RxSimWaterfallFormat::adpcm, "float",
                                  RxSimWaterfallFormat::float32))
        o.waterfallFormat = *fft;
    o.hdAudio = parser.isSet(QStringLiteral("hd-audio"));
    if (const auto version = p.either(QStringLiteral("server-version"), "1.2", RxSimOpenWebRXVersion::v1_2, "1.1",
                                      RxSimOpenWebRXVersion::v1_1))
        o.openWebRXVersion = *version;
    o.backoffReason = p.text(QStringLiteral("backoff"));
    o.backoff = o.backoffReason.has_value() || parser.isSet(QStringLiteral("backoff-no-reason"));
    if (o.backoffReason && parser.isSet(QStringLiteral("backoff-no-reason")))
        p.fail(QStringLiteral("--backoff and --backoff-no-reason exclude each other"));
    o.sdrError = p.text(QStringLiteral("sdr-error"));
    if (const auto audio = p.either(QStringLiteral("audio"), "adpcm", RxSimAudio::adpcm, "pcm16", RxSimAudio::pcm16))
        o.audio = *audio;
    if (const auto fps = p.integer(QStringLiteral("wf-fps"), 1, 100))
        o.waterfallFPS = static_cast<int>(*fps);
    o.fast = parser.isSet(QStringLiteral("fast"));
    if (const auto timeout = p.seconds(QStringLiteral("keepalive-timeout")))
        o.keepaliveTimeout = *timeout;
    if (const auto chans = p.integer(QStringLiteral("rx-chans"), 1, 64))
        o.rxChannels = static_cast<int>(*chans);
    if (const auto chans = p.integer(QStringLiteral("wf-chans"), 1, 64))
        o.waterfallChannels = static_cast<int>(*chans);

    o.badp = p.text(QStringLiteral("badp"));
    o.password = p.text(QStringLiteral("password"));
    if (o.badp && (o.badp->isEmpty() || o.badp->contains(u' ')))
        p.fail(QStringLiteral("--badp takes a code without blanks"));
    if (const auto n = p.integer(QStringLiteral("too-busy"), 0, 1000))
        o.tooBusy = static_cast<int>(*n);
    o.monitor = parser.isSet(QStringLiteral("monitor"));
    o.name = p.text(QStringLiteral("name"));
    o.gps = p.text(QStringLiteral("gps"));
    o.redirect = p.text(QStringLiteral("redirect"));
    o.down = parser.isSet(QStringLiteral("down"));
    o.ipLimit = parser.isSet(QStringLiteral("ip-limit"));
    o.exclusiveUse = parser.isSet(QStringLiteral("exclusive-use"));

    if (const auto n = p.integer(QStringLiteral("too-busy-after"), 0, 1000))
        o.tooBusyAfter = static_cast<int>(*n);
    if (const auto delay = p.seconds(QStringLiteral("too-busy-delay")))
        o.tooBusyDelay = *delay;
    o.kick = p.text(QStringLiteral("kick"));
    if (const auto delay = p.seconds(QStringLiteral("kick-after")))
        o.kickAfter = *delay;
    if (const auto minutes = p.integer(QStringLiteral("inactivity-timeout"), 0, 100000))
        o.inactivityTimeout = static_cast<int>(*minutes);
    if (const auto delay = p.seconds(QStringLiteral("inactivity-delay")))
        o.inactivityDelay = *delay;
    o.dropAfter = p.seconds(QStringLiteral("drop-after"));

    o.refuseWaterfall = parser.isSet(QStringLiteral("refuse-waterfall"));
    o.statusDelay = p.seconds(QStringLiteral("status-delay"));
    o.statusNever = parser.isSet(QStringLiteral("status-never"));

    if (const auto hostile = p.text(QStringLiteral("hostile"))) {
        o.hostile = rxSimHostileFromName(*hostile);
        if (!o.hostile)
            p.fail(QStringLiteral("--hostile takes one of the cases the README lists, e.g. flood"));
        else if (o.kind == RxSimKind::openwebrx
                 && (*o.hostile == RxSimHostile::statusHuge || *o.hostile == RxSimHostile::statusTrickle
                     || *o.hostile == RxSimHostile::truncatedTags || *o.hostile == RxSimHostile::paramFlood
                     || *o.hostile == RxSimHostile::repeatedAudioRate
                     || *o.hostile == RxSimHostile::alternatingRxChan))
            p.fail(QStringLiteral("--hostile %1 is for --kind kiwisdr").arg(*hostile));
        else if (o.kind == RxSimKind::kiwisdr && *o.hostile == RxSimHostile::decoderFlood)
            p.fail(QStringLiteral("--hostile %1 is for --kind openwebrx").arg(*hostile));
    }

    if (!p.error.isEmpty())
        return RxSimUsage{p.error, true};
    return o;
}

QString rxSimHostileName(RxSimHostile hostile)
{
    for (const auto& [value, name] : hostileNames) {
        if (value == hostile)
            return QString::fromLatin1(name);
    }
    return {};
}

std::optional<RxSimHostile> rxSimHostileFromName(const QString& name)
{
    for (const auto& [value, text] : hostileNames) {
        if (name == QLatin1String(text))
            return value;
    }
    return std::nullopt;
}
