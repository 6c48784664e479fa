#pragma once
// Shared by the menu and editor tests: lists put straight into the store,
// the texts of a menu.

#include "bookmarks/Bookmarks.h"
#include "settings/Preferences.h"
#include "common/MnemonicText.h"
#include "common/QtTestOutput.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>

#include <gtest/gtest.h>

#include <optional>

inline Bookmarks serverList(const QStringList& urls)
{
    Bookmarks list;
    for (const QString& url : urls)
        list.items.append({QUuid::createUuid(), url});
    return list;
}

inline FrequencyBookmark frequencyBookmark(double kHz, Mode mode, std::optional<QString> name = std::nullopt)
{
    return {QUuid::createUuid(), kHz, mode, std::move(name)};
}

inline QStringList storedUrls()
{
    QStringList urls;
    for (const Bookmark& bookmark : Preferences::instance().bookmarks().items)
        urls.append(bookmark.url);
    return urls;
}

// Lets queued menu rebuilds run.
inline void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

// The menu's items as shown: separators as "-", disabled items in brackets.
inline QStringList menuLines(const QMenu& menu)
{
    QStringList lines;
    for (const QAction* action : menu.actions()) {
        const QString text = withoutMnemonic(action->text());
        lines.append(action->isSeparator() ? QStringLiteral("-") : action->isEnabled() ? text : u'[' + text + u']');
    }
    return lines;
}

inline QAction* menuItem(const QMenu& menu, const QString& text)
{
    for (QAction* action : menu.actions())
        if (withoutMnemonic(action->text()) == text)
            return action;
    return nullptr;
}
