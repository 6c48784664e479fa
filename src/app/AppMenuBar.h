#pragma once
// The menu bar of every main window: File, Servers, Bookmarks and Help.

#include "bookmarks/ui/WindowActions.h"

#include <functional>

class QAction;
class QMainWindow;

// What the menus ask of the application.
struct AppCommands {
    std::function<void()> newWindow;
    std::function<void()> openSettings;
    std::function<void()> quit;
    std::function<void()> showAbout;
    std::function<void()> openServersEditor;
    std::function<void()> openBookmarksEditor;
    // The focused main window's actions, for the Servers and Bookmarks menus.
    WindowActionsProvider focusedActions;
    // The window's own File > Record action; none leaves it out.
    QAction* record = nullptr;
};

void installMenuBar(QMainWindow& window, const AppCommands& commands);
