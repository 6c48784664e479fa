#pragma once
// The settings window: the audio output to play through, with a test tone
// that sounds while "Test" is held, and where and how recordings are written:
// the format (WAV or FLAC) and the folder (the music folder when left empty).

#include "audio/AudioOutputSettings.h"
#include "audio/TestTonePlayer.h"

#include <QList>
#include <QString>
#include <QWidget>

class QButtonGroup;
class QFormLayout;
class QLabel;
class QLineEdit;
class QRadioButton;
class QVBoxLayout;

class SettingsWindow : public QWidget {
    Q_OBJECT
public:
    explicit SettingsWindow(AudioOutputSettings& settings, QWidget* parent = nullptr);

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
    void chooseRecordingFolder();
    void showToneState();

    AudioOutputSettings& settings;
    TestTonePlayer testTone;
    QVBoxLayout* optionList;
    QButtonGroup* optionGroup;
    QList<QRadioButton*> optionButtons;
    QList<Option> shownOptions;
    QLineEdit* recordingFolder = nullptr;
    QLabel* tonePlaying = nullptr;
};
