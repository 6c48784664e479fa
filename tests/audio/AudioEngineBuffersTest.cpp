#include "audio/ScheduledBuffers.h"
#include "audio/TestTonePlayer.h"
#include "audio/WavFileWriter.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

namespace {

TEST(ScheduledBuffers, ReadsInOrderReportsEachBufferAtItsLastFrameAndPadsWithSilence)
{
    ScheduledBuffers buffers;
    std::vector<int> consumed;
    buffers.push({1, 2, 3}, [&] { consumed.push_back(1); });
    // A callback may schedule more.
    buffers.push({4, 5}, [&] {
        consumed.push_back(2);
        buffers.push({6}, [&] { consumed.push_back(3); });
    });

    std::vector<float> out(2, -1.0f);
    EXPECT_EQ(buffers.read(out.data(), out.size()), 2u);
    EXPECT_TRUE(consumed.empty()) << "one frame of the first buffer is still unread";
    out.resize(5, -1.0f);
    EXPECT_EQ(buffers.read(out.data() + 2, 3), 3u);
    EXPECT_EQ(out, (std::vector<float>{1, 2, 3, 4, 5}));
    EXPECT_EQ(consumed, (std::vector<int>{1, 2}));

    buffers.clear();
    out.assign(3, -1.0f);
    EXPECT_EQ(buffers.read(out.data(), out.size()), 0u);
    EXPECT_EQ(out, (std::vector<float>(3, 0.0f)));
    EXPECT_EQ(consumed.size(), 2u) << "cleared buffers are not reported";
}

TEST(ToneGenerator, OneKilohertzAtPointFourOfFullScaleWithThePhaseCarriedOver)
{
    ToneGenerator tone(48000.0);
    std::vector<float> samples(48000);
    std::size_t done = 0;
    for (std::size_t piece : {1u, 479u, 4096u, 100u, 43324u}) {
        tone.render(samples.data() + done, piece);
        done += piece;
    }
    for (std::size_t i = 0; i < samples.size(); ++i)
        ASSERT_NEAR(samples[i], 0.4 * std::sin(2.0 * std::numbers::pi * 1000.0 * double(i) / 48000.0), 1e-5) << i;
}

TEST(WavFileWriter, WritesAValidMonoPCMFileAfterEveryAppend)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.wav"));
    WavFileWriter writer;
    ASSERT_FALSE(writer.open(path, 12000));
    writer.append(std::vector<float>{0.0f, 0.5f, -1.0f});
    writer.append(std::vector<float>{2.0f, -7.0f, std::numeric_limits<float>::quiet_NaN()});

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_EQ(bytes.size(), 44 + 12);
    const char* d = bytes.constData();
    EXPECT_EQ(QByteArray(d, 4), "RIFF");
    EXPECT_EQ(qFromLittleEndian<quint32>(d + 4), 36u + 12u);
    EXPECT_EQ(qFromLittleEndian<quint32>(d + 28), 24000u);
    EXPECT_EQ(qFromLittleEndian<quint32>(d + 40), 12u);
    const std::vector<qint16> expected{0, 16384, -32767, 32767, -32767, 0};
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(qFromLittleEndian<qint16>(d + 44 + 2 * i), expected[i]) << i;

    EXPECT_TRUE(writer.open(QStringLiteral("/nonexistent-folder/out.wav"), 12000));
    EXPECT_FALSE(writer.isOpen());
}

} // namespace
