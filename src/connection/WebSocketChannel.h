#pragma once
// One client WebSocket connection, for one channel of one connection. The
// connection lives on the network thread; open, sendText and close are called
// on the GUI thread and take effect there in call order. Received messages and
// the one failure are handed to the handlers on the network thread.

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

class WebSocketChannel {
public:
    // A binary message as it arrived, a text message as its UTF-8 bytes.
    using MessageHandler = std::function<void(const QByteArray& message)>;
    // Called at most once, when the connection could not be opened or broke
    // down; the text describes why.
    using FailureHandler = std::function<void(const QString& description)>;

    static constexpr std::uint64_t maxMessageBytes = 16 * 1024 * 1024;
    // Texts sent before the connection opened wait for it, in order, up to
    // this many bytes (as held in memory); one more fails the connection.
    static constexpr qsizetype maxPendingBytes = 1024 * 1024;
    // A server that accepts the connection but never completes the handshake,
    // completes it and then says nothing, or falls silent for this long later.
    static constexpr std::chrono::milliseconds defaultOpenTimeout{60'000};
    // A close that the server never answers.
    static constexpr int closeTimeoutMs = 5'000;

    WebSocketChannel(MessageHandler onMessage, FailureHandler onFailure);
    // Without a preceding close, releases the connection without a close frame.
    ~WebSocketChannel();

    WebSocketChannel(const WebSocketChannel&) = delete;
    WebSocketChannel& operator=(const WebSocketChannel&) = delete;

    // The connection fails when no message arrived within `openTimeout`, at
    // first or since the last one.
    void open(const QUrl& url, std::chrono::milliseconds openTimeout = defaultOpenTimeout);
    // Fire and forget: a send that fails is not reported, except one that
    // finds the texts waiting for the connection too many.
    void sendText(const QString& text);
    // Closes with code 1001 (going away); no handler runs afterwards. The
    // wrapper must not be used for anything else after it.
    void close();

private:
    class Worker;

    Worker* worker;
    std::shared_ptr<std::atomic<bool>> closed;
    bool isClosed = false;
};
