#include "app/AddressBar.h"

#include "app/StatusLine.h"
#include "settings/Preferences.h"
#include "widgets/Icons.h"
#include "session/ReceiverClient.h"
#include "session/ReceiverAddress.h"

#include <QDebug>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace {

// White space and line breaks, as the bookmark list trims them.
bool isBlank(const QString& text)
{
    return text.trimmed().isEmpty();
}


} // namespace

ServerBookmarkLook serverBookmarkLook(bool isBookmarked, bool isAddressBlank)
{
    if (isBookmarked) {
        return {QCoreApplication::translate("AddressBar", "Bookmarked"), QStringLiteral("user-bookmarks"),
            QCoreApplication::translate("AddressBar", "This server is bookmarked"), false};
    }
    return {QCoreApplication::translate("AddressBar", "Add Bookmark"), QStringLiteral("bookmark-new"),
        QCoreApplication::translate("AddressBar", "Bookmark this server"),
        !isAddressBlank};
}

AddressBar::AddressBar(ReceiverClient& client, Preferences& preferences, URLOpener openURL, QWidget* parent)
    : QWidget(parent),
      m_client(client),
      m_preferences(preferences),
      m_openURL(std::move(openURL)),
      m_field(new QLineEdit(this)),
      m_bookmarkButton(new QToolButton(this)),
      m_connectButton(new QPushButton(this)),
      m_status(new StatusLine(this)),
      m_browserButton(new QPushButton(themedIcon(QStringLiteral("web-browser")), tr("Open in Browser"), this)),
      m_cancelButton(new QPushButton(tr("Cancel"), this)),
      m_tryAgainButton(new QPushButton(tr("Try Again"), this)),
      m_whenFreeButton(new QPushButton(tr("Connect When Free"), this))
{
    m_field->setObjectName(QStringLiteral("addressField"));
    m_field->setPlaceholderText(tr("Server address"));
    m_field->setAccessibleName(tr("Server address"));
    m_field->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('x')) * 32);
    m_field->setText(m_preferences.serverAddress());

    m_bookmarkButton->setObjectName(QStringLiteral("serverBookmarkButton"));
    m_bookmarkButton->setAutoRaise(true);
    m_bookmarkButton->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_bookmarkButton->setFocusPolicy(Qt::TabFocus);

    m_connectButton->setObjectName(QStringLiteral("connectButton"));
    m_connectButton->setFocusPolicy(Qt::TabFocus);

    m_browserButton->setObjectName(QStringLiteral("openInBrowserButton"));
    m_browserButton->setToolTip(tr("Listen on this receiver's web page at the current frequency"));
    m_browserButton->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_browserButton->setFocusPolicy(Qt::TabFocus);

    m_cancelButton->setObjectName(QStringLiteral("cancelReconnectButton"));
    m_cancelButton->setToolTip(tr("Stop waiting to reconnect"));
    m_tryAgainButton->setObjectName(QStringLiteral("tryAgainButton"));
    m_tryAgainButton->setToolTip(tr("Connect to this server again"));
    m_whenFreeButton->setObjectName(QStringLiteral("connectWhenFreeButton"));
    m_whenFreeButton->setToolTip(
        tr("Check the receiver's status page every 30 seconds, for up to 30 minutes, and connect when a channel is free"));
    for (QPushButton* button : {m_cancelButton, m_tryAgainButton, m_whenFreeButton}) {
        button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        button->setFocusPolicy(Qt::TabFocus);
    }

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    row->addWidget(m_field, 1, Qt::AlignVCenter);
    row->addWidget(m_bookmarkButton, 0, Qt::AlignVCenter);
    row->addWidget(m_connectButton, 0, Qt::AlignVCenter);
    row->addWidget(m_status, 2, Qt::AlignVCenter);
    row->addWidget(m_cancelButton, 0, Qt::AlignVCenter);
    row->addWidget(m_tryAgainButton, 0, Qt::AlignVCenter);
    row->addWidget(m_whenFreeButton, 0, Qt::AlignVCenter);
    row->addWidget(m_browserButton, 0, Qt::AlignVCenter);

    connect(m_field, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_preferences.setServerAddress(text);
        refreshBookmark();
    });
    connect(m_field, &QLineEdit::returnPressed, this, [this] {
        if (!m_client.state().isActive())
            connectToAddress();
    });
    connect(m_bookmarkButton, &QToolButton::clicked, this, &AddressBar::addBookmark);
    connect(m_connectButton, &QPushButton::clicked, this, &AddressBar::toggleConnection);
    connect(m_browserButton, &QPushButton::clicked, this, [this] {
        if (const std::optional<QUrl>& url = m_client.webPageAfterAppLimit(); url && m_openURL)
            m_openURL(*url);
    });
    connect(m_cancelButton, &QPushButton::clicked, this, [this] { m_client.cancelReconnect(); });
    connect(m_tryAgainButton, &QPushButton::clicked, this, [this] { connectToAddress(); });
    connect(m_whenFreeButton, &QPushButton::clicked, this, [this] { m_client.waitForFreeChannel(); });
    connect(&m_client, &ReceiverClient::stateChanged, this, &AddressBar::refreshState);
    connect(&m_client, &ReceiverClient::reconnectWaitChanged, this, &AddressBar::refreshState);
    connect(&m_client, &ReceiverClient::freeChannelWaitSecondsChanged, this, &AddressBar::refreshState);
    connect(&m_client, &ReceiverClient::canWaitForFreeChannelChanged, this, &AddressBar::refreshState);
    connect(&m_client, &ReceiverClient::webPageAfterAppLimitChanged, this, &AddressBar::refreshBrowserButton);
    connect(&m_preferences, &Preferences::changed, this, [this](const QString& key) {
        if (key == PreferenceKeys::bookmarks)
            refreshBookmark();
    });
    const auto showPreferencesProblem = [this] { m_status->setNotice(m_preferences.problem()); };
    connect(&m_preferences, &Preferences::problemChanged, this, showPreferencesProblem);

    refreshState();
    refreshBookmark();
    refreshBrowserButton();
    showPreferencesProblem();
}

QString AddressBar::address() const
{
    return m_field->text();
}

void AddressBar::setAddress(const QString& address)
{
    m_field->setText(address);
}

void AddressBar::connectToAddress(const QString& password)
{
    connectTo(parseReceiverAddress(address()), password);
}

void AddressBar::connectTo(const ReceiverAddress& target, const QString& password)
{
    for (const QString& warning : target.warnings)
        qWarning().noquote() << warning;
    // A web page's address: the field keeps the server, the session takes
    // the page's tuning and sends it once connected.
    if (address().trimmed() != target.server)
        setAddress(target.server);
    if (target.hasTuning()) {
        m_client.restoreTuning(target.mode.value_or(m_client.mode()),
            target.zoom.value_or(m_client.waterfallZoom()), target.frequencyKHz.value_or(m_client.frequencyKHz()));
    }
    m_client.connect(target.server, password);
}

void AddressBar::toggleConnection()
{
    if (m_client.state().isActive())
        m_client.disconnect();
    else
        connectToAddress();
}

void AddressBar::refreshState()
{
    const ConnectionState& state = m_client.state();
    const bool busy = state.isActive();
    m_field->setEnabled(!busy);
    m_connectButton->setText(busy ? tr("Disconnect") : tr("Connect"));
    // Connect is the prominent, accent-filled button; Disconnect a plain one.
    QPalette buttonPalette = palette();
    if (!busy) {
        buttonPalette.setColor(QPalette::Button, buttonPalette.color(QPalette::Highlight));
        buttonPalette.setColor(QPalette::ButtonText, buttonPalette.color(QPalette::HighlightedText));
    }
    m_connectButton->setPalette(buttonPalette);
    const std::optional<ReconnectWait>& wait = m_client.reconnectWait();
    const std::optional<int>& freeWait = m_client.freeChannelWaitSeconds();
    const bool waiting = wait || freeWait;
    m_status->setState(state, wait, freeWait);
    m_cancelButton->setVisible(waiting);
    m_tryAgainButton->setVisible(state.isFailed() && !waiting && !m_passwordAsked);
    m_whenFreeButton->setVisible(m_client.canWaitForFreeChannel() && !waiting && !state.isActive());
}

void AddressBar::setPasswordAsked(bool asked)
{
    m_passwordAsked = asked;
    refreshState();
}

void AddressBar::refreshBookmark()
{
    const QString text = address();
    const ServerBookmarkLook look =
        serverBookmarkLook(m_preferences.bookmarks().contains(text), isBlank(text));
    m_bookmarkButton->setIcon(themedIcon(look.iconName));
    m_bookmarkButton->setText(look.label);
    m_bookmarkButton->setAccessibleName(look.label);
    m_bookmarkButton->setToolTip(look.help);
    m_bookmarkButton->setEnabled(look.enabled);
}

void AddressBar::refreshBrowserButton()
{
    m_browserButton->setVisible(m_client.webPageAfterAppLimit().has_value());
}

void AddressBar::addBookmark()
{
    m_preferences.addBookmark(address());
}
