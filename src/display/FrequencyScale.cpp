#include "display/FrequencyScale.h"

#include "display/FrequencyFormat.h"
#include "widgets/TextStyles.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace {

// How near a click must come to a marker to take it.
constexpr double markReach = 5;
// A step is at least an eighth of the span, so nine ticks at most fit; the
// bound also ends the walk where huge values stop adding up.
constexpr int maxTicks = 10;
// Names shorter than this are left out rather than cut to a stub.
constexpr double shortestName = 24;

double lineHeight()
{
    return QFontMetricsF(textStyleFont(TextStyle::caption2)).height();
}

} // namespace

FrequencyScale::FrequencyScale(QWidget* parent) : WaterfallStrip(parent)
{
    // Two rows of marker names under the bands.
    setFixedHeight(markRowTop + int(std::ceil(2 * lineHeight())) + 2);
}

FrequencyScale::Ticks FrequencyScale::ticks(double startHz, double spanHz)
{
    Ticks result;
    if (!(spanHz > 0) || !std::isfinite(spanHz) || !std::isfinite(startHz))
        return result;
    const double rough = spanHz / 8;
    const double p = std::pow(10.0, std::floor(std::log10(rough)));
    double step = 10 * p;
    for (const double candidate : {p, 2 * p, 5 * p}) {
        if (candidate >= rough) {
            step = candidate;
            break;
        }
    }
    if (!(step > 0) || !std::isfinite(step))
        return result;
    result.stepHz = step;
    const double first = std::ceil(startHz / step);
    const double end = startHz + spanHz;
    for (int i = 0; i < maxTicks; ++i) {
        const double f = step * (first + i);
        if (!(f <= end))
            break;
        result.frequenciesHz.push_back(f);
    }
    return result;
}

void FrequencyScale::paintContent(QPainter& painter)
{
    const StripFrequencies& range = frequencies();
    const double w = width();
    QFont font = textStyleFont(TextStyle::caption2);
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    painter.setRenderHint(QPainter::Antialiasing, false);
    paintBands(painter);
    paintMarks(painter);
    painter.setFont(font);
    for (const double f : ticks(range.leftHz, range.spanHz).frequenciesHz) {
        const double x = range.xPosition(f, w);
        painter.fillRect(QRectF(x, 0, 1, 5), QColor(142, 142, 147));
        const QString label = formatFrequency(f);
        const double labelWidth = metrics.horizontalAdvance(label);
        // Centred under the tick, but kept whole at the strip's edges.
        const double left = std::clamp(x - labelWidth / 2, 2.0, std::max(w - labelWidth - 2, 2.0));
        painter.setPen(Qt::white);
        painter.drawText(QRectF(left, 6, labelWidth, metrics.height()), Qt::AlignHCenter | Qt::AlignTop, label);
    }
}

void FrequencyScale::setBands(std::vector<BandBar> bands)
{
    m_bands = std::move(bands);
    update();
}

void FrequencyScale::setMarks(std::vector<FrequencyLabel> receiverLabels, std::vector<FrequencyLabel> bookmarks)
{
    m_receiverLabels = std::move(receiverLabels);
    m_bookmarks = std::move(bookmarks);
    update();
}

std::optional<FrequencyLabel> FrequencyScale::markAt(double x) const
{
    const StripFrequencies& range = frequencies();
    std::optional<FrequencyLabel> nearest;
    double nearestDistance = markReach;
    for (const auto* marks : {&m_bookmarks, &m_receiverLabels}) {
        for (const FrequencyLabel& mark : *marks) {
            const double distance = std::abs(range.xPosition(mark.hz, width()) - x);
            if (distance <= nearestDistance) {
                nearestDistance = distance;
                nearest = mark;
            }
        }
    }
    return nearest;
}

std::optional<BandBar> FrequencyScale::bandAt(double x) const
{
    const StripFrequencies& range = frequencies();
    for (const BandBar& band : m_bands) {
        if (x >= range.xPosition(band.lowHz, width()) - 1 && x <= range.xPosition(band.highHz, width()) + 1)
            return band;
    }
    return std::nullopt;
}

bool FrequencyScale::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return WaterfallStrip::event(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const std::optional<BandBar> band
        = help->pos().y() >= bandRowTop && help->pos().y() < markRowTop ? bandAt(help->pos().x()) : std::nullopt;
    if (!band || (band->name.isEmpty() && band->service.isEmpty())) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    // Names and services come from the receiver: plain text, escaped.
    const QString text = band->service.isEmpty() || band->service == band->name
        ? band->name
        : QCoreApplication::translate("FrequencyScale", "%1 (%2)").arg(band->name, band->service);
    QToolTip::showText(help->globalPos(), QStringLiteral("<p>%1</p>").arg(text.toHtmlEscaped()), this);
    return true;
}

void FrequencyScale::paintBands(QPainter& painter)
{
    const StripFrequencies& range = frequencies();
    const double w = width();
    const QFont font = textStyleFont(TextStyle::caption2);
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    for (const BandBar& band : m_bands) {
        const double left = std::max(range.xPosition(band.lowHz, w), 0.0);
        const double right = std::min(range.xPosition(band.highHz, w), w);
        if (!(right > 0) || !(left < w))
            continue;
        QColor colour = QColor::fromString(band.colour);
        if (!colour.isValid())
            colour = QColor(142, 142, 147);
        painter.fillRect(QRectF(left, bandRowTop, std::max(right - left, 1.0), 3), colour);
        const double nameWidth = metrics.horizontalAdvance(band.name);
        if (band.name.isEmpty() || nameWidth + 4 > right - left)
            continue;
        painter.setPen(colour.lighter(130));
        painter.drawText(QRectF(left, bandRowTop + 3, right - left, metrics.height()), Qt::AlignHCenter | Qt::AlignTop,
            band.name);
    }
}

std::vector<FrequencyScale::MarkPlacement> FrequencyScale::markPlacements() const
{
    const StripFrequencies& range = frequencies();
    const double w = width();
    const QFontMetricsF metrics(textStyleFont(TextStyle::caption2));
    const double height = metrics.height();
    struct Shown {
        double x;
        const FrequencyLabel* mark;
        bool isBookmark;
    };
    std::vector<Shown> shown;
    for (const auto* marks : {&m_receiverLabels, &m_bookmarks}) {
        for (const FrequencyLabel& mark : *marks) {
            const double x = range.xPosition(mark.hz, w);
            if (x >= 0 && x < w)
                shown.push_back({x, &mark, marks == &m_bookmarks});
        }
    }
    // At one frequency the listener's own bookmark comes first, so that its
    // name is the one that goes whole into the row under the markers.
    std::stable_sort(shown.begin(), shown.end(), [](const Shown& a, const Shown& b) {
        return a.x < b.x || (a.x == b.x && a.isBookmark && !b.isBookmark);
    });

    // Left to right, each name beside its marker up to the next one, else
    // in the row under the markers, else shortened into the wider room.
    std::vector<MarkPlacement> placements;
    double freeFrom[2] = {-1, -1};
    for (std::size_t i = 0; i < shown.size(); ++i) {
        MarkPlacement placement{shown[i].x, shown[i].isBookmark, {}, {}, 0};
        const QString& name = shown[i].mark->name;
        const double start = placement.x + 3;
        const double nextX = i + 1 < shown.size() ? shown[i + 1].x : w;
        const double room[2] = {start >= freeFrom[0] ? nextX - 2 - start : 0, start >= freeFrom[1] ? w - start : 0};
        const double nameWidth = metrics.horizontalAdvance(name);
        if (!name.isEmpty()) {
            int row = nameWidth <= room[0] ? 0 : nameWidth <= room[1] ? 1 : room[0] >= room[1] ? 0 : 1;
            const QString drawn = nameWidth <= room[row] ? name : metrics.elidedText(name, Qt::ElideRight, room[row]);
            const double drawnWidth = metrics.horizontalAdvance(drawn);
            if (!drawn.isEmpty() && (drawn == name || drawnWidth >= shortestName)) {
                placement.row = row;
                placement.name = drawn;
                placement.nameRect = QRectF(start, markRowTop + row * height, drawnWidth, height);
                freeFrom[row] = start + drawnWidth + 4;
            }
        }
        placements.push_back(placement);
    }
    return placements;
}

void FrequencyScale::paintMarks(QPainter& painter)
{
    const QColor receiverColour(100, 210, 255);
    const QColor bookmarkColour(255, 214, 10);
    painter.setFont(textStyleFont(TextStyle::caption2));
    const double height = lineHeight();
    for (const MarkPlacement& placement : markPlacements()) {
        const QColor& colour = placement.isBookmark ? bookmarkColour : receiverColour;
        // A name in the lower row hangs from a longer marker.
        painter.fillRect(QRectF(placement.x, markRowTop, 1, height * (placement.row + 1)), colour);
        if (placement.name.isEmpty())
            continue;
        painter.setPen(colour);
        painter.drawText(placement.nameRect, Qt::AlignLeft | Qt::AlignTop, placement.name);
    }
}
