#include "display/WaterfallImageStrip.h"

#include "diagnostics/LatencyProbes.h"

#include <QPainter>
#include <QTextOption>

#include <cmath>

namespace {

constexpr int minimumStripHeight = 160;

} // namespace

WaterfallImageStrip::WaterfallImageStrip(QWidget* parent) : WaterfallStrip(parent)
{
    setMinimumHeight(minimumStripHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void WaterfallImageStrip::setImage(QImage image)
{
    m_image = std::move(image);
    m_phase = 0;
    update();
}

void WaterfallImageStrip::addRows(QImage image, int rows)
{
    const bool sameSize = m_image && m_image->size() == image.size();
    m_image = std::move(image);
    if (!sameSize || rows <= 0 || rows >= m_image->height() || !canScroll()) {
        m_phase = 0;
        update();
        return;
    }
    const double scrolled = m_phase + rows * double(height()) / m_image->height();
    const auto pixels = static_cast<int>(std::lround(scrolled));
    m_phase = scrolled - pixels;
    // Copies what is on screen and repaints only the uncovered lines.
    if (pixels > 0)
        scroll(0, pixels);
}

void WaterfallImageStrip::clearImage()
{
    m_image.reset();
    update();
}

void WaterfallImageStrip::setPlaceholderText(const QString& text)
{
    if (text == m_placeholder)
        return;
    m_placeholder = text;
    update();
}

void WaterfallImageStrip::paintContent(QPainter& painter)
{
    if (m_image) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRectF(rect()).translated(0, m_phase), *m_image);
        LatencyProbes::waterfallPainted();
        return;
    }
    if (isDimmed())
        return;
    // The offset does not apply to a text that stands for no picture.
    painter.translate(-contentOffset(), 0);
    // Secondary text as it reads on the black strip.
    painter.setPen(QColor(235, 235, 245, 153));
    QTextOption option(Qt::AlignCenter);
    option.setWrapMode(QTextOption::WordWrap);
    // drawText with a QTextOption never interprets markup.
    painter.drawText(QRectF(rect()).adjusted(8, 0, -8, 0), m_placeholder, option);
}

void WaterfallImageStrip::paintOverDimmed(QPainter& painter)
{
    if (m_placeholder.isEmpty())
        return;
    // A plain banner across the middle, as wide as the text needs.
    QTextOption option(Qt::AlignCenter);
    option.setWrapMode(QTextOption::WordWrap);
    const QRectF room = QRectF(rect()).adjusted(24, 0, -24, 0);
    const QRectF textRect = painter.fontMetrics().boundingRect(
        room.toAlignedRect(), Qt::AlignCenter | Qt::TextWordWrap, m_placeholder);
    const QRectF banner = textRect.adjusted(-12, -8, 12, 8);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(30, 30, 32, 230));
    painter.drawRoundedRect(banner, 6, 6);
    painter.setPen(Qt::white);
    painter.drawText(textRect, m_placeholder, option);
}
