#include "bookmarks/BuiltInServers.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QSet>
#include <QUrl>

namespace {

TEST(BuiltInServers, NineDistinctAddressesOfTheAgreedShape)
{
    const QList<Bookmark>& items = builtInServers().items;
    ASSERT_EQ(items.size(), 9);
    const QRegularExpression shape(QStringLiteral("^(http://[a-z0-9.-]+:(8073|8074)|https://[a-z0-9.-]+)/$"));
    const int ports[] = {8073, 8074, 8073, 8073, 8074, 8073, 8073, -1, 8073};
    QSet<QUuid> ids;
    for (qsizetype i = 0; i < items.size(); ++i) {
        EXPECT_TRUE(shape.match(items[i].url).hasMatch()) << items[i].url.toStdString();
        EXPECT_EQ(QUrl(items[i].url).port(), ports[i]) << i;
        EXPECT_FALSE(items[i].id.isNull());
        ids.insert(items[i].id);
    }
    EXPECT_EQ(ids.size(), 9);
    EXPECT_EQ(QUrl(items[0].url).host(), QUrl(items[1].url).host());
    EXPECT_EQ(defaultServerAddress(), items[1].url);
}

} // namespace
