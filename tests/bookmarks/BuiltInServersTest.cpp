#include "bookmarks/BuiltInServers.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QSet>

namespace {

TEST(BuiltInServers, NineDistinctAddressesOfTheAgreedShape)
{
    const QList<Bookmark>& items = builtInServers().items;
    ASSERT_EQ(items.size(), 9);
    const QRegularExpression shape(QStringLiteral("^(http://[a-z0-9.-]+:(8073|8074)|https://[a-z0-9.-]+)/$"));
    QSet<QString> urls;
    QSet<QUuid> ids;
    for (const Bookmark& item : items) {
        EXPECT_TRUE(shape.match(item.url).hasMatch()) << item.url.toStdString();
        urls.insert(item.url);
        ids.insert(item.id);
    }
    EXPECT_EQ(urls.size(), 9);
    EXPECT_EQ(ids.size(), 9);
    EXPECT_FALSE(ids.contains(QUuid()));
}

} // namespace
