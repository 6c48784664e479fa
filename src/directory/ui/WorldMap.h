#pragma once
// A world map of receivers: coastlines, one dot per receiver (coloured by
// kind; filled with a free channel, faint when unknown, a ring when full),
// the listener's own position as a cross. Hovering names the receiver under
// the pointer, a click selects it, a double click asks to listen. The wheel
// zooms about the pointer and a drag pans. Names are drawn as plain text.

#include "directory/Geo.h"
#include "directory/ui/Coastlines.h"
#include "model/ReceiverModel.h"

#include <QFutureWatcher>
#include <QPainterPath>
#include <QWidget>

#include <optional>

class WorldMap : public QWidget {
    Q_OBJECT
public:
    struct Dot {
        QString url;
        QString name;
        GeoPoint position;
        ServerKind kind = ServerKind::kiwiSDR;
        std::optional<bool> freeChannel;
    };

    explicit WorldMap(QWidget* parent = nullptr);

    void setDots(QList<Dot> dots);
    void setListener(std::optional<GeoPoint> listener);
    void setSelected(const QString& url);
    void setCoastlines(const CoastlineSet& coastlines);

    // Where a position is drawn, in widget coordinates.
    QPointF pointOf(GeoPoint position) const;
    // The dot nearest the point within a few pixels; empty when none is.
    QString urlAt(QPointF point) const;
    QString hoveredUrl() const { return m_hovered; }
    double zoom() const { return m_zoom; }
    bool hasCoastlines() const { return !m_coastlines.isEmpty(); }

    QSize sizeHint() const override { return {520, 300}; }

signals:
    void dotClicked(const QString& url);
    void dotActivated(const QString& url, Qt::KeyboardModifiers modifiers);

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    double scale() const;
    QTransform worldTransform() const;
    void keepCentreInRange();
    void drawDots(QPainter& painter) const;
    void drawLegend(QPainter& painter) const;
    void drawHoverLabel(QPainter& painter) const;

    QList<Dot> m_dots;
    std::optional<GeoPoint> m_listener;
    QString m_selected;
    QString m_hovered;
    QPainterPath m_coastlines;
    QFutureWatcher<CoastlineSet> m_coastlineReader;
    double m_zoom = 1;
    // The longitude and latitude at the middle of the widget.
    QPointF m_centre{10, 20};
    std::optional<QPointF> m_pressAt;
    QPointF m_lastDrag;
    bool m_dragged = false;
};
