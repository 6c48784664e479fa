#include "RxProbeOptions.h"

#include "audio/SoundSourceNames.h"
#include "model/ServerValues.h"

#include <QCommandLineParser>
#include <QLocale>

#include <cmath>
#include <limits>

namespace {

// A week: long enough for any soak run, short enough for a millisecond timer.
constexpr double maxSeconds = 7 * 24 * 3600;
// Far above any receiver's coverage; the session clamps into the real band.
constexpr double maxFrequencyKHz = 1e7;

std::optional<double> finiteNumber(const QString& text, double low, double high)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(value) || value < low || value > high)
        return std::nullopt;
    return value;
}

} // namespace

std::variant<RxProbeOptions, RxProbeUsage> parseRxProbeCommandLine(const QStringList& args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Connects to a web receiver for a while without a window and prints every change of the\n"
        "session as one JSON object per line, then a summary of what was received."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption seconds(QStringLiteral("seconds"),
        QStringLiteral("How long to stay connected (default 10)."), QStringLiteral("N"));
    const QCommandLineOption frequency(QStringLiteral("frequency"),
        QStringLiteral("Frequency to tune, kHz."), QStringLiteral("KHZ"));
    const QCommandLineOption mode(QStringLiteral("mode"),
        QStringLiteral("Demodulation mode: am, amn, amw, sam, lsb, usb, cw, cwn, nbfm or wfm."),
        QStringLiteral("MODE"));
    const QCommandLineOption password(QStringLiteral("password"),
        QStringLiteral("Password for the receiver."), QStringLiteral("TEXT"));
    const QCommandLineOption zoom(QStringLiteral("zoom"),
        QStringLiteral("Waterfall zoom level (0-%1).").arg(maxZoomLevel), QStringLiteral("Z"));
    const QCommandLineOption wav(QStringLiteral("wav"),
        QStringLiteral("Record the audio to this WAV file, as the application records, instead of playing it."),
        QStringLiteral("FILE"));
    const QCommandLineOption squelch(QStringLiteral("squelch"),
        QStringLiteral("Squelch on, opening at this many dB above the noise floor."), QStringLiteral("DB"));
    const QCommandLineOption nr(QStringLiteral("nr"), QStringLiteral("Noise reduction on."));
    const QCommandLineOption notch(QStringLiteral("notch"),
        QStringLiteral("Notch on, at this audio frequency in Hz."), QStringLiteral("HZ"));
    const QCommandLineOption nb(QStringLiteral("nb"), QStringLiteral("Noise blanker on."));
    const QCommandLineOption reconnect(QStringLiteral("reconnect"),
        QStringLiteral("Reconnect after a connection broke without a refusal, as the application does."));
    const QCommandLineOption directory(QStringLiteral("directory"),
        QStringLiteral("Read a public receiver list (an address or a file) and print what the Receivers window "
                       "would list, instead of connecting; may be given more than once."),
        QStringLiteral("SOURCE"));
    const QCommandLineOption rigctld(QStringLiteral("rigctld"),
        QStringLiteral("Let other programs tune over hamlib's NET rigctl at 127.0.0.1:PORT (0: any free port)."),
        QStringLiteral("PORT"));
    const QCommandLineOption soundSource(QStringLiteral("sound-source"),
        QStringLiteral("Offer the sound as a capture source of this name (parec -d NAME) instead of playing it."),
        QStringLiteral("NAME"));
    const QCommandLineOption decoder(QStringLiteral("decoder"),
        QStringLiteral("Run this decoder of the receiver's (its name or modulation, e.g. cwdecoder) at 1000 Hz of "
                       "audio, on --mode when given, and print what it decodes."),
        QStringLiteral("NAME"));
    parser.addOptions({seconds, frequency, mode, password, zoom, wav, squelch, nr, notch, nb, reconnect, rigctld,
        soundSource, decoder, directory});
    parser.addPositionalArgument(QStringLiteral("ADDRESS"), QStringLiteral("The receiver's address."));

    if (!parser.parse(args))
        return RxProbeUsage{parser.errorText(), true};
    if (parser.isSet(help))
        return RxProbeUsage{parser.helpText(), false};
    const QStringList positional = parser.positionalArguments();
    if (parser.isSet(directory)) {
        if (!positional.isEmpty())
            return RxProbeUsage{QStringLiteral("--directory takes no ADDRESS"), true};
        RxProbeOptions options;
        options.directorySources = parser.values(directory);
        return options;
    }
    if (positional.size() != 1)
        return RxProbeUsage{QStringLiteral("rxprobe takes exactly one ADDRESS"), true};

    RxProbeOptions options;
    options.address = positional.front();
    if (parser.isSet(seconds)) {
        const std::optional<double> value = finiteNumber(parser.value(seconds), 0, maxSeconds);
        if (!value)
            return RxProbeUsage{QStringLiteral("--seconds takes a number from 0 to %1").arg(maxSeconds), true};
        options.duration = std::chrono::milliseconds(std::llround(*value * 1000));
    }
    if (parser.isSet(frequency)) {
        options.frequencyKHz = finiteNumber(parser.value(frequency), 0, maxFrequencyKHz);
        if (!options.frequencyKHz)
            return RxProbeUsage{QStringLiteral("--frequency takes kHz from 0 to %1").arg(maxFrequencyKHz), true};
    }
    if (parser.isSet(mode)) {
        options.mode = modeFromRawValue(parser.value(mode));
        if (!options.mode)
            return RxProbeUsage{QStringLiteral("--mode takes am, amn, amw, sam, lsb, usb, cw, cwn, nbfm or wfm"), true};
    }
    options.password = parser.value(password);
    if (parser.isSet(zoom)) {
        const std::optional<std::int64_t> value = parseServerInteger(parser.value(zoom));
        if (!value || *value < 0 || *value > maxZoomLevel)
            return RxProbeUsage{QStringLiteral("--zoom takes a whole number from 0 to %1").arg(maxZoomLevel), true};
        options.zoom = static_cast<int>(*value);
    }
    // Any finite number: out of range is clamped, and the summary shows the
    // value used.
    const double anyNumber = std::numeric_limits<double>::max();
    if (parser.isSet(squelch)) {
        const std::optional<double> value = finiteNumber(parser.value(squelch), -anyNumber, anyNumber);
        if (!value)
            return RxProbeUsage{QStringLiteral("--squelch takes a number of dB"), true};
        options.listening.squelchOn = true;
        options.listening.squelchLevelDb = *value;
    }
    if (parser.isSet(notch)) {
        const std::optional<double> value = finiteNumber(parser.value(notch), -anyNumber, anyNumber);
        if (!value)
            return RxProbeUsage{QStringLiteral("--notch takes a frequency in Hz"), true};
        options.listening.notchOn = true;
        options.listening.notchHz = *value;
    }
    options.listening.noiseReductionOn = parser.isSet(nr);
    options.listening.blankerOn = parser.isSet(nb);
    options.reconnect = parser.isSet(reconnect);
    if (parser.isSet(rigctld)) {
        const std::optional<std::int64_t> value = parseServerInteger(parser.value(rigctld));
        if (!value || *value < 0 || *value > 65535)
            return RxProbeUsage{QStringLiteral("--rigctld takes a port from 0 to 65535"), true};
        options.rigctldPort = static_cast<quint16>(*value);
    }
    if (parser.isSet(soundSource)) {
        options.soundSource = parser.value(soundSource).toUtf8();
        if (!isValidSoundSourceName(*options.soundSource))
            return RxProbeUsage{
                QStringLiteral("--sound-source takes a name of 1 to 64 letters, digits, '.', '-' and '_'"), true};
    }
    if (parser.isSet(decoder)) {
        options.decoder = parser.value(decoder).trimmed();
        if (options.decoder->isEmpty())
            return RxProbeUsage{QStringLiteral("--decoder takes a decoder's name"), true};
    }
    if (parser.isSet(wav)) {
        options.wavPath = parser.value(wav);
        if (options.wavPath->isEmpty())
            return RxProbeUsage{QStringLiteral("--wav takes a file name"), true};
    }
    return options;
}
