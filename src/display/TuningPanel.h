#pragma once
// The tuning controls of a main window: the editable frequency with its
// bookmark button, step buttons, mode buttons with the receiver's decoders,
// the passband's edges and the mode's tuning step (kept in the preferences),
// the band menu of OpenWebRX servers, the S-meter, gain and volume. Every
// control shows the session's state and changes it through the session's
// operations; the panel keeps
// nothing of its own but the text being typed. All of it is disabled unless
// the session is connected.

#include "bookmarks/Bookmarks.h"

#include <QList>
#include <QWidget>

class Preferences;
class ReceiverClient;
class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QSlider;
class QTimer;
class QToolButton;
class SMeterView;

class TuningPanel : public QWidget {
    Q_OBJECT
public:
    // Step sizes in kHz, as the main window offers them.
    static QList<double> standardSteps() { return {-5, -1, -0.1, 0.1, 1, 5}; }

    // The bookmark button reads and adds to the frequency bookmarks kept in
    // `preferences`.
    TuningPanel(ReceiverClient& client, Preferences& preferences, const QList<double>& stepsKHz = standardSteps(),
        QWidget* parent = nullptr);
    ~TuningPanel() override;

    // How long the note beside the frequency field stays.
    static constexpr int noteMilliseconds = 6000;
    // A typed frequency beyond this many times the receiver's top is taken
    // for a slip of the keys and refused.
    static constexpr double implausibleFactor = 10;

signals:
    // Return or Escape in the frequency field: the keys go back to tuning.
    void frequencyEntryDone();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLayout* makeFrequencyRow();
    QLayout* makeStepRow(const QList<double>& stepsKHz);
    QLayout* makePassbandRow();
    QWidget* makeProfileRow();
    QWidget* makeGainRow();
    QLayout* makeVolumeRow();

    void commitFrequencyText();
    // Says so beside the field when the receiver tuned elsewhere than asked.
    void noteOutOfRange(double requestedKHz);
    void showNote(const QString& text, bool offerBands);
    void frequencyChanged();
    void rebuildModeButtons();
    void refreshModeButtons();
    void refreshProfiles();
    void refreshBookmark();
    void addBookmark();
    void refreshPassband();
    void refreshStep();
    void refreshGain();
    void refreshVolume();
    void refreshEnabled();

    ReceiverClient& m_client;
    Preferences& m_preferences;
    // Read once and again only when the stored list changes, not per step.
    FrequencyBookmarks m_frequencyBookmarks;
    QLineEdit* m_frequencyField = nullptr;
    // The field took the focus from a press: the release selects the value.
    bool m_selectOnRelease = false;
    QToolButton* m_bookmarkButton = nullptr;
    QLabel* m_frequencyNote = nullptr;
    QToolButton* m_bandsButton = nullptr;
    QTimer* m_noteTimer = nullptr;
    QHBoxLayout* m_modeRow = nullptr;
    QList<QToolButton*> m_modeButtons;
    QLabel* m_passbandEdges = nullptr;
    QComboBox* m_stepMenu = nullptr;
    QWidget* m_profileRow = nullptr;
    QComboBox* m_profileMenu = nullptr;
    SMeterView* m_sMeter = nullptr;
    QWidget* m_gainRow = nullptr;
    QCheckBox* m_agcToggle = nullptr;
    QWidget* m_manualGain = nullptr;
    QSlider* m_gainSlider = nullptr;
    QLabel* m_gainValue = nullptr;
    QToolButton* m_muteButton = nullptr;
    QSlider* m_volumeSlider = nullptr;
};
