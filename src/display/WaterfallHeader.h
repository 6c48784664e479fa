#pragma once
// The line above the waterfall: its title and span, the zoom buttons, and the
// level controls (automatic range, or a floor and a ceiling set by hand).

#include <QWidget>

class LevelStepper;
class QLabel;
class QPushButton;
class QToolButton;

class WaterfallHeader : public QWidget {
    Q_OBJECT

public:
    explicit WaterfallHeader(QWidget* parent = nullptr);

    void setSpanHz(double spanHz);
    // Zoom Out works from zoom 1, Zoom In below `highestZoom`.
    void setZoom(int zoom, int highestZoom);
    void setAutoRange(bool on);
    // The floor and ceiling shown by the steppers while the range is manual.
    void setLevels(double minDB, double maxDB);

    static constexpr double lowestFloorDB = -160;
    static constexpr double highestCeilingDB = 0;
    static constexpr double minimumRangeDB = 10;

    QLabel* spanLabel() const { return m_span; }
    QLabel* zoomLabel() const { return m_zoom; }
    QToolButton* zoomOutButton() const { return m_zoomOut; }
    QToolButton* zoomInButton() const { return m_zoomIn; }
    QPushButton* autoRangeButton() const { return m_autoRange; }
    LevelStepper* floorStepper() const { return m_floor; }
    LevelStepper* ceilingStepper() const { return m_ceiling; }

signals:
    void zoomOutRequested();
    void zoomInRequested();
    void autoRangeToggled(bool on);
    void floorChanged(double minDB);
    void ceilingChanged(double maxDB);

private:
    QLabel* m_span;
    QToolButton* m_zoomOut;
    QLabel* m_zoom;
    QToolButton* m_zoomIn;
    QPushButton* m_autoRange;
    LevelStepper* m_floor;
    LevelStepper* m_ceiling;
};
