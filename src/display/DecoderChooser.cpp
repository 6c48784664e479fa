#include "display/DecoderChooser.h"

#include "session/ReceiverClient.h"
#include "widgets/TextStyles.h"

#include <QActionGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <QToolButton>

namespace {

// Server text in a menu or on a button: "&" is not a shortcut mark.
QString menuText(QString text)
{
    return text.replace(u'&', QStringLiteral("&&"));
}

} // namespace

DecoderChooser::DecoderChooser(ReceiverClient& client, QWidget* parent)
    : QWidget(parent)
    , m_client(client)
    , m_button(new QToolButton(this))
    , m_menu(new QMenu(this))
    , m_note(plainTextLabel(TextStyle::callout, this))
    , m_noteTimer(new QTimer(this))
{
    m_button->setObjectName(QStringLiteral("decoderButton"));
    m_button->setFont(textStyleFont(TextStyle::callout));
    m_button->setPopupMode(QToolButton::InstantPopup);
    m_button->setMenu(m_menu);
    m_button->setAccessibleName(tr("Decoder"));
    m_menu->setToolTipsVisible(true);
    m_note->setObjectName(QStringLiteral("decoderError"));
    m_note->setWordWrap(true);
    m_note->setMinimumWidth(1);
    m_note->hide();
    m_noteTimer->setSingleShot(true);
    m_noteTimer->setInterval(noteMilliseconds);
    connect(m_noteTimer, &QTimer::timeout, m_note, &QLabel::hide);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    row->addWidget(plainTextLabel(TextStyle::body, this, tr("Decoder")));
    row->addWidget(m_button);
    row->addWidget(m_note, 1);
    // Keeps the button beside its label while the note is hidden.
    row->addStretch();

    connect(&m_client, &ReceiverClient::decodersChanged, this, &DecoderChooser::rebuildMenu);
    connect(&m_client, &ReceiverClient::featuresChanged, this, &DecoderChooser::rebuildMenu);
    connect(&m_client, &ReceiverClient::decoderChanged, this, &DecoderChooser::refreshButton);
    connect(&m_client, &ReceiverClient::decoderErrorChanged, this, &DecoderChooser::showError);
    rebuildMenu();
}

void DecoderChooser::rebuildMenu()
{
    m_menu->clear();
    auto* group = new QActionGroup(m_menu);
    QAction* off = m_menu->addAction(tr("Off"));
    off->setCheckable(true);
    off->setActionGroup(group);
    connect(off, &QAction::triggered, this, [this] { m_client.stopDecoder(); });
    m_menu->addSeparator();
    for (const ReceiverDecoder& decoder : m_client.decoders()) {
        const std::optional<QString> reason = decoderUnavailableReason(decoder);
        // The reason is in the text too: a disabled item shows no tooltip
        // on every desktop.
        QAction* action =
            m_menu->addAction(menuText(reason ? tr("%1 (%2)").arg(decoder.name, *reason) : decoder.name));
        action->setCheckable(true);
        action->setActionGroup(group);
        action->setData(decoder.modulation);
        action->setEnabled(!reason);
        if (reason)
            action->setToolTip(*reason);
        connect(action, &QAction::triggered, this,
            [this, modulation = decoder.modulation] { m_client.chooseDecoder(modulation); });
    }
    setVisible(m_client.features().decoders && !m_client.decoders().isEmpty());
    refreshButton();
}

void DecoderChooser::refreshButton()
{
    const std::optional<DecoderChoice>& choice = m_client.decoder();
    QString title = tr("Off");
    for (QAction* action : m_menu->actions()) {
        if (!action->isCheckable())
            continue;
        const bool chosen = choice ? action->data().toString() == choice->modulation : !action->data().isValid();
        action->setChecked(chosen);
    }
    if (choice) {
        const ReceiverDecoder* decoder = findDecoder(m_client.decoders(), choice->modulation);
        title = decoder ? decoder->name : choice->modulation;
    }
    m_button->setText(menuText(title));
    // A running decoder stands out as the current mode does.
    QPalette palette = this->palette();
    if (choice) {
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            palette.setColor(group, QPalette::Button, palette.color(group, QPalette::Highlight));
            palette.setColor(group, QPalette::ButtonText, palette.color(group, QPalette::HighlightedText));
        }
    }
    m_button->setPalette(palette);
}

void DecoderChooser::showError()
{
    const std::optional<QString>& error = m_client.decoderError();
    if (!error) {
        m_note->hide();
        return;
    }
    m_note->setText(*error);
    m_note->show();
    m_noteTimer->start();
}
