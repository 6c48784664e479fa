#include "display/WaterfallView.h"

#include "display/FrequencyScale.h"
#include "display/SpectrumTrace.h"
#include "display/WaterfallHeader.h"
#include "display/WaterfallImageStrip.h"

#include "settings/Preferences.h"
#include "diagnostics/LatencyProbes.h"
#include "widgets/OnScreen.h"

#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <utility>

WaterfallView::WaterfallView(ReceiverClient* client, const Preferences& preferences, QWidget* parent)
    : QWidget(parent)
    , m_client(client)
    , m_preferences(preferences)
    , m_pointer(client, *this)
    , m_header(new WaterfallHeader(this))
{
    m_redrawTimer.setSingleShot(true);
    QObject::connect(&m_redrawTimer, &QTimer::timeout, this, &WaterfallView::redraw);
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

    // The pointer's events on the strips, and clicks on the scale's markers,
    // go through the event filter to m_pointer.
    for (WaterfallStrip* strip : {static_cast<WaterfallStrip*>(m_spectrumStrip),
             static_cast<WaterfallStrip*>(m_waterfallStrip)}) {
        strip->installEventFilter(this);
        strip->setCursor(Qt::CrossCursor);
    }
    m_scaleStrip->installEventFilter(this);
    // Dragging the scale pans without retuning.
    m_scaleStrip->setCursor(Qt::OpenHandCursor);
    // The cursor changes over the passband's edges.
    m_spectrumStrip->setMouseTracking(true);
    connect(&m_pointer, &WaterfallPointer::notchRequested, this, &WaterfallView::notchRequested);
    connect(&m_pointer, &WaterfallPointer::panned, this, &WaterfallView::updateStripFrequencies);
    connect(&m_pointer, &WaterfallPointer::passbandDragged, this, &WaterfallView::updatePassband);

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
            // The last picture stays, dimmed with its scale and labels, until
            // a new connection (after a drop, a Disconnect, or straight from
            // another receiver) draws its first row.
            const bool connecting = m_client->state().isConnecting();
            if (connecting && !m_wasConnecting) {
                if (m_renderer.lastSpan())
                    m_stale = true;
                else
                    clearPicture();
            }
            m_wasConnecting = connecting;
            updateHeader();
            updatePlaceholder();
        });
        connect(session, &ReceiverClient::waterfallErrorChanged, this, [this] {
            updateHeader();
            updatePlaceholder();
        });
        connect(session, &ReceiverClient::featuresChanged, this, &WaterfallView::applySpeed);
        connect(session, &ReceiverClient::infoChanged, this, &WaterfallView::updateHeader);
        connect(session, &ReceiverClient::waterfallZoomChanged, this, &WaterfallView::updateHeader);
        connect(session, &ReceiverClient::receiverLabelsChanged, this, &WaterfallView::updateScaleLabels);
        connect(session, &ReceiverClient::frequencyKHzChanged, this, &WaterfallView::updatePassband);
        connect(session, &ReceiverClient::frequencyKHzChanged, this, &WaterfallView::placeWithoutRows);
        connect(session, &ReceiverClient::modeChanged, this, &WaterfallView::updatePassband);
        connect(session, &ReceiverClient::passbandChanged, this, &WaterfallView::updatePassband);
    }

    connect(&m_preferences, &Preferences::changed, this, [this](const QString& key) {
        if (key == PreferenceKeys::bandPlanRegion || key == PreferenceKeys::receiverBands
            || key == PreferenceKeys::frequencyBookmarks)
            updateScaleLabels();
    });

    m_wasConnecting = m_client && m_client->state().isConnecting();
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
    return m_client && m_client->state().isActive() && !m_client->waterfallError() && !m_stale;
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
    m_pointer.reset();
    m_waterfallStrip->clearImage();
    updateLevels();
    placeWithoutRows();
}

void WaterfallView::placeWithoutRows()
{
    if (!m_client || m_renderer.lastSpan())
        return;
    // Until rows say otherwise, the picture stands where the session will
    // ask for it: the zoom's span around the frequency.
    const double spanHz = std::ldexp(m_client->info().bandwidthHz, -m_client->waterfallZoom());
    if (!(spanHz > 0) || !std::isfinite(spanHz))
        return;
    m_spanHz = spanHz;
    m_startHz = m_client->clampedWaterfallStart(m_client->frequencyKHz() * 1000 - spanHz / 2, spanHz);
    m_header->setSpanHz(m_spanHz);
    updateStripFrequencies();
    updatePassband();
}

void WaterfallView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Told when the window is mapped again, to hand on what came meanwhile.
    if (QWindow* handle = window()->windowHandle())
        handle->installEventFilter(this);
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
    // Rows still on their way from the connection that ended do not replace
    // its kept picture; the next one's come once it is up.
    if (m_stale && !(m_client && m_client->state().isConnected()))
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
    if (std::exchange(m_stale, false)) {
        // The new connection's first row: everything of the old one goes at once.
        clearPicture();
        updateScaleLabels();
        updateHeader();
        updatePlaceholder();
    }
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
        m_pointer.pan().drop();
    m_startHz = row.startHz;
    m_spanHz = row.spanHz;
    m_rowZoom = row.zoom;
    m_pointer.pan().settle(
        m_startHz, row.spanHz / static_cast<double>(m_renderer.width()), WaterfallPan::Clock::now());
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
    // A minimised window keeps taking rows into the picture but draws nothing.
    if (!isOnScreen(*this)) {
        m_redrawWhenMapped = true;
        return;
    }
    m_redrawWhenMapped = false;
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
    if (event->type() == QEvent::Expose && m_redrawWhenMapped && watched == window()->windowHandle()) {
        redraw();
        return false;
    }
    return m_pointer.handle(watched, event) || QWidget::eventFilter(watched, event);
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
    m_client->setWaterfallSpeed(m_speed);
    m_rowAverager.setRowsPerSecond(m_client->features().waterfallSpeed ? std::nullopt : averagedRowsPerSecond(m_speed));
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
    // A kept picture shows the zoom it was drawn at.
    m_header->setZoom(m_stale ? m_rowZoom : m_client->waterfallZoom(), std::min(info.maxZoom, info.zoomCap));
    placeWithoutRows();
}

void WaterfallView::updateLevels()
{
    m_header->setLevels(m_minDB, m_maxDB);
    m_spectrumStrip->setValues(m_spectrum, m_minDB, m_maxDB);
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
