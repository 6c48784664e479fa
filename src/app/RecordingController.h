#pragma once
// A main window's recording. File > Record and the Record button start and
// stop it; it records what the window's player plays, into the folder and
// format chosen in Settings, under a name that tells the receiver, tuning and
// time, and logs every retune beside it. It closes when the connection ends,
// and a new connection does not reopen it. Four times a second it asks the
// recorder for the time and size so far, and whether it stopped on its own
// (a full disk), whose reason it keeps to show. What the receiver's decoder
// decodes meanwhile goes beside the sound (DecodeFiles).

#include "app/DecodeFiles.h"
#include "audio/SoundRecorder.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>

#include <memory>
#include <vector>

class AudioPlayer;
class Preferences;
class ReceiverClient;

class RecordingController : public QObject {
    Q_OBJECT
public:
    // The folder and format are read from `preferences` at each start.
    RecordingController(ReceiverClient& client, std::shared_ptr<AudioPlayer> player, const Preferences& preferences,
        QObject* parent = nullptr);
    // Waits for every file still being finished.
    ~RecordingController() override;

    // Only a connected window has sound to record.
    bool canRecord() const;
    bool isRecording() const { return m_recorder != nullptr; }
    void toggle();
    void start();
    void stop();

    // The current recording's time and size; after it, its last ones.
    const SoundRecorder::Status& status() const { return m_status; }
    // The file of the current or last recording; the last is forgotten when
    // the listener disconnects or connects to another receiver.
    const QString& path() const { return m_path; }
    // Why the last recording could not start or stopped on its own, in
    // words for the user; empty when it did not.
    const QString& problem() const { return m_problem; }
    // The files of the decodes beside the current or last recording; null
    // before the first.
    const DecodeFiles* decodes() const { return m_decodes.get(); }

    // The folder chosen in Settings (relative to the home folder unless
    // absolute), else defaultFolder().
    QString folder() const;
    // The user's music folder, or the home folder when there is none.
    static QString defaultFolder();

signals:
    void changed();

private:
    void poll();
    void finishRecording();
    void forgetLast();
    void writeDecodes();

    ReceiverClient& m_client;
    const std::shared_ptr<AudioPlayer> m_player;
    const Preferences& m_preferences;
    std::shared_ptr<SoundRecorder> m_recorder;
    std::unique_ptr<DecodeFiles> m_decodes;
    // Stopped, still finishing their files.
    std::vector<std::shared_ptr<SoundRecorder>> m_closing;
    SoundRecorder::Status m_status;
    QString m_path;
    QString m_problem;
    // The receiver the last recording was made on.
    QUrl m_server;
    QTimer m_poll;
};
