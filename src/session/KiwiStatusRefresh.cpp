// The KiwiSDR status page, read once per connection when detection did not
// already bring it.
#include "session/KiwiSDRClient.h"

#include "session/BoundedHttpGet.h"
#include "session/NetworkThread.h"
#include "model/StatusPage.h"

namespace {

constexpr std::chrono::milliseconds statusTimeout{60'000};

} // namespace

void KiwiSDRClient::startStatusRefresh(std::int64_t generation)
{
    if (m_serverKind != ServerKind::kiwiSDR || !m_serverURL)
        return;
    const QUrl serverURL = *m_serverURL;
    new BoundedHttpGet(*m_network, statusPageURL(serverURL), statusTimeout, maxStatusPageBytes,
        [this, serverURL, generation](const std::optional<HttpResponse>& response) {
            if (!response)
                return;
            // A status page may be a megabyte: it is read on the network
            // thread, and applied in a later turn.
            NetworkThread::compute(
                this, [body = response->body] { return parseStatusPage(body); },
                [this, serverURL, generation](const StatusFields& fields) {
                    if (generation == m_sessionID && m_serverURL == serverURL)
                        applyStatusFields(fields);
                });
        },
        tasks());
}

void KiwiSDRClient::applyStatusFields(const StatusFields& fields)
{
    updateInfo([&](KiwiReceiverInfo& info) { applyStatusPage(info, fields); });
}
