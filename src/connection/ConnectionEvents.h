#pragma once
// How the work of one connection crosses from the network thread to the GUI
// thread: every result is posted through the connection's EventPost, which
// drops it when that connection has ended by the time it arrives.

#include "connection/WebSocketChannel.h"
#include "connection/NetworkThread.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

// Runs `event` on the GUI thread in a later turn as one event of the
// connection the post was made for, unless that connection has ended by then.
// Callable from any thread.
using EventPost = std::function<void(std::function<void()> event)>;

// Reads one received message on the network thread; gives the GUI thread's
// part of it, or nothing.
using MessageReader = std::function<std::function<void()>(const QByteArray& message)>;

// Bytes received by a session's sockets, counted on the network thread.
using ByteCounter = std::shared_ptr<std::atomic<std::uint64_t>>;

// Opens a socket whose messages `read` takes on the network thread and whose
// failure `failed` hears on the GUI thread; both through `post`. Every
// message's size is added to `received`, when given.
std::unique_ptr<WebSocketChannel> openEventSocket(const QUrl& url, std::chrono::milliseconds openTimeout,
    const EventPost& post, MessageReader read, std::function<void(const QString& description)> failed,
    ByteCounter received = {});

// Runs `work` on the network thread and hands its result to `done` through
// `post`. Called on the GUI thread.
template <typename Work, typename Done>
void computeThenPost(const EventPost& post, Work work, Done done)
{
    QMetaObject::invokeMethod(
        NetworkThread::root(),
        [post, work = std::move(work), done = std::move(done)]() mutable {
            post([result = work(), done]() mutable { done(std::move(result)); });
        },
        Qt::QueuedConnection);
}
