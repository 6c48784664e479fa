// The recorder: file names from server text, one file with a tuning log
// across retunes and rate changes, and a file that survives SIGKILL.
#include "audio/RecordingName.h"
#include "audio/SoundRecorder.h"
#include "common/SoundFileTestSupport.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>
#include <QtEndian>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <numbers>
#include <thread>

namespace {

TEST(RecordingName, ServerTextBecomesOneBoundedPartOfAFileName)
{
    const QString e = QString::fromUtf8("\u00e9");
    const std::pair<const char*, QString> cases[] = {
        {"../../etc/passwd", "etc-passwd"},
        {"a/b\\c:d*e?f\"g<h>i|j", "a-b-c-d-e-f-g-h-i-j"},
        {"Ham_Club\t\n  North\x01", "Ham-Club-North"},
        {"evil\u202egpj.exe", "evil-gpj.exe"},
        {".hidden.", "hidden"},
        {"\xf0\x9f\x93\xbb Radio", "Radio"},
        {"\xd0\xa0\xd0\xb0\xd0\xb4\xd0\xb8\xd0\xbe Cafe\xcc\x81", QString::fromUtf8("Радио-Cafe\u0301")},
        // 41 two-byte letters: 80 bytes hold 40, never half of one.
        {"", QString(40, e[0])},
    };
    for (const auto& [from, expected] : cases)
        EXPECT_EQ(cleanFileNamePart(*from ? QString::fromUtf8(from) : QString(41, e[0])), expected) << from;

    const QDateTime start(QDate(2024, 3, 1), QTime(19, 15, 2), QTimeZone(3600));
    EXPECT_EQ(recordingName(QStringLiteral("My Kiwi"), 7200.5, Mode::lsb, start),
        QStringLiteral("My-Kiwi_7200.5_lsb_20240301-181502"));
    EXPECT_EQ(recordingName(QStringLiteral("..."), 14074, Mode::usb, start),
        QStringLiteral("receiver_14074_usb_20240301-181502"));
}

std::vector<float> tone(double hz, double rate, std::size_t frames, std::size_t from = 0)
{
    std::vector<float> samples(frames);
    for (std::size_t i = 0; i < frames; ++i)
        samples[i] = float(0.5 * std::sin(2.0 * std::numbers::pi * hz * double(from + i) / rate));
    return samples;
}

double crossingsHz(std::span<const float> samples, double rate)
{
    std::size_t crossings = 0;
    for (std::size_t i = 1; i < samples.size(); ++i)
        crossings += (samples[i - 1] < 0) != (samples[i] < 0);
    return double(crossings) * rate / (2.0 * double(samples.size()));
}

std::shared_ptr<SoundRecorder> created(const std::variant<std::shared_ptr<SoundRecorder>, QString>& made)
{
    EXPECT_TRUE(std::holds_alternative<std::shared_ptr<SoundRecorder>>(made));
    return std::holds_alternative<QString>(made) ? nullptr : std::get<std::shared_ptr<SoundRecorder>>(made);
}

void expectSamples(const std::vector<float>& samples, const std::vector<float>& expected)
{
    for (std::size_t i = 0; i < expected.size(); ++i)
        ASSERT_NEAR(samples.at(i), expected[i], 2.0 / 32767) << i;
}

void play(SoundRecorder& recorder, const std::vector<float>& samples, double rate)
{
    for (std::size_t at = 0; at < samples.size(); at += 480)
        recorder.played(std::span(samples).subspan(at, std::min<std::size_t>(480, samples.size() - at)), rate);
}

TEST(SoundRecorder, OneFileAcrossRetunesAndARateChangeWithTheTuningLogBeside)
{
    for (const RecordingFormat format : {RecordingFormat::wav, RecordingFormat::flac}) {
        SCOPED_TRACE(rawValue(format).toStdString());
        QTemporaryDir dir;
        const auto recorder = created(SoundRecorder::createIn(dir.filePath("new"), "stem", format));
        const auto second = created(SoundRecorder::createIn(dir.filePath("new"), "stem", format));
        ASSERT_TRUE(recorder && second);
        EXPECT_EQ(std::tuple(QFileInfo(recorder->path()).fileName(), QFileInfo(second->path()).fileName()),
            std::tuple("stem." + rawValue(format), "stem-2." + rawValue(format))) << "never replaces a file";

        recorder->retuned(7200, Mode::lsb);
        play(*recorder, tone(500, 12000, 12000), 12000);
        recorder->retuned(7210, Mode::usb);
        recorder->retuned(7215, Mode::usb); // nothing heard at 7210
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        play(*recorder, tone(1000, 48000, 24000), 48000);
        recorder->retuned(7220.25, Mode::am);
        play(*recorder, tone(500, 12000, 6000), 12000);
        const SoundRecorder::Status status = recorder->finish();
        EXPECT_FALSE(status.error);
        EXPECT_DOUBLE_EQ(status.seconds, 2.0);
        EXPECT_EQ(status.bytes, quint64(QFileInfo(recorder->path()).size()));

        const auto file = readSoundFile(recorder->path());
        ASSERT_TRUE(file);
        EXPECT_EQ(file->rate, 12000);
        ASSERT_NEAR(double(file->samples.size()), 24000, 20);
        expectSamples(file->samples, tone(500, 12000, 12000));
        EXPECT_NEAR(crossingsHz(std::span(file->samples).subspan(12500, 5000), 12000), 1000, 5)
            << "the 48000 Hz stretch, converted";

        QFile log(recorder->tuningLogPath());
        ASSERT_TRUE(log.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = log.readAll().split('\n');
        ASSERT_EQ(lines.size(), 4);
        const QJsonObject last = QJsonDocument::fromJson(lines[2]).object();
        EXPECT_EQ(std::tuple(lines[0], lines[1], last.value("frequencyKHz"), last.value("mode"), lines[3]),
            std::tuple(R"({"frequencyKHz":7200,"mode":"lsb","sample":0})",
                R"({"frequencyKHz":7215,"mode":"usb","sample":12000})", 7220.25, QStringLiteral("am"), ""));
        EXPECT_NEAR(last.value("sample").toDouble(), 18000, 20);
    }
}

TEST(SoundRecorder, AFolderThatCannotBeMadeIsSaidAtOnceAndARecordingWithoutSoundLeavesNothing)
{
    QTemporaryDir dir;
    QFile plain(dir.filePath("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    const auto refused = SoundRecorder::createIn(dir.filePath("plain/sub"), "stem", RecordingFormat::wav);
    ASSERT_TRUE(std::holds_alternative<QString>(refused));
    EXPECT_TRUE(std::get<QString>(refused).contains("plain")) << std::get<QString>(refused).toStdString();

    const auto recorder = created(SoundRecorder::createIn(dir.path(), "quiet", RecordingFormat::wav));
    ASSERT_TRUE(recorder);
    recorder->retuned(7200, Mode::lsb);
    EXPECT_FALSE(recorder->finish().error);
    EXPECT_FALSE(QFileInfo::exists(recorder->path()));
    EXPECT_FALSE(QFileInfo::exists(recorder->tuningLogPath()));
}

TEST(SoundRecorder, AWriterStuckOnItsOutputStopsTheRecordingWithAMessageAndNeverTheCaller)
{
    // The tuning log is a small pipe nobody reads: once it is full the
    // writer thread hangs in a write, as on a hung disk.
    QTemporaryDir dir;
    const QByteArray log = QFile::encodeName(dir.filePath("stalled.jsonl"));
    ASSERT_EQ(::mkfifo(log.constData(), 0600), 0);
    const int reader = ::open(log.constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    ::fcntl(reader, F_SETPIPE_SZ, 4096);
    const auto recorder = created(SoundRecorder::createAt(dir.filePath("stalled.wav"), RecordingFormat::wav));
    ASSERT_TRUE(recorder);
    const std::vector<float> second = tone(500, 12000, 12000);
    for (int i = 0; i < 200; ++i) {
        recorder->retuned(7000 + i, Mode::lsb);
        recorder->played(std::span(second).first(120), 12000);
    }
    for (int i = 0; i < 20 && !recorder->status().error; ++i) {
        const auto before = std::chrono::steady_clock::now();
        play(*recorder, second, 12000);
        EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(1)) << "a second of sound";
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_EQ(recorder->status().error, "The disk did not keep up with the sound");
    std::vector<char> drain(1 << 16);
    EXPECT_TRUE(QTest::qWaitFor([&] {
        while (::read(reader, drain.data(), drain.size()) > 0) { }
        return recorder->status().finished;
    }, 10000));
    ::close(reader);
    const auto file = readSoundFile(recorder->path());
    ASSERT_TRUE(file) << "what was taken is written and readable";
    EXPECT_GT(file->samples.size(), 10u * 12000);
}

// The child: records a paced tone until it is killed, telling after each
// block how many frames it has handed to the recorder.
constexpr char childVariable[] = "FARLISTEN_RECORDING_CHILD";
constexpr double childRate = 12000;

TEST(SoundRecorderChild, DISABLED_RecordsUntilKilled)
{
    const QString target = qEnvironmentVariable(childVariable);
    if (target.isEmpty())
        GTEST_SKIP() << "runs only as the child of SoundRecorder.KilledBySigkill…";
    const auto format = recordingFormatFromRawValue(QFileInfo(target).suffix());
    ASSERT_TRUE(format);
    const auto recorder = created(SoundRecorder::createAt(target, *format));
    ASSERT_TRUE(recorder);
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t frames = 0; frames < 60 * childRate; frames += 480) {
        std::this_thread::sleep_until(start + std::chrono::duration<double>(double(frames) / childRate));
        recorder->played(tone(440, childRate, 480, frames), childRate);
        std::printf("frames %zu\n", frames + 480);
        std::fflush(stdout);
    }
}

TEST(SoundRecorder, KilledBySigkillTheFileStillOpensWithAllButAtMostItsLastSecond)
{
    for (const RecordingFormat format : {RecordingFormat::wav, RecordingFormat::flac}) {
        SCOPED_TRACE(rawValue(format).toStdString());
        QTemporaryDir dir;
        const QString path = dir.filePath("killed." + rawValue(format));
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(childVariable, path);
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(),
            {"--gtest_filter=SoundRecorderChild.DISABLED_RecordsUntilKilled", "--gtest_also_run_disabled_tests"});
        ASSERT_TRUE(child.waitForStarted(10000));
        std::size_t handed = 0;
        QByteArray output;
        const auto readHanded = [&] {
            output += child.readAllStandardOutput();
            for (const QByteArray& line : output.split('\n'))
                handed = line.startsWith("frames ") ? std::max<std::size_t>(handed, line.mid(7).toULongLong()) : handed;
            return handed >= 3 * childRate;
        };
        ASSERT_TRUE(QTest::qWaitFor(readHanded, 30000)) << output.toStdString();
        ::kill(pid_t(child.processId()), SIGKILL);
        ASSERT_TRUE(child.waitForFinished(10000));
        EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
        readHanded(); // lines printed in the meantime, up to the moment of the kill

        if (format == RecordingFormat::wav) {
            // What a strict player goes by: the header's own sizes.
            QFile raw(path);
            ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
            const QByteArray head = raw.read(44);
            ASSERT_EQ(head.mid(36, 4), "data");
            const quint32 dataBytes = qFromLittleEndian<quint32>(head.constData() + 40);
            EXPECT_EQ(qFromLittleEndian<quint32>(head.constData() + 4), 36 + dataBytes);
            EXPECT_LE(dataBytes / 2, handed + 480);
            EXPECT_GE(double(dataBytes / 2), double(handed) - childRate);
        }
        const auto file = readSoundFile(path);
        ASSERT_TRUE(file);
        EXPECT_EQ(file->rate, int(childRate));
        EXPECT_LE(file->samples.size(), handed + 480);
        EXPECT_GE(double(file->samples.size()), double(handed) - childRate);
        expectSamples(file->samples, tone(440, childRate, file->samples.size()));
    }
}

} // namespace
