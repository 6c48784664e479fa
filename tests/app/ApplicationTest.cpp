#include "AppTestSupport.h"
#include "app/CommandLine.h"
#include "app/Application.h"
#include "app/KeysAndMouse.h"
#include "app/MainWindowContent.h"
#include "app/StatusLine.h"
#include "app/Translation.h"
#include "common/MnemonicText.h"
#include "model/ReceiverError.h"
#include "bookmarks/BuiltInServers.h"
#include "settings/Preferences.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QLineEdit>
#include <QMenuBar>
#include <QTableWidget>
#include <QTimer>
#include <QWindow>

#include <tuple>

namespace {

using namespace std::chrono_literals;

class ApplicationTest : public AppTest {
protected:
    Application app{[] { return MainWindow::Services{silentPlayer(), [](const QUrl&) {}, {}, {}}; }};
};

bool activate(QWidget& window)
{
    window.activateWindow();
    return QTest::qWaitFor([&] { return QApplication::activeWindow() == &window; }, 5000);
}

QMenu* menuTitled(const QMainWindow& window, const QString& title)
{
    for (QAction* action : window.menuBar()->actions())
        if (action->menu() && withoutMnemonic(action->text()) == title)
            return action->menu();
    return nullptr;
}

QAction* itemTitled(const QMenu& menu, const QString& title)
{
    for (QAction* action : menu.actions())
        if (withoutMnemonic(action->text()) == title)
            return action;
    return nullptr;
}

TEST_F(ApplicationTest, EveryMainWindowHasItsOwnSession)
{
    MainWindow* first = app.newWindow();
    MainWindow* second = app.newWindow();
    ASSERT_EQ(app.mainWindows().size(), 2);

    ASSERT_TRUE(connectWindow(*first, rxsimAddress));
    EXPECT_TRUE(second->client().state().isDisconnected());
    first->client().tune(9500);
    EXPECT_EQ(second->client().frequencyKHz(), 7200.0);

    // Closing a window ends its session only.
    const QPointer<MainWindow> closed = first;
    first->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return rxsim.channelCount() == 0; }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return closed.isNull(); }, 5000));
    EXPECT_EQ(app.mainWindows(), QList<MainWindow*>{second});
}

// Counts the requests to end the program and holds them back, so a test can
// see one without losing its event loop.
class QuitRequests : public QObject {
public:
    QuitRequests() { qApp->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != qApp || event->type() != QEvent::Quit)
            return false;
        ++count;
        return true;
    }
};

// Inside the program's event loop, where Qt's own rules for ending it apply.
TEST_F(ApplicationTest, OnlyTheLastWindowClosedEndsTheProgram)
{
    QuitRequests quitRequests;
    using Route = std::function<void(QWidget&)>;
    const Route routes[] = {
        [](QWidget& window) { QTest::keyClick(&window, Qt::Key_W, Qt::ControlModifier); },
        [](QWidget& window) {
            QMenu* file = menuTitled(static_cast<QMainWindow&>(window), QStringLiteral("File"));
            itemTitled(*file, QStringLiteral("Close Window"))->trigger();
        },
        // The title bar's close button.
        [](QWidget& window) { window.windowHandle()->close(); },
    };
    // Closes the window, which must not end the program.
    const auto closeWith = [&](const Route& closeBy, MainWindow* window) {
        ASSERT_TRUE(activate(*window));
        const QPointer<MainWindow> closed = window;
        closeBy(*window);
        ASSERT_TRUE(QTest::qWaitFor([&] { return closed.isNull(); }, 5000));
        QTest::qWait(50);
        EXPECT_EQ(quitRequests.count, 0);
    };
    const auto closeOneByOne = [&] {
        for (const Route& closeBy : routes) {
            MainWindow* first = app.newWindow();
            ASSERT_TRUE(connectWindow(*first, rxsimAddress));
            app.newWindow();
            MainWindow* third = app.newWindow();
            ASSERT_TRUE(connectWindow(*third, rxsimAddress));
            for (MainWindow* closing : {third, first})
                closeWith(closeBy, closing);
            // An open editor keeps the program too.
            app.openBookmarksEditor();
            closeWith(closeBy, app.mainWindows().at(0));
            app.bookmarksEditor()->windowHandle()->close();
            EXPECT_TRUE(QTest::qWaitFor([&] { return quitRequests.count == 1; }, 5000));
            quitRequests.count = 0;
        }
    };
    QTimer::singleShot(0, [&] {
        closeOneByOne();
        QCoreApplication::exit(0);
    });
    QApplication::exec();
}

TEST_F(ApplicationTest, MenuBarOfAMainWindow)
{
    Preferences::instance().setBookmarks(Bookmarks{});
    MainWindow* window = app.newWindow();
    QStringList titles;
    for (QAction* action : window->menuBar()->actions()) {
        titles << withoutMnemonic(action->text());
        EXPECT_FALSE(QKeySequence::mnemonic(action->text()).isEmpty()) << action->text().toStdString();
        for (QAction* item : action->menu()->actions()) {
            if (!item->isSeparator() && item->text() != QStringLiteral("No Bookmarks")) {
                EXPECT_FALSE(QKeySequence::mnemonic(item->text()).isEmpty()) << item->text().toStdString();
            }
        }
    }
    EXPECT_EQ(titles, (QStringList{"File", "Receiver", "View", "Servers", "Bookmarks", "Help"}));

    itemTitled(*menuTitled(*window, QStringLiteral("File")), QStringLiteral("New Window"))->trigger();
    EXPECT_EQ(app.mainWindows().size(), 2);
}

TEST_F(ApplicationTest, MenusActOnTheFocusedMainWindow)
{
    MainWindow* first = app.newWindow();
    MainWindow* second = app.newWindow();
    ASSERT_TRUE(activate(*first));
    EXPECT_EQ(app.focusedActions(), &first->actions());

    // The Servers menu of either window fills the focused window's address.
    const QString server = builtInServers().items.at(0).url;
    QMenu* servers = menuTitled(*second, QStringLiteral("Servers"));
    ASSERT_NE(servers, nullptr);
    emit servers->aboutToShow();
    QAction* item = itemTitled(*servers, server);
    ASSERT_NE(item, nullptr);
    item->trigger();
    EXPECT_EQ(first->addressBar()->address(), server);
    EXPECT_EQ(second->addressBar()->address(), defaultServerAddress());

    ASSERT_TRUE(activate(*second));
    EXPECT_EQ(app.focusedActions(), &second->actions());

    // An editor in front: no main window is focused.
    app.openServersEditor();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == app.serversEditor(); }, 5000));
    EXPECT_EQ(app.focusedWindow(), nullptr);
    EXPECT_EQ(app.focusedActions(), nullptr);
}

TEST_F(ApplicationTest, EditorAndSettingsWindowsAreSingle)
{
    struct Single {
        void (Application::*open)();
        QWidget* (Application::*window)() const;
        const char* title;
    };
    for (const Single& single : {Single{&Application::openServersEditor, &Application::serversEditor, "Servers"},
             Single{&Application::openBookmarksEditor, &Application::bookmarksEditor, "Bookmarks"},
             Single{&Application::openSettings, &Application::settingsWindow, "Settings"},
             Single{&Application::showAbout, &Application::aboutBox, "About Farlisten"}}) {
        EXPECT_EQ((app.*single.window)(), nullptr) << single.title;
        (app.*single.open)();
        QPointer<QWidget> opened = (app.*single.window)();
        ASSERT_NE(opened, nullptr) << single.title;
        // A main window can be opened from it.
        if (auto* bar = opened->findChild<QMenuBar*>()) {
            const qsizetype before = app.mainWindows().size();
            QMenu* file = bar->findChild<QMenu*>(QStringLiteral("fileMenu"));
            ASSERT_NE(file, nullptr) << single.title;
            itemTitled(*file, QStringLiteral("New Window"))->trigger();
            EXPECT_EQ(app.mainWindows().size(), before + 1) << single.title;
        } else {
            EXPECT_EQ(single.open, &Application::showAbout) << "only the About box has no menu";
        }
        (app.*single.open)();
        EXPECT_EQ((app.*single.window)(), opened) << single.title;

        // Closed, it is gone; the next opening makes a fresh one.
        opened->close();
        EXPECT_TRUE(QTest::qWaitFor([&] { return opened.isNull(); }, 5000)) << single.title;
        EXPECT_EQ((app.*single.window)(), nullptr);
    }
}

TEST_F(ApplicationTest, QuitClosesEveryWindowAndEndsEverySession)
{
    MainWindow* first = app.newWindow();
    MainWindow* second = app.newWindow();
    ASSERT_TRUE(connectWindow(*first, rxsimAddress));
    ASSERT_TRUE(connectWindow(*second, rxsimAddress));
    app.openBookmarksEditor();

    app.quit();
    EXPECT_FALSE(first->isVisible() || second->isVisible());
    EXPECT_TRUE(first->client().state().isDisconnected() && second->client().state().isDisconnected());
    EXPECT_TRUE(QTest::qWaitFor([&] { return rxsim.channelCount() == 0; }, 5000));
}

TEST_F(ApplicationTest, WebPageAddressesConnectTuned)
{
    app.open(readCommandLine({"farlisten", "http://" + rxsimAddress + "/?f=9500.00amz2"}));
    MainWindow* opened = app.mainWindows().at(0);
    // The other form pasted into another window's field.
    MainWindow* typed = app.newWindow();
    typed->addressBar()->setAddress(rxsimAddress + "/#freq=7030000,mod=cw");
    QTest::keyClick(typed->addressBar()->field(), Qt::Key_Return);
    for (MainWindow* window : {opened, typed})
        ASSERT_TRUE(waitForState(window->client(), ConnectionState::Kind::connected));

    const ReceiverClient& first = opened->client();
    const ReceiverClient& second = typed->client();
    EXPECT_EQ(opened->addressBar()->address(), "http://" + rxsimAddress + "/");
    EXPECT_EQ(std::tuple(first.frequencyKHz(), first.mode(), first.waterfallZoom()), std::tuple(9500.0, Mode::am, 2));
    EXPECT_EQ(typed->addressBar()->address(), rxsimAddress + "/");
    EXPECT_EQ(std::tuple(second.frequencyKHz(), second.mode()), std::tuple(7030.0, Mode::cw));
}

TEST_F(ApplicationTest, KeysOfAMainWindow)
{
    MainWindow* window = app.newWindow();
    window->addressBar()->setAddress(rxsimAddress);
    ASSERT_TRUE(activate(*window));
    ReceiverClient& client = window->client();

    // In the address field "m" is typing; Control+Return is not.
    QLineEdit* field = window->addressBar()->field();
    field->setFocus();
    QTest::keyClick(field, Qt::Key_M);
    EXPECT_TRUE(field->text().endsWith(u'm') && !client.isMuted());
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClick(field, Qt::Key_Return, Qt::ControlModifier);
    ASSERT_TRUE(waitForState(client, ConnectionState::Kind::connected));
    QWidget* view = window->mainView();
    view->setFocus();

    QTest::keyClick(view, Qt::Key_M);
    EXPECT_TRUE(client.isMuted());
    QTest::keyClick(view, Qt::Key_M);
    EXPECT_FALSE(client.isMuted());
    QTest::keyClick(view, Qt::Key_Plus);
    QTest::keyClick(view, Qt::Key_Equal);
    EXPECT_EQ(client.waterfallZoom(), 2);
    QTest::keyClick(view, Qt::Key_Minus);
    EXPECT_EQ(client.waterfallZoom(), 1);
    // Home brings the picture back around the station after looking elsewhere.
    client.setWaterfallZoom(3);
    client.sendZoomStart(0);
    QTest::keyClick(view, Qt::Key_Home);
    EXPECT_EQ(client.waterfallStartHz(), 7'200'000 - 3'750'000 / 2);

    QTest::keyClick(view, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_TRUE(client.state().isDisconnected());
}

TEST_F(ApplicationTest, HelpShowsTheKeysAndMouseAndFindsTheFirstSteps)
{
    MainWindow* window = app.newWindow();
    QMenu* help = menuTitled(*window, QStringLiteral("Help"));
    ASSERT_NE(help, nullptr);
    QAction* firstSteps = itemTitled(*help, QStringLiteral("First Steps (README)"));
    ASSERT_NE(firstSteps, nullptr);
    EXPECT_TRUE(firstStepsURL().toLocalFile().endsWith(QStringLiteral("/README.md")));

    itemTitled(*help, QStringLiteral("Keys and Mouse"))->trigger();
    QWidget* keys = app.keysAndMouseWindow();
    ASSERT_TRUE(keys && QTest::qWaitForWindowExposed(keys));
    auto* table = keys->findChild<QTableWidget*>(QStringLiteral("keysTable"));
    ASSERT_EQ(table->rowCount(), keysAndMouse().size());
    QStringList shown;
    for (int row = 0; row < table->rowCount(); ++row)
        shown.append(table->item(row, 0)->text());
    for (const char* key : {"Left / Right", "Home", "drag the frequency scale, zoomed in", "Ctrl+click on the waterfall or spectrum"})
        EXPECT_TRUE(shown.contains(QString::fromUtf8(key))) << key;
    saveScreenshot(*keys, QStringLiteral("keys-and-mouse.png"));
    ASSERT_TRUE(activate(*keys));
    QTest::keyClick(keys, Qt::Key_Escape);
    EXPECT_FALSE(keys->isVisible());
}

// The pictures in the README, the German one after a refusal that reads in
// German while what a server sends stays as sent.
TEST_F(ApplicationTest, ScreenshotsOfAConnectedWindowInEnglishAndGerman)
{
    RxSimServer server(rxsimOptions([](RxSimOptions& options) { options.waterfallFPS = 60; }));
    const QString address = listen(server);
    const auto shoot = [&](MainWindow* window, const QString& file) {
        ASSERT_TRUE(connectWindow(*window, address));
        window->client().tune(7030);
        window->client().setMode(Mode::cw);
        window->client().setWaterfallZoom(5);
        QTest::qWait(7000);
        saveScreenshot(*window, file);
        window->client().disconnect();
    };
    MainWindow* english = app.newWindow();
    english->resize(1100, 860);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(english));
    shoot(english, QStringLiteral("main-window.png"));

    EXPECT_TRUE(loadTranslations(QLocale(QLocale::English, QLocale::UnitedKingdom)).empty());
    const auto translators = loadTranslations(QLocale(QLocale::German, QLocale::Austria));
    ASSERT_FALSE(translators.empty());
    for (const auto& translator : translators)
        QCoreApplication::installTranslator(translator.get());
    EXPECT_EQ(ReceiverError::kicked("Maintenance").errorDescription(), "Vom Empfänger getrennt: Maintenance");
    RxSimServer refusingServer(rxsimOptions([](RxSimOptions& options) { options.badp = QStringLiteral("5"); }));
    MainWindow* window = app.newWindow();
    window->resize(1100, 860);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    AddressBar& bar = *window->addressBar();
    EXPECT_EQ(bar.statusLine()->text(), QStringLiteral("Getrennt"));
    bar.setAddress(listen(refusingServer));
    bar.connectToAddress();
    ASSERT_TRUE(waitForState(window->client(), ConnectionState::Kind::failed));
    EXPECT_EQ(bar.statusLine()->text(),
        QStringLiteral("Dieser Empfänger erlaubt nur eine Verbindung pro IP-Adresse. Bitte andere Sitzungen zu ihm "
                       "schließen (etwa einen Browser-Tab) und es erneut versuchen."));
    shoot(window, QStringLiteral("main-window-de.png"));
}

} // namespace
