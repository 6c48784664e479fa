#include "app/AppResources.h"
#include "app/MyApp.h"

#include <QApplication>

int main(int argc, char** argv)
{
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
