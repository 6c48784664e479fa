#include "app/MainWindow.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Farlisten"));
    QCoreApplication::setApplicationName(QStringLiteral("Farlisten"));

    MainWindow window;
    window.show();
    return app.exec();
}
