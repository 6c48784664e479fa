#include "display/FrequencyScale.h"

#include "display/FrequencyFormat.h"
#include "widgets/TextStyles.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr int stripHeight = 58;
// How near a click must come to a marker to take it.
constexpr double markReach = 5;
// A step is at least an eighth of the span, so nine ticks at most fit; the
// bound also ends the walk where huge values stop adding up.
constexpr int maxTicks = 10;

} // namespace

FrequencyScale::FrequencyScale(QWidget* parent) : WaterfallStrip(parent)
{
    setFixedHeight(stripHeight);
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
    paintMarks(painter, m_receiverLabels, QColor(100, 210, 255));
    paintMarks(painter, m_bookmarks, QColor(255, 214, 10));
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

void FrequencyScale::paintMarks(QPainter& painter, const std::vector<FrequencyLabel>& marks, const QColor& colour)
{
    const StripFrequencies& range = frequencies();
    const double w = width();
    const QFont font = textStyleFont(TextStyle::caption2);
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    painter.setPen(colour);
    // A name stands right of its marker, only where it ends before the next
    // marker and does not run into the last name.
    std::vector<const FrequencyLabel*> shown;
    for (const FrequencyLabel& mark : marks) {
        const double x = range.xPosition(mark.hz, w);
        if (x >= 0 && x < w)
            shown.push_back(&mark);
    }
    std::sort(shown.begin(), shown.end(), [](const auto* a, const auto* b) { return a->hz < b->hz; });
    double freeFrom = -1;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const FrequencyLabel* mark = shown[i];
        const double x = range.xPosition(mark->hz, w);
        painter.fillRect(QRectF(x, markRowTop, 1, metrics.height()), colour);
        const double nameWidth = metrics.horizontalAdvance(mark->name);
        const double nextX = i + 1 < shown.size() ? range.xPosition(shown[i + 1]->hz, w) : w;
        if (mark->name.isEmpty() || x + 3 < freeFrom || x + 3 + nameWidth + 2 > nextX)
            continue;
        painter.drawText(QRectF(x + 3, markRowTop, nameWidth, metrics.height()), Qt::AlignLeft | Qt::AlignTop,
            mark->name);
        freeFrom = x + 3 + nameWidth + 4;
    }
}
