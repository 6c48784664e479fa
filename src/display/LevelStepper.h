#pragma once
// A level in dB with a label and minus/plus buttons that move it by a fixed
// step within bounds; the buttons disable themselves at the bounds.

#include <QWidget>

#include <functional>

class QLabel;
class QToolButton;

class LevelStepper : public QWidget {
public:
    // `label` is followed by the whole dB and " dBm".
    LevelStepper(QString label, std::function<void(double)> changed, QWidget* parent = nullptr);

    void setValue(double value, double lowest, double highest);
    double value() const { return m_value; }

    QToolButton* decrementButton() const { return m_minus; }
    QToolButton* incrementButton() const { return m_plus; }
    QString text() const;

    static constexpr double step = 5;

private:
    void stepBy(double delta);

    const QString m_label;
    const std::function<void(double)> m_changed;
    QLabel* m_text;
    QToolButton* m_minus;
    QToolButton* m_plus;
    double m_value = 0;
    double m_lowest = 0;
    double m_highest = 0;
};
