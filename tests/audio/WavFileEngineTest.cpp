// The player on the WAV file engine: what it is given ends up in the file,
// consumed at the stream's pace as a sound card would.
#include "audio/KiwiAudioPlayer.h"
#include "audio/WavFileEngine.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <numbers>
#include <thread>
#include <vector>

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(WavFileEngine, PlayerOutputIsWrittenInRealTimeWithTheVolume)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("probe.wav"));
    const auto player = KiwiAudioPlayer::create(WavFileEngine::factory(path), [] {
        return std::optional<AudioDeviceID>();
    });
    ASSERT_FALSE(player->start(12000.0));
    player->setVolume(0.5f);

    std::vector<float> tone(12 * 512);
    for (std::size_t i = 0; i < tone.size(); ++i)
        tone[i] = float(0.8 * std::sin(2.0 * std::numbers::pi * 1000.0 * double(i) / 12000.0));
    for (std::size_t at = 0; at < tone.size(); at += 512)
        player->enqueue(std::span<const float>(tone).subspan(at, 512));
    EXPECT_GT(player->queueState().queuedFrames, 0u) << "half a second is not consumed at once";

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    QByteArray bytes;
    while (std::chrono::steady_clock::now() < deadline) {
        bytes = readFile(path);
        if (bytes.size() >= 44 + qsizetype(tone.size()) * 2 && player->queueState().queuedFrames == 0)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ASSERT_EQ(bytes.size(), 44 + qsizetype(tone.size()) * 2);
    EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + 24), 12000u);
    for (std::size_t i = 0; i < tone.size(); ++i) {
        const qint16 sample = qFromLittleEndian<qint16>(bytes.constData() + 44 + 2 * i);
        ASSERT_NEAR(sample / 32767.0, 0.5 * tone[i], 1.0 / 32767.0) << "frame " << i;
    }
    const auto state = player->queueState();
    EXPECT_EQ(state.queuedFrames, 0u);
    EXPECT_TRUE(state.isPriming) << "ran dry";

    // The file keeps its rate: another rate cannot be written into it.
    const auto error = player->start(8000.0);
    ASSERT_TRUE(error);
    EXPECT_FALSE(error->description.isEmpty());
    EXPECT_FALSE(player->queueState().sampleRate);
    EXPECT_FALSE(player->start(12000.0));
}

} // namespace
