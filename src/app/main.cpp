#include "app/AppResources.h"
#include "app/CommandLine.h"
#include "app/Application.h"
#include "app/Translation.h"
#include "sharing/TerminationSignals.h"
#include "widgets/FocusFrameStyle.h"

#include <QApplication>
#include <QDebug>

#include <csignal>
#include <cstdio>
#include <string_view>

namespace {

void nameApplication()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Farlisten"));
    QCoreApplication::setApplicationName(QStringLiteral("Farlisten"));
    QCoreApplication::setApplicationVersion(QStringLiteral(FARLISTEN_VERSION));
}

// Installs the locale's translation; it stays installed while the result lives.
std::vector<std::unique_ptr<QTranslator>> translateApplication()
{
    std::vector<std::unique_ptr<QTranslator>> translators = loadTranslations(QLocale::system());
    for (const auto& translator : translators)
        QCoreApplication::installTranslator(translator.get());
    return translators;
}

// --help and --version are answered without a display, so they work over ssh
// and in scripts.
bool asksForTextOnly(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument(argv[i]);
        if (argument == "--")
            break;
        for (const std::string_view option : {"-h", "--help", "-?", "--help-all", "-v", "--version"}) {
            if (argument == option)
                return true;
        }
    }
    return false;
}

// Prints the warnings; the exit text, when there is one, too.
bool reportCommandLine(const LaunchRequest& request)
{
    for (const QString& warning : request.warnings)
        qWarning().noquote() << warning;
    if (!request.exitText)
        return false;
    std::fputs(request.exitText->toLocal8Bit().constData(), stdout);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (asksForTextOnly(argc, argv)) {
        QCoreApplication app(argc, argv);
        nameApplication();
        const auto translators = translateApplication();
        // Not so after all ("--mode -h"): the windows' path reports it.
        if (const LaunchRequest request = readCommandLine(QCoreApplication::arguments()); request.exitText) {
            reportCommandLine(request);
            return 0;
        }
    }

    // Past a file-size limit (ulimit -f) a recording's write fails and the
    // window says so, instead of the signal ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    nameApplication();
    const auto translators = translateApplication();
    // Ties the windows to farlisten.desktop, for the desktop's icon and name.
    QGuiApplication::setDesktopFileName(QStringLiteral("farlisten"));
    QApplication::setWindowIcon(applicationIcon());
    // The desktop's style, with a keyboard focus that can be seen.
    QApplication::setStyle(new FocusFrameStyle);

    const LaunchRequest request = readCommandLine(QCoreApplication::arguments());
    if (reportCommandLine(request))
        return 0;

    Application farlisten;
    quitOnTerminationSignals();
    farlisten.open(request);
    return app.exec();
}
