#include "app/AddressBar.h"

#include "app/StatusLine.h"
#include "bookmarks/Preferences.h"
#include "widgets/Icons.h"
#include "session/KiwiSDRClient.h"
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
        return {QStringLiteral("Bookmarked"), QStringLiteral("user-bookmarks"),
            QStringLiteral("This server is bookmarked"), false};
    }
    return {QStringLiteral("Add Bookmark"), QStringLiteral("bookmark-new"), QStringLiteral("Bookmark this server"),
        !isAddressBlank};
}

AddressBar::AddressBar(KiwiSDRClient& client, URLOpener openURL, QWidget* parent)
    : QWidget(parent),
      m_client(client),
      m_openURL(std::move(openURL)),
      m_field(new QLineEdit(this)),
      m_bookmarkButton(new QToolButton(this)),
      m_connectButton(new QPushButton(this)),
      m_status(new StatusLine(this)),
      m_browserButton(new QPushButton(themedIcon(QStringLiteral("web-browser")), QStringLiteral("Open in Browser"), this))
{
    m_field->setObjectName(QStringLiteral("addressField"));
    m_field->setPlaceholderText(QStringLiteral("Server address"));
    m_field->setAccessibleName(QStringLiteral("Server address"));
    m_field->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('x')) * 32);
    m_field->setText(Preferences::instance().serverAddress());

    m_bookmarkButton->setObjectName(QStringLiteral("serverBookmarkButton"));
    m_bookmarkButton->setAutoRaise(true);
    m_bookmarkButton->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_bookmarkButton->setFocusPolicy(Qt::TabFocus);

    m_connectButton->setObjectName(QStringLiteral("connectButton"));
    m_connectButton->setFocusPolicy(Qt::TabFocus);

    m_browserButton->setObjectName(QStringLiteral("openInBrowserButton"));
    m_browserButton->setToolTip(QStringLiteral("Listen on this receiver's web page at the current frequency"));
    m_browserButton->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_browserButton->setFocusPolicy(Qt::TabFocus);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    row->addWidget(m_field, 1, Qt::AlignVCenter);
    row->addWidget(m_bookmarkButton, 0, Qt::AlignVCenter);
    row->addWidget(m_connectButton, 0, Qt::AlignVCenter);
    row->addWidget(m_status, 2, Qt::AlignVCenter);
    row->addWidget(m_browserButton, 0, Qt::AlignVCenter);

    connect(m_field, &QLineEdit::textChanged, this, [this](const QString& text) {
        Preferences::instance().setServerAddress(text);
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
    connect(&m_client, &KiwiSDRClient::stateChanged, this, &AddressBar::refreshState);
    connect(&m_client, &KiwiSDRClient::webPageAfterAppLimitChanged, this, &AddressBar::refreshBrowserButton);
    connect(&Preferences::instance(), &Preferences::changed, this, [this](const QString& key) {
        if (key == PreferenceKeys::bookmarks)
            refreshBookmark();
    });
    const auto showPreferencesProblem = [this] { m_status->setNotice(Preferences::instance().problem()); };
    connect(&Preferences::instance(), &Preferences::problemChanged, this, showPreferencesProblem);

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

void AddressBar::connectToAddress()
{
    connectTo(parseReceiverAddress(address()));
}

void AddressBar::connectTo(const ReceiverAddress& target)
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
    m_client.connect(target.server);
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
    const KiwiState& state = m_client.state();
    const bool busy = state.isActive();
    m_field->setEnabled(!busy);
    m_connectButton->setText(busy ? QStringLiteral("Disconnect") : QStringLiteral("Connect"));
    // Connect is the prominent, accent-filled button; Disconnect a plain one.
    QPalette buttonPalette = palette();
    if (!busy) {
        buttonPalette.setColor(QPalette::Button, buttonPalette.color(QPalette::Highlight));
        buttonPalette.setColor(QPalette::ButtonText, buttonPalette.color(QPalette::HighlightedText));
    }
    m_connectButton->setPalette(buttonPalette);
    m_status->setState(state);
}

void AddressBar::refreshBookmark()
{
    const QString text = address();
    const ServerBookmarkLook look =
        serverBookmarkLook(Preferences::instance().bookmarks().contains(text), isBlank(text));
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
    Preferences::instance().addBookmark(address());
}
