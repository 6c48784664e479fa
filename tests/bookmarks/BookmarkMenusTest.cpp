#include "BookmarkUiTestSupport.h"
#include "bookmarks/ui/BookmarksMenu.h"
#include "bookmarks/ui/ServersMenu.h"

#include <QKeySequence>

namespace {

// Stands in for the main windows: the actions of the focused one, or none.
struct FocusedWindow {
    std::optional<WindowActions> actions;
    WindowActionsProvider provider()
    {
        return [this]() -> const WindowActions* { return actions ? &*actions : nullptr; };
    }
};

class BookmarkMenus : public ::testing::Test {
protected:
    void SetUp() override
    {
        Preferences::instance().setBookmarks(serverList({}));
        Preferences::instance().setFrequencyBookmarks({});
    }

    FocusedWindow window;
    int editorsOpened = 0;
    std::function<void()> openEditor = [this] { ++editorsOpened; };
};

TEST_F(BookmarkMenus, ServersWithoutAFocusedWindowAreDisabledButTheEditorOpens)
{
    Preferences::instance().setBookmarks(serverList({QStringLiteral("http://a.example:8073/"), QString(),
                                                     QStringLiteral(" \t "), QStringLiteral("http://b.example/")}));
    ServersMenu menu(window.provider(), openEditor);
    EXPECT_EQ(menuLines(menu), (QStringList{QStringLiteral("[http://a.example:8073/]"),
                                            QStringLiteral("[http://b.example/]"), QStringLiteral("-"),
                                            QStringLiteral("Edit Servers…")}));
    menuItem(menu, QStringLiteral("Edit Servers…"))->trigger();
    EXPECT_EQ(editorsOpened, 1);

    // The menu follows the stored list; only blank servers leave the edit item alone.
    Preferences::instance().setBookmarks(serverList({QString(), QStringLiteral("   ")}));
    settle();
    EXPECT_EQ(menuLines(menu), QStringList{QStringLiteral("Edit Servers…")});
}

TEST_F(BookmarkMenus, BookmarkItemsAreEnabledByTheirOwnActions)
{
    FrequencyBookmarks list;
    list.items = {frequencyBookmark(7200, KiwiMode::lsb), frequencyBookmark(9420, KiwiMode::am, QStringLiteral("R&R"))};
    BookmarksMenu menu(window.provider(), openEditor);
    EXPECT_EQ(menuLines(menu),
              (QStringList{QStringLiteral("[Add Bookmark]"), QStringLiteral("-"), QStringLiteral("[No Bookmarks]"),
                           QStringLiteral("-"), QStringLiteral("Edit Bookmarks…")}));
    EXPECT_EQ(menuItem(menu, QStringLiteral("Add Bookmark"))->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
    menuItem(menu, QStringLiteral("Edit Bookmarks…"))->trigger();
    EXPECT_EQ(editorsOpened, 1);

    Preferences::instance().setFrequencyBookmarks(list);
    settle();
    EXPECT_EQ(menuLines(menu).at(3), QStringLiteral("[R&&R — 9420.00 kHz AM]"));

    QList<FrequencyBookmark> tuned;
    window.actions = WindowActions{{}, [&](const FrequencyBookmark& bookmark) { tuned.append(bookmark); }, {}};
    emit menu.aboutToShow();
    EXPECT_EQ(menuLines(menu),
              (QStringList{QStringLiteral("[Add Bookmark]"), QStringLiteral("-"), QStringLiteral("7200.00 kHz LSB"),
                           QStringLiteral("R&&R — 9420.00 kHz AM"), QStringLiteral("-"),
                           QStringLiteral("Edit Bookmarks…")}));
    menu.actions().at(3)->trigger();
    ASSERT_EQ(tuned.size(), 1);
    EXPECT_EQ(tuned.front(), list.items[1]);
}

} // namespace
