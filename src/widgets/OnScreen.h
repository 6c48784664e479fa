#pragma once
// Whether a widget can be seen at all: shown, and its window mapped on the
// screen (a minimised window is not). Work only for the eye waits until then.

class QWidget;

bool isOnScreen(const QWidget& widget);
