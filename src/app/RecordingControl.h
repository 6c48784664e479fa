#pragma once
// The recording part of a main window's top row: the Record button (the
// window's File > Record action), and while recording a red dot, the time
// and the size so far. After a recording it names the file, or says why
// it stopped or could not start.

#include <QString>
#include <QWidget>

class QAction;
class QLabel;
class QToolButton;
class RecordingController;

// "0:00:07", "1:02:03": hours, minutes and seconds of sound recorded.
QString recordingTimeText(double seconds);

class RecordingControl : public QWidget {
    Q_OBJECT
public:
    RecordingControl(RecordingController& recording, QAction* recordAction, QWidget* parent = nullptr);

private:
    void refresh();

    RecordingController& m_recording;
    QAction* m_action;
    QToolButton* m_button;
    QLabel* m_indicator;
    QLabel* m_time;
    QLabel* m_size;
    QLabel* m_message;
};
