#include "bookmarks/BuiltInServers.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QSet>
#include <QUrl>

namespace {

TEST(BuiltInServers, NineAddressesOfTheAgreedShape)
{
    const QList<Bookmark>& items = builtInServers().items;
    ASSERT_EQ(items.size(), 9);

    const QRegularExpression shape(QStringLiteral("^(http://[a-z0-9.-]+:(8073|8074)|https://[a-z0-9.-]+)/$"));
    const int ports[] = {8073, 8074, 8073, 8073, 8074, 8073, 8073, -1, 8073};
    for (qsizetype i = 0; i < items.size(); ++i) {
        const QString& url = items[i].url;
        EXPECT_TRUE(shape.match(url).hasMatch()) << url.toStdString();
        const QUrl parsed(url);
        EXPECT_EQ(parsed.scheme(), i == 7 ? QStringLiteral("https") : QStringLiteral("http")) << i;
        EXPECT_EQ(parsed.port(), ports[i]) << i;
    }
    EXPECT_EQ(QUrl(items[0].url).host(), QUrl(items[1].url).host());
    EXPECT_EQ(defaultServerAddress(), items[1].url);
}

TEST(BuiltInServers, IdsAreDistinctAndStableWithinARun)
{
    const Bookmarks first = builtInServers();
    QSet<QUuid> ids;
    for (const Bookmark& item : first.items) {
        EXPECT_FALSE(item.id.isNull());
        ids.insert(item.id);
    }
    EXPECT_EQ(ids.size(), 9);
    EXPECT_EQ(builtInServers(), first);
    EXPECT_EQ(&builtInServers(), &builtInServers());
}

} // namespace
