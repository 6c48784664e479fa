#include "display/DecoderSpectrum.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr std::int64_t pictureWidth = 512;
constexpr std::int64_t pictureHeight = 96;
constexpr int preferredHeight = 72;
// The mark stays visible however narrow the decoder's signal.
constexpr double narrowestMark = 3;
const QColor markColour(255, 204, 0);

} // namespace

DecoderSpectrum::DecoderSpectrum(ReceiverClient& client, QWidget* parent)
    : QWidget(parent)
    , m_client(client)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::CrossCursor);
    setToolTip(tr("Click where the decoder should listen."));
    const auto repaint = [this] { update(); };
    connect(&m_client, &ReceiverClient::decoderChanged, this, repaint);
    connect(&m_client, &ReceiverClient::decoderChannelChanged, this, repaint);
    connect(&m_client, &ReceiverClient::passbandChanged, this, repaint);
}

QSize DecoderSpectrum::sizeHint() const
{
    return {static_cast<int>(pictureWidth), preferredHeight};
}

void DecoderSpectrum::clear()
{
    m_renderer.reset();
    m_image.reset();
    update();
}

void DecoderSpectrum::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_subscription)
        m_subscription = m_client.decoderRows().subscribe(this, [this](WaterfallRow row) { handleRow(row); });
}

void DecoderSpectrum::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    m_subscription.reset();
}

void DecoderSpectrum::handleRow(const WaterfallRow& row)
{
    if (!WaterfallRenderer::hasUsableGeometry(row))
        return;
    // Only the passband is shown, as the decoder only hears that.
    const Passband passband = m_client.passband();
    const double binHz = row.spanHz / static_cast<double>(row.bins.size());
    const auto bin = [&](double hz) {
        const double index = (hz - row.startHz) / binHz;
        return static_cast<std::size_t>(std::clamp(index, 0.0, static_cast<double>(row.bins.size())));
    };
    const std::size_t first = std::min(bin(static_cast<double>(passband.low)), row.bins.size() - 1);
    const std::size_t last = std::max(bin(std::ceil(static_cast<double>(passband.high))), first + 1);
    WaterfallRow shown;
    shown.bins.assign(row.bins.begin() + static_cast<std::ptrdiff_t>(first),
        row.bins.begin() + static_cast<std::ptrdiff_t>(last));
    shown.startHz = row.startHz + static_cast<double>(first) * binHz;
    shown.spanHz = static_cast<double>(last - first) * binHz;
    shown.sequence = row.sequence;
    // The picture's memory is taken with its first row: most listeners
    // never start a decoder.
    if (!m_renderer)
        m_renderer.emplace(pictureWidth, pictureHeight);
    if (std::optional<QImage> image = m_renderer->pushRow(shown)) {
        m_image = std::move(image);
        m_pictureStartHz = shown.startHz;
        m_pictureSpanHz = shown.spanHz;
        update();
    }
}

std::pair<double, double> DecoderSpectrum::shownSpan() const
{
    if (m_image && m_pictureSpanHz > 0)
        return {m_pictureStartHz, m_pictureSpanHz};
    const Passband passband = m_client.passband();
    return {static_cast<double>(passband.low), static_cast<double>(passband.high - passband.low)};
}

double DecoderSpectrum::xOf(double hz) const
{
    const auto [startHz, spanHz] = shownSpan();
    return spanHz > 0 ? (hz - startHz) / spanHz * width() : 0;
}

std::int64_t DecoderSpectrum::offsetAt(double x) const
{
    const auto [startHz, spanHz] = shownSpan();
    const double hz = startHz + std::clamp(x / std::max(width(), 1), 0.0, 1.0) * spanHz;
    const Passband passband = m_client.passband();
    const auto onGrid = static_cast<std::int64_t>(std::lround(hz / gridHz) * static_cast<long>(gridHz));
    return std::clamp(onGrid, passband.low, passband.high);
}

void DecoderSpectrum::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_client.decoder()) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_client.setDecoderOffset(offsetAt(event->position().x()));
}

void DecoderSpectrum::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (m_image)
        painter.drawImage(QRectF(rect()), *m_image);
    const std::optional<DecoderChoice>& decoder = m_client.decoder();
    if (!decoder)
        return;
    const double centre = xOf(static_cast<double>(decoder->offsetHz));
    const double bandwidth = m_client.decoderChannel().bandwidthHz.value_or(0);
    const double markWidth = std::max(narrowestMark, std::abs(xOf(bandwidth) - xOf(0)));
    QColor fill = markColour;
    fill.setAlpha(70);
    painter.fillRect(QRectF(centre - markWidth / 2, 0, markWidth, height()), fill);
    painter.setPen(QPen(markColour, 1));
    painter.drawLine(QPointF(centre, 0), QPointF(centre, height()));
}
