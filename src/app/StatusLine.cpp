#include "app/StatusLine.h"

#include "app/BusyIndicator.h"
#include "app/StatusText.h"
#include "widgets/TextStyles.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>

#include <algorithm>

namespace {

const QColor connectedGreen(0x2e, 0xa0, 0x43);
const QColor warningOrange(0xd9, 0x6c, 0x00);

} // namespace

StatusLook statusLook(const ConnectionState& state, const std::optional<ReconnectWait>& wait,
    std::optional<int> freeChannelSeconds)
{
    if (freeChannelSeconds) {
        const int seconds = std::max(*freeChannelSeconds, 0);
        return {QCoreApplication::translate("StatusLine", "Waiting for a free channel (%1:%2)")
                    .arg(seconds / 60)
                    .arg(seconds % 60, 2, 10, QLatin1Char('0')),
            StatusSymbol::clock, StatusLook::Tint::secondary, false};
    }
    if (wait) {
        return {QCoreApplication::translate("StatusLine", "Reconnecting in %1 s (try %2 of %3)")
                    .arg(wait->secondsLeft)
                    .arg(wait->tryNumber)
                    .arg(wait->maxTries),
            StatusSymbol::clock, StatusLook::Tint::secondary, false};
    }
    switch (state.kind()) {
    case ConnectionState::Kind::disconnected:
        return {QCoreApplication::translate("StatusLine", "Disconnected"), StatusSymbol::circle,
            StatusLook::Tint::secondary, false};
    case ConnectionState::Kind::connecting:
        return {QCoreApplication::translate("StatusLine", "Connecting…"), std::nullopt, StatusLook::Tint::secondary,
            true};
    case ConnectionState::Kind::connected:
        return {QCoreApplication::translate("StatusLine", "Connected"), StatusSymbol::radioWaves, StatusLook::Tint::green, false};
    case ConnectionState::Kind::failed:
        return {state.message(), StatusSymbol::warning, StatusLook::Tint::orange, false};
    }
    return {};
}

StatusLine::StatusLine(QWidget* parent)
    : QWidget(parent),
      m_symbol(new QLabel(this)),
      m_busy(new BusyIndicator(fontMetrics().height() - 2, this)),
      m_text(new StatusText(maximumLines, this))
{
    // The text is drawn as plain text: failure messages quote the server.
    m_text->setObjectName(QStringLiteral("statusText"));

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    row->addWidget(m_symbol, 0, Qt::AlignVCenter);
    row->addWidget(m_busy, 0, Qt::AlignVCenter);
    row->addWidget(m_text, 1, Qt::AlignVCenter);

    setState(ConnectionState::disconnected());
}

void StatusLine::setState(
    const ConnectionState& state, const std::optional<ReconnectWait>& wait, std::optional<int> freeChannelSeconds)
{
    m_look = statusLook(state, wait, freeChannelSeconds);
    // While waiting, the tooltip keeps the failure that started it.
    const bool waiting = wait || freeChannelSeconds;
    m_failureTip = state.isFailed() ? (waiting ? state.message() : m_look.text) : QString();
    refreshText();
    m_busy->setVisible(m_look.busy);
    m_symbol->setVisible(m_look.symbol.has_value());
    refreshSymbol();
}

void StatusLine::setNotice(const QString& notice)
{
    m_notice = notice;
    refreshText();
}

void StatusLine::setSharingNotice(const QString& notice)
{
    m_sharingNotice = notice;
    refreshText();
}

void StatusLine::refreshText()
{
    QString notices = m_notice;
    if (!m_sharingNotice.isEmpty())
        notices += (notices.isEmpty() ? QString() : QStringLiteral("\n")) + m_sharingNotice;
    const QString text = notices.isEmpty() ? m_look.text : m_look.text + u'\n' + notices;
    m_text->setText(text);
    m_text->setAccessibleName(text);
    // A tooltip that looks like markup is shown as rich text: the text, which
    // may quote the server, is escaped into a rich text of its own.
    QString tip = m_failureTip;
    if (!notices.isEmpty())
        tip = (tip.isEmpty() ? m_look.text : tip) + u'\n' + notices;
    m_text->setToolTip(
        tip.isEmpty() ? QString() : QStringLiteral("<p style=\"white-space:pre-wrap\">%1</p>").arg(tip.toHtmlEscaped()));
}

QString StatusLine::text() const
{
    return m_text->text();
}

bool StatusLine::isBusy() const
{
    return m_look.busy;
}

void StatusLine::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)
        refreshSymbol();
}

void StatusLine::refreshSymbol()
{
    QColor color;
    switch (m_look.tint) {
    case StatusLook::Tint::secondary:
        color = secondaryTextColor(palette());
        break;
    case StatusLook::Tint::green:
        color = connectedGreen;
        break;
    case StatusLook::Tint::orange:
        color = warningOrange;
        break;
    }
    // Set only on a change: a countdown ticks with the same look.
    if (m_text->palette().color(QPalette::WindowText) != color) {
        QPalette textPalette = m_text->palette();
        textPalette.setColor(QPalette::WindowText, color);
        m_text->setPalette(textPalette);
    }
    if (m_look.symbol) {
        // A new picture lays the window out again.
        const DrawnSymbol drawn{*m_look.symbol, color, fontMetrics().height(), devicePixelRatioF()};
        if (drawn == m_drawnSymbol)
            return;
        m_drawnSymbol = drawn;
        m_symbol->setPixmap(statusSymbol(drawn.symbol, drawn.color, drawn.side, drawn.pixelRatio));
    }
}
