#include "bookmarks/ui/ServersMenu.h"

#include "settings/Preferences.h"
#include "bookmarks/ui/MenuText.h"

#include <QAction>
#include <QGuiApplication>
#include <QWindow>

ServersMenu::ServersMenu(const Preferences& preferences, WindowActionsProvider focused,
                         std::function<void()> openEditor, QWidget* parent)
    : QMenu(tr("&Servers"), parent)
    , preferences(preferences)
    , focused(std::move(focused))
    , openEditor(std::move(openEditor))
{
    editItem = addAction(tr("&Edit Servers…"));
    connect(editItem, &QAction::triggered, this, [this] {
        if (this->openEditor)
            this->openEditor();
    });
    rebuild();

    connect(&preferences, &Preferences::changed, this, [this](const QString& key) {
        if (key == PreferenceKeys::bookmarks || key == PreferenceKeys::serverNames)
            scheduleRebuild();
    });
    // The focused window may have changed since the items were last enabled:
    // look again before showing them, and whenever the focus moves, so that a
    // closed menu never leaves a stale state behind.
    connect(this, &QMenu::aboutToShow, this, &ServersMenu::refreshEnabled);
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &ServersMenu::refreshEnabled,
            Qt::QueuedConnection);
}

// The editor stores the list at every keystroke; the changes that come
// together are followed by one rebuild.
void ServersMenu::scheduleRebuild()
{
    if (rebuildScheduled)
        return;
    rebuildScheduled = true;
    QMetaObject::invokeMethod(this, &ServersMenu::rebuild, Qt::QueuedConnection);
}

void ServersMenu::rebuild()
{
    rebuildScheduled = false;
    qDeleteAll(listItems);
    listItems.clear();
    serverItems.clear();

    const QList<Bookmark> servers = preferences.bookmarks().nonBlankItems();
    for (const Bookmark& server : servers) {
        // The receiver's own name, once learned, beside the address.
        const QString name = preferences.serverName(server.url);
        const QString text = name.isEmpty() ? server.url : tr("%1 — %2").arg(server.url, name);
        auto* item = new QAction(verbatimActionText(text), this);
        const QString url = server.url;
        connect(item, &QAction::triggered, this, [this, url] {
            if (const WindowActions* actions = focusedActions(); actions && actions->chooseServer)
                actions->chooseServer(url);
        });
        serverItems.append(item);
        listItems.append(item);
    }
    if (!servers.isEmpty()) {
        auto* separator = new QAction(this);
        separator->setSeparator(true);
        listItems.append(separator);
    }
    insertActions(editItem, listItems);
    refreshEnabled();
}

void ServersMenu::refreshEnabled()
{
    const WindowActions* actions = focusedActions();
    const bool canChoose = actions && actions->chooseServer;
    for (QAction* item : std::as_const(serverItems))
        item->setEnabled(canChoose);
}

const WindowActions* ServersMenu::focusedActions() const
{
    return focused ? focused() : nullptr;
}
