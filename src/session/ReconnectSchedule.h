#pragma once
// When to try again after a connection broke without being refused: waits
// that grow from 1 s to 60 s, each stretched or shortened by up to a fifth at
// random so that many listeners dropped at once do not return at once, for a
// bounded number of tries within a bounded time. Receivers block addresses
// that reconnect too eagerly, so the bounds matter as much as the waits.

#include <chrono>
#include <functional>
#include <optional>
#include <vector>

struct ReconnectPolicy {
    using Duration = std::chrono::milliseconds;

    std::vector<Duration> delays{std::chrono::seconds(1), std::chrono::seconds(2), std::chrono::seconds(4),
        std::chrono::seconds(8), std::chrono::seconds(16), std::chrono::seconds(30), std::chrono::seconds(60)};
    // Each wait is its delay times a factor between 1 - jitter and 1 + jitter.
    double jitter = 0.2;
    int maxTries = 10;
    // No try starts later than this after the first break of a series.
    Duration maxDuration = std::chrono::minutes(10);
    // A connection that stayed up this long starts a new series when it
    // breaks; one that broke sooner goes on with the series it came from, so
    // a receiver that accepts and drops at once cannot keep us in a loop.
    Duration stableAfter = std::chrono::seconds(60);
    // How often the countdown the listener sees is brought up to date.
    Duration countdownStep = std::chrono::seconds(1);
};

// What the listener sees while the session waits to try again.
struct ReconnectWait {
    int tryNumber = 1;
    int maxTries = 1;
    int secondsLeft = 0;
    friend bool operator==(const ReconnectWait&, const ReconnectWait&) = default;
};

class ReconnectSchedule {
public:
    using Duration = ReconnectPolicy::Duration;

    // `uniform` gives numbers in [0, 1); values outside are clamped.
    ReconnectSchedule(ReconnectPolicy policy, std::function<double()> uniform);

    // A connection broke at `now` (on any monotonic clock): the wait before
    // the next try, or nothing when the tries or the time are used up.
    std::optional<Duration> next(Duration now);
    // Tries given out so far in this series.
    int tries() const { return m_tries; }
    const ReconnectPolicy& policy() const { return m_policy; }

private:
    ReconnectPolicy m_policy;
    std::function<double()> m_uniform;
    std::optional<Duration> m_start;
    int m_tries = 0;
};
