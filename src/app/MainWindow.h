#pragma once
// One main window: the address bar, the tuning area, the pane of the
// receiver's decoder and the waterfall over a receiver session of its own.
// It keeps the last address, frequency, mode, zoom and listening tools in
// the preferences, tunes from the keyboard, records what it plays (File >
// Record), shares its sound and tuning with other programs while the
// preference says so (Receiver > Share with other programs), and offers the
// Servers and Bookmarks menus its three actions while it is the focused
// window.
// Closing the window ends its session.

#include "app/AddressBar.h"
#include "bookmarks/ui/WindowActions.h"
#include "session/ReconnectSchedule.h"

#include <QMainWindow>

#include <memory>

class AudioPlayer;
class DecoderPane;
class ReceiverClient;
class MainWindowContent;
class PasswordPrompt;
class PasswordStore;
class Preferences;
class ProgramShare;
class QAction;
class RecordingControl;
class RecordingController;
class SharePanel;
class TuningArea;
class WaterfallView;
class WindowFooter;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // What the window uses from outside; tests put in a silent player and a
    // recorder of opened pages.
    struct Services {
        // Null: the session plays through the sound card's default output.
        std::shared_ptr<AudioPlayer> player;
        // Null: the desktop's default browser.
        AddressBar::URLOpener openURL;
        // Null: the desktop keyring.
        std::shared_ptr<PasswordStore> passwords;
        // How a broken session reconnects while the preference allows it;
        // tests wait less.
        ReconnectPolicy reconnectPolicy;
        // Null: the process's preferences store.
        Preferences* preferences = nullptr;
    };

    // The identity announced to KiwiSDR servers.
    static constexpr const char* identity = "Farlisten";

    explicit MainWindow(Services services, QWidget* parent = nullptr);
    ~MainWindow() override;

    ReceiverClient& client() const { return *m_client; }
    const WindowActions& actions() const { return m_actions; }

    // Connected or connecting to the same server: nothing. Otherwise the
    // address is filled in, and a connected window reconnects to it.
    void chooseServer(const QString& address);
    // Connected: the bookmark's mode when the server has it, then its
    // frequency. Otherwise both are kept for the next connection.
    void tuneToFrequencyBookmark(const FrequencyBookmark& bookmark);
    // Connects to the address with its tuning, as the address field does;
    // with `waitWhenBusy`, a receiver whose every channel is busy is waited
    // for (Connect When Free) without another click.
    void listenTo(const ReceiverAddress& target, bool waitWhenBusy);
    // Bookmarks the current frequency and mode unless they already are.
    void addFrequencyBookmark();

    AddressBar* addressBar() const { return m_addressBar; }
    PasswordPrompt* passwordPrompt() const { return m_passwordPrompt; }
    TuningArea* tuningArea() const { return m_tuningArea; }
    DecoderPane* decoderPane() const { return m_decoderPane; }
    WaterfallView* waterfall() const { return m_waterfall; }
    WindowFooter* footer() const { return m_footer; }
    MainWindowContent* mainView() const { return m_mainView; }
    RecordingController& recording() const { return *m_recording; }
    // File > Record (Ctrl+R): starts or stops recording this window's sound.
    QAction* recordAction() const { return m_recordAction; }
    // Receiver > Share with other programs: turns sharing on or off for
    // every window (the preference).
    QAction* shareAction() const { return m_shareAction; }
    // What the window shares now; null while it does not.
    ProgramShare* share() const { return m_share; }
    SharePanel* sharePanel() const { return m_sharePanel; }
    bool hasTuningKeyFocus() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // The receiver's name and the frequency, once connected.
    void updateTitle();
    void followWaitWhenBusy();
    // Starts or ends sharing as the preference says.
    void applySharing();
    void stopSharing();
    void showSharing();

    // Where the window and its views keep what outlives it.
    Preferences& m_preferences;
    // The session's player, whose listening tools the window sets.
    std::shared_ptr<AudioPlayer> m_player;
    std::unique_ptr<ReceiverClient> m_client;
    // Declared after the session, so it is gone before the session is.
    std::unique_ptr<RecordingController> m_recording;
    QAction* m_recordAction;
    QAction* m_shareAction;
    ProgramShare* m_share = nullptr;
    WindowActions m_actions;
    MainWindowContent* m_mainView;
    AddressBar* m_addressBar;
    PasswordPrompt* m_passwordPrompt;
    SharePanel* m_sharePanel;
    TuningArea* m_tuningArea;
    DecoderPane* m_decoderPane;
    WaterfallView* m_waterfall;
    bool m_waitWhenBusy = false;
    WindowFooter* m_footer;
    bool m_wasConnected = false;
};
