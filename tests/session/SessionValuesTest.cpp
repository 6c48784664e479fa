// The pure pieces of the session: addresses and when to reconnect.
#include "session/ReceiverClient.h"
#include "session/ReconnectSchedule.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

TEST(NormalizedServerURL, AddsSchemePortAndSlash)
{
    const std::pair<const char*, const char*> cases[] = {
        {"  sdr.example.org:8074 \n", "http://sdr.example.org:8074/"},
        {"sdr.example.org", "http://sdr.example.org:8073/"},
        {"https://sdr.example.org/sdr", "https://sdr.example.org/sdr/"},
        {"http://sdr.example.org", "http://sdr.example.org/"},
        {"sdr.example.org/x/?q=1#frag", "http://sdr.example.org:8073/x/"},
        {"[2001:db8::1]:8074", "http://[2001:db8::1]:8074/"},
        {"", ""}, {"http://", ""}, {"sdr.example.org:99999", ""}, {"sdr example.org", ""},
    };
    for (const auto& [typed, expected] : cases) {
        const std::optional<QUrl> url = ReceiverClient::normalizedServerURL(QString::fromUtf8(typed));
        EXPECT_EQ(url ? url->toString() : QString(), QString::fromUtf8(expected)) << typed;
    }
}

TEST(ReconnectSchedule, WaitsGrowWithJitterWithinTenTriesAndTenMinutes)
{
    using namespace std::chrono_literals;
    using Duration = ReconnectSchedule::Duration;
    struct Case {
        const char* name;
        double uniform;
        std::vector<Duration> waits;
    };
    const Case cases[] = {
        {"middle of the jitter", 0.5, {1s, 2s, 4s, 8s, 16s, 30s, 60s, 60s, 60s, 60s}},
        {"a fifth shorter", 0.0, {800ms, 1600ms, 3200ms, 6400ms, 12800ms, 24s, 48s, 48s, 48s, 48s}},
        {"a fifth longer", 1.0, {1200ms, 2400ms, 4800ms, 9600ms, 19200ms, 36s, 72s, 72s, 72s, 72s}},
        {"out of range clamps", 7.0, {1200ms, 2400ms, 4800ms, 9600ms, 19200ms, 36s, 72s, 72s, 72s, 72s}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReconnectSchedule schedule(ReconnectPolicy{}, [&] { return c.uniform; });
        // Each try fails at once, when its wait is over.
        Duration now = 5000s;
        std::vector<Duration> waits;
        while (const std::optional<Duration> wait = schedule.next(now)) {
            waits.push_back(*wait);
            now += *wait;
        }
        EXPECT_EQ(waits, c.waits);
        EXPECT_EQ(schedule.tries(), 10);
    }

    // Tries that each take two minutes to fail run into the ten minutes first.
    ReconnectSchedule slow(ReconnectPolicy{}, [] { return 0.5; });
    Duration now = 0s;
    while (const std::optional<Duration> wait = slow.next(now))
        now += *wait + 2min;
    EXPECT_EQ(slow.tries(), 5) << "the sixth would start at 11 min 1 s";
}

} // namespace
