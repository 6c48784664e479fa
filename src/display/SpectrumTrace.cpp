#include "display/SpectrumTrace.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr int stripHeight = 90;

} // namespace

SpectrumTrace::SpectrumTrace(QWidget* parent) : WaterfallStrip(parent)
{
    setFixedHeight(stripHeight);
}

void SpectrumTrace::setValues(std::vector<double> values, double minDB, double maxDB)
{
    m_values = std::move(values);
    m_minDB = minDB;
    m_maxDB = maxDB;
    update();
}

void SpectrumTrace::setPeaks(std::vector<double> peaks)
{
    if (peaks.empty() && m_peaks.empty())
        return;
    m_peaks = std::move(peaks);
    update();
}

QPolygonF SpectrumTrace::tracePoints(const std::vector<double>& values, double minDB, double maxDB, QSizeF size)
{
    QPolygonF points;
    if (values.size() < 2)
        return points;
    const double lo = minDB - 10;
    const double hi = maxDB + 10;
    double range = hi - lo;
    if (!(range >= 1))
        range = 1;
    const double w = size.width();
    const double h = size.height();
    const double last = static_cast<double>(values.size() - 1);
    points.reserve(static_cast<qsizetype>(values.size()));
    for (std::size_t i = 0; i < values.size(); ++i) {
        const double y = h * (1 - (values[i] - lo) / range);
        points.append(QPointF(w * static_cast<double>(i) / last, std::isnan(y) ? h : std::clamp(y, 0.0, h)));
    }
    return points;
}

void SpectrumTrace::paintContent(QPainter& painter)
{
    const QPolygonF line = tracePoints(m_values, m_minDB, m_maxDB, QSizeF(size()));
    if (line.isEmpty())
        return;
    const double w = width();
    const double h = height();

    QPolygonF area = line;
    area.append(QPointF(w, h));
    area.append(QPointF(0, h));
    QLinearGradient fill(0, 0, 0, h);
    QColor top(Qt::cyan);
    top.setAlphaF(0.5f);
    QColor bottom(Qt::blue);
    bottom.setAlphaF(0.1f);
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawPolygon(area);

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(Qt::cyan), 1));
    painter.drawPolyline(line);
    paintPeaks(painter);
}

void SpectrumTrace::paintPeaks(QPainter& painter)
{
    const QPolygonF peaks = tracePoints(m_peaks, m_minDB, m_maxDB, QSizeF(size()));
    if (peaks.isEmpty())
        return;
    QColor faint(Qt::white);
    faint.setAlphaF(0.45f);
    painter.setPen(QPen(faint, 1));
    painter.drawPolyline(peaks);
}
