#include "display/ReceiverInfoView.h"

#include "display/ReceiverInfoRows.h"
#include "widgets/TextStyles.h"
#include "session/ReceiverClient.h"

#include <QGridLayout>
#include <QLocale>
#include <QLabel>
#include <QVBoxLayout>

ReceiverInfoView::ReceiverInfoView(ReceiverClient& client, QWidget* parent)
    : QWidget(parent), m_client(client), m_title(new QLabel(this)), m_asOf(plainTextLabel(TextStyle::callout, this)),
      m_grid(nullptr)
{
    m_asOf->setObjectName(QStringLiteral("receiverInfoAsOf"));
    useSecondaryText(*m_asOf);
    m_asOf->setWordWrap(true);
    m_asOf->hide();
    m_title->setTextFormat(Qt::PlainText);
    m_title->setFont(textStyleFont(TextStyle::headline));
    m_title->setWordWrap(true);
    // A long name without spaces is cut at the edge, as the values below.
    m_title->setMinimumWidth(1);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(8);
    column->addWidget(m_title);
    column->addWidget(m_asOf);
    column->addStretch(1);

    connect(&m_client, &ReceiverClient::infoChanged, this, &ReceiverInfoView::refresh);
    connect(&m_client, &ReceiverClient::stateChanged, this, &ReceiverInfoView::stateChanged);
    refresh();
}

void ReceiverInfoView::stateChanged()
{
    const bool connected = m_client.state().isConnected();
    if (m_wasConnected && !connected) {
        m_kept = m_lastConnected;
        m_endedAt = QDateTime::currentDateTimeUtc();
    } else if (connected) {
        m_kept.reset();
    }
    m_wasConnected = connected;
    refresh();
}

void ReceiverInfoView::refresh()
{
    // A new connection starts from an empty description, published together
    // with the state: the one that ended is remembered while it is current.
    if (m_client.state().isConnected())
        m_lastConnected = m_client.info();
    const ReceiverInfo& info = m_kept ? *m_kept : m_client.info();
    Shown shown{receiverInfoTitle(info), std::nullopt, receiverInfoRows(info)};
    if (m_kept)
        shown.asOf = tr("As of %1 UTC, when the connection ended")
                         .arg(QLocale().toString(m_endedAt.time(), QLocale::ShortFormat));
    // Each try to reconnect changes the state twice and nothing shown here;
    // the window is not laid out again for it.
    if (m_grid && shown == m_shown)
        return;
    m_title->setText(shown.title);
    m_asOf->setVisible(shown.asOf.has_value());
    if (shown.asOf)
        m_asOf->setText(*shown.asOf);

    // The rows come and go with the fields; rebuilding the small grid is
    // simpler than keeping each row's widgets.
    delete m_grid;
    m_grid = new QWidget(this);
    m_grid->setObjectName(QStringLiteral("receiverInfoGrid"));
    auto* grid = new QGridLayout(m_grid);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(4);
    const QList<ReceiverInfoRow>& rows = shown.rows;
    for (int i = 0; i < rows.size(); ++i) {
        QLabel* label = plainTextLabel(TextStyle::callout, m_grid, rows[i].label);
        useSecondaryText(*label);
        QLabel* value = plainTextLabel(TextStyle::callout, m_grid, rows[i].value);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        // A long server text wraps (or, without spaces, is cut at the edge)
        // rather than widening the pane until the window has no room for it.
        value->setWordWrap(true);
        value->setMinimumWidth(1);
        grid->addWidget(label, i, 0, Qt::AlignLeft | Qt::AlignTop);
        grid->addWidget(value, i, 1);
    }
    grid->setColumnStretch(1, 1);
    m_grid->setEnabled(!m_kept);
    static_cast<QVBoxLayout*>(layout())->insertWidget(2, m_grid);
    updateGeometry();
    m_shown = std::move(shown);
}
