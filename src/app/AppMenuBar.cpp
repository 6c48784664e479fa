#include "app/AppMenuBar.h"

#include "bookmarks/ui/BookmarksMenu.h"
#include "bookmarks/ui/ServersMenu.h"

#include <QAction>
#include <QLayout>
#include <QCoreApplication>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace {

QMenu* addNewWindowItem(QMenuBar& bar, const AppCommands& commands)
{
    QMenu* file = bar.addMenu(QCoreApplication::translate("AppMenuBar", "&File"));
    file->setObjectName(QStringLiteral("fileMenu"));
    QAction* newWindow = file->addAction(QCoreApplication::translate("AppMenuBar", "&New Window"), commands.newWindow);
    newWindow->setShortcuts(standardShortcuts(QKeySequence(Qt::CTRL | Qt::Key_N), QKeySequence::New));
    return file;
}

QAction* addQuitItem(QMenu& file, const AppCommands& commands)
{
    QAction* quit = file.addAction(QCoreApplication::translate("AppMenuBar", "&Quit"), commands.quit);
    quit->setShortcuts(standardShortcuts(QKeySequence(Qt::CTRL | Qt::Key_Q), QKeySequence::Quit));
    quit->setMenuRole(QAction::QuitRole);
    return quit;
}

QAction* addSettingsItem(QMenu& file, const AppCommands& commands)
{
    QAction* settings = file.addAction(QCoreApplication::translate("AppMenuBar", "&Settings…"), commands.openSettings);
    settings->setShortcuts(standardShortcuts(QKeySequence(Qt::CTRL | Qt::Key_Comma), QKeySequence::Preferences));
    settings->setMenuRole(QAction::PreferencesRole);
    return settings;
}

void addFileMenu(QMainWindow& window, const AppCommands& commands)
{
    QMenu* file = addNewWindowItem(*window.menuBar(), commands);
    QAction* close = file->addAction(QCoreApplication::translate("AppMenuBar", "&Close Window"), &window, &QWidget::close);
    close->setShortcuts(standardShortcuts(QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence::Close));
    file->addSeparator();
    if (commands.record) {
        file->addAction(commands.record);
        file->addSeparator();
    }
    addSettingsItem(*file, commands);
    file->addSeparator();
    addQuitItem(*file, commands);
}

} // namespace

QList<QKeySequence> standardShortcuts(const QKeySequence& first, QKeySequence::StandardKey standard)
{
    QList<QKeySequence> shortcuts{first};
    for (const QKeySequence& binding : QKeySequence::keyBindings(standard)) {
        if (!shortcuts.contains(binding))
            shortcuts.append(binding);
    }
    return shortcuts;
}

void installMenuBar(QMainWindow& window, const AppCommands& commands, const Preferences& preferences)
{
    addFileMenu(window, commands);
    QMenuBar* bar = window.menuBar();
    if (commands.addWindowMenus)
        commands.addWindowMenus(*bar);
    auto* servers = new ServersMenu(preferences, commands.focusedActions, commands.openServersEditor, bar);
    bar->addMenu(servers);
    if (commands.openReceivers) {
        QAction* receivers = servers->addAction(
            QCoreApplication::translate("AppMenuBar", "&Find a Receiver…"), commands.openReceivers);
        receivers->setObjectName(QStringLiteral("findReceiver"));
        receivers->setShortcuts(standardShortcuts(QKeySequence(Qt::CTRL | Qt::Key_F), QKeySequence::Find));
    }
    bar->addMenu(new BookmarksMenu(preferences, commands.focusedActions, commands.openBookmarksEditor, bar));
    QMenu* help = bar->addMenu(QCoreApplication::translate("AppMenuBar", "&Help"));
    help->setObjectName(QStringLiteral("helpMenu"));
    QAction* keys = help->addAction(QCoreApplication::translate("AppMenuBar", "&Keys and Mouse"), commands.showKeysAndMouse);
    keys->setObjectName(QStringLiteral("keysAndMouseAction"));
    keys->setShortcuts(QKeySequence::keyBindings(QKeySequence::HelpContents));
    QAction* firstSteps
        = help->addAction(QCoreApplication::translate("AppMenuBar", "&First Steps (README)"), commands.openFirstSteps);
    firstSteps->setObjectName(QStringLiteral("firstStepsAction"));
    help->addSeparator();
    QAction* about = help->addAction(QCoreApplication::translate("AppMenuBar", "&About Farlisten"), commands.showAbout);
    about->setMenuRole(QAction::AboutRole);
}

void installSecondaryMenuBar(QWidget& window, const AppCommands& commands)
{
    auto* bar = new QMenuBar(&window);
    bar->setObjectName(QStringLiteral("menuBar"));
    QMenu* file = addNewWindowItem(*bar, commands);
    file->addSeparator();
    if (commands.openSettings) {
        addSettingsItem(*file, commands);
        file->addSeparator();
    }
    addQuitItem(*file, commands);
    if (QLayout* layout = window.layout())
        layout->setMenuBar(bar);
}
