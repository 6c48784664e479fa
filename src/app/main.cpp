#include "app/AppResources.h"
#include "app/MyApp.h"

#include <QApplication>

#include <csignal>

int main(int argc, char** argv)
{
    // Past a file-size limit (ulimit -f) a recording's write fails and the
    // window says so, instead of the signal ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Farlisten"));
    QCoreApplication::setApplicationName(QStringLiteral("Farlisten"));
    QCoreApplication::setApplicationVersion(QStringLiteral(FARLISTEN_VERSION));
    // Ties the windows to farlisten.desktop, for the desktop's icon and name.
    QGuiApplication::setDesktopFileName(QStringLiteral("farlisten"));
    QApplication::setWindowIcon(applicationIcon());

    MyApp farlisten;
    farlisten.newWindow();
    return app.exec();
}
