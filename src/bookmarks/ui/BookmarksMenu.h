#pragma once
// The "Bookmarks" menu: "Add Bookmark" (Ctrl+D) for the focused main window's
// frequency, one item per frequency bookmark to tune to, then "Edit
// Bookmarks…".

#include "bookmarks/ui/WindowActions.h"

#include <QList>
#include <QMenu>

#include <functional>

class Preferences;
class QAction;

class BookmarksMenu : public QMenu {
    Q_OBJECT
public:
    // Lists the frequency bookmarks kept in `preferences`.
    BookmarksMenu(const Preferences& preferences, WindowActionsProvider focused, std::function<void()> openEditor,
                  QWidget* parent = nullptr);

private:
    void scheduleRebuild();
    void rebuild();
    void refreshEnabled();
    const WindowActions* focusedActions() const;

    const Preferences& preferences;
    WindowActionsProvider focused;
    std::function<void()> openEditor;
    QAction* addItem;
    QAction* listEnd;
    // "No Bookmarks" or the bookmark items, replaced on every rebuild.
    QList<QAction*> listItems;
    QList<QAction*> bookmarkItems;
    bool rebuildScheduled = false;
};
