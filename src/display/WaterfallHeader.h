#pragma once
// The line above the waterfall: its title and span, the zoom buttons, the
// level controls (automatic range, or a floor and a ceiling set by hand; the
// steppers show the automatic levels while it is on, and moving one sets the
// range by hand), the colour map menu and the spectrum menu (averaging, peak
// hold).

#include "model/WaterfallLook.h"

#include <QWidget>

#include <map>

class LevelStepper;
class QAction;
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
    // Ticks the chosen entries of the menus.
    void setLook(const WaterfallLook& look);

    static constexpr double lowestFloorDB = WaterfallLook::lowestFloorDB;
    static constexpr double highestCeilingDB = WaterfallLook::highestCeilingDB;
    static constexpr double minimumRangeDB = WaterfallLook::minimumRangeDB;

    QLabel* spanLabel() const { return m_span; }
    QLabel* zoomLabel() const { return m_zoom; }
    QToolButton* zoomOutButton() const { return m_zoomOut; }
    QToolButton* zoomInButton() const { return m_zoomIn; }
    QPushButton* autoRangeButton() const { return m_autoRange; }
    LevelStepper* floorStepper() const { return m_floor; }
    LevelStepper* ceilingStepper() const { return m_ceiling; }
    QToolButton* coloursButton() const { return m_colours; }
    QToolButton* spectrumButton() const { return m_spectrum; }
    QToolButton* speedButton() const { return m_speed; }
    QAction* speedAction(WaterfallSpeed speed) const { return m_speedActions.at(speed); }
    QAction* colourMapAction(ColourMap map) const { return m_colourMapActions.at(map); }
    QAction* averagingAction(SpectrumAveraging averaging) const { return m_averagingActions.at(averaging); }
    QAction* peakHoldAction() const { return m_peakHold; }
    QAction* clearPeaksAction() const { return m_clearPeaks; }

signals:
    void zoomOutRequested();
    void zoomInRequested();
    void autoRangeToggled(bool on);
    void floorChanged(double minDB);
    void ceilingChanged(double maxDB);
    void colourMapChosen(ColourMap map);
    void averagingChosen(SpectrumAveraging averaging);
    void peakHoldToggled(bool on);
    void clearPeaksRequested();
    void speedChosen(WaterfallSpeed speed);

private:
    QLabel* m_span;
    QToolButton* m_zoomOut;
    QLabel* m_zoom;
    QToolButton* m_zoomIn;
    QPushButton* m_autoRange;
    LevelStepper* m_floor;
    LevelStepper* m_ceiling;
    QToolButton* m_colours;
    QToolButton* m_spectrum;
    QToolButton* m_speed;
    std::map<WaterfallSpeed, QAction*> m_speedActions;
    std::map<ColourMap, QAction*> m_colourMapActions;
    std::map<SpectrumAveraging, QAction*> m_averagingActions;
    QAction* m_peakHold;
    QAction* m_clearPeaks;
};
