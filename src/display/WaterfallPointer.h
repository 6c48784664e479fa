#pragma once
// What the pointer does on the strips of a WaterfallView. A click tunes to
// the clicked frequency (onto a strong line or the mode's step; Alt makes it
// exact), a Ctrl+click asks for a notch at the audio frequency the clicked
// line is heard at. When zoomed in, a sideways drag pans the picture and
// retunes by the same amount; the pan keeps the old picture displaced under
// the pointer until the server's rows catch up; a drag on the scale pans
// alone, keeping the frequency. A press on an edge of the passband on the
// spectrum drags that edge, sent to the receiver a few times a second. The
// wheel tunes by the mode's step; with Control it zooms about the pointer. A
// click on a marker of the scale tunes to it.
// It reads where the picture stands from the view; the view settles the pan
// with every row.

#include "display/PassbandDrag.h"
#include "display/WaterfallPan.h"
#include "display/WheelTuning.h"
#include "model/Mode.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QTimer>

#include <optional>

class QEvent;
class QWheelEvent;
class ReceiverClient;
class WaterfallStrip;
class WaterfallView;

class WaterfallPointer : public QObject {
    Q_OBJECT

public:
    // Pointer travel before a press becomes a drag.
    static constexpr double minimumDragDistance = 4;
    // While an edge of the passband is dragged, the receiver hears of it at
    // most this often.
    static constexpr int passbandSendIntervalMs = 250;

    WaterfallPointer(ReceiverClient* client, const WaterfallView& view);

    // An event the view's filter saw on one of its strips; true when taken.
    bool handle(QObject* watched, QEvent* event);

    WaterfallPan& pan() { return m_pan; }
    const WaterfallPan& pan() const { return m_pan; }
    // The passband shown: the one being dragged, else the session's.
    Passband shownPassband() const;
    // A new picture: the pan and any press are given up.
    void reset();

signals:
    // Ctrl+click on a line: where it sounds in the tuned mode (not for FM).
    void notchRequested(double audioHz);
    // A drag moved the picture's left edge on screen.
    void panned();
    // A drag moved an edge of the shown passband.
    void passbandDragged();

private:
    struct Press {
        QWidget* strip = nullptr;
        QPointF position;
        bool moved = false;
        bool dragging = false;
    };

    struct EdgeDrag {
        PassbandEdge edge;
        Passband start;
        double pressX;
    };

    bool stripEvent(WaterfallStrip& strip, QEvent* event);
    bool scaleEvent(QEvent* event);
    void tap(double x, double width, bool exact);
    void requestNotch(double x, double width);
    // Whether the move touches something; a press on the scale pans only.
    bool pressMoved(Press& press, QPointF position);
    void dragChanged(double translationX, double width, bool retune);
    void endDrag();
    bool wheelTurned(const QWheelEvent& wheel, double width);
    void zoomAbout(int notches, double x, double width);
    // The edge of the passband under the pointer on the spectrum, if any.
    std::optional<PassbandEdge> edgeUnder(double x) const;
    bool startEdgeDrag(double x);
    void moveEdge(double x);
    void endEdgeDrag();
    void sendDraggedPassband();

    QPointer<ReceiverClient> m_client;
    const WaterfallView& m_view;
    WaterfallPan m_pan;
    std::optional<Press> m_press;
    std::optional<EdgeDrag> m_edgeDrag;
    // Dragged but not yet sent.
    std::optional<Passband> m_unsentPassband;
    QTimer m_passbandSendTimer;
    QElapsedTimer m_sincePassbandSent;
    WheelNotches m_wheelNotches;
    bool m_wheelZooms = false;
};
