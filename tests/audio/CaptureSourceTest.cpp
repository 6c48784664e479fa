// Capture sources in a real sound server: any receiver's name makes a source,
// a taken name is numbered, and a sound server that dies and comes back gets
// the source again.
#include "audio/CaptureSource.h"
#include "common/PulseAudioTestSupport.h"

#include <QTest>

namespace {

using Kind = CaptureSource::State::Kind;

bool waitForKind(const CaptureSource& source, Kind kind)
{
    return QTest::qWaitFor([&] { return source.state().kind == kind; }, 20000);
}

TEST(CaptureSource, AnyReceiversNameMakesASourceAndATakenOneIsNumbered)
{
    REQUIRE_PULSEAUDIO();
    // Server text with quotes, a backslash and control characters, which
    // must not reach a module argument as they are.
    const SoundSourceName name = soundSourceNamedAfter("Club \"DX\" 'QTH'\\ \x01 \u03a9mega sink_name=x");
    EXPECT_EQ(name.name, "farlisten.Club-DX-QTH-mega-sink-name-x");
    EXPECT_EQ(name.description, "Farlisten: Club DX QTH \u03a9mega sink_name=x");
    // A receiver whose name spells an owner's mark cannot pass its source off as another's.
    const SoundSourceName posing = soundSourceNamedAfter("farlisten.owner=0bad");
    EXPECT_EQ(soundSourceOwner(soundSourceArguments(posing, "1234-abcd")), "1234-abcd");
    EXPECT_EQ(soundSourceOwner(feedSinkArguments(posing, "1234-abcd")), "1234-abcd");
    CaptureSource first;
    CaptureSource second;
    first.open(name);
    ASSERT_TRUE(waitForKind(first, Kind::open)) << first.state().problem.toStdString();
    second.open(name);
    ASSERT_TRUE(waitForKind(second, Kind::open)) << second.state().problem.toStdString();
    EXPECT_EQ(second.state().name, numberedSoundSourceName(name, 2));
    EXPECT_TRUE(pulsetest::hasSource(QString::fromUtf8(name.name)));
    EXPECT_TRUE(pulsetest::hasSource(QString::fromUtf8(name.name) + "-2"));

    // Asked for exactly, a taken name is a failure.
    CaptureSource exact;
    exact.open(name, true);
    ASSERT_TRUE(waitForKind(exact, Kind::failed));
    EXPECT_EQ(exact.state().problem, "Another program has a sound source named " + QString::fromUtf8(name.name) + " already");
    first.close();
    EXPECT_FALSE(pulsetest::hasSource(QString::fromUtf8(name.name)));
}

TEST(CaptureSource, ASoundServerThatDiesAndComesBackGetsTheSourceAgain)
{
    pulsetest::OwnSoundServer server;
    if (!server.start())
        GTEST_SKIP() << "no PulseAudio daemon to start";
    const SoundSourceName name = soundSourceNamedAfter("Twente 40m");
    CaptureSource source;
    source.open(name);
    ASSERT_TRUE(waitForKind(source, Kind::open)) << source.state().problem.toStdString();
    EXPECT_TRUE(pulsetest::hasSource("farlisten.Twente-40m"));
    server.kill();
    ASSERT_TRUE(waitForKind(source, Kind::failed));
    EXPECT_EQ(source.state().problem, "The sound server went away");
    ASSERT_TRUE(server.start());
    ASSERT_TRUE(waitForKind(source, Kind::open)) << source.state().problem.toStdString();
    EXPECT_TRUE(pulsetest::hasSource("farlisten.Twente-40m"));
}

} // namespace
