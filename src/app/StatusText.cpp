#include "app/StatusText.h"

#include <QEvent>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>

namespace {

// Widths in average characters: what the text asks for, and the least it
// can live with.
constexpr int preferredCharacters = 44;
constexpr int minimumCharacters = 12;

} // namespace

StatusText::StatusText(int maximumLines, QWidget* parent) : QWidget(parent), m_maximumLines(std::max(1, maximumLines))
{
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void StatusText::setText(const QString& text)
{
    if (text == m_text)
        return;
    // The window is laid out again only when the text asks for another
    // size; a countdown's ticking does not.
    const QSize hint = sizeHint();
    const int height = heightForWidth(width());
    m_text = text;
    forgetLayout();
    if (sizeHint() != hint || heightForWidth(width()) != height)
        updateGeometry();
    update();
}

void StatusText::forgetLayout()
{
    m_lines.reset();
    m_sizeHint.reset();
}

QStringList StatusText::linesForWidth(int width) const
{
    if (!m_lines || m_lines->first != width)
        m_lines.emplace(width, wrappedLines(width));
    return m_lines->second;
}

QStringList StatusText::wrappedLines(int width) const
{
    QStringList lines;
    if (m_text.isEmpty() || width <= 0)
        return lines;
    // Line breaks in the text end lines too; each paragraph wraps on its own.
    const QStringList paragraphs = m_text.split(QLatin1Char('\n'));
    for (qsizetype p = 0; p < paragraphs.size(); ++p) {
        QTextLayout layout(paragraphs[p], font());
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            if (lines.size() == m_maximumLines - 1) {
                // The last line takes the rest of the text, elided.
                QString rest = paragraphs[p].mid(line.textStart());
                for (qsizetype q = p + 1; q < paragraphs.size(); ++q)
                    rest += QLatin1Char(' ') + paragraphs[q];
                const QString shown = fontMetrics().elidedText(rest.simplified(), Qt::ElideRight, width);
                layout.endLayout();
                lines.append(shown);
                return lines;
            }
            lines.append(paragraphs[p].mid(line.textStart(), line.textLength()).trimmed());
        }
        layout.endLayout();
    }
    return lines;
}

int StatusText::heightForWidth(int width) const
{
    const int count = std::max<qsizetype>(1, linesForWidth(width).size());
    return count * fontMetrics().lineSpacing();
}

QSize StatusText::sizeHint() const
{
    if (m_sizeHint)
        return *m_sizeHint;
    const int textWidth = fontMetrics().horizontalAdvance(m_text);
    const int width = std::clamp(textWidth + 1, fontMetrics().averageCharWidth() * minimumCharacters,
        fontMetrics().averageCharWidth() * preferredCharacters);
    m_sizeHint = QSize(width, heightForWidth(width));
    return *m_sizeHint;
}

QSize StatusText::minimumSizeHint() const
{
    const int width = fontMetrics().averageCharWidth() * minimumCharacters;
    return {width, fontMetrics().lineSpacing()};
}

void StatusText::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        forgetLayout();
    QWidget::changeEvent(event);
}

void StatusText::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const QStringList lines = linesForWidth(width());
    const int lineSpacing = fontMetrics().lineSpacing();
    // Centred vertically in whatever height the row gives.
    int y = (height() - static_cast<int>(lines.size()) * lineSpacing) / 2;
    for (const QString& line : lines) {
        painter.drawText(QRect(0, y, width(), lineSpacing), Qt::AlignLeft | Qt::AlignVCenter, line);
        y += lineSpacing;
    }
}
