#include "sharing/ProgramShare.h"

#include "audio/CaptureSource.h"
#include "session/ReceiverClient.h"
#include "sharing/SessionRig.h"

namespace {

AudioPlayer::FeedPoint feedPoint(bool listeningTools)
{
    return listeningTools ? AudioPlayer::FeedPoint::played : AudioPlayer::FeedPoint::received;
}

} // namespace

ProgramShare::ProgramShare(ReceiverClient& client, std::shared_ptr<AudioPlayer> player, const Options& options,
    QObject* parent)
    : QObject(parent)
    , m_client(client)
    , m_player(std::move(player))
    , m_options(options)
{
    if (m_options.sound) {
        m_source = new CaptureSource(this);
        connect(m_source, &CaptureSource::stateChanged, this, &ProgramShare::changed);
        m_player->setFeed(m_source->feed(), feedPoint(m_options.listeningTools));
        if (m_options.sourceName) {
            m_source->open(*m_options.sourceName, true);
        } else {
            connect(&m_client, &ReceiverClient::stateChanged, this, &ProgramShare::followReceiver);
            connect(&m_client, &ReceiverClient::infoChanged, this, &ProgramShare::followReceiver);
            followReceiver();
        }
    }
    if (m_options.rigctl) {
        m_rig = new SessionRig(m_client, this);
        m_rigctl = new RigctlServer(m_rig->target(), this);
        connect(m_rigctl, &RigctlServer::listeningChanged, this, &ProgramShare::changed);
        connect(m_rigctl, &RigctlServer::clientCountChanged, this, &ProgramShare::changed);
        listen(m_options.firstPort, m_options.portsToTry);
    }
}

ProgramShare::~ProgramShare()
{
    if (m_source)
        m_player->setFeed(nullptr, feedPoint(m_options.listeningTools));
}

void ProgramShare::setOpenToNetwork(bool open)
{
    if (!m_rigctl || open == m_options.openToNetwork)
        return;
    m_options.openToNetwork = open;
    // The same port when it is still free.
    const std::optional<quint16> port = m_rigctl->port();
    listen(port.value_or(m_options.firstPort), port ? 1 : m_options.portsToTry);
    if (port && !m_rigctl->port())
        listen(m_options.firstPort, m_options.portsToTry);
}

void ProgramShare::setListeningTools(bool on)
{
    m_options.listeningTools = on;
    if (m_source)
        m_player->setFeed(m_source->feed(), feedPoint(on));
}

void ProgramShare::listen(quint16 first, int tries)
{
    m_rigctl->listen(m_options.openToNetwork ? QHostAddress(QHostAddress::Any) : QHostAddress(QHostAddress::LocalHost),
        first, tries);
}

void ProgramShare::followReceiver()
{
    if (!m_client.state().isConnected())
        return;
    const std::optional<QString>& name = m_client.info().name;
    QString receiver = name ? name->trimmed() : QString();
    if (receiver.isEmpty() && m_client.serverURL())
        receiver = m_client.serverURL()->host();
    m_source->open(soundSourceNamedAfter(receiver));
}
