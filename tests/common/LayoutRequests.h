#pragma once
// Counts the times a window is asked to lay itself out again.

#include <QEvent>
#include <QObject>
#include <QWidget>

class LayoutRequests : public QObject {
public:
    explicit LayoutRequests(QWidget& window) { window.installEventFilter(this); }

    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::LayoutRequest)
            ++count;
        return false;
    }
};
