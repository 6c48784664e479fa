#include "widgets/TextStyles.h"

#include <QApplication>
#include <QLabel>
#include <QPalette>
#include <QWidget>

namespace {

constexpr float secondaryAlpha = 0.55f;

} // namespace

QFont textStyleFont(TextStyle style)
{
    // Sizes in proportion to a 13-point body text.
    struct Look {
        double size;
        bool bold;
    };
    Look look{13, false};
    switch (style) {
    case TextStyle::title2: look = {17, false}; break;
    case TextStyle::title3: look = {15, false}; break;
    case TextStyle::headline: look = {13, true}; break;
    case TextStyle::body: look = {13, false}; break;
    case TextStyle::callout: look = {12, false}; break;
    case TextStyle::caption: look = {11, false}; break;
    case TextStyle::caption2: look = {10.5, false}; break;
    }
    QFont font = QApplication::font();
    const double base = font.pointSizeF() > 0 ? font.pointSizeF() : 10;
    font.setPointSizeF(base * look.size / 13);
    if (look.bold)
        font.setBold(true);
    return font;
}

QLabel* plainTextLabel(TextStyle style, QWidget* parent, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setFont(textStyleFont(style));
    return label;
}

QColor secondaryTextColor(const QPalette& palette)
{
    QColor color = palette.color(QPalette::WindowText);
    color.setAlphaF(secondaryAlpha);
    return color;
}

void useSecondaryText(QWidget& widget)
{
    QPalette palette = widget.palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        QColor color = palette.color(group, QPalette::WindowText);
        color.setAlphaF(secondaryAlpha);
        palette.setColor(group, QPalette::WindowText, color);
    }
    widget.setPalette(palette);
}
