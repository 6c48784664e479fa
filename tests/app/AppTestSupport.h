#pragma once
// Shared by the application tests: an empty preferences store for each test,
// main windows with silent audio, and stand-in receivers.

#include "app/MainWindow.h"
#include "display/DisplayTestSupport.h"
#include "session/ReceiverClient.h"

#include <QSettings>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

inline void clearPreferences()
{
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Farlisten"),
        QStringLiteral("Farlisten"));
    store.clear();
    store.sync();
}

// A stand-in receiver's options, changed from the defaults.
inline RxSimOptions rxsimOptions(const std::function<void(RxSimOptions&)>& change)
{
    RxSimOptions options;
    change(options);
    return options;
}

// Starts a stand-in receiver; its address as a user would type it.
inline QString listen(RxSimServer& server)
{
    const quint16 port = server.listen();
    EXPECT_NE(port, 0);
    return QStringLiteral("127.0.0.1:%1").arg(port);
}

inline bool waitForState(const ReceiverClient& client, ConnectionState::Kind kind, int milliseconds = 10000)
{
    return QTest::qWaitFor([&] { return client.state().kind() == kind; }, milliseconds);
}

class AppTest : public ::testing::Test {
protected:
    void SetUp() override { clearPreferences(); }
    void TearDown() override { clearPreferences(); }

    // Web pages are noted, not opened.
    std::unique_ptr<MainWindow> makeWindow(std::shared_ptr<AudioPlayer> player = silentPlayer(),
        std::shared_ptr<PasswordStore> passwords = {}, ReconnectPolicy reconnectPolicy = {})
    {
        return std::make_unique<MainWindow>(MainWindow::Services{std::move(player),
            [this](const QUrl& url) { openedPages.push_back(url); }, std::move(passwords), std::move(reconnectPolicy)});
    }

    // Types the address and presses Connect; true once connected.
    static bool connectWindow(MainWindow& window, const QString& address)
    {
        window.addressBar()->setAddress(address);
        window.addressBar()->connectToAddress();
        return waitForState(window.client(), ConnectionState::Kind::connected);
    }

    std::vector<QUrl> openedPages;
    // A plain stand-in receiver, listening.
    RxSimServer rxsim{{}};
    const QString rxsimAddress = listen(rxsim);
};
