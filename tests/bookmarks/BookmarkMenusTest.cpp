#include "BookmarkUiTestSupport.h"
#include "bookmarks/ui/BookmarkNamePopup.h"
#include "bookmarks/ui/BookmarksMenu.h"
#include "bookmarks/ui/ServersMenu.h"

#include <QKeySequence>
#include <QLineEdit>
#include <QPointer>
#include <QTest>

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
        preferences.setBookmarks(serverList({}));
        preferences.setFrequencyBookmarks({});
    }

    Preferences& preferences = Preferences::instance();
    FocusedWindow window;
    int editorsOpened = 0;
    std::function<void()> openEditor = [this] { ++editorsOpened; };
};

TEST_F(BookmarkMenus, ServersWithoutAFocusedWindowAreDisabledButTheEditorOpens)
{
    preferences.setBookmarks(serverList({"http://a.example:8073/", "", " \t ", "http://b.example/"}));
    ServersMenu menu(preferences, window.provider(), openEditor);
    EXPECT_EQ(menuLines(menu), QStringList({"[http://a.example:8073/]", "[http://b.example/]", "-", "Edit Servers…"}));
    menuItem(menu, QStringLiteral("Edit Servers…"))->trigger();
    EXPECT_EQ(editorsOpened, 1);

    // A receiver's name, once learned, stands beside its address, as plain text and cut short.
    preferences.setServerName(QStringLiteral(" http://b.example/ "), QStringLiteral("<b>Twente</b>"));
    preferences.setServerName(QStringLiteral("http://a.example:8073/"), QString(100, u'x'));
    settle();
    EXPECT_EQ(menuLines(menu).mid(0, 2),
        QStringList({"[http://a.example:8073/ — " + QString(80, u'x') + ']', "[http://b.example/ — <b>Twente</b>]"}));
    preferences.setServerName(QStringLiteral("http://a.example:8073/"), QString());
    preferences.setServerName(QStringLiteral("http://b.example/"), QString());

    // The menu follows the stored list; only blank servers leave the edit item alone.
    preferences.setBookmarks(serverList({"", "   "}));
    settle();
    EXPECT_EQ(menuLines(menu), QStringList{"Edit Servers…"});
}

TEST_F(BookmarkMenus, BookmarkItemsAreEnabledByTheirOwnActions)
{
    FrequencyBookmarks list;
    list.items = {frequencyBookmark(7200, Mode::lsb), frequencyBookmark(9420, Mode::am, QStringLiteral("R&R"))};
    BookmarksMenu menu(preferences, window.provider(), openEditor);
    EXPECT_EQ(menuLines(menu), QStringList({"[Add Bookmark]", "-", "[No Bookmarks]", "-", "Edit Bookmarks…"}));
    EXPECT_EQ(menuItem(menu, QStringLiteral("Add Bookmark"))->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
    menuItem(menu, QStringLiteral("Edit Bookmarks…"))->trigger();
    EXPECT_EQ(editorsOpened, 1);

    preferences.setFrequencyBookmarks(list);
    settle();
    EXPECT_EQ(menuLines(menu).at(3), QStringLiteral("[R&&R — 9420.00 kHz AM]"));

    QList<FrequencyBookmark> tuned;
    window.actions = WindowActions{{}, [&](const FrequencyBookmark& bookmark) { tuned.append(bookmark); }, {}};
    emit menu.aboutToShow();
    EXPECT_EQ(menuLines(menu), QStringList({"[Add Bookmark]", "-", "7200.00 kHz LSB", "R&&R — 9420.00 kHz AM", "-",
                                   "Edit Bookmarks…"}));
    menu.actions().at(3)->trigger();
    ASSERT_EQ(tuned.size(), 1);
    EXPECT_EQ(tuned.front(), list.items[1]);
}

TEST_F(BookmarkMenus, TheNamingPopupKeepsATypedNameOnReturnAndTheDefaultTitleOnEscape)
{
    QWidget anchor;
    anchor.show();
    const struct {
        const char* typed;
        Qt::Key key;
        std::optional<QString> name;
    } cases[] = {
        {"Nets", Qt::Key_Return, QStringLiteral("Nets")},
        {"Nets", Qt::Key_Escape, std::nullopt},
        {"  ", Qt::Key_Return, std::nullopt},
    };
    for (const auto& test : cases) {
        const std::optional<QUuid> id = preferences.addFrequencyBookmark(Mode::lsb, 7200);
        ASSERT_TRUE(id);
        EXPECT_FALSE(preferences.addFrequencyBookmark(Mode::lsb, 7200));
        QPointer<BookmarkNamePopup> popup =
            BookmarkNamePopup::open(preferences, *id, QStringLiteral("7200.00 kHz LSB"), &anchor);
        EXPECT_EQ(popup->field()->placeholderText(), QStringLiteral("7200.00 kHz LSB"));
        QTest::keyClicks(popup->field(), QString::fromLatin1(test.typed));
        QTest::keyClick(popup->field(), test.key);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(popup.isNull()) << test.typed;
        EXPECT_EQ(preferences.frequencyBookmarks().items.at(0).name, test.name) << test.typed;
        preferences.setFrequencyBookmarks({});
    }
}

} // namespace

