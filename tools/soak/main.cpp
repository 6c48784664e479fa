// soak: a receiver session against rxsim for SOAK_SECONDS (default 600),
// connecting, listening, retuning, zooming, panning and reconnecting in a
// loop, with resident memory sampled every 10 s. Fails when the last samples
// lie more than 5 % above the first one after the warm-up, or when the session
// stopped streaming.

#include "ResidentMemory.h"
#include "SoakCycle.h"

#include "audio/AudioPlayer.h"
#include "session/ReceiverClient.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int sampleSeconds = 10;
constexpr std::size_t tailSamples = 3;
constexpr double allowedGrowth = 0.05;

// At most a week, so that milliseconds still fit an int.
int secondsFromEnvironment(const char* name, int fallback)
{
    constexpr int maxSeconds = 7 * 24 * 3600;
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok && value > 0 ? std::min(value, maxSeconds) : fallback;
}

// Starts rxsim on a free port and returns its address.
std::optional<QString> startReceiver(QProcess& rxsim)
{
    rxsim.setProcessChannelMode(QProcess::MergedChannels);
    rxsim.start(QStringLiteral(RXSIM_PATH), {QStringLiteral("--port"), QStringLiteral("0")});
    if (!rxsim.waitForStarted(10000))
        return std::nullopt;
    static const QRegularExpression listening(QStringLiteral("^rxsim listening on (127\\.0\\.0\\.1:\\d+)"));
    while (rxsim.waitForReadyRead(10000)) {
        while (rxsim.canReadLine()) {
            const QString line = QString::fromUtf8(rxsim.readLine()).trimmed();
            if (const auto match = listening.match(line); match.hasMatch())
                return QStringLiteral("http://%1/").arg(match.captured(1));
        }
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Farlisten"));
    QCoreApplication::setApplicationName(QStringLiteral("Farlisten"));

    const int totalSeconds = secondsFromEnvironment("SOAK_SECONDS", 600);
    const int warmUpSeconds = secondsFromEnvironment("SOAK_WARMUP_SECONDS", 60);

    QProcess rxsim;
    const std::optional<QString> address = startReceiver(rxsim);
    if (!address) {
        std::fprintf(stderr, "soak: rxsim did not start\n");
        return 2;
    }
    // Its command log is not needed; read it so its pipe never fills.
    QObject::connect(&rxsim, &QProcess::readyRead, &rxsim, [&rxsim] { rxsim.readAll(); });
    std::printf("soak: %d s against %s, warm-up %d s, memory sampled every %d s\n", totalSeconds,
        qPrintable(*address), warmUpSeconds, sampleSeconds);

    ReceiverClient client(QStringLiteral("Farlisten soak"), AudioPlayer::create());
    SoakCycle cycle(client, *address);

    QElapsedTimer clock;
    clock.start();
    std::vector<std::int64_t> samples;
    std::size_t firstAfterWarmUp = 0;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        const std::int64_t kiB = residentKiB().value_or(0);
        const qint64 seconds = clock.elapsed() / 1000;
        if (seconds < warmUpSeconds)
            firstAfterWarmUp = samples.size() + 1;
        samples.push_back(kiB);
        std::printf("soak: t=%4lld s rss=%lld KiB cycles=%llu rows=%llu\n", static_cast<long long>(seconds),
            static_cast<long long>(kiB), static_cast<unsigned long long>(cycle.cycles()),
            static_cast<unsigned long long>(cycle.rows()));
        std::fflush(stdout);
    });
    sampler.start(sampleSeconds * 1000);

    int status = 0;
    QTimer::singleShot(totalSeconds * 1000 + 500, [&] {
        sampler.stop();
        client.disconnect();
        const auto verdict = judgeMemory(samples, firstAfterWarmUp, tailSamples, allowedGrowth);
        if (!verdict) {
            std::printf("soak: memory not judged: too few readable samples after the warm-up\n");
            status = 1;
        } else {
            std::printf("soak: baseline %lld KiB, last %zu samples %lld KiB, growth %+.2f %% (limit %.0f %%)\n",
                static_cast<long long>(verdict->baselineKiB), tailSamples,
                static_cast<long long>(verdict->finalKiB), verdict->growth * 100.0, allowedGrowth * 100.0);
            if (!verdict->flat)
                status = 1;
        }
        std::printf("soak: %llu cycles, %llu failed, %llu rows\n",
            static_cast<unsigned long long>(cycle.cycles()), static_cast<unsigned long long>(cycle.failedCycles()),
            static_cast<unsigned long long>(cycle.rows()));
        if (cycle.cycles() == 0 || cycle.failedCycles() > 0)
            status = 1;
        std::printf("soak: %s\n", status == 0 ? "passed" : "FAILED");
        QCoreApplication::exit(status);
    });
    cycle.start();
    const int result = QCoreApplication::exec();
    rxsim.terminate();
    rxsim.waitForFinished(5000);
    return result;
}
