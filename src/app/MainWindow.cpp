#include "app/MainWindow.h"

#include "app/AppResources.h"
#include "app/KeyringPasswordStore.h"
#include "app/MainWindowContent.h"
#include "app/PasswordPrompt.h"
#include "app/RecordingControl.h"
#include "app/RecordingController.h"
#include "app/SharePanel.h"
#include "app/StatusLine.h"
#include "app/TuningArea.h"
#include "app/WindowFooter.h"
#include "audio/AudioPlayer.h"
#include "audio/CaptureSource.h"
#include "diagnostics/LatencyProbes.h"
#include "settings/Preferences.h"
#include "bookmarks/ui/BookmarkNamePopup.h"
#include "display/DecoderPane.h"
#include "display/ListeningToolsPanel.h"
#include "display/TuningPanel.h"
#include "display/WaterfallView.h"
#include "session/ReceiverClient.h"
#include "session/NetworkReachability.h"
#include "sharing/ProgramShare.h"
#include "widgets/FrequencyText.h"

#include <QAction>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

constexpr int rowSpacing = 16;
const QSize preferredSize(1080, 820);

std::shared_ptr<AudioPlayer> playerOrDefault(std::shared_ptr<AudioPlayer> player)
{
    return player ? std::move(player) : AudioPlayer::create();
}

} // namespace

MainWindow::MainWindow(Services services, QWidget* parent)
    : QMainWindow(parent),
      m_preferences(services.preferences ? *services.preferences : Preferences::instance()),
      m_player(playerOrDefault(std::move(services.player))),
      m_client(std::make_unique<ReceiverClient>(QString::fromLatin1(identity), m_player)),
      m_recording(std::make_unique<RecordingController>(*m_client, m_player, m_preferences)),
      m_recordAction(new QAction(tr("&Record"), this)),
      m_shareAction(new QAction(tr("&Share with other programs"), this))
{
    registerAppResources();

    // Saved tuning first, so every view starts with it and nothing is
    // written back for it.
    m_client->restoreTuning(m_preferences.mode(), m_preferences.waterfallZoom(), m_preferences.frequencyKHz());
    const auto applyReconnecting = [this, policy = services.reconnectPolicy] {
        m_client->setReconnectPolicy(m_preferences.reconnectAutomatically() ? std::optional(policy) : std::nullopt);
    };
    applyReconnecting();
    connect(&m_preferences, &Preferences::changed, this, [applyReconnecting](const QString& key) {
        if (key == PreferenceKeys::reconnectAutomatically)
            applyReconnecting();
    });
    followNetworkReachability(*m_client);

    AddressBar::URLOpener openURL = std::move(services.openURL);
    if (!openURL)
        openURL = [](const QUrl& url) { QDesktopServices::openUrl(url); };

    m_mainView = new MainWindowContent(*m_client, m_preferences, this);
    m_mainView->setObjectName(QStringLiteral("mainView"));
    m_addressBar = new AddressBar(*m_client, m_preferences, openURL, m_mainView);
    std::shared_ptr<PasswordStore> passwords = std::move(services.passwords);
    if (!passwords)
        passwords = KeyringPasswordStore::shared();
    m_passwordPrompt = new PasswordPrompt(*m_client, *m_addressBar, std::move(passwords), m_mainView);
    m_sharePanel = new SharePanel(m_preferences, m_mainView);
    m_tuningArea = new TuningArea(*m_client, m_player->listeningChain(), m_preferences, m_mainView);
    m_decoderPane = new DecoderPane(*m_client, m_mainView);
    m_decoderPane->setObjectName(QStringLiteral("decoderPane"));
    m_waterfall = new WaterfallView(m_client.get(), m_preferences, m_mainView);
    m_waterfall->setObjectName(QStringLiteral("waterfall"));
    m_waterfall->setLook(m_preferences.waterfallLook());
    connect(m_waterfall, &WaterfallView::lookChanged, this,
        [this](const WaterfallLook& look) { m_preferences.setWaterfallLook(look); });

    m_recordAction->setObjectName(QStringLiteral("recordAction"));
    m_recordAction->setCheckable(true);
    m_recordAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    addAction(m_recordAction);
    connect(m_recordAction, &QAction::triggered, m_recording.get(), &RecordingController::toggle);
    auto* recordingControl = new RecordingControl(*m_recording, m_recordAction, openURL, m_mainView);

    auto* topRow = new QHBoxLayout;
    topRow->setSpacing(rowSpacing);
    topRow->addWidget(m_addressBar, 1);
    topRow->addWidget(recordingControl);
    auto* column = new QVBoxLayout(m_mainView);
    column->setSpacing(rowSpacing);
    column->addLayout(topRow);
    column->addWidget(m_passwordPrompt);
    column->addWidget(m_sharePanel);
    column->addWidget(m_tuningArea);
    column->addWidget(m_decoderPane);
    column->addWidget(m_waterfall, 1);
    m_footer = new WindowFooter(*m_client, m_player, m_mainView);
    m_footer->setObjectName(QStringLiteral("footer"));
    column->addWidget(m_footer);
    setCentralWidget(m_mainView);

    m_actions.chooseServer = [this](const QString& address) { chooseServer(address); };
    m_actions.tuneToFrequencyBookmark = [this](const FrequencyBookmark& bookmark) {
        tuneToFrequencyBookmark(bookmark);
    };
    m_actions.addFrequencyBookmark = [this] { addFrequencyBookmark(); };

    connect(m_client.get(), &ReceiverClient::frequencyKHzChanged, this, [this] {
        m_preferences.setFrequencyKHz(m_client->frequencyKHz());
        // Wherever the new frequency came from (a typed one, a click on the
        // waterfall), the tuning keys work again without a click.
        m_mainView->setFocus(Qt::OtherFocusReason);
    });
    // Return in the frequency field hands the keys back, changed value or not.
    connect(m_tuningArea->tuningPanel(), &TuningPanel::frequencyEntryDone, this,
        [this] { m_mainView->setFocus(Qt::OtherFocusReason); });
    // The address field is disabled and the password field hidden on the
    // way: the focus would land on whatever control follows them. Once
    // connected, and while connecting from those, the keys tune.
    connect(m_client.get(), &ReceiverClient::stateChanged, this, [this] {
        const ConnectionState& state = m_client->state();
        QWidget* focused = focusWidget();
        const bool fromAddress = !focused || m_addressBar->isAncestorOf(focused) || m_passwordPrompt->isAncestorOf(focused);
        if ((state.isConnected() && !m_wasConnected) || (state.isConnecting() && fromAddress))
            m_mainView->setFocus(Qt::OtherFocusReason);
        m_wasConnected = state.isConnected();
    });
    // The Servers menu shows each receiver's name beside its address.
    const auto learnServerName = [this] {
        if (m_client->state().isConnected() && m_client->info().name)
            m_preferences.setServerName(m_addressBar->address(), *m_client->info().name);
    };
    connect(m_client.get(), &ReceiverClient::infoChanged, this, learnServerName);
    connect(m_client.get(), &ReceiverClient::stateChanged, this, learnServerName);
    connect(m_client.get(), &ReceiverClient::stateChanged, this, &MainWindow::followWaitWhenBusy);
    connect(m_client.get(), &ReceiverClient::canWaitForFreeChannelChanged, this, &MainWindow::followWaitWhenBusy);
    connect(m_client.get(), &ReceiverClient::frequencyKHzChanged, this, &MainWindow::updateTitle);
    connect(m_client.get(), &ReceiverClient::infoChanged, this, &MainWindow::updateTitle);
    connect(m_client.get(), &ReceiverClient::stateChanged, this, &MainWindow::updateTitle);
    updateTitle();
    connect(m_client.get(), &ReceiverClient::modeChanged, this,
        [this] { m_preferences.setMode(m_client->mode()); });
    connect(m_client.get(), &ReceiverClient::waterfallZoomChanged, this,
        [this] { m_preferences.setWaterfallZoom(m_client->waterfallZoom()); });

    ListeningToolsPanel* listening = m_tuningArea->listeningTools();
    listening->setSettings(m_preferences.listeningSettings());
    connect(listening, &ListeningToolsPanel::settingsChanged, this,
        [this](const ListeningSettings& settings) { m_preferences.setListeningSettings(settings); });
    connect(m_waterfall, &WaterfallView::notchRequested, listening, &ListeningToolsPanel::notchAt);

    m_shareAction->setObjectName(QStringLiteral("shareAction"));
    m_shareAction->setCheckable(true);
    connect(m_shareAction, &QAction::triggered, this, [this](bool on) { m_preferences.setShareWithPrograms(on); });
    connect(&m_preferences, &Preferences::changed, this, [this](const QString& key) {
        if (key == PreferenceKeys::shareWithPrograms)
            applySharing();
        else if (key == PreferenceKeys::rigctlFromOtherComputers && m_share)
            m_share->setOpenToNetwork(m_preferences.rigctlFromOtherComputers());
        else if (key == PreferenceKeys::shareListeningTools && m_share)
            m_share->setListeningTools(m_preferences.shareListeningTools());
    });
    applySharing();

    m_mainView->setFocus(Qt::OtherFocusReason);
    resize(preferredSize.expandedTo(minimumSizeHint()));
}

MainWindow::~MainWindow()
{
    stopSharing();
    // The views hold the session and the recording by reference: they go first.
    delete takeCentralWidget();
}

void MainWindow::applySharing()
{
    const bool on = m_preferences.shareWithPrograms();
    m_shareAction->setChecked(on);
    if (!on) {
        stopSharing();
        return;
    }
    if (m_share)
        return;
    ProgramShare::Options options;
    options.openToNetwork = m_preferences.rigctlFromOtherComputers();
    options.listeningTools = m_preferences.shareListeningTools();
    m_share = new ProgramShare(*m_client, m_player, options, this);
    connect(m_share, &ProgramShare::changed, this, &MainWindow::showSharing);
    m_sharePanel->setShare(m_share);
    showSharing();
}

void MainWindow::stopSharing()
{
    if (!m_share)
        return;
    m_sharePanel->setShare(nullptr);
    // Removes the source and closes the port now, not when Qt gets to it.
    delete m_share;
    m_share = nullptr;
    showSharing();
}

void MainWindow::showSharing()
{
    const int tuning = m_share && m_share->rigctl() ? m_share->rigctl()->clientCount() : 0;
    const int recording = m_share && m_share->source() ? m_share->source()->state().recorders : 0;
    QStringList notices;
    if (tuning > 0)
        notices.append(tr("Programs tuning this window over rigctl: %1").arg(tuning));
    if (recording > 0)
        notices.append(tr("Programs recording this window's sound: %1").arg(recording));
    m_addressBar->statusLine()->setSharingNotice(notices.join(u'\n'));
}

void MainWindow::chooseServer(const QString& address)
{
    const bool wasBusy = m_client->state().isActive();
    if (wasBusy && m_client->serverURL() && ReceiverClient::normalizedServerURL(address) == m_client->serverURL())
        return;
    m_addressBar->setAddress(address);
    if (wasBusy)
        m_addressBar->connectToAddress();
}

void MainWindow::listenTo(const ReceiverAddress& target, bool waitWhenBusy)
{
    m_waitWhenBusy = waitWhenBusy;
    m_addressBar->connectTo(target);
}

void MainWindow::followWaitWhenBusy()
{
    if (!m_waitWhenBusy)
        return;
    if (m_client->canWaitForFreeChannel()) {
        m_waitWhenBusy = false;
        m_client->waitForFreeChannel();
    } else if (m_client->state().isConnected() || m_client->state().isFailed()) {
        m_waitWhenBusy = false;
    }
}

void MainWindow::tuneToFrequencyBookmark(const FrequencyBookmark& bookmark)
{
    if (m_client->state().isConnected()) {
        if (m_client->availableModes().contains(bookmark.mode))
            m_client->setMode(bookmark.mode);
        m_client->tune(bookmark.frequencyKHz);
    } else {
        m_client->restoreTuning(bookmark.mode, m_client->waterfallZoom(), bookmark.frequencyKHz);
    }
}

void MainWindow::addFrequencyBookmark()
{
    const std::optional<QUuid> id = m_preferences.addFrequencyBookmark(m_client->mode(), m_client->frequencyKHz());
    if (!id)
        return;
    for (const FrequencyBookmark& bookmark : m_preferences.frequencyBookmarks().items)
        if (bookmark.id == *id)
            BookmarkNamePopup::open(m_preferences, *id, bookmark.title(), m_tuningArea);
}

void MainWindow::updateTitle()
{
    // Several windows can be told apart by their receiver and frequency.
    const QString program = QStringLiteral("Farlisten");
    const std::optional<QString>& name = m_client->info().name;
    if (!m_client->state().isConnected() || !name || name->trimmed().isEmpty()) {
        setWindowTitle(program);
        return;
    }
    constexpr qsizetype longestName = 60;
    QString shown = name->simplified();
    if (shown.size() > longestName)
        shown = shown.left(longestName - 1) + QChar(0x2026);
    setWindowTitle(tr("%1 \u2013 %2 kHz \u2013 %3").arg(shown, formattedFrequencyKHz(m_client->frequencyKHz()), program));
}

bool MainWindow::hasTuningKeyFocus() const
{
    return m_mainView->hasFocus();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    m_client->disconnect();
    stopSharing();
    QMainWindow::closeEvent(event);
}

void MainWindow::paintEvent(QPaintEvent* event)
{
    QMainWindow::paintEvent(event);
    LatencyProbes::windowPainted();
}
