#include "app/PressAndHoldButton.h"

#include <QPainter>

namespace {

constexpr int horizontalPadding = 12;
constexpr int verticalPadding = 4;
constexpr qreal cornerRadius = 6;
// The faint fill of a control at rest, as a share of the text colour.
constexpr float restingFillAlpha = 0.12f;

} // namespace

PressAndHoldButton::PressAndHoldButton(const QString& text, QWidget* parent)
    : QAbstractButton(parent)
{
    setText(text);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(this, &QAbstractButton::pressed, this, [this] { emit pressChanged(true); });
    connect(this, &QAbstractButton::released, this, [this] { emit pressChanged(false); });
}

QSize PressAndHoldButton::sizeHint() const
{
    const QSize label = fontMetrics().size(Qt::TextSingleLine, text());
    return label + QSize(2 * horizontalPadding, 2 * verticalPadding);
}

void PressAndHoldButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF shape = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const bool down = isDown();

    QColor fill = palette().color(QPalette::Highlight);
    if (!down) {
        fill = palette().color(QPalette::WindowText);
        fill.setAlphaF(restingFillAlpha);
    }
    painter.setPen(hasFocus() ? QPen(palette().color(QPalette::Highlight), 1) : QPen(Qt::NoPen));
    painter.setBrush(fill);
    painter.drawRoundedRect(shape, cornerRadius, cornerRadius);

    const QPalette::ColorGroup group = isEnabled() ? QPalette::Active : QPalette::Disabled;
    painter.setPen(down ? QColor(Qt::white) : palette().color(group, QPalette::WindowText));
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, text());
}
