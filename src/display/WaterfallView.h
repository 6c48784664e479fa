#pragma once
// The lower panel of a main window: the live spectrum, the waterfall picture
// and a frequency scale, with the passband of the tuned signal drawn over
// them, the bands and markers on the scale, and a header of zoom and look
// controls. Takes the session's waterfall rows while shown, places the
// picture by them and redraws it at the screen's pace; dims it with the
// reason when it is no longer live, and keeps it so until a new connection
// draws. How the picture and the trace look
// (colour map, range, averaging, peak hold, speed) is set in its header and
// reported with lookChanged, so that the window can keep it. What the
// pointer does on the strips is WaterfallPointer's, to which its event
// filter hands their events.

#include "display/WaterfallPointer.h"
#include "display/WaterfallRenderer.h"
#include "display/WaterfallRowAverager.h"
#include "session/ReceiverClient.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <cstdint>

#include <optional>
#include <vector>

class FrequencyScale;
class Preferences;
class SpectrumTrace;
class WaterfallHeader;
class WaterfallImageStrip;

class WaterfallView : public QWidget {
    Q_OBJECT

public:
    static constexpr int redrawIntervalMs = 25;

    // The scale follows the band plan and bookmarks kept in `preferences`.
    WaterfallView(ReceiverClient* client, const Preferences& preferences, QWidget* parent = nullptr);
    ~WaterfallView() override;

    // The frequency placement of the last row.
    double startHz() const { return m_startHz; }
    double spanHz() const { return m_spanHz; }
    // The left edge on screen: the panned one while a pan is pending.
    double displayedStartHz() const { return m_pointer.pan().displayedStartHz(m_startHz); }
    const WaterfallPan& pan() const { return m_pointer.pan(); }
    const std::vector<double>& spectrum() const { return m_spectrum; }
    bool autoRange() const { return m_autoRange; }
    double minDB() const { return m_minDB; }
    double maxDB() const { return m_maxDB; }
    WaterfallLook look() const;
    // Takes a kept look without reporting it back.
    void setLook(const WaterfallLook& look);
    bool isSubscribed() const { return m_subscription.has_value(); }
    QString placeholderText() const;

    // Where the tuning steps, band plan region and bookmarks are kept.
    const Preferences& preferences() const { return m_preferences; }

    WaterfallHeader* header() const { return m_header; }
    SpectrumTrace* spectrumStrip() const { return m_spectrumStrip; }
    WaterfallImageStrip* waterfallStrip() const { return m_waterfallStrip; }
    FrequencyScale* scaleStrip() const { return m_scaleStrip; }

    // The passband shown: the one being dragged, else the session's.
    Passband shownPassband() const { return m_pointer.shownPassband(); }

signals:
    // Ctrl+click on a line: where it sounds in the tuned mode (not for FM).
    void notchRequested(double audioHz);
    // The listener changed how the picture or the trace looks.
    void lookChanged(const WaterfallLook& look);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void handleRow(const WaterfallRow& row);
    // Connected or connecting, with the server's waterfall.
    bool isLive() const;
    void clearPicture();
    // Without a picture, the scale and header follow the session's zoom and
    // frequency.
    void placeWithoutRows();
    // Rows may come faster than a screen shows them; the picture and the
    // trace are redrawn at most every `redrawIntervalMs`.
    void scheduleRedraw();
    void redraw();
    void setAutoRange(bool on);
    void setFloor(double minDB);
    void setCeiling(double maxDB);
    // A hand-set range colours the shown picture again.
    void applyHandSetRange();
    void setColourMap(ColourMap map);
    void setAveraging(SpectrumAveraging averaging);
    void setPeakHold(bool on);
    void clearPeaks();
    void setSpeed(WaterfallSpeed speed);
    // OpenWebRX rows are averaged down to the speed here.
    void applySpeed();

    void updateHeader();
    void updateLevels();
    void updatePassband();
    void updatePlaceholder();
    void updateStripFrequencies();
    // The bands and markers of the scale: the receiver's band bars or the
    // band plan of the chosen region, the receiver's labels, the bookmarks.
    void updateScaleLabels();

    QPointer<ReceiverClient> m_client;
    const Preferences& m_preferences;
    WaterfallRenderer m_renderer;
    QTimer m_redrawTimer;
    QElapsedTimer m_sinceRedraw;
    bool m_imageChanged = false;
    // A redraw was due while the window was not on screen.
    bool m_redrawWhenMapped = false;
    // Rows that only scrolled the picture since it was last handed on; a
    // sideways move or a new start needs the whole picture again.
    int m_rowsScrolled = 0;
    bool m_imageReplaced = true;
    std::uint32_t m_lastRowSequence = 0;
    std::optional<ReceiverClient::RowBroadcaster::Subscription> m_subscription;
    std::vector<double> m_spectrum;
    std::vector<double> m_peaks;
    ColourMap m_colourMap = ColourMap::classic;
    SpectrumAveraging m_averaging = SpectrumAveraging::off;
    bool m_peakHold = false;
    WaterfallSpeed m_speed = WaterfallSpeed::fast;
    WaterfallRowAverager m_rowAverager;
    QElapsedTimer m_rowClock;
    double m_startHz = 0;
    double m_spanHz = 30'000'000;
    int m_rowZoom = 0;
    bool m_autoRange = true;
    double m_minDB = -110;
    double m_maxDB = -40;
    bool m_wasConnecting = false;
    // The picture is of a connection that ended; the next one's first row
    // replaces it.
    bool m_stale = false;
    // Keeps the pan, which every row settles.
    WaterfallPointer m_pointer;

    WaterfallHeader* m_header;
    SpectrumTrace* m_spectrumStrip;
    WaterfallImageStrip* m_waterfallStrip;
    FrequencyScale* m_scaleStrip;
};
