// The addresses the session works with: the typed server address, and the
// receiver's own web page.
#include "session/ReceiverClient.h"

#include <QUrlQuery>

namespace {

constexpr int defaultKiwiPort = 8073;

} // namespace

std::optional<QUrl> ReceiverClient::normalizedServerURL(const QString& address)
{
    QString text = address.trimmed();
    const bool schemeAdded = !text.contains(QStringLiteral("://"));
    if (schemeAdded)
        text.prepend(QStringLiteral("http://"));
    QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty())
        return std::nullopt;
    if (schemeAdded && url.port() == -1)
        url.setPort(defaultKiwiPort);
    if (!url.path().endsWith(u'/'))
        url.setPath(url.path() + u'/');
    url.setQuery(QString());
    url.setFragment(QString());
    if (!url.isValid())
        return std::nullopt;
    return url;
}

QUrl ReceiverClient::webPageURL(const QUrl& base, double frequencyKHz, Mode mode)
{
    QUrl url = base;
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("f"), QString::number(frequencyKHz, 'f', 2) + rawValue(mode));
    url.setQuery(query);
    return url.isValid() ? url : base;
}
