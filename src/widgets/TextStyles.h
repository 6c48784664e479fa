#pragma once
// The few text styles the panels use, sized relative to the application font
// so that they follow the desktop's font settings.

#include <QColor>
#include <QFont>
#include <QString>

class QLabel;
class QPalette;
class QWidget;

enum class TextStyle { title2, title3, headline, body, callout, caption, caption2 };

QFont textStyleFont(TextStyle style);

// A label in the style that shows server text as it is, never as markup.
QLabel* plainTextLabel(TextStyle style, QWidget* parent, const QString& text = {});

// Dimmed text for labels and details that support the main text.
QColor secondaryTextColor(const QPalette& palette);
// Gives the widget's text the secondary colour.
void useSecondaryText(QWidget& widget);
