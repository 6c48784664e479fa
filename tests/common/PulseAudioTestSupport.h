#pragma once
// Playing through a real sound server: null sinks, monitor recordings, and the tone in them.

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <gtest/gtest.h>

#include <numbers>
#include <thread>

namespace pulsetest {

constexpr int recordRate = 48000;

// Run on a thread of its own. Under ThreadSanitizer, a QProcess waited for on
// the main thread leaves the sanitizer blind to that thread's locks from then
// on, so every later lock shared with the audio thread would read as a race.
inline std::optional<QByteArray> runPactl(const QStringList& arguments)
{
    std::optional<QByteArray> result;
    std::thread([&] {
        QProcess pactl;
        pactl.start(QStringLiteral("pactl"), arguments);
        if (pactl.waitForFinished(10000) && pactl.exitStatus() == QProcess::NormalExit && pactl.exitCode() == 0)
            result = pactl.readAllStandardOutput().trimmed();
    }).join();
    return result;
}

inline bool serverReachable() { return runPactl({QStringLiteral("info")}).has_value(); }

// Whether the sound server has a source of this name now.
inline bool hasSource(const QString& name)
{
    const std::optional<QByteArray> list =
        runPactl({QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("sources")});
    for (const QByteArray& line : list.value_or(QByteArray()).split('\n')) {
        if (line.split('\t').value(1) == name.toUtf8())
            return true;
    }
    return false;
}

// Skips when there is no sound server, unless the run promised one.
#define REQUIRE_PULSEAUDIO()                                                               \
    do {                                                                                   \
        if (!pulsetest::serverReachable()) {                                               \
            if (qEnvironmentVariableIsSet("FARLISTEN_REQUIRE_PULSE"))                      \
                FAIL() << "FARLISTEN_REQUIRE_PULSE is set but no sound server answers";    \
            GTEST_SKIP() << "no PulseAudio server reachable";                              \
        }                                                                                  \
    } while (false)

// A null sink that exists for the life of this object.
class NullSink {
public:
    NullSink(const QString& name, const QString& description)
    {
        if (const auto index = runPactl({QStringLiteral("load-module"), QStringLiteral("module-null-sink"),
                                         QStringLiteral("sink_name=") + name,
                                         QStringLiteral("sink_properties=device.description=") + description}))
            module = *index;
    }
    ~NullSink() { unload(); }
    NullSink(const NullSink&) = delete;
    NullSink& operator=(const NullSink&) = delete;

    bool loaded() const { return !module.isEmpty(); }
    void unload()
    {
        if (!module.isEmpty())
            runPactl({QStringLiteral("unload-module"), QString::fromLatin1(module)});
        module.clear();
    }
private:
    QByteArray module;
};

// Records a sink's monitor (or with no suffix, a source) as 48 kHz mono
// while it exists.
class MonitorRecording {
public:
    explicit MonitorRecording(const QString& sink, const QString& suffix = QStringLiteral(".monitor"))
    {
        path = dir.filePath(QStringLiteral("monitor.raw"));
        parec.setStandardOutputFile(path);
        parec.start(QStringLiteral("parec"),
                    {QStringLiteral("--device=") + sink + suffix, QStringLiteral("--raw"),
                     QStringLiteral("--format=s16le"), QStringLiteral("--rate=%1").arg(recordRate),
                     QStringLiteral("--channels=1"), QStringLiteral("--latency-msec=20")});
    }
    ~MonitorRecording() { finish(); }

    // True once the monitor delivers data.
    bool waitUntilRecording()
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (parec.waitForStarted(10000) && std::chrono::steady_clock::now() < deadline) {
            if (QFile(path).size() > 0)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    std::vector<float> finish()
    {
        parec.terminate();
        if (!parec.waitForFinished(10000))
            parec.kill();
        parec.waitForFinished(10000);
        QFile file(path);
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        std::vector<float> samples;
        for (qsizetype at = 0; at + 1 < bytes.size(); at += 2)
            samples.push_back(qFromLittleEndian<qint16>(bytes.constData() + at) / 32768.0f);
        return samples;
    }

private:
    QTemporaryDir dir;
    QString path;
    QProcess parec;
};

struct Tone {
    double seconds = 0.0; // length of the longest stretch of sound
    double hz = 0.0;      // its frequency, from its zero crossings
    double rms = 0.0;
    double peak = 0.0;
};

inline double rmsOf(const float* x, std::size_t n)
{
    double sum = 0.0;
    for (std::size_t i = 0; i < n; ++i)
        sum += double(x[i]) * x[i];
    return n ? std::sqrt(sum / double(n)) : 0.0;
}

// The longest run of 10 ms windows louder than -40 dBFS, less its edges.
inline Tone analyse(const std::vector<float>& samples)
{
    constexpr std::size_t window = recordRate / 100;
    std::size_t bestStart = 0, bestLength = 0, runLength = 0;
    for (std::size_t w = 0; (w + 1) * window <= samples.size(); ++w) {
        runLength = rmsOf(samples.data() + w * window, window) > 0.01 ? runLength + 1 : 0;
        if (runLength > bestLength) {
            bestLength = runLength;
            bestStart = w + 1 - runLength;
        }
    }
    Tone tone;
    tone.seconds = double(bestLength * window) / recordRate;
    if (bestLength < 6)
        return tone;
    const float* x = samples.data() + (bestStart + 2) * window;
    const std::size_t n = (bestLength - 4) * window;
    tone.rms = rmsOf(x, n);
    std::size_t crossings = 0;
    for (std::size_t i = 0; i < n; ++i) {
        tone.peak = std::max(tone.peak, double(std::abs(x[i])));
        crossings += i > 0 && (x[i - 1] < 0) != (x[i] < 0);
    }
    tone.hz = double(crossings) * recordRate / (2.0 * double(n));
    return tone;
}

inline std::vector<float> sine(double hz, double amplitude, double rate, std::size_t frames)
{
    std::vector<float> samples(frames);
    for (std::size_t i = 0; i < frames; ++i)
        samples[i] = float(amplitude * std::sin(2.0 * std::numbers::pi * hz * double(i) / rate));
    return samples;
}

// A sound server of the test's own, with one null sink (own_sink), which it
// can kill and start again. Programs the test starts reach it too.
class OwnSoundServer {
public:
    OwnSoundServer()
    {
        QFile script(dir.filePath("pa.pa"));
        script.open(QIODevice::WriteOnly);
        script.write("load-module module-native-protocol-unix auth-anonymous=1\n"
                     "load-module module-null-sink sink_name=own_sink rate=48000\n");
        script.close();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_RUNTIME_DIR", dir.path());
        daemon.setProcessEnvironment(environment);
        qputenv("PULSE_SERVER", ("unix:" + dir.filePath("pulse/native")).toUtf8());
    }
    ~OwnSoundServer()
    {
        kill();
        qunsetenv("PULSE_SERVER");
    }
    bool start()
    {
        daemon.start("pulseaudio", {"-n", "-F", dir.filePath("pa.pa"), "--daemonize=no", "--exit-idle-time=-1",
                                       "--use-pid-file=no", "--log-target=stderr"});
        return QTest::qWaitFor([] { return pulsetest::serverReachable(); }, 20000);
    }
    void kill()
    {
        daemon.kill();
        daemon.waitForFinished(5000);
    }

private:
    QTemporaryDir dir;
    QProcess daemon;
};

} // namespace pulsetest
