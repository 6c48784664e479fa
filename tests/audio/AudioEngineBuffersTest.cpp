#include "audio/ScheduledBuffers.h"
#include "audio/TestTonePlayer.h"

#include <gtest/gtest.h>

#include <numbers>

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

} // namespace
