#pragma once
// What the focused main window offers the Servers and Bookmarks menus. Each
// action closes over that window's session; a window without a focused main
// window offers none, and the menu items that need one are disabled.

#include "bookmarks/Bookmarks.h"

#include <QString>

#include <functional>

struct WindowActions {
    std::function<void(const QString& address)> chooseServer;
    std::function<void(const FrequencyBookmark& bookmark)> tuneToFrequencyBookmark;
    std::function<void()> addFrequencyBookmark;
};

// The actions of the focused main window, or null when no main window has
// the focus.
using WindowActionsProvider = std::function<const WindowActions*()>;
