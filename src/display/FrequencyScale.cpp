#include "display/FrequencyScale.h"

#include "display/FrequencyFormat.h"
#include "widgets/TextStyles.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr int stripHeight = 22;
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
