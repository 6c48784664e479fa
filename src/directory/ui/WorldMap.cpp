#include "directory/ui/WorldMap.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

constexpr double maxZoom = 64;
constexpr double hitRadius = 7;
constexpr double dotRadius = 3.5;
constexpr double dragThreshold = 4;

QColor kindColour(ServerKind kind)
{
    return kind == ServerKind::kiwiSDR ? QColor(0xd9, 0x5f, 0x02) : QColor(0x1b, 0x6f, 0xc8);
}

} // namespace

WorldMap::WorldMap(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("receiverMap"));
    setMouseTracking(true);
    setMinimumSize(240, 140);
    setAccessibleName(tr("Map of the receivers"));
    connect(&m_coastlineReader, &QFutureWatcher<CoastlineSet>::finished, this,
        [this] { setCoastlines(m_coastlineReader.result()); });
    m_coastlineReader.setFuture(sharedCoastlines());
}

void WorldMap::setCoastlines(const CoastlineSet& coastlines)
{
    QPainterPath path;
    for (const QPolygonF& line : coastlines)
        path.addPolygon(line);
    m_coastlines = path;
    update();
}

void WorldMap::setDots(QList<Dot> dots)
{
    m_dots = std::move(dots);
    if (urlAt(mapFromGlobal(QCursor::pos())).isEmpty())
        m_hovered.clear();
    update();
}

void WorldMap::setListener(std::optional<GeoPoint> listener)
{
    m_listener = listener;
    update();
}

void WorldMap::setSelected(const QString& url)
{
    m_selected = url;
    update();
}

double WorldMap::scale() const
{
    return std::min(width() / 360.0, height() / 180.0) * m_zoom;
}

QTransform WorldMap::worldTransform() const
{
    const double s = scale();
    QTransform transform;
    transform.translate(width() / 2.0, height() / 2.0);
    transform.scale(s, -s);
    transform.translate(-m_centre.x(), -m_centre.y());
    return transform;
}

QPointF WorldMap::pointOf(GeoPoint position) const
{
    return worldTransform().map(QPointF(position.longitude, position.latitude));
}

QString WorldMap::urlAt(QPointF point) const
{
    QString nearest;
    double best = hitRadius * hitRadius;
    for (const Dot& dot : m_dots) {
        const QPointF d = pointOf(dot.position) - point;
        const double distance = QPointF::dotProduct(d, d);
        if (distance <= best) {
            best = distance;
            nearest = dot.url;
        }
    }
    return nearest;
}

void WorldMap::keepCentreInRange()
{
    const double s = scale();
    const double halfWidth = s > 0 ? width() / 2.0 / s : 180;
    const double halfHeight = s > 0 ? height() / 2.0 / s : 90;
    const auto clampAxis = [](double value, double half, double limit) {
        return half >= limit ? 0.0 : std::clamp(value, -limit + half, limit - half);
    };
    m_centre = {clampAxis(m_centre.x(), halfWidth, 180), clampAxis(m_centre.y(), halfHeight, 90)};
}

void WorldMap::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool dark = palette().color(QPalette::Window).lightness() < 128;
    painter.fillRect(rect(), dark ? QColor(0x1d, 0x2b, 0x38) : QColor(0xdc, 0xe9, 0xf2));
    painter.save();
    painter.setTransform(worldTransform());
    painter.setClipRect(QRectF(-180, -90, 360, 180));
    painter.fillRect(QRectF(-180, -90, 360, 180), dark ? QColor(0x22, 0x33, 0x44) : QColor(0xe8, 0xf1, 0xf7));
    QPen coast(dark ? QColor(0x8a, 0x9b, 0xa8) : QColor(0x6b, 0x7b, 0x86));
    coast.setCosmetic(true);
    coast.setWidthF(1);
    painter.setPen(coast);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(m_coastlines);
    painter.restore();
    drawDots(painter);
    drawLegend(painter);
    drawHoverLabel(painter);
}

void WorldMap::drawDots(QPainter& painter) const
{
    const Dot* selected = nullptr;
    for (const Dot& dot : m_dots) {
        const QPointF at = pointOf(dot.position);
        if (!rect().adjusted(-8, -8, 8, 8).contains(at.toPoint()))
            continue;
        if (dot.url == m_selected)
            selected = &dot;
        QColor colour = kindColour(dot.kind);
        if (!dot.freeChannel)
            colour.setAlpha(140);
        painter.setPen(QPen(colour.darker(130), 1));
        painter.setBrush(dot.freeChannel == false ? QBrush(Qt::NoBrush) : QBrush(colour));
        painter.drawEllipse(at, dotRadius, dotRadius);
    }
    if (selected) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(pointOf(selected->position), dotRadius + 3, dotRadius + 3);
    }
    if (m_listener) {
        const QPointF at = pointOf(*m_listener);
        painter.setPen(QPen(palette().color(QPalette::WindowText), 2));
        painter.drawLine(at + QPointF(-6, -6), at + QPointF(6, 6));
        painter.drawLine(at + QPointF(-6, 6), at + QPointF(6, -6));
    }
}

void WorldMap::drawLegend(QPainter& painter) const
{
    const QFontMetrics metrics = fontMetrics();
    const struct {
        QString text;
        QColor colour;
        bool filled;
    } entries[] = {
        {tr("KiwiSDR"), kindColour(ServerKind::kiwiSDR), true},
        {tr("OpenWebRX"), kindColour(ServerKind::openWebRX), true},
        {tr("No free channel"), palette().color(QPalette::WindowText), false},
    };
    double x = 8;
    const double y = height() - metrics.height() / 2.0 - 6;
    for (const auto& entry : entries) {
        painter.setPen(QPen(entry.colour, 1));
        painter.setBrush(entry.filled ? QBrush(entry.colour) : QBrush(Qt::NoBrush));
        painter.drawEllipse(QPointF(x + dotRadius, y), dotRadius, dotRadius);
        x += 2 * dotRadius + 4;
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(QPointF(x, y + metrics.ascent() / 2.0 - 1), entry.text);
        x += metrics.horizontalAdvance(entry.text) + 12;
    }
}

void WorldMap::drawHoverLabel(QPainter& painter) const
{
    const auto hovered =
        std::find_if(m_dots.cbegin(), m_dots.cend(), [this](const Dot& dot) { return dot.url == m_hovered; });
    if (hovered == m_dots.cend())
        return;
    const QString text = hovered->name.isEmpty() ? hovered->url : hovered->name;
    const QFontMetrics metrics = fontMetrics();
    const QPointF at = pointOf(hovered->position);
    QRectF box(at + QPointF(10, -metrics.height() - 6),
        QSizeF(metrics.horizontalAdvance(text) + 10, metrics.height() + 4));
    box.moveLeft(std::clamp(box.left(), 2.0, std::max(2.0, width() - box.width() - 2)));
    box.moveTop(std::clamp(box.top(), 2.0, std::max(2.0, height() - box.height() - 2)));
    painter.setPen(palette().color(QPalette::ToolTipText));
    painter.setBrush(palette().color(QPalette::ToolTipBase));
    painter.drawRoundedRect(box, 3, 3);
    painter.drawText(box, Qt::AlignCenter, text);
}

void WorldMap::wheelEvent(QWheelEvent* event)
{
    const double steps = event->angleDelta().y() / 120.0;
    if (steps == 0)
        return;
    const QPointF pointer = event->position();
    const QPointF before = worldTransform().inverted().map(pointer);
    m_zoom = std::clamp(m_zoom * std::pow(1.25, steps), 1.0, maxZoom);
    // The place under the pointer stays under it.
    const QPointF after = worldTransform().inverted().map(pointer);
    m_centre += before - after;
    keepCentreInRange();
    update();
    event->accept();
}

void WorldMap::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pressAt = event->position();
    m_lastDrag = event->position();
    m_dragged = false;
}

void WorldMap::mouseMoveEvent(QMouseEvent* event)
{
    if (m_pressAt && (event->buttons() & Qt::LeftButton)) {
        if (QLineF(*m_pressAt, event->position()).length() >= dragThreshold)
            m_dragged = true;
        if (m_dragged) {
            const double s = scale();
            const QPointF moved = event->position() - m_lastDrag;
            m_centre -= QPointF(moved.x() / s, -moved.y() / s);
            m_lastDrag = event->position();
            keepCentreInRange();
            setCursor(Qt::ClosedHandCursor);
            update();
        }
        return;
    }
    const QString hovered = urlAt(event->position());
    if (hovered != m_hovered) {
        m_hovered = hovered;
        setCursor(hovered.isEmpty() ? Qt::ArrowCursor : Qt::PointingHandCursor);
        update();
    }
}

void WorldMap::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_pressAt)
        return;
    m_pressAt.reset();
    unsetCursor();
    if (!m_dragged) {
        if (const QString url = urlAt(event->position()); !url.isEmpty())
            emit dotClicked(url);
    }
}

void WorldMap::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (const QString url = urlAt(event->position()); !url.isEmpty())
        emit dotActivated(url, event->modifiers());
}

void WorldMap::leaveEvent(QEvent* event)
{
    m_hovered.clear();
    update();
    QWidget::leaveEvent(event);
}

void WorldMap::resizeEvent(QResizeEvent* event)
{
    keepCentreInRange();
    QWidget::resizeEvent(event);
}
