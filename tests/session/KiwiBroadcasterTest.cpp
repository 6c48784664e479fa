#include "session/KiwiBroadcaster.h"

#include <QObject>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

namespace {

using Broadcaster = KiwiBroadcaster<int>;

TEST(KiwiBroadcaster, SubscriberThatLagsKeepsTheFourNewest)
{
    Broadcaster broadcaster;
    QObject context;
    std::vector<int> received;
    auto subscription = broadcaster.subscribe(&context, [&](int value) { received.push_back(value); });

    for (int value = 1; value <= 6; ++value)
        broadcaster.yield(value);
    EXPECT_TRUE(received.empty()) << "delivery waits for the context's event loop";

    ASSERT_TRUE(QTest::qWaitFor([&] { return received.size() >= 4; }));
    QTest::qWait(20);
    EXPECT_EQ(received, (std::vector<int>{3, 4, 5, 6}));
}

TEST(KiwiBroadcaster, TwoSubscribersEachGetEveryValueAndCancellingOneLeavesTheOther)
{
    Broadcaster broadcaster;
    QObject context;
    std::vector<int> first;
    std::vector<int> second;
    auto firstSubscription = broadcaster.subscribe(&context, [&](int value) { first.push_back(value); });
    auto secondSubscription = broadcaster.subscribe(&context, [&](int value) { second.push_back(value); });
    EXPECT_EQ(broadcaster.subscriberCount(), 2u);

    broadcaster.yield(1);
    broadcaster.yield(2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return first.size() == 2 && second.size() == 2; }));

    firstSubscription.reset();
    EXPECT_EQ(broadcaster.subscriberCount(), 1u);
    broadcaster.yield(3);
    ASSERT_TRUE(QTest::qWaitFor([&] { return second.size() == 3; }));
    EXPECT_EQ(first, (std::vector<int>{1, 2}));
    EXPECT_EQ(second, (std::vector<int>{1, 2, 3}));
}

TEST(KiwiBroadcaster, CancellingDropsWhatWasQueuedButNotDelivered)
{
    Broadcaster broadcaster;
    QObject context;
    int deliveries = 0;
    auto subscription = broadcaster.subscribe(&context, [&](int) { ++deliveries; });
    broadcaster.yield(1);
    subscription = Broadcaster::Subscription();
    QTest::qWait(20);
    EXPECT_EQ(deliveries, 0);
    EXPECT_EQ(broadcaster.subscriberCount(), 0u);
}

TEST(KiwiBroadcaster, YieldWithoutSubscribersDoesNothing)
{
    Broadcaster broadcaster;
    broadcaster.yield(1);
    EXPECT_EQ(broadcaster.subscriberCount(), 0u);
}

TEST(KiwiBroadcaster, ValuesYieldedOnAnotherThreadArriveOnTheContextThreadInOrder)
{
    KiwiBroadcaster<std::vector<int>> broadcaster;
    QObject context;
    std::vector<int> received;
    bool onContextThread = true;
    auto subscription = broadcaster.subscribe(&context, [&](std::vector<int> value) {
        onContextThread = onContextThread && QThread::currentThread() == context.thread();
        received.push_back(value.front());
    });

    std::thread producer([&] {
        for (int value = 0; value < 1000; ++value)
            broadcaster.yield({value});
    });
    producer.join();

    ASSERT_TRUE(QTest::qWaitFor([&] { return !received.empty() && received.back() == 999; }));
    EXPECT_TRUE(onContextThread);
    EXPECT_TRUE(std::is_sorted(received.begin(), received.end()));
}

TEST(KiwiBroadcaster, SubscriptionOutlivingTheBroadcasterEndsQuietly)
{
    QObject context;
    Broadcaster::Subscription subscription;
    {
        Broadcaster broadcaster;
        subscription = broadcaster.subscribe(&context, [](int) { });
        broadcaster.yield(1);
    }
    subscription.reset();
    QTest::qWait(10);
}

} // namespace
