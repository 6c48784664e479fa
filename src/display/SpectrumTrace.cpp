#include "display/SpectrumTrace.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr int stripHeight = 90;

// The fill's colour on each line, as its gradient draws it over black. Made
// once for the strip's height (the GUI thread's only).
const std::vector<QRgb>& fillColours(int height)
{
    static std::vector<QRgb> colours;
    if (static_cast<int>(colours.size()) == height)
        return colours;
    QImage column(1, height, QImage::Format_RGB32);
    column.fill(Qt::black);
    QPainter painter(&column);
    painter.fillRect(column.rect(), SpectrumTrace::fillGradient(height));
    painter.end();
    colours.resize(static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
        colours[static_cast<std::size_t>(y)] = column.pixel(0, y);
    return colours;
}

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

QLinearGradient SpectrumTrace::fillGradient(int height)
{
    QLinearGradient fill(0, 0, 0, height);
    QColor top(Qt::cyan);
    top.setAlphaF(0.5f);
    QColor bottom(Qt::blue);
    bottom.setAlphaF(0.1f);
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    return fill;
}

QImage SpectrumTrace::filledArea(const QPolygonF& line, QSize size)
{
    QImage area(size, QImage::Format_RGB32);
    if (area.isNull())
        return area;
    if (line.size() < 2) {
        area.fill(Qt::black);
        return area;
    }
    const int w = size.width();
    const int h = size.height();
    // Per column the first line whose pixel centre lies under the trace at
    // the column's centre, as a polygon fill decides it.
    std::vector<int> firstFilled(static_cast<std::size_t>(w));
    qsizetype segment = 0;
    for (int x = 0; x < w; ++x) {
        const double centre = x + 0.5;
        while (segment + 2 < line.size() && line[segment + 1].x() < centre)
            ++segment;
        const QPointF a = line[segment];
        const QPointF b = line[segment + 1];
        const double t = b.x() > a.x() ? std::clamp((centre - a.x()) / (b.x() - a.x()), 0.0, 1.0) : 0.0;
        const double y = a.y() + t * (b.y() - a.y());
        firstFilled[static_cast<std::size_t>(x)] = std::clamp(static_cast<int>(std::ceil(y - 0.5)), 0, h);
    }
    const std::vector<QRgb>& colours = fillColours(h);
    const QRgb black = qRgb(0, 0, 0);
    for (int y = 0; y < h; ++y) {
        auto* pixels = reinterpret_cast<QRgb*>(area.scanLine(y));
        const QRgb colour = colours[static_cast<std::size_t>(y)];
        for (std::size_t x = 0; x < static_cast<std::size_t>(w); ++x)
            pixels[x] = y >= firstFilled[x] ? colour : black;
    }
    return area;
}

void SpectrumTrace::paintContent(QPainter& painter)
{
    const QPolygonF line = tracePoints(m_values, m_minDB, m_maxDB, QSizeF(size()));
    if (line.isEmpty())
        return;
    painter.drawImage(QPointF(0, 0), filledArea(line, size()));
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
