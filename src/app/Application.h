#pragma once
// The application: the one audio output choice of the process (kept in the
// preferences across launches, followed by every window's player), any number of
// main windows each with its own session, the single "Servers" and
// "Bookmarks" editor windows and the settings window (opened on first use,
// brought forward when open), and the focused main window the menus act on.
// The program runs until the last of these windows has gone.

#include "app/MainWindow.h"
#include "bookmarks/ui/WindowActions.h"
#include "directory/ui/ReceiversWindow.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>
#include <thread>

class AudioOutputSettings;
class Preferences;
struct LaunchRequest;
class QWidget;

class Application : public QObject {
    Q_OBJECT
public:
    // Gives each new main window what it uses from outside; tests put in a
    // silent player. Empty: the sound card on the chosen output and the
    // default browser.
    using ServicesFactory = std::function<MainWindow::Services()>;

    explicit Application(ServicesFactory services = {}, QObject* parent = nullptr);
    ~Application() override;

    AudioOutputSettings& audioOutput() const { return *m_audioOutput; }

    // Opens and shows another main window.
    MainWindow* newWindow();
    // The windows the command line asks for: one connecting to each
    // address, or one window tuned by the options.
    void open(const LaunchRequest& request);
    QList<MainWindow*> mainWindows() const;
    // The active window when it is a main window, else null.
    MainWindow* focusedWindow() const;
    const WindowActions* focusedActions() const;

    void openServersEditor();
    void openBookmarksEditor();
    void openSettings();
    // The Receivers window, reading `directorySources` (the public lists
    // when empty) the first time it opens.
    void openReceivers();
    void showAbout();
    void showKeysAndMouse();
    // Closes every window (each main window ends its session) and leaves.
    void quit();

    QWidget* serversEditor() const { return m_serversEditor; }
    QWidget* bookmarksEditor() const { return m_bookmarksEditor; }
    QWidget* settingsWindow() const { return m_settingsWindow; }
    QWidget* aboutBox() const { return m_aboutBox; }
    QWidget* receiversWindow() const { return m_receiversWindow; }
    // The receiver lists the Receivers window reads; tests and the demo name their own.
    void setDirectorySources(QStringList sources) { m_directorySources = std::move(sources); }
    QWidget* keysAndMouseWindow() const { return m_keysWindow; }

private:
    // Every window of the program still open: main windows, editors, settings
    // and the About box.
    QList<QWidget*> ownWindows() const;
    // Ends the program once this window has gone and it was the last one.
    void endWithLastWindow(QWidget* window);
    // Gives an editor or the settings window a File menu with New Window.
    QWidget* withFileMenu(QWidget* window, bool offersSettings);
    template <typename Make>
    void showSingle(QPointer<QWidget>& window, Make make);
    // Connects the window the listener used last (or a new one) to a
    // receiver the Receivers window chose.
    void listenFromDirectory(const ReceiversWindow::ListenRequest& request);
    // The main window in use: the focused one, else the last focused.
    MainWindow* currentMainWindow() const;

    // The one store every window of the process keeps its choices in.
    Preferences& m_preferences;
    std::unique_ptr<AudioOutputSettings> m_audioOutput;
    ServicesFactory m_services;
    QList<QPointer<MainWindow>> m_mainWindows;
    QPointer<QWidget> m_serversEditor;
    QPointer<QWidget> m_bookmarksEditor;
    QPointer<QWidget> m_settingsWindow;
    QPointer<QWidget> m_aboutBox;
    QPointer<QWidget> m_receiversWindow;
    QPointer<MainWindow> m_lastFocused;
    QStringList m_directorySources;
    QPointer<QWidget> m_keysWindow;
    // Removes the capture sources an earlier run left behind (killed, or the
    // machine switched off), off the GUI thread.
    std::jthread m_abandonedSources;
};
