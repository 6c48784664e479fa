#include "AppTestSupport.h"
#include "app/AddressBar.h"
#include "app/MainWindowContent.h"
#include "app/StatusLine.h"
#include "app/TuningArea.h"
#include "bookmarks/BuiltInServers.h"
#include "settings/Preferences.h"
#include "bookmarks/ui/BookmarkNamePopup.h"
#include "display/TuningPanel.h"
#include "display/WaterfallHeader.h"
#include "display/WaterfallView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>

#include <sys/stat.h>

#include <tuple>

namespace {

using namespace std::chrono_literals;

// Sends a key press to the main view as the window would; true when taken.
bool pressKey(MainWindow& window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent event(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(window.mainView(), &event);
    return event.isAccepted();
}

TEST_F(AppTest, FirstLaunchShowsTheDefaultsAndTheNextLaunchWhatWasChanged)
{
    const auto window = makeWindow();
    AddressBar& bar = *window->addressBar();
    const auto tuning = [](MainWindow& shown) {
        return std::tuple(shown.addressBar()->address(), shown.client().frequencyKHz(), shown.client().mode(),
            shown.client().waterfallZoom());
    };
    EXPECT_EQ(tuning(*window), std::tuple(builtInServers().items.at(1).url, 7200.0, Mode::lsb, 0));
    // The default address is one of the built-in bookmarks.
    EXPECT_FALSE(bar.bookmarkButton()->isEnabled());
    EXPECT_TRUE(bar.browserButton()->isHidden());
    // Nothing was written back for the restored values.
    EXPECT_FALSE(QSettings(QSettings::NativeFormat, QSettings::UserScope, "Farlisten", "Farlisten")
                     .contains(PreferenceKeys::frequencyKHz));

    // The next window restores what this one changed.
    window->client().tune(14230.5);
    window->client().setMode(Mode::usb);
    window->client().setWaterfallZoom(3);
    bar.field()->setText(QStringLiteral("kiwi.example.invalid"));
    const auto next = makeWindow();
    EXPECT_EQ(tuning(*next), std::tuple(QStringLiteral("kiwi.example.invalid"), 14230.5, Mode::usb, 3));
}

TEST_F(AppTest, ConnectDisconnectAndFailureShowInTheAddressBar)
{
    const auto window = makeWindow();
    AddressBar& bar = *window->addressBar();
    bar.setAddress(rxsimAddress);
    // The status, whether the address can be edited, and the button.
    const auto shown = [&] {
        return std::tuple(bar.statusLine()->text(), bar.field()->isEnabled(), bar.connectButton()->text());
    };

    QTest::keyClick(bar.field(), Qt::Key_Return);
    ASSERT_TRUE(waitForState(window->client(), ConnectionState::Kind::connected));
    EXPECT_EQ(shown(), std::tuple(QStringLiteral("Connected"), false, QStringLiteral("Disconnect")));

    QTest::mouseClick(bar.connectButton(), Qt::LeftButton);
    EXPECT_TRUE(window->client().state().isDisconnected());
    EXPECT_EQ(shown(), std::tuple(QStringLiteral("Disconnected"), true, QStringLiteral("Connect")));

    // Nothing listens on port 1: the connection fails.
    bar.setAddress(QStringLiteral("127.0.0.1:1"));
    QTest::mouseClick(bar.connectButton(), Qt::LeftButton);
    ASSERT_TRUE(window->client().state().isConnecting());
    EXPECT_EQ(shown(), std::tuple(QStringLiteral("Connecting…"), false, QStringLiteral("Disconnect")));
    EXPECT_TRUE(bar.statusLine()->isBusy());

    ASSERT_TRUE(waitForState(window->client(), ConnectionState::Kind::failed));
    EXPECT_EQ(shown(), std::tuple(window->client().state().message(), true, QStringLiteral("Connect")));
}

TEST_F(AppTest, TuningKeysStepTheFrequencyOnlyWhileConnected)
{
    const auto window = makeWindow();
    ReceiverClient& client = window->client();

    // Not connected (as after a disconnect): nothing changes and the press passes on.
    EXPECT_FALSE(pressKey(*window, Qt::Key_Right));
    EXPECT_EQ(client.frequencyKHz(), 7200.0);

    ASSERT_TRUE(connectWindow(*window, rxsimAddress));
    // The new frequency is rounded to hundredths; Control, Alt and Meta leave
    // the key to the rest of the window, Shift and the keypad do not.
    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
        double fromKHz, toKHz;
    } presses[] = {
        {Qt::Key_Right, Qt::NoModifier, 7199.95, 7200.05}, {Qt::Key_Left, Qt::KeypadModifier, 7200, 7199.9},
        {Qt::Key_A, Qt::NoModifier, 7200, 7199.9}, {Qt::Key_S, Qt::NoModifier, 7200.004, 7199.99},
        {Qt::Key_D, Qt::NoModifier, 7200, 7200.01}, {Qt::Key_F, Qt::ShiftModifier, 7200, 7200.1},
        {Qt::Key_Right, Qt::ControlModifier, 7200, 7200}, {Qt::Key_S, Qt::AltModifier, 7200, 7200},
        {Qt::Key_D, Qt::MetaModifier, 7200, 7200}, {Qt::Key_Up, Qt::NoModifier, 7200, 7200},
        {Qt::Key_G, Qt::NoModifier, 7200, 7200},
    };
    for (const auto& press : presses) {
        client.tune(press.fromKHz);
        EXPECT_EQ(pressKey(*window, press.key, press.modifiers), press.fromKHz != press.toKHz) << press.key;
        EXPECT_DOUBLE_EQ(client.frequencyKHz(), press.toKHz) << press.key;
    }


    // Five seconds of a held key (auto-repeat every 30 ms) write the
    // preferences file a few times, not once per step. Each write replaces
    // the file, so a new inode or time marks one.
    const QString file = QSettings(QSettings::NativeFormat, QSettings::UserScope, "Farlisten", "Farlisten").fileName();
    const auto fileVersion = [&] {
        struct stat info {};
        stat(QFile::encodeName(file).constData(), &info);
        return std::tuple(info.st_ino, info.st_mtim.tv_sec, info.st_mtim.tv_nsec);
    };
    Preferences::instance().flush();
    auto version = fileVersion();
    int writes = 0;
    int steps = 0;
    QElapsedTimer held;
    held.start();
    while (held.elapsed() < 5000) {
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(window->mainView(), &repeat);
        ++steps;
        QTest::qWait(30);
        if (const auto now = fileVersion(); now != version) {
            ++writes;
            version = now;
        }
    }
    EXPECT_NEAR(client.frequencyKHz(), 7200 + steps * 0.1, 0.01);
    EXPECT_LE(writes, 6) << steps << " steps";
    Preferences::instance().flush();
    EXPECT_DOUBLE_EQ(QSettings(QSettings::NativeFormat, QSettings::UserScope, "Farlisten", "Farlisten")
                         .value(PreferenceKeys::frequencyKHz)
                         .toDouble(),
        client.frequencyKHz());
}

TEST_F(AppTest, MainWindowContentTakesFocusBackWhenTheFrequencyChanges)
{
    const auto window = makeWindow();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    EXPECT_TRUE(window->hasTuningKeyFocus());
    ASSERT_TRUE(connectWindow(*window, rxsimAddress));

    // Titled by the receiver and the frequency, so windows can be told apart.
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->client().info().name.has_value(); }, 10000));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Farlisten rxsim test receiver \u2013 7200.00 kHz \u2013 Farlisten"));

    // After Return in the panel's field the keys tune again without a click.
    auto* field = window->tuningArea()->tuningPanel()->findChild<QLineEdit*>(QStringLiteral("frequencyField"));
    ASSERT_NE(field, nullptr);
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("9500"));
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(window->client().frequencyKHz(), 9500.0);
    EXPECT_TRUE(window->hasTuningKeyFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_D);
    EXPECT_DOUBLE_EQ(window->client().frequencyKHz(), 9500.01);

    // A click on a control leaves the keys to the window (the band box and
    // the Servers' own controls take the focus by Tab only, likewise).
    window->client().setAGC(false, 50);
    QWidget* panel = window->tuningArea()->tuningPanel();
    QList<QWidget*> controls;
    for (const char* name : {"volumeSlider", "agcToggle", "gainSlider", "profileMenu"})
        controls.append(panel->findChild<QWidget*>(QString::fromLatin1(name)));
    controls.append(window->waterfall()->header()->autoRangeButton());
    for (QWidget* control : controls) {
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->focusPolicy(), Qt::TabFocus) << control->objectName().toStdString();
        if (!control->isVisible())
            continue;
        QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(control->width() / 2, control->height() / 2));
        EXPECT_TRUE(window->hasTuningKeyFocus()) << control->objectName().toStdString();
    }
}

TEST_F(AppTest, ChoosingAServerOrAFrequencyBookmark)
{
    const QString& firstAddress = rxsimAddress;
    RxSimServer second({});
    const QString secondAddress = listen(second);
    const auto window = makeWindow();
    ReceiverClient& client = window->client();

    // Disconnected: the address is only filled in, a bookmark's tuning kept.
    window->actions().tuneToFrequencyBookmark({QUuid::createUuid(), 9500, Mode::am, std::nullopt});
    EXPECT_EQ(std::tuple(client.frequencyKHz(), client.mode()), std::tuple(9500.0, Mode::am));
    window->actions().chooseServer(secondAddress);
    EXPECT_EQ(std::pair(window->addressBar()->address(), Preferences::instance().serverAddress()),
        std::pair(secondAddress, secondAddress));
    EXPECT_TRUE(client.state().isDisconnected());

    ASSERT_TRUE(connectWindow(*window, firstAddress));
    // The connected server, however written: nothing happens.
    QSignalSpy stateChanges(&client, &ReceiverClient::stateChanged);
    window->actions().chooseServer(QStringLiteral(" http://127.0.0.1:%1 ").arg(firstAddress.section(':', 1)));
    EXPECT_EQ(stateChanges.count(), 0);
    EXPECT_EQ(window->addressBar()->address(), firstAddress);

    // Another one: the window reconnects to it.
    window->actions().chooseServer(secondAddress);
    EXPECT_EQ(window->addressBar()->address(), secondAddress);
    EXPECT_TRUE(client.state().isConnecting());
    ASSERT_TRUE(waitForState(client, ConnectionState::Kind::connected));
    EXPECT_EQ(client.serverURL(), ReceiverClient::normalizedServerURL(secondAddress));

    // A KiwiSDR has no wfm: a bookmark's frequency is tuned, the mode kept.
    ASSERT_FALSE(client.availableModes().contains(Mode::wfm));
    window->actions().tuneToFrequencyBookmark({QUuid::createUuid(), 15400, Mode::wfm, std::nullopt});
    EXPECT_EQ(std::tuple(client.frequencyKHz(), client.mode()), std::tuple(15400.0, Mode::am));
}

TEST_F(AppTest, AddingTheSameFrequencyTwiceKeepsOneBookmark)
{
    const auto window = makeWindow();
    window->show();
    window->actions().addFrequencyBookmark();
    // A new bookmark offers its name field.
    ASSERT_TRUE(window->findChild<BookmarkNamePopup*>() && window->findChild<BookmarkNamePopup*>()->isVisible());
    window->actions().addFrequencyBookmark();
    window->client().setMode(Mode::usb);
    window->actions().addFrequencyBookmark();
    const FrequencyBookmarks stored = Preferences::instance().frequencyBookmarks();
    ASSERT_EQ(stored.items.size(), 2);
    EXPECT_TRUE(stored.contains(Mode::lsb, 7200.0) && stored.contains(Mode::usb, 7200.0));
}

TEST_F(AppTest, ServerBookmarkButton)
{
    const auto window = makeWindow();
    AddressBar& bar = *window->addressBar();
    QToolButton& button = *bar.bookmarkButton();

    bar.field()->setText(QStringLiteral(" \n"));
    EXPECT_FALSE(button.isEnabled());

    bar.field()->setText(QStringLiteral("  my.kiwi.invalid:8073\n"));
    EXPECT_TRUE(button.isEnabled());
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(Preferences::instance().bookmarks().items.last().url, "my.kiwi.invalid:8073");
    EXPECT_EQ(std::pair(button.text(), button.isEnabled()), std::pair(QStringLiteral("Bookmarked"), false));

    // Removed elsewhere (an editor): the button offers it again.
    Preferences::instance().setBookmarks(builtInServers());
    EXPECT_EQ(std::pair(button.text(), button.isEnabled()), std::pair(QStringLiteral("Add Bookmark"), true));
}

TEST_F(AppTest, ADroppedConnectionCountsDownToItsNextTryWithCancelThenTryAgain)
{
    RxSimServer server(rxsimOptions([](RxSimOptions& options) { options.dropAfter = 300ms; }));
    const QString address = listen(server);
    ReconnectPolicy policy;
    policy.delays = {3s};
    policy.jitter = 0;
    policy.countdownStep = 20ms;
    const auto window = makeWindow(silentPlayer(), {}, policy);
    AddressBar& bar = *window->addressBar();
    // Whether Cancel and Try Again are offered.
    const auto offered = [&] { return std::pair(!bar.cancelButton()->isHidden(), !bar.tryAgainButton()->isHidden()); };
    EXPECT_EQ(offered(), std::pair(false, false));

    // Connected only for a moment: on a loaded machine the drop may follow
    // before the state is looked at, so the countdown is what is waited for.
    bar.setAddress(address);
    bar.connectToAddress();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return bar.statusLine()->text() == "Reconnecting in 3 s (try 1 of 10)"; }, 10000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar.statusLine()->text() == "Reconnecting in 2 s (try 1 of 10)"; }));
    EXPECT_FALSE(bar.statusLine()->isBusy()) << "a wait shows a still clock, so that nothing animates while it counts";
    EXPECT_EQ(offered(), std::pair(true, false));
    EXPECT_EQ(bar.connectButton()->text(), "Connect");
    window->resize(900, 700);
    saveScreenshot(*window, QStringLiteral("reconnecting.png"));

    QTest::mouseClick(bar.cancelButton(), Qt::LeftButton);
    EXPECT_EQ(bar.statusLine()->text(), "The connection was closed by the server.");
    EXPECT_EQ(offered(), std::pair(false, true));

    QTest::mouseClick(bar.tryAgainButton(), Qt::LeftButton);
    EXPECT_TRUE(window->client().state().isConnecting());
    EXPECT_TRUE(bar.tryAgainButton()->isHidden());
    ASSERT_TRUE(waitForState(window->client(), ConnectionState::Kind::connected));
}

// A full receiver offers to wait for a free channel; an app limit after
// connecting offers the web page until the next connect.
TEST_F(AppTest, RefusalsOfferConnectWhenFreeOrTheWebPage)
{
    RxSimServer busyServer(rxsimOptions([](RxSimOptions& options) { options.tooBusy = 3; }));
    RxSimServer limitedServer(rxsimOptions([](RxSimOptions& options) {
        options.tooBusyAfter = 2;
        options.tooBusyDelay = 300ms;
    }));
    const auto window = makeWindow();
    AddressBar& bar = *window->addressBar();
    EXPECT_TRUE(bar.whenFreeButton()->isHidden() && bar.browserButton()->isHidden());

    bar.setAddress(listen(busyServer));
    bar.connectToAddress();
    ASSERT_TRUE(waitForState(window->client(), ConnectionState::Kind::failed));
    EXPECT_FALSE(bar.whenFreeButton()->isHidden());
    QTest::mouseClick(bar.whenFreeButton(), Qt::LeftButton);
    EXPECT_EQ(bar.statusLine()->text(), "Waiting for a free channel (0:00)");
    EXPECT_TRUE(bar.whenFreeButton()->isHidden());
    EXPECT_TRUE(bar.tryAgainButton()->isHidden());
    EXPECT_FALSE(bar.cancelButton()->isHidden());
    QTest::mouseClick(bar.cancelButton(), Qt::LeftButton);
    EXPECT_EQ(bar.statusLine()->text(), "All 3 channels on this receiver are in use. Try again later.");
    EXPECT_FALSE(bar.tryAgainButton()->isHidden());

    const QString address = listen(limitedServer);
    ASSERT_TRUE(connectWindow(*window, address));
    EXPECT_TRUE(bar.browserButton()->isHidden());
    ASSERT_TRUE(waitForState(window->client(), ConnectionState::Kind::failed));
    EXPECT_FALSE(bar.browserButton()->isHidden());
    QTest::mouseClick(bar.browserButton(), Qt::LeftButton);
    EXPECT_EQ(openedPages, std::vector{QUrl(QStringLiteral("http://%1/?f=7200.00lsb").arg(address))});
    bar.connectToAddress();
    EXPECT_TRUE(bar.browserButton()->isHidden());
}

TEST_F(AppTest, TuningAreaPutsTheReceiverInformationBesideThePanelWhenItFits)
{
    const auto window = makeWindow();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    TuningArea& area = *window->tuningArea();

    window->resize(1200, 800);
    QCoreApplication::processEvents();
    ASSERT_GE(area.width(), area.sideBySideWidth());
    EXPECT_TRUE(area.showsReceiverInfo());
    const int panelWidth = area.tuningPanel()->parentWidget()->width();
    EXPECT_GE(panelWidth, TuningArea::minimumPanelWidth);
    EXPECT_LE(panelWidth, TuningArea::maximumPanelWidth);

    window->resize(window->minimumSizeHint().width(), 800);
    QCoreApplication::processEvents();
    ASSERT_LT(area.width(), area.sideBySideWidth());
    EXPECT_FALSE(area.showsReceiverInfo());

    // A long server text wraps; the pane stays.
    rxsim.receiver().antenna = QStringLiteral("Long wire ").repeated(69) + QStringLiteral("x").repeated(10);
    ASSERT_TRUE(connectWindow(*window, rxsimAddress));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->client().info().antenna.value_or(QString()).size() == 700; }, 10000));
    window->resize(1200, 800);
    QCoreApplication::processEvents();
    EXPECT_TRUE(area.showsReceiverInfo());
}

} // namespace
