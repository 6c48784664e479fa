#pragma once
// The menu bar of every main window: File, the window's own menus, Servers,
// Bookmarks and Help (Keys and Mouse, First Steps, About). Every menu and item has a mnemonic.

#include "bookmarks/ui/WindowActions.h"

#include <QKeySequence>
#include <QList>

#include <functional>

class Preferences;
class QAction;
class QMainWindow;
class QMenuBar;
class QWidget;

// What the menus ask of the application.
struct AppCommands {
    std::function<void()> newWindow;
    std::function<void()> openSettings;
    std::function<void()> quit;
    std::function<void()> showAbout;
    std::function<void()> showKeysAndMouse;
    std::function<void()> openFirstSteps;
    std::function<void()> openServersEditor;
    std::function<void()> openBookmarksEditor;
    // The Receivers window: every public receiver in a list and on a map.
    std::function<void()> openReceivers;
    // The focused main window's actions, for the Servers and Bookmarks menus.
    WindowActionsProvider focusedActions;
    // Adds the menus that act on this window alone, after File; may be empty.
    std::function<void(QMenuBar&)> addWindowMenus;
    // The window's own File > Record action; none leaves it out.
    QAction* record = nullptr;
};

// `first`, which the menus show, then the desktop's own bindings of the
// standard key, so both work.
QList<QKeySequence> standardShortcuts(const QKeySequence& first, QKeySequence::StandardKey standard);

// The Servers and Bookmarks menus list what `preferences` keeps.
void installMenuBar(QMainWindow& window, const AppCommands& commands, const Preferences& preferences);
// The menu bar of a window that is not a main window (an editor, the
// settings): File with New Window, Settings… (when given) and Quit, so that
// a main window can always be opened again.
void installSecondaryMenuBar(QWidget& window, const AppCommands& commands);
