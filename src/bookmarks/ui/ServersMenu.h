#pragma once
// The "Servers" menu: one item per saved server address, with the
// receiver's name once a connection has told it, which the focused main
// window connects to, then "Edit Servers…".

#include "bookmarks/ui/WindowActions.h"

#include <QList>
#include <QMenu>

#include <functional>

class Preferences;
class QAction;

class ServersMenu : public QMenu {
    Q_OBJECT
public:
    // Lists the server bookmarks and names kept in `preferences`.
    ServersMenu(const Preferences& preferences, WindowActionsProvider focused, std::function<void()> openEditor,
                QWidget* parent = nullptr);

private:
    void scheduleRebuild();
    void rebuild();
    void refreshEnabled();
    const WindowActions* focusedActions() const;

    const Preferences& preferences;
    WindowActionsProvider focused;
    std::function<void()> openEditor;
    QAction* editItem;
    // The server items and their separator, replaced on every rebuild.
    QList<QAction*> listItems;
    QList<QAction*> serverItems;
    bool rebuildScheduled = false;
};
