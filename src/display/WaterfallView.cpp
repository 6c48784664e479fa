#include "display/WaterfallView.h"

#include "display/ClickSnap.h"
#include "display/FrequencyScale.h"
#include "display/SpectrumTrace.h"
#include "display/WaterfallHeader.h"
#include "display/WaterfallImageStrip.h"

#include "settings/Preferences.h"
#include "diagnostics/LatencyProbes.h"
#include "model/ListeningSettings.h"

#include <QMouseEvent>
#include <QWheelEvent>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <utility>

WaterfallView::WaterfallView(ReceiverClient* client, const Preferences& preferences, QWidget* parent)
    : QWidget(parent)
    , m_client(client)
    , m_preferences(preferences)
    , m_header(new WaterfallHeader(this))
{
    m_redrawTimer.setSingleShot(true);
    QObject::connect(&m_redrawTimer, &QTimer::timeout, this, &WaterfallView::redraw);
    m_passbandSendTimer.setSingleShot(true);
    QObject::connect(&m_passbandSendTimer, &QTimer::timeout, this, &WaterfallView::sendDraggedPassband);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(m_header);

    // The strips' parent is the rounded shape they share.
    auto* stack = new QWidget(this);
    auto* stackLayout = new QVBoxLayout(stack);
    stackLayout->setContentsMargins(0, 0, 0, 0);
    stackLayout->setSpacing(0);
    m_spectrumStrip = new SpectrumTrace(stack);
    m_waterfallStrip = new WaterfallImageStrip(stack);
    m_scaleStrip = new FrequencyScale(stack);
    stackLayout->addWidget(m_spectrumStrip);
    stackLayout->addWidget(m_waterfallStrip, 1);
    stackLayout->addWidget(m_scaleStrip);
    layout->addWidget(stack, 1);

    for (WaterfallStrip* strip : {static_cast<WaterfallStrip*>(m_spectrumStrip),
             static_cast<WaterfallStrip*>(m_waterfallStrip)}) {
        strip->installEventFilter(this);
        strip->setCursor(Qt::CrossCursor);
    }
    // A click on a marker of the scale tunes to it.
    m_scaleStrip->installEventFilter(this);
    // The pointer changes over the passband's edges.
    m_spectrumStrip->setMouseTracking(true);

    connect(m_header, &WaterfallHeader::zoomOutRequested, this, [this] {
        if (m_client)
            m_client->setWaterfallZoom(m_client->waterfallZoom() - 1);
    });
    connect(m_header, &WaterfallHeader::zoomInRequested, this, [this] {
        if (m_client)
            m_client->setWaterfallZoom(m_client->waterfallZoom() + 1);
    });
    connect(m_header, &WaterfallHeader::autoRangeToggled, this, &WaterfallView::setAutoRange);
    connect(m_header, &WaterfallHeader::floorChanged, this, &WaterfallView::setFloor);
    connect(m_header, &WaterfallHeader::ceilingChanged, this, &WaterfallView::setCeiling);
    connect(m_header, &WaterfallHeader::colourMapChosen, this, &WaterfallView::setColourMap);
    connect(m_header, &WaterfallHeader::averagingChosen, this, &WaterfallView::setAveraging);
    connect(m_header, &WaterfallHeader::peakHoldToggled, this, &WaterfallView::setPeakHold);
    connect(m_header, &WaterfallHeader::clearPeaksRequested, this, &WaterfallView::clearPeaks);
    connect(m_header, &WaterfallHeader::speedChosen, this, &WaterfallView::setSpeed);
    m_rowClock.start();

    if (m_client) {
        ReceiverClient* session = m_client;
        connect(session, &ReceiverClient::stateChanged, this, [this] {
            // A new connection starts from a cleared picture.
            const bool active = m_client->state().isActive();
            if (active && !m_wasActive)
                clearPicture();
            m_wasActive = active;
            updateHeader();
            updatePlaceholder();
        });
        connect(session, &ReceiverClient::waterfallErrorChanged, this, [this] {
            updateHeader();
            updatePlaceholder();
        });
        connect(session, &ReceiverClient::serverKindChanged, this, &WaterfallView::applySpeed);
        connect(session, &ReceiverClient::infoChanged, this, &WaterfallView::updateHeader);
        connect(session, &ReceiverClient::waterfallZoomChanged, this, [this] {
            // Below zoom 1 there is no drag to pan.
            if (m_press && m_press->dragging && m_client && m_client->waterfallZoom() < 1)
                endDrag();
            updateHeader();
        });
        connect(session, &ReceiverClient::receiverLabelsChanged, this, &WaterfallView::updateScaleLabels);
        connect(session, &ReceiverClient::frequencyKHzChanged, this, &WaterfallView::updatePassband);
        connect(session, &ReceiverClient::modeChanged, this, &WaterfallView::updatePassband);
        connect(session, &ReceiverClient::passbandChanged, this, &WaterfallView::updatePassband);
    }

    connect(&m_preferences, &Preferences::changed, this, [this](const QString& key) {
        if (key == PreferenceKeys::bandPlanRegion || key == PreferenceKeys::receiverBands
            || key == PreferenceKeys::frequencyBookmarks)
            updateScaleLabels();
    });

    m_wasActive = m_client && m_client->state().isActive();
    updateScaleLabels();
    updateHeader();
    updateLevels();
    updatePassband();
    updatePlaceholder();
    updateStripFrequencies();
}

WaterfallView::~WaterfallView() = default;

bool WaterfallView::isLive() const
{
    return m_client && m_client->state().isActive() && !m_client->waterfallError();
}

void WaterfallView::clearPicture()
{
    m_redrawTimer.stop();
    m_renderer.reset();
    m_imageChanged = false;
    m_imageReplaced = true;
    m_rowsScrolled = 0;
    m_spectrum.clear();
    m_peaks.clear();
    m_pan.drop();
    m_press.reset();
    m_waterfallStrip->clearImage();
    updateLevels();
}

void WaterfallView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_client && !m_subscription)
        m_subscription = m_client->rows().subscribe(this, [this](WaterfallRow row) { handleRow(row); });
}

void WaterfallView::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    m_subscription.reset();
}

QString WaterfallView::placeholderText() const
{
    if (!m_client)
        return tr("Not connected");
    if (const auto& error = m_client->waterfallError())
        return *error;
    const ConnectionState& state = m_client->state();
    if (state.isActive())
        return tr("Waiting for waterfall…");
    if (state.isFailed() && !state.message().isEmpty())
        return state.message();
    return tr("Not connected");
}

void WaterfallView::handleRow(const WaterfallRow& row)
{
    // Without a place in the band a row can be neither drawn nor tuned on.
    if (!WaterfallRenderer::hasUsableGeometry(row))
        return;
    m_renderer.autoRange = m_autoRange;
    if (!m_autoRange) {
        m_renderer.minDB = m_minDB;
        m_renderer.maxDB = m_maxDB;
    }
    // The picture is taken from the renderer only when redrawn, so that it
    // does not have to copy its buffer for every row.
    const auto averaged = m_rowAverager.add(row, static_cast<double>(m_rowClock.nsecsElapsed()) / 1e9);
    if (!averaged)
        return;
    const double startBefore = m_renderer.imageStartHz();
    const std::optional<double> spanBefore = m_renderer.lastSpan();
    if (m_renderer.pushRow(*averaged, m_speed != WaterfallSpeed::off)) {
        if (spanBefore && spanBefore == m_renderer.lastSpan() && startBefore == m_renderer.imageStartHz())
            ++m_rowsScrolled;
        else
            m_imageReplaced = true;
        m_imageChanged = true;
        m_lastRowSequence = row.sequence;
    } else if (averaged->startHz != m_startHz) {
        // With the picture standing still it may still have moved sideways.
        m_imageChanged = true;
        m_imageReplaced = true;
    }
    m_spectrum = m_renderer.spectrum();
    m_peaks = m_renderer.spectrumPeaks();
    if (row.spanHz != m_spanHz)
        m_pan.drop();
    m_startHz = row.startHz;
    m_spanHz = row.spanHz;
    m_pan.settle(m_startHz, row.spanHz / static_cast<double>(m_renderer.width()), WaterfallPan::Clock::now());
    if (m_autoRange) {
        m_minDB = m_renderer.minDB;
        m_maxDB = m_renderer.maxDB;
    }
    m_header->setSpanHz(m_spanHz);
    m_header->setLevels(m_minDB, m_maxDB);
    updateStripFrequencies();
    updatePassband();
    scheduleRedraw();
}

void WaterfallView::scheduleRedraw()
{
    if (m_redrawTimer.isActive())
        return;
    const qint64 since = m_sinceRedraw.isValid() ? m_sinceRedraw.elapsed() : redrawIntervalMs;
    m_redrawTimer.start(static_cast<int>(std::max<qint64>(0, redrawIntervalMs - since)));
}

void WaterfallView::redraw()
{
    m_sinceRedraw.start();
    if (m_imageChanged) {
        m_imageChanged = false;
        const bool first = !m_waterfallStrip->image();
        if (m_imageReplaced || first)
            m_waterfallStrip->setImage(m_renderer.makeImage());
        else
            m_waterfallStrip->addRows(m_renderer.makeImage(), m_rowsScrolled);
        m_imageReplaced = false;
        m_rowsScrolled = 0;
        LatencyProbes::waterfallRowDrawn(m_lastRowSequence);
        if (first)
            updatePlaceholder();
    }
    m_spectrumStrip->setValues(m_spectrum, m_minDB, m_maxDB);
    m_spectrumStrip->setPeaks(m_peaks);
}

bool WaterfallView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_scaleStrip)
        return scaleEvent(event) || QWidget::eventFilter(watched, event);
    WaterfallStrip* strip = nullptr;
    if (watched == m_spectrumStrip)
        strip = m_spectrumStrip;
    else if (watched == m_waterfallStrip)
        strip = m_waterfallStrip;
    else
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            break;
        if (mouse->modifiers() & Qt::ControlModifier) {
            requestNotch(mouse->position().x(), strip->width());
            return true;
        }
        if (strip == m_spectrumStrip && startEdgeDrag(mouse->position().x()))
            return true;
        m_press = Press{strip, mouse->position()};
        return true;
    }
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (strip == m_spectrumStrip && m_edgeDrag) {
            moveEdge(mouse->position().x());
            return true;
        }
        if (strip == m_spectrumStrip && !m_press)
            strip->setCursor(edgeUnder(mouse->position().x()) ? Qt::SizeHorCursor : Qt::CrossCursor);
        if (!m_press || m_press->strip != strip || !(mouse->buttons() & Qt::LeftButton))
            break;
        const QPointF travel = mouse->position() - m_press->position;
        if (!m_press->moved && std::hypot(travel.x(), travel.y()) >= minimumDragDistance) {
            // Too far for a click; a drag only where there is room to pan.
            m_press->moved = true;
            m_press->dragging = m_client && m_client->waterfallZoom() >= 1;
        }
        if (m_press->dragging)
            dragChanged(travel.x(), strip->width());
        return true;
    }
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && strip == m_spectrumStrip && m_edgeDrag) {
            moveEdge(mouse->position().x());
            endEdgeDrag();
            return true;
        }
        if (mouse->button() != Qt::LeftButton || !m_press || m_press->strip != strip)
            break;
        const Press press = *m_press;
        if (press.dragging)
            endDrag();
        m_press.reset();
        if (!press.moved)
            tap(mouse->position().x(), strip->width(), mouse->modifiers() & Qt::AltModifier);
        return true;
    }
    case QEvent::Wheel:
        if (wheelTurned(*static_cast<QWheelEvent*>(event), strip->width()))
            return true;
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void WaterfallView::tap(double x, double width, bool exact)
{
    if (!m_client || !m_client->state().isConnected() || !(width > 0) || !(m_spanHz > 0))
        return;
    const double clickHz = displayedStartHz() + x / width * m_spanHz;
    // The trace was drawn for the row's own start, whatever the pan shows.
    const SpectrumLine spectrum{m_spectrum, m_startHz, m_spanHz};
    if (const auto kHz = snappedClickKHz(spectrum, clickHz, width, m_client->mode(), exact))
        m_client->tune(*kHz);
}

void WaterfallView::requestNotch(double x, double width)
{
    if (!m_client || !(width > 0))
        return;
    const double lineHz = displayedStartHz() + x / width * m_spanHz;
    if (const auto audioHz = audioFrequencyOfLine(lineHz, m_client->frequencyKHz() * 1000, m_client->mode()))
        emit notchRequested(*audioHz);
}

void WaterfallView::dragChanged(double translationX, double width)
{
    if (!m_client || !m_client->state().isConnected() || !(width > 0) || !(m_spanHz > 0))
        return;
    const ReceiverInfo& info = m_client->info();
    const auto move = m_pan.dragChanged(translationX, width, m_spanHz, m_startHz, m_client->frequencyKHz(),
        WaterfallPan::Band{info.baseHz, info.bandwidthHz});
    if (!move)
        return;
    updateStripFrequencies();
    m_client->tune(move->kHz);
    if (!m_client)
        return;
    const double zoomSpanHz = std::ldexp(m_client->info().bandwidthHz, -m_client->waterfallZoom());
    m_client->sendZoomStart(m_client->clampedWaterfallStart(move->startHz, zoomSpanHz));
}

bool WaterfallView::wheelTurned(const QWheelEvent& wheel, double width)
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
        m_client->tune(wheelTunedFrequencyKHz(m_client->frequencyKHz(), m_client->mode(), notches));
    return true;
}

void WaterfallView::zoomAbout(int notches, double x, double width)
{
    const double bandwidthHz = m_client->info().bandwidthHz;
    if (!(width > 0) || !(m_spanHz > 0) || !(bandwidthHz > 0))
        return;
    // The frequency under the pointer stays under it.
    const double fraction = std::clamp(x / width, 0.0, 1.0);
    const double pointerHz = displayedStartHz() + fraction * m_spanHz;
    const int before = m_client->waterfallZoom();
    m_client->setWaterfallZoom(before + std::clamp(notches, -64, 64));
    if (!m_client || m_client->waterfallZoom() == before)
        return;
    const double spanHz = std::ldexp(bandwidthHz, -m_client->waterfallZoom());
    m_client->sendZoomStart(m_client->clampedWaterfallStart(pointerHz - fraction * spanHz, spanHz));
}

void WaterfallView::endDrag()
{
    m_pan.dragEnded(WaterfallPan::Clock::now());
    if (m_press)
        m_press->dragging = false;
}

WaterfallLook WaterfallView::look() const
{
    return {m_colourMap, m_autoRange, m_minDB, m_maxDB, m_averaging, m_peakHold, m_speed};
}

void WaterfallView::setLook(const WaterfallLook& look)
{
    const WaterfallLook kept = look.clamped();
    m_autoRange = kept.autoRange;
    if (!m_autoRange) {
        m_minDB = kept.floorDB;
        m_maxDB = kept.ceilingDB;
    }
    m_colourMap = kept.colourMap;
    m_averaging = kept.averaging;
    m_peakHold = kept.peakHold;
    m_speed = kept.speed;
    applySpeed();
    m_renderer.setSpectrumAveraging(m_averaging);
    m_renderer.setPeakHold(m_peakHold);
    m_renderer.setColourMap(m_colourMap);
    m_imageChanged = true;
    m_imageReplaced = true;
    m_header->setLook(kept);
    if (!m_autoRange)
        applyHandSetRange();
    updateLevels();
}

void WaterfallView::setAutoRange(bool on)
{
    if (on == m_autoRange)
        return;
    m_autoRange = on;
    m_header->setAutoRange(on);
    updateLevels();
    emit lookChanged(look());
}

void WaterfallView::setFloor(double minDB)
{
    // Moving a level sets the range by hand, starting from what is shown.
    m_autoRange = false;
    m_header->setAutoRange(false);
    m_minDB = minDB;
    applyHandSetRange();
    updateLevels();
    emit lookChanged(look());
}

void WaterfallView::setCeiling(double maxDB)
{
    m_autoRange = false;
    m_header->setAutoRange(false);
    m_maxDB = maxDB;
    applyHandSetRange();
    updateLevels();
    emit lookChanged(look());
}

void WaterfallView::applyHandSetRange()
{
    m_renderer.autoRange = false;
    m_renderer.minDB = m_minDB;
    m_renderer.maxDB = m_maxDB;
    m_renderer.recolour();
    m_imageChanged = true;
    m_imageReplaced = true;
    scheduleRedraw();
}

void WaterfallView::setColourMap(ColourMap map)
{
    if (map == m_colourMap)
        return;
    m_colourMap = map;
    m_renderer.setColourMap(map);
    m_imageChanged = true;
    m_imageReplaced = true;
    scheduleRedraw();
    emit lookChanged(look());
}

void WaterfallView::setAveraging(SpectrumAveraging averaging)
{
    if (averaging == m_averaging)
        return;
    m_averaging = averaging;
    m_renderer.setSpectrumAveraging(averaging);
    emit lookChanged(look());
}

void WaterfallView::setPeakHold(bool on)
{
    if (on == m_peakHold)
        return;
    m_peakHold = on;
    m_renderer.setPeakHold(on);
    m_peaks = m_renderer.spectrumPeaks();
    scheduleRedraw();
    emit lookChanged(look());
}

void WaterfallView::setSpeed(WaterfallSpeed speed)
{
    if (speed == m_speed)
        return;
    m_speed = speed;
    applySpeed();
    emit lookChanged(look());
}

void WaterfallView::applySpeed()
{
    if (!m_client)
        return;
    m_client->setWaterfallSpeed(kiwiWaterfallSpeed(m_speed));
    m_rowAverager.setRowsPerSecond(m_client->setsWaterfallSpeed() ? std::nullopt : averagedRowsPerSecond(m_speed));
}

void WaterfallView::clearPeaks()
{
    m_renderer.clearPeaks();
    m_peaks = m_renderer.spectrumPeaks();
    scheduleRedraw();
}

void WaterfallView::updateHeader()
{
    if (!m_client) {
        m_header->setEnabled(false);
        return;
    }
    m_header->setEnabled(isLive());
    const ReceiverInfo& info = m_client->info();
    m_header->setZoom(m_client->waterfallZoom(), std::min(info.maxZoom, info.zoomCap));
    // Before the first row the span is the one the zoom gives.
    if (!m_waterfallStrip->image())
        m_header->setSpanHz(std::ldexp(info.bandwidthHz, -m_client->waterfallZoom()));
}

void WaterfallView::updateLevels()
{
    m_header->setLevels(m_minDB, m_maxDB);
    m_spectrumStrip->setValues(m_spectrum, m_minDB, m_maxDB);
}

Passband WaterfallView::shownPassband() const
{
    if (m_unsentPassband)
        return *m_unsentPassband;
    return m_client ? m_client->passband() : Passband{};
}

std::optional<PassbandEdge> WaterfallView::edgeUnder(double x) const
{
    if (!m_client || !m_client->state().isConnected())
        return std::nullopt;
    const double tunedHz = m_client->frequencyKHz() * 1000;
    const double carrierHz = tunedHz - carrierOffsetHz(m_client->mode());
    const Passband passband = shownPassband();
    return passbandEdgeAt(x, m_spectrumStrip->width(), m_spectrumStrip->frequencies(),
        {carrierHz + static_cast<double>(passband.low), carrierHz + static_cast<double>(passband.high), tunedHz});
}

bool WaterfallView::startEdgeDrag(double x)
{
    const auto edge = edgeUnder(x);
    if (!edge)
        return false;
    m_edgeDrag = EdgeDrag{*edge, m_client->passband(), x};
    return true;
}

void WaterfallView::moveEdge(double x)
{
    const double width = m_spectrumStrip->width();
    if (!m_edgeDrag || !m_client || !(width > 0))
        return;
    const double deltaHz = (x - m_edgeDrag->pressX) / width * m_spanHz;
    const Passband passband = draggedPassband(m_client->mode(), m_edgeDrag->start, m_edgeDrag->edge, deltaHz);
    if (passband == shownPassband())
        return;
    m_unsentPassband = passband;
    updatePassband();
    const qint64 since = m_sincePassbandSent.isValid() ? m_sincePassbandSent.elapsed() : passbandSendIntervalMs;
    if (since >= passbandSendIntervalMs)
        sendDraggedPassband();
    else if (!m_passbandSendTimer.isActive())
        m_passbandSendTimer.start(static_cast<int>(passbandSendIntervalMs - since));
}

void WaterfallView::endEdgeDrag()
{
    m_edgeDrag.reset();
    // The last edge goes out at once.
    sendDraggedPassband();
}

void WaterfallView::sendDraggedPassband()
{
    m_passbandSendTimer.stop();
    const std::optional<Passband> passband = std::exchange(m_unsentPassband, std::nullopt);
    if (!passband || !m_client || !m_client->state().isConnected())
        return;
    m_sincePassbandSent.start();
    m_client->setMode(m_client->mode(), *passband);
}

void WaterfallView::updatePassband()
{
    if (!m_client)
        return;
    const double tunedHz = m_client->frequencyKHz() * 1000;
    const Mode mode = m_client->mode();
    const double carrierHz = tunedHz - carrierOffsetHz(mode);
    const Passband passband = shownPassband();
    const PassbandMarks marks{carrierHz + static_cast<double>(passband.low),
        carrierHz + static_cast<double>(passband.high), tunedHz};
    m_spectrumStrip->setPassband(marks);
    m_waterfallStrip->setPassband(marks);
}

void WaterfallView::updatePlaceholder()
{
    m_waterfallStrip->setPlaceholderText(placeholderText());
    // A picture that is no longer live is dimmed under the reason.
    const bool dimmed = !isLive() && m_waterfallStrip->image().has_value();
    m_waterfallStrip->setDimmed(dimmed);
    m_spectrumStrip->setDimmed(dimmed);
}

void WaterfallView::updateStripFrequencies()
{
    // The picture and the trace were drawn for the last row's start; the
    // scale is drawn for what is on screen.
    const double left = displayedStartHz();
    m_spectrumStrip->setFrequencies({left, m_spanHz, m_startHz});
    m_waterfallStrip->setFrequencies({left, m_spanHz, m_startHz});
    m_scaleStrip->setFrequencies({left, m_spanHz, left});
}
