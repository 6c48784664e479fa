#include "display/SMeterBar.h"

#include "display/SMeterScale.h"
#include "widgets/OnScreen.h"
#include "widgets/TextStyles.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr int rowHeight = 12;
constexpr qint64 glideFrameMs = 33;

// Where red starts as a fraction of the bar; a silly full scale still gives
// a valid gradient.
double redFraction(double units, double fullScale)
{
    return fullScale > 0 ? std::clamp(units / fullScale, 0.0, 0.999) : 0.999;
}

QPainterPath capsule(const QRectF& rect)
{
    QPainterPath path;
    const double radius = std::min(rect.width(), rect.height()) / 2;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

} // namespace

QColor sMeterGreen()
{
    return QColor(52, 199, 89);
}

QColor sMeterRed()
{
    return QColor(255, 59, 48);
}

SMeterBar::SMeterBar(double fullScale, QWidget* parent)
    : QWidget(parent), m_fullScale(fullScale), m_redFrom(sMeterRedFrom(true))
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    // Paints the window's colour under the track itself, so that a step of
    // the glide repaints the bar alone, not every panel behind it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_sincePaint.start();
    m_animation.setDuration(100);
    m_animation.setEasingCurve(QEasingCurve::Linear);
    connect(&m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        m_shown = value.toDouble();
        // The glide is painted at most 30 times a second, in steps of a
        // pixel or more; its last step always is.
        if (m_shown == m_target
            || (std::abs(m_shown - m_painted) * width() >= 1 && m_sincePaint.hasExpired(glideFrameMs)))
            update();
    });
}

void SMeterBar::setFraction(double fraction)
{
    fraction = std::isnan(fraction) ? 0 : std::clamp(fraction, 0.0, 1.0);
    if (fraction == m_target)
        return;
    m_target = fraction;
    m_animation.stop();
    // No glide that nobody sees: its frames would wake the program 60 times a second.
    if (!isOnScreen(*this)) {
        m_shown = fraction;
        update();
        return;
    }
    m_animation.setStartValue(m_shown);
    m_animation.setEndValue(fraction);
    m_animation.start();
}

void SMeterBar::setRedFrom(double units)
{
    if (units == m_redFrom)
        return;
    m_redFrom = units;
    update();
}

QSize SMeterBar::sizeHint() const
{
    return {200, rowHeight};
}

QSize SMeterBar::minimumSizeHint() const
{
    return {rowHeight * 2, rowHeight};
}

void SMeterBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF track(0, 0, width(), rowHeight);

    QColor trackColor = palette().color(QPalette::WindowText);
    trackColor.setAlphaF(0.1f);
    painter.fillPath(capsule(track), trackColor);

    m_painted = m_shown;
    m_sincePaint.start();
    if (m_shown <= 0)
        return;
    const double red = redFraction(m_redFrom, m_fullScale);
    QLinearGradient gradient(track.topLeft(), track.topRight());
    gradient.setColorAt(0, sMeterGreen());
    gradient.setColorAt(red, sMeterGreen());
    gradient.setColorAt(red + 0.001, sMeterRed());
    gradient.setColorAt(1, sMeterRed());
    painter.fillPath(capsule(QRectF(0, 0, m_shown * width(), rowHeight)), gradient);
}

SMeterScaleMarks::SMeterScaleMarks(double fullScale, QWidget* parent)
    : QWidget(parent), m_fullScale(fullScale)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFont(textStyleFont(TextStyle::caption2));
}

void SMeterScaleMarks::setCalibrated(bool calibrated)
{
    if (calibrated == m_calibrated)
        return;
    m_calibrated = calibrated;
    update();
}

QSize SMeterScaleMarks::sizeHint() const
{
    return {200, rowHeight};
}

QSize SMeterScaleMarks::minimumSizeHint() const
{
    return {rowHeight * 2, rowHeight};
}

void SMeterScaleMarks::paintEvent(QPaintEvent*)
{
    if (!(m_fullScale > 0))
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QFontMetricsF metrics(font());
    const QColor secondary = secondaryTextColor(palette());
    QColor red = sMeterRed();
    if (!isEnabled())
        red.setAlphaF(0.4f);
    const double redFrom = sMeterRedFrom(m_calibrated);
    for (const SMeterMark& mark : sMeterMarks(m_calibrated)) {
        const double labelWidth = metrics.horizontalAdvance(mark.label);
        // Centred on its position, but kept inside the row so that the last
        // mark at the right end is not cut in half.
        const double centre = mark.position * width() / m_fullScale;
        const double left = std::clamp(centre - labelWidth / 2, 0.0, std::max(0.0, width() - labelWidth));
        painter.setPen(mark.position > redFrom ? red : secondary);
        painter.drawText(QRectF(left, 0, labelWidth, rowHeight), Qt::AlignCenter, mark.label);
    }
}
