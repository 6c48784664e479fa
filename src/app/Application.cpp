#include "app/Application.h"

#include "app/AppMenuBar.h"
#include "app/AppResources.h"
#include "app/CommandLine.h"
#include "app/KeyringPasswordStore.h"
#include "app/KeysAndMouse.h"
#include "app/SettingsWindow.h"
#include "app/WindowMenus.h"
#include "audio/AudioOutputSettings.h"
#include "audio/AudioPlayer.h"
#include "directory/online/DirectorySources.h"
#include "audio/CaptureSource.h"
#include "bookmarks/ui/BookmarksEditor.h"
#include "settings/Preferences.h"
#include "bookmarks/ui/FrequencyBookmarksEditor.h"
#include "session/ReceiverClient.h"
#include "session/ReceiverAddress.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>

namespace {

const char* const aboutText = QT_TRANSLATE_NOOP("Application",
    "Farlisten %1\n\n"
    "Listen to public web shortwave receivers: KiwiSDR and OpenWebRX servers. "
    "Tune, watch the waterfall, and keep your favourite receivers and frequencies as bookmarks.");

} // namespace

Application::Application(ServicesFactory services, QObject* parent)
    : QObject(parent)
    , m_preferences(Preferences::instance())
    , m_audioOutput(std::make_unique<AudioOutputSettings>(m_preferences.audioOutputDeviceUID()))
    , m_services(std::move(services))
    , m_abandonedSources([] { CaptureSource::removeAbandoned(); })
{
    registerAppResources();
    // The output choice is kept across launches; one whose device was absent
    // at start-up is forgotten in the store too.
    const auto rememberAudioOutput = [this] {
        if (m_preferences.audioOutputDeviceUID() != m_audioOutput->selectedUID())
            m_preferences.setAudioOutputDeviceUID(m_audioOutput->selectedUID());
    };
    rememberAudioOutput();
    connect(m_audioOutput.get(), &AudioOutputSettings::selectedUIDChanged, this, rememberAudioOutput);

    // The program ends when its own last window has gone, and only then.
    // Qt's automatic rule counts every top-level window it knows of, and its
    // quit locks end the event loop whenever the last one is released while
    // no window is visible; neither knows which windows are ours, so both are
    // off and Application counts the windows itself.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    QCoreApplication::setQuitLockEnabled(false);
    // The Receivers window listens in the main window used last.
    connect(qApp, &QApplication::focusChanged, this, [this] {
        if (MainWindow* focused = focusedWindow())
            m_lastFocused = focused;
    });
}

Application::~Application()
{
    for (QWidget* window : ownWindows())
        window->disconnect(this);
    // Windows still open when the event loop ends (closed ones wait for a
    // deferred delete that will not come) go with the application.
    for (const QPointer<MainWindow>& window : std::as_const(m_mainWindows))
        delete window.data();
    delete m_serversEditor.data();
    delete m_bookmarksEditor.data();
    delete m_settingsWindow.data();
    delete m_aboutBox.data();
    delete m_receiversWindow.data();
    delete m_keysWindow.data();
}

MainWindow* Application::newWindow()
{
    MainWindow::Services services = m_services ? m_services() : MainWindow::Services{};
    if (!services.player)
        services.player = AudioPlayer::create(m_audioOutput->deviceLookup());
    if (!services.preferences)
        services.preferences = &m_preferences;
    auto* window = new MainWindow(std::move(services));
    window->setAttribute(Qt::WA_DeleteOnClose);
    installMenuBar(*window,
        AppCommands{
            [this] { newWindow(); },
            [this] { openSettings(); },
            [this] { quit(); },
            [this] { showAbout(); },
            [this] { showKeysAndMouse(); },
            [] { QDesktopServices::openUrl(firstStepsURL()); },
            [this] { openServersEditor(); },
            [this] { openBookmarksEditor(); },
            [this] { openReceivers(); },
            [this] { return focusedActions(); },
            [window](QMenuBar& bar) { addWindowMenus(bar, *window); },
            window->recordAction(),
        },
        m_preferences);
    m_mainWindows.removeAll(nullptr);
    m_mainWindows.append(window);
    m_lastFocused = window;
    endWithLastWindow(window);
    window->show();
    window->activateWindow();
    return window;
}

void Application::open(const LaunchRequest& request)
{
    if (!request.directorySources.isEmpty())
        setDirectorySources(request.directorySources);
    if (request.addresses.isEmpty()) {
        MainWindow* window = newWindow();
        if (request.frequencyKHz || request.mode) {
            ReceiverClient& client = window->client();
            client.restoreTuning(request.mode.value_or(client.mode()), client.waterfallZoom(),
                request.frequencyKHz.value_or(client.frequencyKHz()));
        }
        // With no receiver ever chosen, the Receivers window offers them all.
        if (!m_preferences.hasServerAddress())
            openReceivers();
    }
    for (const ReceiverAddress& address : request.addresses)
        newWindow()->addressBar()->connectTo(address);
    if (!request.directorySources.isEmpty())
        openReceivers();
}

QList<MainWindow*> Application::mainWindows() const
{
    QList<MainWindow*> windows;
    for (const QPointer<MainWindow>& window : m_mainWindows) {
        if (window)
            windows.append(window);
    }
    return windows;
}

MainWindow* Application::focusedWindow() const
{
    auto* window = qobject_cast<MainWindow*>(QApplication::activeWindow());
    return m_mainWindows.contains(window) ? window : nullptr;
}

const WindowActions* Application::focusedActions() const
{
    const MainWindow* window = focusedWindow();
    return window ? &window->actions() : nullptr;
}

// Shows the one window of a kind, making it on first use; a closed one is
// gone, so the next opening starts afresh.
template <typename Make>
void Application::showSingle(QPointer<QWidget>& window, Make make)
{
    if (!window) {
        window = make();
        window->setAttribute(Qt::WA_DeleteOnClose);
        endWithLastWindow(window);
    }
    window->show();
    window->raise();
    window->activateWindow();
}

void Application::openServersEditor()
{
    showSingle(m_serversEditor, [this] {
        return withFileMenu(new BookmarksEditor(
                                m_preferences, serverAddressProblem, KeyringPasswordStore::shared(), listedServerAddress),
            true);
    });
}

void Application::openBookmarksEditor()
{
    showSingle(m_bookmarksEditor, [this] { return withFileMenu(new FrequencyBookmarksEditor(m_preferences), true); });
}

void Application::openSettings()
{
    showSingle(m_settingsWindow,
        [this] { return withFileMenu(new SettingsWindow(*m_audioOutput, m_preferences), false); });
}

void Application::openReceivers()
{
    showSingle(m_receiversWindow, [this] {
        const QStringList sources =
            m_directorySources.isEmpty() ? DirectorySources::defaultSources() : m_directorySources;
        auto* window = new ReceiversWindow(std::make_unique<DirectorySources>(sources), m_preferences,
            [this]() -> std::optional<double> {
                MainWindow* current = currentMainWindow();
                return current ? std::optional<double>(current->client().frequencyKHz()) : std::nullopt;
            });
        connect(window, &ReceiversWindow::listenRequested, this, &Application::listenFromDirectory);
        return withFileMenu(window, true);
    });
}

MainWindow* Application::currentMainWindow() const
{
    if (MainWindow* focused = focusedWindow())
        return focused;
    if (m_lastFocused)
        return m_lastFocused;
    const QList<MainWindow*> windows = mainWindows();
    return windows.isEmpty() ? nullptr : windows.last();
}

void Application::listenFromDirectory(const ReceiversWindow::ListenRequest& request)
{
    MainWindow* window = request.newWindow ? nullptr : currentMainWindow();
    if (!window)
        window = newWindow();
    ReceiverAddress target;
    target.server = request.listing.url;
    target.frequencyKHz = request.frequencyKHz;
    window->listenTo(target, request.whenFree);
    window->raise();
    window->activateWindow();
}

void Application::showAbout()
{
    showSingle(m_aboutBox, [] {
        auto* box = new QMessageBox(QMessageBox::NoIcon, tr("About Farlisten"),
            tr(aboutText).arg(QStringLiteral(FARLISTEN_VERSION)), QMessageBox::Ok);
        box->setTextFormat(Qt::PlainText);
        box->setIconPixmap(applicationIcon().pixmap(64, 64));
        box->setModal(false);
        return box;
    });
}

void Application::showKeysAndMouse()
{
    showSingle(m_keysWindow, [] { return new KeysAndMouseWindow; });
}

void Application::quit()
{
    QApplication::closeAllWindows();
    QCoreApplication::quit();
}

QWidget* Application::withFileMenu(QWidget* window, bool offersSettings)
{
    AppCommands commands;
    commands.newWindow = [this] { newWindow(); };
    if (offersSettings)
        commands.openSettings = [this] { openSettings(); };
    commands.quit = [this] { quit(); };
    installSecondaryMenuBar(*window, commands);
    return window;
}

QList<QWidget*> Application::ownWindows() const
{
    QList<QWidget*> windows;
    for (QWidget* window : mainWindows())
        windows.append(window);
    for (QWidget* window : {m_serversEditor.data(), m_bookmarksEditor.data(), m_settingsWindow.data(),
             m_aboutBox.data(), m_receiversWindow.data(), m_keysWindow.data()}) {
        if (window)
            windows.append(window);
    }
    return windows;
}

void Application::endWithLastWindow(QWidget* window)
{
    // Queued: the pointers to the window are cleared by the time it runs.
    connect(window, &QObject::destroyed, this, [this] {
        if (ownWindows().isEmpty())
            QCoreApplication::quit();
    }, Qt::QueuedConnection);
}
