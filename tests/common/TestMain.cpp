// Test entry point shared by every test binary: a QApplication on the offscreen
// platform and private preferences and cache folders, so no test ever touches the
// user's own settings or needs a display.
#include <QApplication>
#include <QTemporaryDir>
#include <QtGlobal>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QTemporaryDir configHome;
    if (!configHome.isValid())
        return 2;
    qputenv("XDG_CONFIG_HOME", configHome.path().toUtf8());
    // The receiver lists' cache goes here too, never to the user's.
    QTemporaryDir cacheHome;
    if (!cacheHome.isValid())
        return 2;
    qputenv("XDG_CACHE_HOME", cacheHome.path().toUtf8());

    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Farlisten"));
    QCoreApplication::setApplicationName(QStringLiteral("Farlisten"));

    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
