#include "connection/Broadcaster.h"

#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <thread>

namespace {

using IntBroadcaster = Broadcaster<int>;

// A subscriber that lags keeps the four newest values.
TEST(Broadcaster, EverySubscriberGetsTheNewestValuesUntilItCancels)
{
    IntBroadcaster broadcaster;
    QObject context;
    std::vector<int> first, second;
    auto firstSubscription = broadcaster.subscribe(&context, [&](int value) { first.push_back(value); });
    auto secondSubscription = broadcaster.subscribe(&context, [&](int value) { second.push_back(value); });
    for (int value = 1; value <= 6; ++value)
        broadcaster.yield(value);
    EXPECT_TRUE(first.empty() && second.empty()) << "delivery waits for the context's event loop";
    ASSERT_TRUE(QTest::qWaitFor([&] { return first.size() >= 4 && second.size() >= 4; }));

    // Cancelling drops what was queued for it but not yet delivered.
    broadcaster.yield(7);
    firstSubscription.reset();
    EXPECT_EQ(broadcaster.subscriberCount(), 1u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return second.size() >= 5; }));
    QTest::qWait(20);
    EXPECT_EQ(first, (std::vector<int>{3, 4, 5, 6}));
    EXPECT_EQ(second, (std::vector<int>{3, 4, 5, 6, 7}));
}

TEST(Broadcaster, ValuesYieldedOnAnotherThreadArriveOnTheContextThreadInOrder)
{
    Broadcaster<std::vector<int>> broadcaster;
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

TEST(Broadcaster, SubscriptionOutlivingTheBroadcasterEndsQuietly)
{
    QObject context;
    IntBroadcaster::Subscription subscription;
    {
        IntBroadcaster broadcaster;
        subscription = broadcaster.subscribe(&context, [](int) { });
        broadcaster.yield(1);
    }
    subscription.reset();
    QTest::qWait(10);
}

} // namespace
