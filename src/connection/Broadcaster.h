#pragma once
// Fans one stream of values out to any number of subscribers. Producers call
// yield from any thread and never wait for a subscriber: each subscriber keeps
// at most the newest `bufferSize` undelivered values, and gets them on its
// context object's thread in one queued drain.

#include <QMetaObject>
#include <QObject>
#include <QUuid>

#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

template <typename T>
class Broadcaster {
    struct Subscriber {
        QObject* context = nullptr;
        std::mutex lock; // guards everything below
        std::function<void(T)> callback;
        std::deque<T> queue;
        bool ended = false;
    };

    struct Subscribers {
        std::mutex lock; // guards `continuations`
        std::map<QUuid, std::shared_ptr<Subscriber>> continuations;
    };

public:
    static constexpr std::size_t bufferSize = 4;

    // Owns one subscription; destroying it (or reset) ends it. Must be ended
    // on the context's thread, before the context goes.
    class Subscription {
    public:
        Subscription() = default;
        Subscription(Subscription&& other) noexcept { *this = std::move(other); }
        Subscription& operator=(Subscription&& other) noexcept
        {
            if (this != &other) {
                reset();
                subscribers = std::move(other.subscribers);
                subscriber = std::move(other.subscriber);
                id = other.id;
            }
            return *this;
        }
        Subscription(const Subscription&) = delete;
        Subscription& operator=(const Subscription&) = delete;
        ~Subscription() { reset(); }

        void reset()
        {
            if (!subscriber)
                return;
            if (const auto owner = subscribers.lock()) {
                std::lock_guard guard(owner->lock);
                owner->continuations.erase(id);
            }
            std::function<void(T)> callback;
            {
                std::lock_guard guard(subscriber->lock);
                subscriber->ended = true;
                subscriber->queue.clear();
                callback = std::move(subscriber->callback);
            }
            subscriber.reset();
        }

    private:
        friend class Broadcaster;
        std::weak_ptr<Subscribers> subscribers;
        std::shared_ptr<Subscriber> subscriber;
        QUuid id;
    };

    // The callback runs on the context's thread, never while any lock of the
    // broadcaster is held.
    [[nodiscard]] Subscription subscribe(QObject* context, std::function<void(T)> callback)
    {
        auto subscriber = std::make_shared<Subscriber>();
        subscriber->context = context;
        subscriber->callback = std::move(callback);
        Subscription subscription;
        subscription.subscribers = state;
        subscription.subscriber = subscriber;
        subscription.id = QUuid::createUuid();
        std::lock_guard guard(state->lock);
        state->continuations.emplace(subscription.id, std::move(subscriber));
        return subscription;
    }

    void yield(const T& element)
    {
        std::vector<std::shared_ptr<Subscriber>> current;
        {
            std::lock_guard guard(state->lock);
            current.reserve(state->continuations.size());
            for (const auto& entry : state->continuations)
                current.push_back(entry.second);
        }
        for (const auto& subscriber : current)
            offer(subscriber, element);
    }

    std::size_t subscriberCount() const
    {
        std::lock_guard guard(state->lock);
        return state->continuations.size();
    }

private:
    static void offer(const std::shared_ptr<Subscriber>& subscriber, const T& element)
    {
        std::lock_guard guard(subscriber->lock);
        if (subscriber->ended)
            return;
        const bool wasEmpty = subscriber->queue.empty();
        if (subscriber->queue.size() == bufferSize)
            subscriber->queue.pop_front();
        subscriber->queue.push_back(element);
        // Posted under the subscriber's lock so that it cannot end, and its
        // context go, in between.
        if (wasEmpty)
            QMetaObject::invokeMethod(
                subscriber->context, [subscriber] { drain(subscriber); }, Qt::QueuedConnection);
    }

    static void drain(const std::shared_ptr<Subscriber>& subscriber)
    {
        std::deque<T> elements;
        std::function<void(T)> callback;
        {
            std::lock_guard guard(subscriber->lock);
            if (subscriber->ended)
                return;
            elements.swap(subscriber->queue);
            callback = subscriber->callback;
        }
        for (T& element : elements) {
            {
                std::lock_guard guard(subscriber->lock);
                if (subscriber->ended)
                    return;
            }
            callback(std::move(element));
        }
    }

    const std::shared_ptr<Subscribers> state = std::make_shared<Subscribers>();
};
