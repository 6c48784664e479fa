#include "app/CommandLine.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>

namespace {

// More windows than anyone listens to at once; a longer list is a mistake.
constexpr qsizetype maxAddresses = 20;

} // namespace

LaunchRequest readCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QCoreApplication::translate("CommandLine",
            "Listen to public web shortwave receivers (KiwiSDR and OpenWebRX servers)."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption frequency(QStringList{QStringLiteral("f"), QStringLiteral("frequency")},
        QCoreApplication::translate("CommandLine", "Tune to KHZ kilohertz."), QStringLiteral("KHZ"));
    const QCommandLineOption mode(QStringList{QStringLiteral("m"), QStringLiteral("mode")},
        QCoreApplication::translate("CommandLine", "Listen in MODE: am, amn, amw, sam, lsb, usb, cw, cwn, nbfm or wfm."),
        QStringLiteral("MODE"));
    const QCommandLineOption directory(QStringLiteral("directory"),
        QCoreApplication::translate("CommandLine",
            "Read the receiver list SOURCE (an address or a file) instead of the public lists, and show the "
            "Receivers window; may be given more than once."),
        QStringLiteral("SOURCE"));
    parser.addOption(frequency);
    parser.addOption(mode);
    parser.addOption(directory);
    parser.addPositionalArgument(QStringLiteral("ADDRESS"),
        QCoreApplication::translate("CommandLine",
            "A receiver to open a window for and connect to: host, host:port, an http(s) address, "
            "or the address of a receiver's web page with its frequency and mode."),
        QStringLiteral("[ADDRESS…]"));

    LaunchRequest request;
    // Unknown options and a missing value are reported and skipped; what
    // could be read is still used.
    if (!parser.parse(arguments))
        request.warnings.append(parser.errorText());
    // Qt's own options are left out of the help: Farlisten's are what a listener needs.
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        request.exitText = parser.helpText();
        return request;
    }
    if (parser.isSet(version)) {
        request.exitText =
            QCoreApplication::applicationName() + u' ' + QCoreApplication::applicationVersion() + u'\n';
        return request;
    }

    // A missing value was reported by the parser already.
    if (parser.isSet(frequency) && !parser.value(frequency).isEmpty()) {
        const QString text = parser.value(frequency);
        request.frequencyKHz = frequencyKHzFromText(text);
        if (!request.frequencyKHz)
            request.warnings.append(
                QCoreApplication::translate("CommandLine",
                    "Ignored --frequency \"%1\": not a frequency in kHz between 0 and 10 GHz.").arg(text.left(60)));
    }
    if (parser.isSet(mode) && !parser.value(mode).isEmpty()) {
        const QString text = parser.value(mode);
        request.mode = modeFromAddressText(text);
        if (!request.mode)
            request.warnings.append(
                QCoreApplication::translate("CommandLine", "Ignored the unknown --mode \"%1\".").arg(text.left(60)));
    }

    for (const QString& source : parser.values(directory)) {
        if (!source.trimmed().isEmpty() && request.directorySources.size() < maxAddresses)
            request.directorySources.append(source.trimmed());
    }

    QStringList positional = parser.positionalArguments();
    if (positional.size() > maxAddresses) {
        request.warnings.append(
            QCoreApplication::translate("CommandLine", "Only the first %1 addresses are opened.").arg(maxAddresses));
        positional.resize(maxAddresses);
    }
    for (const QString& text : std::as_const(positional)) {
        ReceiverAddress address = parseReceiverAddress(text);
        request.warnings.append(address.warnings);
        address.warnings.clear();
        if (address.server.isEmpty()) {
            request.warnings.append(
                QCoreApplication::translate("CommandLine", "Ignored \"%1\": it names no server.").arg(text.left(60)));
            continue;
        }
        if (request.frequencyKHz)
            address.frequencyKHz = request.frequencyKHz;
        if (request.mode)
            address.mode = request.mode;
        request.addresses.append(address);
    }
    return request;
}
