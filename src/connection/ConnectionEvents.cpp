#include "connection/ConnectionEvents.h"

std::unique_ptr<WebSocketChannel> openEventSocket(const QUrl& url, std::chrono::milliseconds openTimeout,
    const EventPost& post, MessageReader read, std::function<void(const QString& description)> failed)
{
    auto receive = [post, read = std::move(read)](const QByteArray& bytes) {
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
