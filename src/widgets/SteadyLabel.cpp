#include "widgets/SteadyLabel.h"

#include <QLabel>

#include <algorithm>

void setSteadyText(QLabel& label, const QString& text)
{
    if (label.text() == text)
        return;
    label.setText(text);
    const QSize wanted = label.sizeHint();
    const int width = std::max(wanted.width(), label.minimumWidth());
    if (width != label.maximumWidth() || wanted.height() != label.minimumHeight()
        || wanted.height() != label.maximumHeight())
        label.setFixedSize(width, wanted.height());
}
