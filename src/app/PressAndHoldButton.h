#pragma once
// A button that reports being pressed and being released, rather than being
// clicked: the test tone plays for exactly as long as it is held.

#include <QAbstractButton>

class PressAndHoldButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit PressAndHoldButton(const QString& text, QWidget* parent = nullptr);

    QSize sizeHint() const override;

signals:
    // True when the button has just been pressed, false when just released
    // (also when the pointer leaves it held, or the keyboard focus goes).
    void pressChanged(bool pressed);

protected:
    void paintEvent(QPaintEvent* event) override;
};
