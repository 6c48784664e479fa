#include "display/WaterfallPointer.h"

#include "display/ClickSnap.h"
#include "display/FrequencyScale.h"
#include "display/SpectrumTrace.h"
#include "display/WaterfallImageStrip.h"
#include "display/WaterfallView.h"
#include "model/ListeningSettings.h"
#include "session/ReceiverClient.h"
#include "settings/Preferences.h"

#include <QMouseEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <utility>

WaterfallPointer::WaterfallPointer(ReceiverClient* client, const WaterfallView& view)
    : m_client(client)
    , m_view(view)
{
    m_passbandSendTimer.setSingleShot(true);
    connect(&m_passbandSendTimer, &QTimer::timeout, this, &WaterfallPointer::sendDraggedPassband);
    if (m_client) {
        connect(m_client, &ReceiverClient::waterfallZoomChanged, this, [this] {
            // Below zoom 1 there is no drag to pan.
            if (m_press && m_press->dragging && m_client && m_client->waterfallZoom() < 1)
                endDrag();
        });
    }
}

void WaterfallPointer::reset()
{
    m_pan.drop();
    m_press.reset();
}

bool WaterfallPointer::handle(QObject* watched, QEvent* event)
{
    if (watched == m_view.scaleStrip())
        return scaleEvent(event);
    if (watched == m_view.spectrumStrip())
        return stripEvent(*m_view.spectrumStrip(), event);
    if (watched == m_view.waterfallStrip())
        return stripEvent(*m_view.waterfallStrip(), event);
    return false;
}

bool WaterfallPointer::stripEvent(WaterfallStrip& strip, QEvent* event)
{
    const bool onSpectrum = &strip == m_view.spectrumStrip();
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        if (mouse->modifiers() & Qt::ControlModifier) {
            requestNotch(mouse->position().x(), strip.width());
            return true;
        }
        if (onSpectrum && startEdgeDrag(mouse->position().x()))
            return true;
        m_press = Press{&strip, mouse->position()};
        return true;
    }
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (onSpectrum && m_edgeDrag) {
            moveEdge(mouse->position().x());
            return true;
        }
        if (onSpectrum && !m_press)
            strip.setCursor(edgeUnder(mouse->position().x()) ? Qt::SizeHorCursor : Qt::CrossCursor);
        if (!m_press || m_press->strip != &strip || !(mouse->buttons() & Qt::LeftButton))
            return false;
        if (pressMoved(*m_press, mouse->position()))
            dragChanged(mouse->position().x() - m_press->position.x(), strip.width(), true);
        return true;
    }
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && onSpectrum && m_edgeDrag) {
            moveEdge(mouse->position().x());
            endEdgeDrag();
            return true;
        }
        if (mouse->button() != Qt::LeftButton || !m_press || m_press->strip != &strip)
            return false;
        const Press press = *m_press;
        if (press.dragging)
            endDrag();
        m_press.reset();
        if (!press.moved)
            tap(mouse->position().x(), strip.width(), mouse->modifiers() & Qt::AltModifier);
        return true;
    }
    case QEvent::Wheel:
        return wheelTurned(*static_cast<QWheelEvent*>(event), strip.width());
    default:
        return false;
    }
}

bool WaterfallPointer::pressMoved(Press& press, QPointF position)
{
    const QPointF travel = position - press.position;
    if (!press.moved && std::hypot(travel.x(), travel.y()) >= minimumDragDistance) {
        // Too far for a click; a drag only where there is room to pan.
        press.moved = true;
        press.dragging = m_client && m_client->waterfallZoom() >= 1;
    }
    return press.dragging;
}

bool WaterfallPointer::scaleEvent(QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease)
        return false;
    FrequencyScale* scale = m_view.scaleStrip();
    const auto* mouse = static_cast<QMouseEvent*>(event);
    switch (type) {
    case QEvent::MouseButtonPress:
        if (mouse->button() != Qt::LeftButton)
            return false;
        m_press = Press{scale, mouse->position()};
        return true;
    case QEvent::MouseMove:
        // Dragging the scale looks around the band; the station stays tuned.
        if (!m_press || m_press->strip != scale || !(mouse->buttons() & Qt::LeftButton))
            return false;
        if (pressMoved(*m_press, mouse->position()))
            dragChanged(mouse->position().x() - m_press->position.x(), scale->width(), false);
        return true;
    default:
        break;
    }
    if (mouse->button() != Qt::LeftButton)
        return false;
    const std::optional<Press> press = std::exchange(m_press, std::nullopt);
    if (press && press->dragging)
        endDrag();
    if ((press && press->moved) || !m_client || !m_client->state().isConnected())
        return press.has_value();
    const auto mark = scale->markAt(mouse->position().x());
    if (!mark)
        return false;
    if (mark->mode && *mark->mode != m_client->mode())
        m_client->setMode(*mark->mode);
    m_client->tune(mark->hz / 1000);
    // A label of a decoder the receiver offers runs it (or says why it cannot).
    if (mark->decoder && findDecoder(m_client->decoders(), *mark->decoder))
        m_client->chooseDecoder(*mark->decoder);
    return true;
}

void WaterfallPointer::tap(double x, double width, bool exact)
{
    const double spanHz = m_view.spanHz();
    if (!m_client || !m_client->state().isConnected() || !(width > 0) || !(spanHz > 0))
        return;
    const double clickHz = m_view.displayedStartHz() + x / width * spanHz;
    // The trace was drawn for the row's own start, whatever the pan shows.
    const SpectrumLine spectrum{m_view.spectrum(), m_view.startHz(), spanHz};
    if (const auto kHz
        = snappedClickKHz(spectrum, clickHz, width, m_client->mode(), exact, m_view.preferences().bandPlanRegion()))
        m_client->tune(*kHz);
}

void WaterfallPointer::requestNotch(double x, double width)
{
    if (!m_client || !(width > 0))
        return;
    const double lineHz = m_view.displayedStartHz() + x / width * m_view.spanHz();
    if (const auto audioHz = audioFrequencyOfLine(lineHz, m_client->frequencyKHz() * 1000, m_client->mode()))
        emit notchRequested(*audioHz);
}

void WaterfallPointer::dragChanged(double translationX, double width, bool retune)
{
    const double spanHz = m_view.spanHz();
    if (!m_client || !m_client->state().isConnected() || !(width > 0) || !(spanHz > 0))
        return;
    const ReceiverInfo& info = m_client->info();
    const auto move = m_pan.dragChanged(translationX, width, spanHz, m_view.startHz(), m_client->frequencyKHz(),
        WaterfallPan::Band{info.baseHz, info.bandwidthHz}, retune);
    if (!move)
        return;
    emit panned();
    if (retune)
        m_client->tune(move->kHz);
    if (!m_client)
        return;
    const double zoomSpanHz = std::ldexp(m_client->info().bandwidthHz, -m_client->waterfallZoom());
    m_client->sendZoomStart(m_client->clampedWaterfallStart(move->startHz, zoomSpanHz));
}

void WaterfallPointer::endDrag()
{
    m_pan.dragEnded(WaterfallPan::Clock::now());
    if (m_press)
        m_press->dragging = false;
}

bool WaterfallPointer::wheelTurned(const QWheelEvent& wheel, double width)
{
    if (!m_client || !m_client->state().isConnected())
        return false;
    // Travel turned without Control does not count toward a zoom, nor the
    // reverse.
    const bool zooms = wheel.modifiers().testFlag(Qt::ControlModifier);
    if (zooms != m_wheelZooms) {
        m_wheelNotches.reset();
        m_wheelZooms = zooms;
    }
    const int notches = m_wheelNotches.add(wheel.angleDelta().y());
    if (notches == 0)
        return true;
    if (zooms)
        zoomAbout(notches, wheel.position().x(), width);
    else
        m_client->tune(wheelTunedFrequencyKHz(
            m_client->frequencyKHz(), m_view.preferences().tuningStepHz(m_client->mode()) / 1000.0, notches));
    return true;
}

void WaterfallPointer::zoomAbout(int notches, double x, double width)
{
    const double spanHz = m_view.spanHz();
    const double bandwidthHz = m_client->info().bandwidthHz;
    if (!(width > 0) || !(spanHz > 0) || !(bandwidthHz > 0))
        return;
    // The frequency under the pointer stays under it.
    const double fraction = std::clamp(x / width, 0.0, 1.0);
    const double pointerHz = m_view.displayedStartHz() + fraction * spanHz;
    const int before = m_client->waterfallZoom();
    m_client->setWaterfallZoom(before + std::clamp(notches, -64, 64));
    if (!m_client || m_client->waterfallZoom() == before)
        return;
    const double zoomSpanHz = std::ldexp(bandwidthHz, -m_client->waterfallZoom());
    m_client->sendZoomStart(m_client->clampedWaterfallStart(pointerHz - fraction * zoomSpanHz, zoomSpanHz));
}

Passband WaterfallPointer::shownPassband() const
{
    if (m_unsentPassband)
        return *m_unsentPassband;
    return m_client ? m_client->passband() : Passband{};
}

std::optional<PassbandEdge> WaterfallPointer::edgeUnder(double x) const
{
    if (!m_client || !m_client->state().isConnected())
        return std::nullopt;
    const double tunedHz = m_client->frequencyKHz() * 1000;
    const double carrierHz = tunedHz - carrierOffsetHz(m_client->mode());
    const Passband passband = shownPassband();
    const SpectrumTrace& strip = *m_view.spectrumStrip();
    return passbandEdgeAt(x, strip.width(), strip.frequencies(),
        {carrierHz + static_cast<double>(passband.low), carrierHz + static_cast<double>(passband.high), tunedHz});
}

bool WaterfallPointer::startEdgeDrag(double x)
{
    const auto edge = edgeUnder(x);
    if (!edge)
        return false;
    m_edgeDrag = EdgeDrag{*edge, m_client->passband(), x};
    return true;
}

void WaterfallPointer::moveEdge(double x)
{
    const double width = m_view.spectrumStrip()->width();
    if (!m_edgeDrag || !m_client || !(width > 0))
        return;
    const double deltaHz = (x - m_edgeDrag->pressX) / width * m_view.spanHz();
    const Passband passband = draggedPassband(m_client->mode(), m_edgeDrag->start, m_edgeDrag->edge, deltaHz);
    if (passband == shownPassband())
        return;
    m_unsentPassband = passband;
    emit passbandDragged();
    const qint64 since = m_sincePassbandSent.isValid() ? m_sincePassbandSent.elapsed() : passbandSendIntervalMs;
    if (since >= passbandSendIntervalMs)
        sendDraggedPassband();
    else if (!m_passbandSendTimer.isActive())
        m_passbandSendTimer.start(static_cast<int>(passbandSendIntervalMs - since));
}

void WaterfallPointer::endEdgeDrag()
{
    m_edgeDrag.reset();
    // The last edge goes out at once.
    sendDraggedPassband();
}

void WaterfallPointer::sendDraggedPassband()
{
    m_passbandSendTimer.stop();
    const std::optional<Passband> passband = std::exchange(m_unsentPassband, std::nullopt);
    if (!passband || !m_client || !m_client->state().isConnected())
        return;
    m_sincePassbandSent.start();
    m_client->setMode(m_client->mode(), *passband);
}
