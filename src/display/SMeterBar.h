#pragma once
// The S-meter's bar and its scale row, painted. The bar's fill is one
// gradient across the whole width, so its colour at any point depends only on
// the level there: green up to where the meter warns (S9, or near the top of
// a relative meter), red beyond.

#include <QElapsedTimer>
#include <QVariantAnimation>
#include <QWidget>

class SMeterBar : public QWidget {
    Q_OBJECT
public:
    explicit SMeterBar(double fullScale, QWidget* parent = nullptr);

    // Moves the fill to the fraction (0..1) over a tenth of a second.
    void setFraction(double fraction);
    double fraction() const { return m_target; }
    // Where the fill turns red, in scale units.
    void setRedFrom(double units);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const double m_fullScale;
    double m_redFrom;
    double m_target = 0;
    double m_shown = 0;
    double m_painted = 0;
    QElapsedTimer m_sincePaint;
    QVariantAnimation m_animation;
};

// The row of marks under the bar: S-units, or dB for a relative meter.
class SMeterScaleMarks : public QWidget {
    Q_OBJECT
public:
    explicit SMeterScaleMarks(double fullScale, QWidget* parent = nullptr);

    void setCalibrated(bool calibrated);
    bool isCalibrated() const { return m_calibrated; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const double m_fullScale;
    bool m_calibrated = true;
};

// Colours of the meter.
QColor sMeterGreen();
QColor sMeterRed();
