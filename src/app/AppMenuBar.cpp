#include "app/AppMenuBar.h"

#include "bookmarks/ui/BookmarksMenu.h"
#include "bookmarks/ui/ServersMenu.h"

#include <QAction>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace {

void addFileMenu(QMainWindow& window, const AppCommands& commands)
{
    QMenu* file = window.menuBar()->addMenu(QStringLiteral("File"));
    file->setObjectName(QStringLiteral("fileMenu"));
    QAction* newWindow = file->addAction(QStringLiteral("New Window"), commands.newWindow);
    newWindow->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    QAction* close = file->addAction(QStringLiteral("Close Window"), &window, &QWidget::close);
    close->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    file->addSeparator();
    if (commands.record) {
        file->addAction(commands.record);
        file->addSeparator();
    }
    QAction* settings = file->addAction(QStringLiteral("Settings…"), commands.openSettings);
    settings->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    settings->setMenuRole(QAction::PreferencesRole);
    file->addSeparator();
    QAction* quit = file->addAction(QStringLiteral("Quit"), commands.quit);
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    quit->setMenuRole(QAction::QuitRole);
}

} // namespace

void installMenuBar(QMainWindow& window, const AppCommands& commands)
{
    addFileMenu(window, commands);
    QMenuBar* bar = window.menuBar();
    bar->addMenu(new ServersMenu(commands.focusedActions, commands.openServersEditor, bar));
    bar->addMenu(new BookmarksMenu(commands.focusedActions, commands.openBookmarksEditor, bar));
    QMenu* help = bar->addMenu(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("helpMenu"));
    QAction* about = help->addAction(QStringLiteral("About Farlisten"), commands.showAbout);
    about->setMenuRole(QAction::AboutRole);
}
