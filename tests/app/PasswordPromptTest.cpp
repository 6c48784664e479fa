#include "AppTestSupport.h"
#include "app/KeyringPasswordStore.h"
#include "app/PasswordPrompt.h"
#include "app/TuningArea.h"
#include "bookmarks/PasswordStore.h"
#include "settings/Preferences.h"
#include "common/MemoryPasswordStore.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>

namespace {

const QString secret = QStringLiteral("s3cret pass&word");

QByteArray preferencesFile()
{
    Preferences::instance().flush();
    QFile file(QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
                   .filePath(QStringLiteral("Farlisten/Farlisten.conf")));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class PasswordPromptTest : public AppTest {
protected:
    static bool waitForPrompt(MainWindow& window)
    {
        return QTest::qWaitFor([&] { return window.passwordPrompt()->isVisibleTo(&window); }, 10000);
    }

    static void typePassword(MainWindow& window, const QString& password)
    {
        QLineEdit* field = window.passwordPrompt()->field();
        field->clear();
        QTest::keyClicks(field, password);
        QTest::keyClick(field, Qt::Key_Return);
    }

    RxSimServer server{rxsimOptions([](RxSimOptions& options) { options.password = secret; })};
};

TEST_F(PasswordPromptTest, WithoutAKeyringThePromptAsksEachTimeAndSaysWhy)
{
    const QString address = listen(server);
    // The machine's own keyring service: none here, so every lookup fails.
    auto window = makeWindow(silentPlayer(), KeyringPasswordStore::shared());
    window->show();
    EXPECT_FALSE(window->passwordPrompt()->isVisibleTo(window.get()));
    window->addressBar()->setAddress(address);
    window->addressBar()->connectToAddress();
    ASSERT_TRUE(waitForPrompt(*window));
    EXPECT_EQ(window->client().state().message(),
              QStringLiteral("Bad password, or all channels that don't require a password are busy."));
    const QString note = window->passwordPrompt()->note()->text();
    EXPECT_TRUE(note.startsWith("This receiver asks for a password.")) << note.toStdString();
    EXPECT_TRUE(note.contains("password travels unencrypted")) << note.toStdString();
    EXPECT_TRUE(note.contains("Farlisten cannot keep the password because no desktop keyring")) << note.toStdString();
    EXPECT_EQ(window->passwordPrompt()->field()->echoMode(), QLineEdit::Password);

    // A wrong password: asked again, in other words.
    typePassword(*window, QStringLiteral("guess"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->client().state().isFailed(); }, 10000));
    ASSERT_TRUE(waitForPrompt(*window));
    EXPECT_TRUE(window->passwordPrompt()->note()->text().startsWith("The receiver did not accept the password."));

    typePassword(*window, secret);
    ASSERT_TRUE(waitForState(window->client(), ConnectionState::Kind::connected));
    EXPECT_FALSE(window->passwordPrompt()->isVisibleTo(window.get()));
    EXPECT_TRUE(window->passwordPrompt()->field()->text().isEmpty());

    // Nothing was kept, so the next connection asks again.
    window->client().disconnect();
    window->addressBar()->connectToAddress();
    ASSERT_TRUE(waitForPrompt(*window));
    Preferences::instance().setServerAddress(address);
    const QByteArray stored = preferencesFile();
    EXPECT_FALSE(stored.isEmpty());
    EXPECT_FALSE(stored.contains("s3cret")) << stored.toStdString();
}

TEST_F(PasswordPromptTest, APasswordTheReceiverTookIsKeptInTheKeyringAndUsedNextTime)
{
    const QString address = listen(server);
    auto keyring = std::make_shared<MemoryPasswordStore>(&KeyringPasswordStore::keyFor);
    auto window = makeWindow(silentPlayer(), keyring);
    window->show();
    window->addressBar()->setAddress(address);
    window->addressBar()->connectToAddress();
    ASSERT_TRUE(waitForPrompt(*window));
    EXPECT_FALSE(window->passwordPrompt()->note()->text().contains(QStringLiteral("cannot keep")));
    QTest::keyClicks(window->passwordPrompt()->field(), secret);
    window->passwordPrompt()->connectButton()->click();
    ASSERT_TRUE(waitForState(window->client(), ConnectionState::Kind::connected));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !keyring->entries.isEmpty(); }, 2000));
    // The Servers menu learns the receiver's name beside the address.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !Preferences::instance().serverName(address).isEmpty(); }, 10000));
    EXPECT_EQ(keyring->entries.value(QStringLiteral("http://") + address + QLatin1Char('/')), secret);

    // The next connection tries the kept password without asking.
    window->client().disconnect();
    window->addressBar()->connectToAddress();
    ASSERT_TRUE(waitForState(window->client(), ConnectionState::Kind::connected));
    EXPECT_FALSE(window->passwordPrompt()->isVisibleTo(window.get()));
    EXPECT_FALSE(preferencesFile().contains("s3cret"));
}

TEST_F(PasswordPromptTest, OneButtonSendsThePasswordTheRowsStayAndTheKeysTuneOnceIn)
{
    const QString address = listen(server);
    auto window = makeWindow(silentPlayer(), std::make_shared<MemoryPasswordStore>(&KeyringPasswordStore::keyFor));
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    window->addressBar()->setAddress(address);
    window->addressBar()->connectToAddress();
    ASSERT_TRUE(waitForPrompt(*window));
    const auto shownButtons = [&] {
        QStringList texts;
        for (QWidget* row : {static_cast<QWidget*>(window->addressBar()), static_cast<QWidget*>(window->passwordPrompt())})
            for (QPushButton* button : row->findChildren<QPushButton*>())
                if (button->isVisibleTo(window.get()))
                    texts.append(button->text());
        texts.sort();
        return texts;
    };
    EXPECT_EQ(shownButtons(), QStringList({QStringLiteral("Connect"), QStringLiteral("Send Password")}));

    // A wrong password: the prompt stays through the try, nothing below it moves.
    const int tuningTop = window->tuningArea()->y();
    typePassword(*window, QStringLiteral("guess"));
    EXPECT_TRUE(window->client().state().isConnecting());
    EXPECT_TRUE(window->passwordPrompt()->isVisibleTo(window.get()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->client().state().isFailed(); }, 10000));
    QCoreApplication::processEvents();
    EXPECT_EQ(window->tuningArea()->y(), tuningTop);
    EXPECT_EQ(shownButtons(), QStringList({QStringLiteral("Connect"), QStringLiteral("Send Password")}));

    typePassword(*window, secret);
    ASSERT_TRUE(waitForState(window->client(), ConnectionState::Kind::connected));
    EXPECT_TRUE(window->hasTuningKeyFocus());
}

} // namespace
