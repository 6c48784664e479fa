#pragma once
// The few text styles the panels use, sized relative to the application font
// so that they follow the desktop's font settings.

#include <QColor>
#include <QFont>

class QPalette;
class QWidget;

enum class TextStyle { title2, title3, headline, body, callout, caption, caption2 };

QFont textStyleFont(TextStyle style);

// Dimmed text for labels and details that support the main text.
QColor secondaryTextColor(const QPalette& palette);
// Gives the widget's text the secondary colour.
void useSecondaryText(QWidget& widget);
