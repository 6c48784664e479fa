#pragma once
// A small spinning arc that says "working on it"; it turns only while shown.

#include <QTimer>
#include <QWidget>

class BusyIndicator : public QWidget {
    Q_OBJECT
public:
    explicit BusyIndicator(int side, QWidget* parent = nullptr);

    QSize sizeHint() const override { return {m_side, m_side}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    int m_side;
    int m_angle = 0;
    QTimer m_timer;
};
