#include "BookmarkUiTestSupport.h"
#include "bookmarks/ui/BookmarkListModel.h"
#include "bookmarks/ui/BookmarksEditor.h"
#include "bookmarks/ui/FrequencyBookmarksEditor.h"
#include "bookmarks/ui/ServersMenu.h"
#include "common/MemoryPasswordStore.h"
#include "session/ReceiverAddress.h"

#include <QApplication>
#include <QPushButton>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMimeData>
#include <QSet>
#include <QTableView>
#include <QTest>

#include <memory>

namespace {

const QString a = QStringLiteral("http://a.example:8073/");
const QString b = QStringLiteral("http://b.example:8074/");
const QString c = QStringLiteral("http://c.example:8073/");
const QString d = QStringLiteral("https://d.example/");

class BookmarkEditors : public ::testing::Test {
protected:
    void SetUp() override
    {
        preferences.setBookmarks(serverList({}));
        preferences.setFrequencyBookmarks({});
    }

    Preferences& preferences = Preferences::instance();

    static QTableView& list(QWidget& editor) { return *editor.findChild<QTableView*>(); }
    static BookmarkListModel& model(QWidget& editor)
    {
        return *static_cast<BookmarkListModel*>(list(editor).model());
    }
    static QAction& action(QWidget& editor, const char* name)
    {
        return *editor.findChild<QAction*>(QString::fromLatin1(name));
    }
    static bool showsEmptyState(QWidget& editor)
    {
        return !editor.findChild<QWidget*>(QStringLiteral("emptyState"))->isHidden();
    }
    static void select(QWidget& editor, std::initializer_list<int> rows)
    {
        QTableView& view = list(editor);
        view.clearSelection();
        for (const int row : rows)
            view.selectionModel()->select(view.model()->index(row, 0),
                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
};

TEST_F(BookmarkEditors, ServerEditorStartsEmptyAndAddsOnlyAddressesTheAddressFieldTakes)
{
    BookmarksEditor editor(preferences, serverAddressProblem, {}, listedServerAddress);
    editor.show();
    EXPECT_TRUE(showsEmptyState(editor));
    // A list stored elsewhere shows at once.
    preferences.setBookmarks(serverList({a}));
    EXPECT_EQ(model(editor).index(0, 0).data().toString(), a);
    EXPECT_FALSE(showsEmptyState(editor));
    preferences.setBookmarks(serverList({}));
    EXPECT_TRUE(showsEmptyState(editor));
    EXPECT_FALSE(action(editor, "deleteAction").isEnabled());

    auto* field = editor.findChild<QLineEdit*>(QStringLiteral("newServerAddress"));
    auto* message = editor.findChild<QLabel*>(QStringLiteral("editorMessage"));
    // Plain addresses are listed as the receivers' own are; a refusal says why.
    const QString kiwi = QStringLiteral("http://kiwi.example:8073/");
    const struct {
        QString typed;
        QStringList stored;
        QString refusal;
    } cases[] = {
        {QStringLiteral("not a url!!"), {}, QStringLiteral("Not saved: The server address has a space in it.")},
        {QStringLiteral("   "), {}, QStringLiteral("Not saved: Type a server address first.")},
        {QStringLiteral("http://"), {}, QStringLiteral("Not saved: The server address has no host name.")},
        {QStringLiteral("kiwi.example:99999"), {},
            QStringLiteral("Not saved: The server address's port is not a number from 1 to 65535.")},
        {QStringLiteral(" kiwi.example:8073 "), {kiwi}, {}},
        // Listed already: nothing new, the listed row is chosen.
        {QStringLiteral("http://kiwi.example:8073"), {kiwi}, {}},
        {a + QStringLiteral("?f=7200lsb"), {kiwi, a + QStringLiteral("?f=7200lsb")}, {}},
    };
    for (const auto& test : cases) {
        field->setText(test.typed);
        QTest::keyClick(field, Qt::Key_Return);
        EXPECT_EQ(storedUrls(), test.stored) << test.typed.toStdString();
        EXPECT_EQ(message->isVisibleTo(&editor) ? message->text() : QString(), test.refusal) << test.typed.toStdString();
        EXPECT_EQ(field->text().isEmpty(), test.refusal.isEmpty()) << test.typed.toStdString();
    }
    EXPECT_EQ(list(editor).selectionModel()->selectedRows(), QModelIndexList{model(editor).index(1, 0)});

    // An edited address that no connection could use is refused in plain words.
    QAbstractItemModel& rows = *list(editor).model();
    EXPECT_FALSE(rows.setData(rows.index(0, 0), QStringLiteral("not a url!!"), Qt::EditRole));
    EXPECT_EQ(message->text(), QStringLiteral("Not saved: The server address has a space in it."));
    EXPECT_FALSE(rows.setData(rows.index(0, 0), QString(), Qt::EditRole));
    EXPECT_EQ(storedUrls().front(), kiwi);
    EXPECT_TRUE(rows.setData(rows.index(0, 0), b, Qt::EditRole));
    EXPECT_EQ(storedUrls().front(), b);
    EXPECT_FALSE(message->isVisibleTo(&editor));
}

TEST_F(BookmarkEditors, DeleteRemovesTheSelectedRowsAndKeepsTheOthersInOrder)
{
    preferences.setBookmarks(serverList({a, b, c, d}));
    BookmarksEditor editor(preferences, serverAddressProblem);
    editor.show();
    editor.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&editor));
    QAction& remove = action(editor, "deleteAction");

    // Nothing selected: the button is off and the command removes nothing.
    EXPECT_FALSE(remove.isEnabled());
    remove.trigger();
    EXPECT_EQ(storedUrls(), (QStringList{a, b, c, d}));

    select(editor, {0, 2});
    EXPECT_TRUE(remove.isEnabled());
    remove.trigger();
    EXPECT_EQ(storedUrls(), (QStringList{b, d}));
    // No row is left looking chosen while Delete is off.
    EXPECT_FALSE(list(editor).selectionModel()->hasSelection());
    EXPECT_FALSE(list(editor).currentIndex().isValid());
    EXPECT_FALSE(remove.isEnabled());

    // Ctrl+Z puts the deleted rows back where they were, once.
    QAction& undo = action(editor, "undoAction");
    EXPECT_TRUE(undo.isEnabled());
    QTest::keyClick(&list(editor), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(storedUrls(), (QStringList{a, b, c, d}));
    EXPECT_FALSE(undo.isEnabled());
    select(editor, {0, 2});
    remove.trigger();

    // The Delete key deletes the selection too.
    list(editor).setFocus();
    select(editor, {0, 1});
    QTest::keyClick(&list(editor), Qt::Key_Delete);
    EXPECT_EQ(storedUrls(), QStringList{});
    EXPECT_TRUE(showsEmptyState(editor));
    // Undo goes back one delete at a time.
    undo.trigger();
    EXPECT_EQ(storedUrls(), (QStringList{b, d}));
    undo.trigger();
    EXPECT_EQ(storedUrls(), (QStringList{a, b, c, d}));
}

TEST_F(BookmarkEditors, EscapeCtrlWAndCloseEachCloseAnEditor)
{
    preferences.setBookmarks(serverList({a}));
    const std::function<void(QWidget&)> routes[] = {
        [](QWidget& editor) { QTest::keyClick(&list(editor), Qt::Key_Escape); },
        [](QWidget& editor) { QTest::keyClick(&list(editor), Qt::Key_W, Qt::ControlModifier); },
        [](QWidget& editor) {
            for (QPushButton* button : editor.findChildren<QPushButton*>())
                if (button->text() == QStringLiteral("Close"))
                    button->click();
        },
    };
    // Both editors take these keys and the button from the list editor they share.
    for (const auto& route : routes) {
        BookmarksEditor editor(preferences, serverAddressProblem);
        editor.show();
        editor.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&editor));
        list(editor).setFocus();
        route(editor);
        EXPECT_FALSE(editor.isVisible());
    }
    // Escape in a row being edited cancels the edit and leaves the window open.
    BookmarksEditor editor(preferences, serverAddressProblem);
    editor.show();
    editor.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&editor));
    list(editor).edit(model(editor).index(0, 0));
    auto* field = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(field, nullptr);
    QTest::keyClicks(field, QStringLiteral("x"));
    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(storedUrls(), QStringList{a});
}

TEST_F(BookmarkEditors, ThePasswordOfTheSelectedServerIsSetAndClearedInTheKeyringOnly)
{
    preferences.setBookmarks(serverList({a, b}));
    auto keyring = std::make_shared<MemoryPasswordStore>();
    BookmarksEditor editor(preferences, serverAddressProblem, keyring);
    auto* field = editor.findChild<QLineEdit*>(QStringLiteral("serverPassword"));
    auto* clear = editor.findChild<QPushButton*>(QStringLiteral("clearPassword"));
    auto* message = editor.findChild<QLabel*>(QStringLiteral("editorMessage"));
    EXPECT_FALSE(field->isEnabled());
    select(editor, {0, 1});
    EXPECT_FALSE(clear->isEnabled());

    select(editor, {1});
    QTest::keyClicks(field, QStringLiteral("pa ss"));
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_TRUE(field->text().isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !message->text().isEmpty(); }));
    EXPECT_EQ(keyring->entries, (QMap<QString, QString>{{b, QStringLiteral("pa ss")}}));
    EXPECT_EQ(message->text(), QStringLiteral("The password for ") + b + QStringLiteral(" is kept in the desktop keyring."));
    clear->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return message->text().startsWith(QStringLiteral("No password")); }));
    EXPECT_TRUE(keyring->entries.isEmpty());

    // Without a keyring nothing is kept, and the editor says so.
    keyring->problem = QStringLiteral("no desktop keyring is available");
    QTest::keyClicks(field, QStringLiteral("pass"));
    QTest::keyClick(field, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return message->text().startsWith(QStringLiteral("Nothing kept")); }));
    EXPECT_TRUE(keyring->entries.isEmpty());
    EXPECT_FALSE(preferences.bookmarks().toText().contains(QStringLiteral("pass")));
}

TEST_F(BookmarkEditors, DraggedRowsMoveTogetherAndAreStored)
{
    preferences.setBookmarks(serverList({a, b, c, d}));
    BookmarksEditor editor(preferences, serverAddressProblem);
    BookmarkListModel& rows = model(editor);

    // What the list hands the model when rows 0 and 2 are dropped at the end.
    select(editor, {0, 2});
    std::unique_ptr<QMimeData> dragged(rows.mimeData(list(editor).selectionModel()->selectedRows()));
    ASSERT_TRUE(rows.dropMimeData(dragged.get(), Qt::MoveAction, -1, -1, {}));
    EXPECT_EQ(storedUrls(), (QStringList{b, d, a, c}));
    // The moved rows stay selected.
    const QModelIndexList moved = list(editor).selectionModel()->selectedRows();
    EXPECT_EQ(QSet<QModelIndex>(moved.begin(), moved.end()), (QSet<QModelIndex>{rows.index(2, 0), rows.index(3, 0)}));

    ASSERT_TRUE(rows.dropMimeData(dragged.get(), Qt::MoveAction, 0, 0, {}));
    EXPECT_EQ(storedUrls(), (QStringList{a, c, b, d}));
    ASSERT_TRUE(rows.moveRows({}, 0, 2, {}, 4));
    EXPECT_EQ(storedUrls(), (QStringList{b, d, a, c}));

    // Moves that make no sense change nothing.
    EXPECT_FALSE(rows.moveRows({}, 3, 2, {}, 0));
    EXPECT_FALSE(rows.moveRows({}, 0, 1, {}, 5));
    EXPECT_FALSE(rows.dropMimeData(dragged.get(), Qt::CopyAction, 0, 0, {}));
    QMimeData stranger;
    stranger.setData(BookmarkListModel::idsMimeType, QUuid::createUuid().toByteArray());
    EXPECT_FALSE(rows.dropMimeData(&stranger, Qt::MoveAction, 0, 0, {}));
    EXPECT_EQ(storedUrls(), (QStringList{b, d, a, c}));
}

class FrequencyEditor : public BookmarkEditors {
protected:
    void SetUp() override
    {
        BookmarkEditors::SetUp();
        FrequencyBookmarks list;
        list.items = {frequencyBookmark(7200.004, Mode::lsb, QStringLiteral("Nets")),
                      frequencyBookmark(9420, Mode::am)};
        preferences.setFrequencyBookmarks(list);
    }

    FrequencyBookmark stored(int row) const { return preferences.frequencyBookmarks().items.at(row); }
};

TEST_F(FrequencyEditor, RowsShowTitleFrequencyUnitAndMode)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    FrequencyBookmarksEditor editor(preferences);
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(editor.findChild<QAction*>(QStringLiteral("addServerAction")), nullptr);
    const QAbstractItemModel& rows = *list(editor).model();
    EXPECT_EQ(QStringList({rows.index(0, 0).data().toString(), rows.index(1, 0).data().toString(),
                  rows.index(1, 2).data().toString()}), QStringList({"Nets", "", "kHz"}));

    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(rows.index(0, 1).data().toString(), QStringLiteral("7200,00"));
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(rows.index(0, 1).data().toString(), QStringLiteral("7200.00"));

    auto* mode = qobject_cast<QComboBox*>(list(editor).indexWidget(rows.index(1, 3)));
    ASSERT_NE(mode, nullptr);
    EXPECT_EQ(mode->count(), qsizetype(allModes.size()));
    EXPECT_EQ(mode->currentText(), QStringLiteral("AM"));
}

TEST_F(FrequencyEditor, ChangesAreStoredAsTheyAreMade)
{
    FrequencyBookmarksEditor editor(preferences);
    QAbstractItemModel& rows = *list(editor).model();

    // Choosing a mode from the pop-up stores it at once.
    auto* mode = qobject_cast<QComboBox*>(list(editor).indexWidget(rows.index(1, 3)));
    ASSERT_NE(mode, nullptr);
    mode->setCurrentIndex(9);
    emit mode->activated(9);
    EXPECT_EQ(stored(1).mode, Mode::wfm);

    // An empty title removes the name; any other text is kept as typed.
    ASSERT_TRUE(rows.setData(rows.index(0, 0), QString(), Qt::EditRole));
    EXPECT_EQ(stored(0).name, std::nullopt);
    ASSERT_TRUE(rows.setData(rows.index(1, 0), QStringLiteral(" Voice "), Qt::EditRole));
    EXPECT_EQ(stored(1).name, QStringLiteral(" Voice "));

    // The text as shown keeps the exact value; text that is no number changes nothing.
    ASSERT_TRUE(rows.setData(rows.index(0, 1), QStringLiteral("7200.00"), Qt::EditRole));
    EXPECT_EQ(stored(0).frequencyKHz, 7200.004);
    ASSERT_TRUE(rows.setData(rows.index(0, 1), QStringLiteral("7205,5"), Qt::EditRole));
    EXPECT_EQ(stored(0).frequencyKHz, 7205.5);
    for (const QString& bad : {QStringLiteral("7 MHz"), QString(), QStringLiteral("nan"), QStringLiteral("1e999")})
        EXPECT_FALSE(rows.setData(rows.index(0, 1), bad, Qt::EditRole)) << bad.toStdString();
    EXPECT_EQ(stored(0).frequencyKHz, 7205.5);
    EXPECT_FALSE(rows.setData(rows.index(0, 3), 10, Qt::EditRole));
    EXPECT_FALSE(rows.flags(rows.index(0, 2)) & Qt::ItemIsEditable);
}

TEST_F(FrequencyEditor, ReorderingKeepsEachRowsModeAndDeletingAllShowsTheEmptyState)
{
    FrequencyBookmarksEditor editor(preferences);
    QTableView& view = list(editor);
    ASSERT_TRUE(view.model()->moveRows({}, 1, 1, {}, 0));
    EXPECT_EQ(stored(0).mode, Mode::am);
    const auto shownMode = [&](int row) {
        return qobject_cast<QComboBox*>(view.indexWidget(view.model()->index(row, 3)))->currentText();
    };
    EXPECT_EQ(QStringList({shownMode(0), shownMode(1)}), QStringList({"AM", "LSB"}));

    EXPECT_FALSE(showsEmptyState(editor));
    select(editor, {0, 1});
    action(editor, "deleteAction").trigger();
    EXPECT_TRUE(preferences.frequencyBookmarks().items.isEmpty());
    EXPECT_TRUE(showsEmptyState(editor));
}

} // namespace
