#include "connection/ConnectionEvents.h"

std::unique_ptr<WebSocketChannel> openEventSocket(const QUrl& url, std::chrono::milliseconds openTimeout,
    const EventPost& post, MessageReader read, std::function<void(const QString& description)> failed,
    ByteCounter received)
{
    auto receive = [post, read = std::move(read), received = std::move(received)](const QByteArray& bytes) {
        if (received)
            received->fetch_add(std::uint64_t(bytes.size()), std::memory_order_relaxed);
        if (std::function<void()> event = read(bytes))
            post(std::move(event));
    };
    auto fail = [post, failed = std::move(failed)](const QString& description) {
        post([failed, description] { failed(description); });
    };
    auto socket = std::make_unique<WebSocketChannel>(std::move(receive), std::move(fail));
    socket->open(url, openTimeout);
    return socket;
}
