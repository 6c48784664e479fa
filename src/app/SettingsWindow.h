#pragma once
// The settings window: the audio output to play through, with a test tone
// that sounds while "Test" is held, where and how recordings are written:
// the format (WAV or FLAC) and the folder (the music folder unless another is
// chosen), and what the windows share with other programs. Close, Escape and
// Ctrl+W close it.

#include "audio/AudioOutputSettings.h"
#include "audio/TestTonePlayer.h"

#include <QList>
#include <QString>
#include <QWidget>

class Preferences;
class QButtonGroup;
class QFormLayout;
class QLabel;
class QLineEdit;
class QRadioButton;
class QVBoxLayout;

class SettingsWindow : public QWidget {
    Q_OBJECT
public:
    // The recording and connection choices are kept in `preferences`.
    SettingsWindow(AudioOutputSettings& settings, Preferences& preferences, QWidget* parent = nullptr);

    bool isTestTonePlaying() const { return testTone.isPlaying(); }

protected:
    void hideEvent(QHideEvent* event) override;

private:
    struct Option {
        QString label;
        // What choosing it stores; empty for the system default.
        QString uid;
        bool operator==(const Option&) const = default;
    };

    QList<Option> currentOptions() const;
    void refreshOptions();
    void addRecordingRows(QFormLayout& form);
    void addSharingRows(QFormLayout& form);
    void chooseRecordingFolder();
    // Says that a folder which does not exist yet is made on the first recording.
    void showFolderNote();
    void showToneState();

    AudioOutputSettings& settings;
    Preferences& preferences;
    TestTonePlayer testTone;
    QVBoxLayout* optionList;
    QButtonGroup* optionGroup;
    QList<QRadioButton*> optionButtons;
    QList<Option> shownOptions;
    QLineEdit* recordingFolder = nullptr;
    QLabel* folderNote = nullptr;
    QLabel* tonePlaying = nullptr;
};
