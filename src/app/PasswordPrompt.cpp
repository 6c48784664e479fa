#include "app/PasswordPrompt.h"

#include "app/AddressBar.h"
#include "bookmarks/PasswordStore.h"
#include "model/ReceiverError.h"
#include "session/ReceiverClient.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Longer text is no password a receiver takes.
constexpr int maxPasswordLength = 256;
constexpr int fieldWidth = 260;

bool isBadPassword(const ConnectionState& state)
{
    return state.isFailed() && state.message() == ReceiverError::authentication(1).errorDescription();
}

} // namespace

PasswordPrompt::PasswordPrompt(ReceiverClient& client, AddressBar& addressBar,
                               std::shared_ptr<PasswordStore> passwords, QWidget* parent)
    : QWidget(parent)
    , m_client(client)
    , m_addressBar(addressBar)
    , m_passwords(std::move(passwords))
{
    setObjectName(QStringLiteral("passwordPrompt"));
    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("passwordNote"));
    m_note->setTextFormat(Qt::PlainText);
    m_note->setWordWrap(true);
    m_field = new QLineEdit(this);
    m_field->setObjectName(QStringLiteral("passwordField"));
    m_field->setEchoMode(QLineEdit::Password);
    m_field->setMaxLength(maxPasswordLength);
    m_field->setPlaceholderText(tr("Password"));
    m_field->setMinimumWidth(fieldWidth);
    m_field->setAccessibleName(tr("Password"));
    // Not "Connect": the address bar has that button beside it.
    m_connectButton = new QPushButton(tr("Send Password"), this);
    m_connectButton->setObjectName(QStringLiteral("passwordConnect"));

    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(m_field);
    row->addWidget(m_connectButton);
    row->addStretch(1);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(m_note);
    column->addLayout(row);
    hide();

    const auto connectTyped = [this] { connectWith(m_field->text(), Source::typed); };
    connect(m_field, &QLineEdit::returnPressed, this, connectTyped);
    connect(m_connectButton, &QPushButton::clicked, this, connectTyped);
    connect(&m_client, &ReceiverClient::stateChanged, this, &PasswordPrompt::stateChanged);
}

void PasswordPrompt::stateChanged()
{
    const ConnectionState& state = m_client.state();
    if (state.isActive() && !state.isConnected()) {
        // Our own try keeps the prompt where it is, so that nothing below it
        // moves while the receiver decides; one the listener started some
        // other way starts afresh.
        if (m_connectingOurselves) {
            setTrying(true);
        } else {
            setAsking(false);
            m_password.clear();
            m_source = Source::none;
            m_keyringTried = false;
        }
    }
    if (state.isConnected()) {
        setAsking(false);
        m_field->clear();
        // The receiver took a typed password: keep it for the next time.
        if (m_source == Source::typed && m_passwords)
            m_passwords->write(m_addressBar.address(), m_password, this, [](const QString&) {});
        m_source = Source::none;
        m_password.clear();
    } else if (isBadPassword(state)) {
        refused();
    } else if (!state.isActive()) {
        setTrying(false);
    }
}

void PasswordPrompt::setAsking(bool asking)
{
    setVisible(asking);
    setTrying(false);
    m_addressBar.setPasswordAsked(asking);
}

void PasswordPrompt::setTrying(bool trying)
{
    m_field->setEnabled(!trying);
    m_connectButton->setEnabled(!trying);
}

void PasswordPrompt::refused()
{
    if (m_keyringTried || !m_passwords) {
        ask(QString());
        return;
    }
    m_keyringTried = true;
    const QString address = m_addressBar.address();
    m_passwords->read(address, this, [this, address](const PasswordLookup& found) {
        // Only if nothing else happened meanwhile.
        if (!isBadPassword(m_client.state()) || m_addressBar.address() != address)
            return;
        if (found.password && !found.password->isEmpty() && m_source != Source::keyring)
            connectWith(*found.password, Source::keyring);
        else
            ask(found.keyringProblem);
    });
}

void PasswordPrompt::ask(const QString& keyringProblem)
{
    QStringList lines;
    lines.append(m_source == Source::none ? tr("This receiver asks for a password.")
                                          : tr("The receiver did not accept the password."));
    const std::optional<QUrl> url = m_client.serverURL();
    if (url && url->scheme() == u"http")
        lines.append(tr("This is a plain http address, so the password travels unencrypted. "
                        "Use the receiver's https address if it has one."));
    if (!keyringProblem.isEmpty())
        lines.append(tr("Farlisten cannot keep the password because %1, so it asks each time.").arg(keyringProblem));
    m_note->setText(lines.join(QLatin1Char('\n')));
    setAsking(true);
    m_field->setFocus(Qt::OtherFocusReason);
    m_field->selectAll();
}

void PasswordPrompt::connectWith(const QString& password, Source source)
{
    m_password = password;
    m_source = source;
    m_connectingOurselves = true;
    m_addressBar.connectToAddress(password);
    m_connectingOurselves = false;
}
