#include "display/WaterfallStrip.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr double cornerRadius = 8;
const QColor passbandYellow(255, 204, 0);

} // namespace

double StripFrequencies::xPosition(double hz, double width) const
{
    if (!(spanHz > 0))
        return 0;
    return width * (hz - leftHz) / spanHz;
}

WaterfallStrip::WaterfallStrip(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void WaterfallStrip::setFrequencies(StripFrequencies frequencies)
{
    if (frequencies.leftHz == m_frequencies.leftHz && frequencies.spanHz == m_frequencies.spanHz
        && frequencies.contentStartHz == m_frequencies.contentStartHz)
        return;
    m_frequencies = frequencies;
    update();
}

void WaterfallStrip::setPassband(std::optional<PassbandMarks> marks)
{
    if (marks.has_value() == m_passband.has_value() && (!marks
            || (marks->lowHz == m_passband->lowHz && marks->highHz == m_passband->highHz
                && marks->tunedHz == m_passband->tunedHz)))
        return;
    m_passband = marks;
    update();
}

double WaterfallStrip::contentOffset() const
{
    const double offset = m_frequencies.xPosition(m_frequencies.contentStartHz, width());
    return std::isfinite(offset) ? offset : 0;
}

QRectF WaterfallStrip::stackRect() const
{
    const QWidget* stack = parentWidget();
    return stack ? QRectF(QPointF(mapFrom(stack, QPoint(0, 0))), QSizeF(stack->size())) : QRectF(rect());
}

bool WaterfallStrip::holdsCorner(const QRectF& stack) const
{
    return stack.top() > -cornerRadius || stack.bottom() < height() + cornerRadius || stack.left() > 0
        || stack.right() < width();
}

bool WaterfallStrip::canScroll() const
{
    return isVisible() && !m_dimmed && contentOffset() == 0 && !holdsCorner(stackRect());
}

void WaterfallStrip::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.save();
    painter.translate(contentOffset(), 0);
    paintContent(painter);
    painter.restore();
    paintPassband(painter);
    if (m_dimmed) {
        painter.fillRect(rect(), QColor(0, 0, 0, 160));
        paintOverDimmed(painter);
    }
    // The whole stack is one rounded rectangle. A strip that holds one of its
    // corners paints the window's colour outside it last, so that none of the
    // drawing before needs a rounded clip (slow for every fill under it).
    const QRectF stack = stackRect();
    if (holdsCorner(stack)) {
        QPainterPath outside;
        outside.setFillRule(Qt::OddEvenFill);
        outside.addRect(rect());
        outside.addRoundedRect(stack, cornerRadius, cornerRadius);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(outside, palette().color(QPalette::Window));
    }
}

void WaterfallStrip::setDimmed(bool dimmed)
{
    if (dimmed == m_dimmed)
        return;
    m_dimmed = dimmed;
    update();
}

void WaterfallStrip::paintPassband(QPainter& painter)
{
    if (!m_passband)
        return;
    const double w = width();
    const double bandX = m_frequencies.xPosition(m_passband->lowHz, w);
    const double bandWidth = std::max(m_frequencies.xPosition(m_passband->highHz, w) - bandX, 1.0);
    // Far-off values are drawn at the strip's edges, which is where they show.
    const auto onScreen = [w](double x) {
        return std::isnan(x) ? -w - 16 : std::clamp(x, -w - 16, 2 * w + 16);
    };
    const double left = onScreen(bandX);
    const double right = onScreen(bandX + bandWidth);
    QColor band = passbandYellow;
    band.setAlphaF(0.18f);
    painter.fillRect(QRectF(left, 0, std::max(right - left, 1.0), height()), band);
    QColor line = passbandYellow;
    line.setAlphaF(0.9f);
    painter.fillRect(QRectF(onScreen(m_frequencies.xPosition(m_passband->tunedHz, w)), 0, 1, height()), line);
}
