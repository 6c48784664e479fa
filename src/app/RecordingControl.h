#pragma once
// The recording part of a main window's top row: the Record button (the
// window's File > Record action), and while recording a red dot, the time
// and the size so far. After a recording it says where the file is (a click
// opens its folder), or why it stopped or could not start; all on one line.

#include <QString>
#include <QUrl>
#include <QWidget>

#include <functional>

class QAction;
class QLabel;
class QToolButton;
class RecordingController;

// "0:00:07", "1:02:03": hours, minutes and seconds of sound recorded.
QString recordingTimeText(double seconds);
// A path as it is read: the home folder as "~".
QString shownPath(const QString& path);

class RecordingControl : public QWidget {
    Q_OBJECT
public:
    using FolderOpener = std::function<void(const QUrl&)>;

    RecordingControl(RecordingController& recording, QAction* recordAction, FolderOpener openFolder,
        QWidget* parent = nullptr);

private:
    void refresh();

    RecordingController& m_recording;
    QAction* m_action;
    QToolButton* m_button;
    QLabel* m_indicator;
    QLabel* m_time;
    QLabel* m_size;
    QLabel* m_message;
    // "Recorded to …": opens the folder.
    QToolButton* m_recorded;
    FolderOpener m_openFolder;
    int m_messageWidth = 0;
};
