#pragma once
// The S-meter: the reading as S-units in big text with its level beside it,
// an overload badge, a bar green up to S9 and red beyond, and a scale of
// S-units; for a receiver whose levels are relative (OpenWebRX) the level in
// dB on a scale of dB, red only near its top. Read-only; the owner feeds it
// readings and says which kind of levels the receiver gives.

#include "model/ReceiverModel.h"

#include <QWidget>

#include <optional>

class QLabel;
class SMeterBar;
class SMeterScaleMarks;

class SMeterView : public QWidget {
    Q_OBJECT
public:
    explicit SMeterView(double fullScale, QWidget* parent = nullptr);

    void setReading(const std::optional<SMeterReading>& reading);
    void setOverloaded(bool isOverloaded);
    // The look without a reading: S-units, or dB relative.
    void setCalibrated(bool calibrated);

    const std::optional<SMeterReading>& reading() const { return m_reading; }
    bool isOverloaded() const { return m_isOverloaded; }
    double fullScale() const { return m_fullScale; }
    // What assistive technology reads as the meter's value.
    QString accessibleValue() const;

private:
    void refresh();

    const double m_fullScale;
    std::optional<SMeterReading> m_reading;
    bool m_isOverloaded = false;
    bool m_calibrated = true;
    QLabel* m_mainText;
    QLabel* m_detailText;
    QLabel* m_overloadBadge;
    SMeterBar* m_bar;
    SMeterScaleMarks* m_scale;
};
