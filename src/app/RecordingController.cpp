#include "app/RecordingController.h"

#include "audio/AudioPlayer.h"
#include "audio/RecordingName.h"
#include "settings/Preferences.h"
#include "session/ReceiverClient.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace {

constexpr int pollMilliseconds = 250;

QString receiverName(const ReceiverClient& client)
{
    if (client.info().name && !client.info().name->trimmed().isEmpty())
        return *client.info().name;
    return client.serverURL() ? client.serverURL()->host() : QString();
}

} // namespace

RecordingController::RecordingController(ReceiverClient& client, std::shared_ptr<AudioPlayer> player,
    const Preferences& preferences, QObject* parent)
    : QObject(parent)
    , m_client(client)
    , m_player(std::move(player))
    , m_preferences(preferences)
{
    m_poll.setInterval(pollMilliseconds);
    connect(&m_poll, &QTimer::timeout, this, &RecordingController::poll);
    connect(&m_client, &ReceiverClient::stateChanged, this, [this] {
        const ConnectionState& state = m_client.state();
        if (isRecording() && !state.isConnected())
            stop();
        else if (!isRecording()
            && (state.isDisconnected() || (state.isConnecting() && m_client.serverURL() != m_server)))
            forgetLast();
        emit changed();
    });
    const auto retuned = [this] {
        if (m_recorder)
            m_recorder->retuned(m_client.frequencyKHz(), m_client.mode());
    };
    connect(&m_client, &ReceiverClient::frequencyKHzChanged, this, retuned);
    connect(&m_client, &ReceiverClient::modeChanged, this, retuned);
    connect(&m_client, &ReceiverClient::decoderOutputChanged, this, &RecordingController::writeDecodes);
}

RecordingController::~RecordingController()
{
    m_player->setTap(nullptr);
}

bool RecordingController::canRecord() const
{
    return m_client.state().isConnected();
}

void RecordingController::toggle()
{
    if (isRecording())
        stop();
    else
        start();
}

QString RecordingController::folder() const
{
    const QString chosen = m_preferences.recordingFolder().trimmed();
    if (chosen.isEmpty())
        return defaultFolder();
    // "~/Recordings" and a relative "Recordings" both mean one in the home folder.
    if (chosen == QLatin1String("~") || chosen.startsWith(QLatin1String("~/")))
        return QDir::cleanPath(QDir::home().filePath(chosen.mid(2)));
    return QDir::isRelativePath(chosen) ? QDir::home().filePath(chosen) : chosen;
}

QString RecordingController::defaultFolder()
{
    const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    return music.isEmpty() ? QDir::homePath() : music;
}

void RecordingController::start()
{
    if (isRecording() || !canRecord())
        return;
    m_problem.clear();
    m_status = {};
    const QString name = recordingName(receiverName(m_client), m_client.frequencyKHz(), m_client.mode(),
        QDateTime::currentDateTimeUtc());
    auto created = SoundRecorder::createIn(folder(), name, m_preferences.recordingFormat());
    if (const QString* error = std::get_if<QString>(&created)) {
        m_path.clear();
        m_problem = tr("Recording could not start: %1").arg(*error);
        emit changed();
        return;
    }
    m_recorder = std::get<std::shared_ptr<SoundRecorder>>(std::move(created));
    m_path = m_recorder->path();
    m_server = m_client.serverURL().value_or(QUrl());
    const QFileInfo sound(m_path);
    m_decodes = std::make_unique<DecodeFiles>(sound.dir().filePath(sound.completeBaseName()));
    m_recorder->retuned(m_client.frequencyKHz(), m_client.mode());
    m_player->setTap(m_recorder);
    m_poll.start();
    emit changed();
}

void RecordingController::stop()
{
    if (!isRecording())
        return;
    finishRecording();
    emit changed();
}

void RecordingController::finishRecording()
{
    m_player->setTap(nullptr);
    m_recorder->stop();
    m_status = m_recorder->status();
    m_closing.push_back(std::move(m_recorder));
    m_recorder.reset();
}

void RecordingController::forgetLast()
{
    m_path.clear();
    m_problem.clear();
    m_status = {};
}

void RecordingController::writeDecodes()
{
    if (!m_recorder)
        return;
    const bool hadProblem = m_decodes->problem().has_value();
    const double carrierHz = m_client.frequencyKHz() * 1000 - carrierOffsetHz(m_client.mode());
    m_decodes->write(m_client.decoderOutput(), carrierHz, QDateTime::currentDateTimeUtc());
    // The sound goes on; the window says what became of the decodes.
    if (!hadProblem && m_decodes->problem()) {
        m_problem = *m_decodes->problem();
        emit changed();
    }
}

void RecordingController::poll()
{
    if (m_recorder) {
        m_status = m_recorder->status();
        if (m_status.error) {
            m_problem = tr("Recording stopped: %1").arg(*m_status.error);
            finishRecording();
        }
        emit changed();
    }
    bool lastFinished = false;
    std::erase_if(m_closing, [&](const std::shared_ptr<SoundRecorder>& recorder) {
        const SoundRecorder::Status status = recorder->status();
        if (!status.finished)
            return false;
        // The last recording's final size, and a failure while finishing it.
        if (!m_recorder && recorder->path() == m_path) {
            m_status = status;
            if (status.error && m_problem.isEmpty())
                m_problem = tr("Recording stopped: %1").arg(*status.error);
            lastFinished = true;
        }
        return true;
    });
    if (lastFinished)
        emit changed();
    if (!m_recorder && m_closing.empty())
        m_poll.stop();
}
