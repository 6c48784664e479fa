#include "widgets/OnScreen.h"

#include <QWidget>
#include <QWindow>

bool isOnScreen(const QWidget& widget)
{
    const QWindow* handle = widget.window()->windowHandle();
    return widget.isVisible() && handle && handle->isExposed();
}
