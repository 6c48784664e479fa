#pragma once
// The small pictures before the connection status: an open circle
// (disconnected), a dot with radio waves (connected) and a warning triangle
// (failed), drawn in the colour given.

#include <QColor>
#include <QPixmap>

enum class StatusSymbol { circle, radioWaves, warning, clock };

QPixmap statusSymbol(StatusSymbol symbol, const QColor& color, int side, qreal devicePixelRatio);
