#include "sharing/RigctlServer.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

RigctlServer::RigctlServer(RigctlTarget target, QObject* parent)
    : QObject(parent)
    , m_target(std::move(target))
    , m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &RigctlServer::accept);
}

RigctlServer::~RigctlServer()
{
    for (QTcpSocket* client : std::as_const(m_clients))
        client->disconnect(this);
}

bool RigctlServer::listen(const QHostAddress& address, quint16 first, int tries)
{
    close();
    m_problem.clear();
    const int count = std::clamp(tries, 1, 65536 - first);
    for (int offset = 0; offset < count; ++offset) {
        if (m_server->listen(address, static_cast<quint16>(first + offset))) {
            emit listeningChanged();
            return true;
        }
        if (m_server->serverError() != QAbstractSocket::AddressInUseError) {
            m_problem = tr("Programs cannot tune this window: %1").arg(m_server->errorString());
            emit listeningChanged();
            return false;
        }
    }
    m_problem = count == 1 ? tr("Programs cannot tune this window: port %1 is in use").arg(first)
                           : tr("Programs cannot tune this window: ports %1 to %2 are in use")
                                 .arg(first)
                                 .arg(first + count - 1);
    emit listeningChanged();
    return false;
}

void RigctlServer::close()
{
    const bool was = m_server->isListening();
    m_server->close();
    const QList<QTcpSocket*> clients = m_clients;
    for (QTcpSocket* client : clients)
        drop(client);
    if (was)
        emit listeningChanged();
}

std::optional<quint16> RigctlServer::port() const
{
    if (!m_server->isListening())
        return std::nullopt;
    return m_server->serverPort();
}

QHostAddress RigctlServer::address() const
{
    return m_server->serverAddress();
}

void RigctlServer::accept()
{
    while (QTcpSocket* client = m_server->nextPendingConnection()) {
        if (m_clients.size() >= maxClients) {
            client->abort();
            client->deleteLater();
            continue;
        }
        m_clients.append(client);
        // Qt stops reading from the system once this much waits unread.
        client->setReadBufferSize(8 * maxLineBytes);
        // Each answer goes out at once: hamlib waits for it before asking on.
        client->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        connect(client, &QTcpSocket::readyRead, this, [this, client] { serve(client); });
        connect(client, &QTcpSocket::bytesWritten, this, [this, client] { serve(client); });
        connect(client, &QTcpSocket::disconnected, this, [this, client] { drop(client); });
        emit clientCountChanged();
        serve(client);
    }
}

void RigctlServer::serve(QTcpSocket* client)
{
    if (!m_clients.contains(client))
        return;
    for (int lines = 0; lines < linesPerTurn; ++lines) {
        // A client that does not read its answers waits for them to go.
        if (client->bytesToWrite() >= maxUnreadAnswerBytes)
            return;
        if (!client->canReadLine()) {
            if (client->bytesAvailable() > maxLineBytes)
                drop(client);
            return;
        }
        QByteArray line = client->readLine(maxLineBytes + 2);
        if (!line.endsWith('\n')) {
            drop(client);
            return;
        }
        line.chop(1);
        for (const RigctlCommand& command : parseRigctlLine(line)) {
            const RigctlAnswer answer = answerRigctl(command, m_target.view());
            if (answer.closes) {
                client->disconnectFromHost();
                return;
            }
            if (answer.action)
                m_target.apply(*answer.action);
            client->write(answer.reply);
        }
    }
    // More may wait: answered after the window has had its turn.
    QTimer::singleShot(0, client, [this, client] { serve(client); });
}

void RigctlServer::drop(QTcpSocket* client)
{
    if (!m_clients.removeOne(client))
        return;
    client->disconnect(this);
    client->abort();
    client->deleteLater();
    emit clientCountChanged();
}
