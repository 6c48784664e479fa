#include "kiwisdr/KiwiListenerCounts.h"

#include "connection/BoundedHttpGet.h"
#include "kiwisdr/KiwiStatusPage.h"

namespace {

constexpr std::chrono::milliseconds requestTimeout{10'000};

} // namespace

void readKiwiListenerCounts(QNetworkAccessManager& network, const QUrl& serverURL, QObject* parent,
    const EventPost& post, std::function<void(std::optional<ListenerCounts>)> done)
{
    new BoundedHttpGet(network, kiwiStatusPageURL(serverURL), requestTimeout, maxKiwiStatusPageBytes,
        [post, done = std::move(done)](const std::optional<HttpResponse>& response) {
            if (!response || response->statusCode != 200)
                return;
            // A status page may be a megabyte: it is read on the network thread.
            computeThenPost(
                post,
                [body = response->body]() -> std::optional<ListenerCounts> {
                    ReceiverInfo counts;
                    applyKiwiStatusPage(counts, parseKiwiStatusPage(body));
                    if (!counts.users || !counts.maxUsers)
                        return std::nullopt;
                    return ListenerCounts{*counts.users, *counts.maxUsers};
                },
                done);
        },
        parent);
}
