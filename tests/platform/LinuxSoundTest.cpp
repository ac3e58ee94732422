#include "platform/linux/LinuxSound.h"

#include "support/TempDataDir.h"
#include "support/Wait.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace qb {
namespace {

class LinuxSoundTest : public ::testing::TestWithParam<LinuxSound::TOutput> { };

TEST_P(LinuxSoundTest, EveryStartedSoundFinishesOnce)
{
    LinuxSound sound(GetParam());
    QList<int> finished;
    QObject::connect(&sound, &ISound::Finished, [&](int id) { finished << id; });

    const int click = sound.Play(QStringLiteral(":/sounds/CLICK.wav"));
    ASSERT_GT(click, 0);
    EXPECT_TRUE(sound.IsPlaying(click));
    ASSERT_TRUE(test::WaitFor([&] { return finished.contains(click); }, 5000));
    EXPECT_FALSE(sound.IsPlaying(click));

    // A file on disk, stopped before its end.
    test::TempDataDir dir;
    QFile resource(QStringLiteral(":/sounds/LTING.wav"));
    ASSERT_TRUE(resource.open(QIODevice::ReadOnly));
    const int chime = sound.Play(dir.Write(QStringLiteral("chime.wav"), resource.readAll()));
    ASSERT_GT(chime, 0);
    sound.Stop(chime);
    EXPECT_FALSE(sound.IsPlaying(chime));

    test::WaitFor([] { return false; }, 300); // let any late signals of the players arrive
    EXPECT_EQ(finished.count(click), 1);
    EXPECT_EQ(finished.count(chime), 1);
}

TEST_P(LinuxSoundTest, MissingFileStartsNothing)
{
    LinuxSound sound(GetParam());
    QSignalSpy spy(&sound, &ISound::Finished);
    EXPECT_EQ(sound.Play(QStringLiteral("/nonexistent/ding.wav")), 0);
    EXPECT_EQ(sound.Play(QStringLiteral(":/sounds/NONE.wav")), 0);
    EXPECT_EQ(spy.count(), 0);
}

TEST(LinuxSoundSilent, LastsAsLongAsTheWave)
{
    LinuxSound sound(LinuxSound::TOutput::Silent);
    bool done = false;
    QObject::connect(&sound, &ISound::Finished, [&] { done = true; });
    QElapsedTimer timer;
    timer.start();
    ASSERT_GT(sound.Play(QStringLiteral(":/sounds/LTING.wav")), 0);
    ASSERT_TRUE(test::WaitFor([&] { return done; }, 5000));
    EXPECT_GE(timer.elapsed(), 400); // the chime lasts about half a second
}

INSTANTIATE_TEST_SUITE_P(Outputs, LinuxSoundTest,
    ::testing::Values(LinuxSound::TOutput::Auto, LinuxSound::TOutput::Silent), [](const auto& info) {
        return info.param == LinuxSound::TOutput::Auto ? std::string("Device") : std::string("Silent");
    });

} // namespace
} // namespace qb
