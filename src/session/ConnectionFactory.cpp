#include "session/ConnectionFactory.h"

#include "kiwisdr/KiwiConnection.h"
#include "kiwisdr/KiwiListenerCounts.h"
#include "kiwisdr/KiwiSoundPipeline.h"
#include "openwebrx/OpenWebRXConnection.h"
#include "openwebrx/OpenWebRXPipeline.h"

ConnectionFactory::ConnectionFactory(std::shared_ptr<SoundSink> player,
    std::shared_ptr<Broadcaster<WaterfallRow>> rows, std::shared_ptr<Broadcaster<WaterfallRow>> decoderRows,
    QNetworkAccessManager& network)
    : m_player(std::move(player))
    , m_rows(std::move(rows))
    , m_decoderRows(std::move(decoderRows))
    , m_network(network)
{
}

ConnectionFactory::~ConnectionFactory() = default;

std::unique_ptr<ReceiverConnection> ConnectionFactory::make(
    const ServerDetectionResult& detected, ReceiverSession& session, ConnectionContext context)
{
    switch (detected.kind) {
    case ServerKind::openWebRX:
        if (!m_openWebRXPipeline) {
            m_openWebRXPipeline = std::make_shared<OpenWebRXPipeline>(
                m_player, [rows = m_rows](WaterfallRow row) { rows->yield(std::move(row)); },
                [rows = m_decoderRows](WaterfallRow row) { rows->yield(std::move(row)); });
        }
        return std::make_unique<OpenWebRXConnection>(session, std::move(context), m_openWebRXPipeline);
    case ServerKind::kiwiSDR:
        break;
    }
    if (!m_kiwiSound)
        m_kiwiSound = std::make_shared<KiwiSoundPipeline>(m_player);
    return std::make_unique<KiwiConnection>(
        session, std::move(context), detected.statusFields, m_kiwiSound, m_rows, m_network);
}

ListenerCountReader ConnectionFactory::listenerCountReader(ServerKind kind)
{
    switch (kind) {
    case ServerKind::kiwiSDR:
        return readKiwiListenerCounts;
    case ServerKind::openWebRX:
        break;
    }
    return {};
}
