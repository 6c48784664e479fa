#pragma once
// A hamlib NET rigctl server for one receiver session, on the GUI thread. Its
// port is an open door on the machine, so every client is held short: at most
// maxClients at once (more are closed at once), a line over maxLineBytes
// closes its connection, at most linesPerTurn lines are answered before the
// event loop runs again, and a client that does not read its answers is not
// read from until it does. Answers come from the pure protocol
// (sharing/RigctlProtocol.h); sets reach the session through `target`.

#include "sharing/RigctlProtocol.h"

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QTcpServer;
class QTcpSocket;

// How the server sees the receiver and tunes it.
struct RigctlTarget {
    std::function<RigView()> view;
    std::function<void(const RigAction&)> apply;
};

class RigctlServer : public QObject {
    Q_OBJECT
public:
    static constexpr quint16 defaultPort = 4532;
    static constexpr qsizetype maxLineBytes = 1024;
    static constexpr int maxClients = 4;
    static constexpr int linesPerTurn = 64;
    static constexpr qint64 maxUnreadAnswerBytes = 64 * 1024;

    explicit RigctlServer(RigctlTarget target, QObject* parent = nullptr);
    ~RigctlServer() override;

    // Listens on the first free port of `first` and the `tries` - 1 after it;
    // false, with problem() telling why, when none is free.
    bool listen(const QHostAddress& address, quint16 first, int tries = 1);
    void close();
    std::optional<quint16> port() const;
    QHostAddress address() const;
    QString problem() const { return m_problem; }
    int clientCount() const { return static_cast<int>(m_clients.size()); }

signals:
    void listeningChanged();
    void clientCountChanged();

private:
    void accept();
    void serve(QTcpSocket* client);
    void drop(QTcpSocket* client);

    const RigctlTarget m_target;
    QTcpServer* const m_server;
    QList<QTcpSocket*> m_clients;
    QString m_problem;
};
