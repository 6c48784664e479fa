#include "bookmarks/ui/BookmarksMenu.h"

#include "settings/Preferences.h"
#include "bookmarks/ui/MenuText.h"

#include <QAction>
#include <QGuiApplication>
#include <QKeySequence>
#include <QWindow>

BookmarksMenu::BookmarksMenu(const Preferences& preferences, WindowActionsProvider focused,
                             std::function<void()> openEditor, QWidget* parent)
    : QMenu(tr("&Bookmarks"), parent)
    , preferences(preferences)
    , focused(std::move(focused))
    , openEditor(std::move(openEditor))
{
    addItem = addAction(tr("&Add Bookmark"));
    addItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    connect(addItem, &QAction::triggered, this, [this] {
        if (const WindowActions* actions = focusedActions(); actions && actions->addFrequencyBookmark)
            actions->addFrequencyBookmark();
    });
    addSeparator();
    listEnd = addSeparator();
    QAction* editItem = addAction(tr("&Edit Bookmarks…"));
    connect(editItem, &QAction::triggered, this, [this] {
        if (this->openEditor)
            this->openEditor();
    });
    rebuild();

    connect(&preferences, &Preferences::changed, this, [this](const QString& key) {
        if (key == PreferenceKeys::frequencyBookmarks)
            scheduleRebuild();
    });
    // Ctrl+D works with the menu closed, so the enabled states follow the
    // focus as well as being checked before the menu opens.
    connect(this, &QMenu::aboutToShow, this, &BookmarksMenu::refreshEnabled);
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &BookmarksMenu::refreshEnabled,
            Qt::QueuedConnection);
}

// The editor stores the list at every keystroke; the changes that come
// together are followed by one rebuild.
void BookmarksMenu::scheduleRebuild()
{
    if (rebuildScheduled)
        return;
    rebuildScheduled = true;
    QMetaObject::invokeMethod(this, &BookmarksMenu::rebuild, Qt::QueuedConnection);
}

void BookmarksMenu::rebuild()
{
    rebuildScheduled = false;
    qDeleteAll(listItems);
    listItems.clear();
    bookmarkItems.clear();

    const FrequencyBookmarks list = preferences.frequencyBookmarks();
    if (list.items.isEmpty()) {
        auto* none = new QAction(tr("No Bookmarks"), this);
        none->setEnabled(false);
        listItems.append(none);
    }
    for (const FrequencyBookmark& bookmark : list.items) {
        auto* item = new QAction(verbatimActionText(bookmark.title()), this);
        connect(item, &QAction::triggered, this, [this, bookmark] {
            if (const WindowActions* actions = focusedActions(); actions && actions->tuneToFrequencyBookmark)
                actions->tuneToFrequencyBookmark(bookmark);
        });
        bookmarkItems.append(item);
        listItems.append(item);
    }
    insertActions(listEnd, listItems);
    refreshEnabled();
}

void BookmarksMenu::refreshEnabled()
{
    const WindowActions* actions = focusedActions();
    addItem->setEnabled(actions && actions->addFrequencyBookmark);
    const bool canTune = actions && actions->tuneToFrequencyBookmark;
    for (QAction* item : std::as_const(bookmarkItems))
        item->setEnabled(canTune);
}

const WindowActions* BookmarksMenu::focusedActions() const
{
    return focused ? focused() : nullptr;
}
