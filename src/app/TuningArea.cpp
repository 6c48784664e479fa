#include "app/TuningArea.h"

#include "display/ListeningToolsPanel.h"
#include "display/ReceiverInfoView.h"
#include "display/TuningPanel.h"

#include <QHBoxLayout>
#include <QResizeEvent>

#include <algorithm>

TuningArea::TuningArea(ReceiverClient& client, ListeningChain& listening, Preferences& preferences, QWidget* parent)
    : QWidget(parent),
      m_panelColumn(new QWidget(this)),
      m_panel(new TuningPanel(client, preferences, TuningPanel::standardSteps(), m_panelColumn)),
      m_listening(new ListeningToolsPanel(listening, this)),
      m_info(new ReceiverInfoView(client, this))
{
    m_panel->setObjectName(QStringLiteral("tuningPanel"));
    m_listening->setObjectName(QStringLiteral("listeningTools"));
    m_info->setObjectName(QStringLiteral("receiverInfo"));

    // The panel fills the width it is given, its rows from the left: centred
    // instead, it would sit further left for a server whose rows are wider
    // (a band menu, more modes) and move when a note appears.
    auto* column = new QHBoxLayout(m_panelColumn);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(m_panel);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(spacing);
    row->addWidget(m_panelColumn, 0, Qt::AlignTop);
    row->addWidget(m_listening, 0, Qt::AlignTop);
    row->addWidget(m_info, 1, Qt::AlignTop);
    // The narrow form sets the minimum (minimumSizeHint), not the layout of
    // the wide one.
    row->setSizeConstraint(QLayout::SetNoConstraint);
    m_info->installEventFilter(this);
    arrange(width());
}

bool TuningArea::showsReceiverInfo() const
{
    return !m_info->isHidden();
}

int TuningArea::sideBySideWidth() const
{
    const int panel = std::max(minimumPanelWidth, m_panel->minimumSizeHint().width());
    const int info = std::max(minimumInfoWidth, m_info->minimumSizeHint().width());
    return panel + spacing + listeningWidth() + spacing + info;
}

QSize TuningArea::minimumSizeHint() const
{
    // The panel and the tools alone are the narrowest form.
    const QSize panel = m_panel->minimumSizeHint();
    // The information's values wrap, so its height follows the width it got.
    int infoHeight = 0;
    if (showsReceiverInfo())
        infoHeight = m_info->width() > 0 && m_info->hasHeightForWidth() ? m_info->heightForWidth(m_info->width())
                                                                        : m_info->minimumSizeHint().height();
    return {std::max(minimumPanelWidth, panel.width()) + spacing + listeningWidth(),
        std::max({panel.height(), m_listening->minimumSizeHint().height(), infoHeight})};
}

QSize TuningArea::sizeHint() const
{
    const QSize wanted = QWidget::sizeHint();
    return {wanted.width(), std::max(wanted.height(), minimumSizeHint().height())};
}

bool TuningArea::eventFilter(QObject* watched, QEvent* event)
{
    // A new width of the information wraps its values anew: the area's
    // height follows.
    if (watched == m_info && event->type() == QEvent::Resize) {
        const auto* resize = static_cast<QResizeEvent*>(event);
        if (resize->size().width() != resize->oldSize().width())
            updateGeometry();
    }
    return QWidget::eventFilter(watched, event);
}

void TuningArea::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    arrange(event->size().width());
}

void TuningArea::arrange(int width)
{
    const bool sideBySide = width >= sideBySideWidth();
    m_info->setVisible(sideBySide);
    const int panelMinimum = std::max(minimumPanelWidth, m_panel->minimumSizeHint().width());
    if (sideBySide) {
        const int infoMinimum = std::max(minimumInfoWidth, m_info->minimumSizeHint().width());
        const int panelWidth = std::clamp(width - 2 * spacing - listeningWidth() - infoMinimum, panelMinimum,
            std::max(panelMinimum, maximumPanelWidth));
        m_panelColumn->setFixedWidth(panelWidth);
    } else {
        m_panelColumn->setMinimumWidth(panelMinimum);
        m_panelColumn->setMaximumWidth(QWIDGETSIZE_MAX);
    }
}

int TuningArea::listeningWidth() const
{
    return m_listening->sizeHint().width();
}
