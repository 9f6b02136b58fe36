#include "media/AudioPlayer.h"

#include <gtest/gtest.h>

#include "media/AudioTones.h"
#include "media/FakeAudioSink.h"
#include "support/TestSupport.h"
#include "shell/ProgramState.h"

namespace kelvarn {
namespace {
using namespace test;

struct PlayerBed {
    TempDir dir;
    test::FakeAudioSink sink;
    TProgramState state;
    RecordingMessageSink messages;
    TAudioPlayer player{sink, state};
    std::vector<int> timers;
    int changes = 0, over = 0, editors = 0;
    PlayerBed() {
        state.Messages = &messages;
        player.SetEndTimer = [this](int ms) { timers.push_back(ms); };
        player.StateChanged = [this] { ++changes; };
        player.PlaybackOver = [this] { ++over; };
        player.ShowEditor = [this] { ++editors; };
    }
    std::string Tone(const char* name, double seconds, int rate = 22050) {
        const std::string path = dir / name;
        test::WriteTone(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, rate, 2, seconds);
        return path;
    }
};

TEST(AudioPlayer, PlaysTimesAndStops) {
    PlayerBed bed;
    const std::string path = bed.Tone("horn.wav", 2.5);
    EXPECT_TRUE(bed.player.Ready());
    ASSERT_EQ(bed.player.Play(path), "");
    EXPECT_TRUE(bed.player.Playing());
    EXPECT_FALSE(bed.player.Ready());
    EXPECT_EQ(bed.player.EndInterval(), 2600);
    EXPECT_EQ(bed.timers, std::vector<int>{2600});
    EXPECT_DOUBLE_EQ(bed.player.Duration(), 2.5);
    EXPECT_EQ(bed.sink.pulled, 22050 * 5 / 2);
    EXPECT_EQ(bed.sink.rate, 22050);
    EXPECT_EQ(bed.sink.channels, 2);
    bed.sink.position = 22050;
    EXPECT_EQ(bed.player.Progress(), 40);

    bed.player.Stop();
    EXPECT_FALSE(bed.player.Playing());
    EXPECT_TRUE(bed.player.Ready());
    EXPECT_EQ(bed.sink.stops, 1);
    EXPECT_EQ(bed.timers.back(), 0);
    EXPECT_EQ(bed.player.Progress(), 0);
    EXPECT_EQ(bed.changes, 2);

    bed.player.OpenEditor();
    EXPECT_EQ(bed.editors, 1);
    EXPECT_TRUE(bed.messages.messages.empty());
}

TEST(AudioPlayer, ReportsWhatCannotPlay) {
    PlayerBed bed;
    EXPECT_EQ(bed.player.Play(bed.dir / "gone.wav"), "File not found: " + (bed.dir / "gone.wav"));
    WriteBytes(bed.dir / "bad.mp4", "....ftypM4A not a sound libsndfile reads");
    EXPECT_EQ(bed.player.Play(bed.dir / "bad.mp4").rfind("Cannot Create Audio Stream: ", 0), 0u);
    bed.sink.startError = 3;
    EXPECT_EQ(bed.player.Play(bed.Tone("a.wav", 0.2)), "Cannot Play Audio Stream: 3 (refused)");
    EXPECT_FALSE(bed.player.Playing());
    EXPECT_TRUE(bed.timers.empty());
    // A sound of no length still ends.
    bed.sink.startError = 0;
    ASSERT_EQ(bed.player.Play(bed.Tone("empty.wav", 0.0)), "");
    EXPECT_EQ(bed.player.EndInterval(), 100);
    EXPECT_EQ(bed.player.Progress(), 0);
}

TEST(AudioPlayer, OnlyTheEditorsOwnPlaybackChains) {
    PlayerBed bed;
    const std::string path = bed.Tone("a.wav", 0.1);
    ASSERT_EQ(bed.player.PlayChained(path), "");
    bed.player.EndTimerFired();
    EXPECT_EQ(bed.over, 1);
    EXPECT_FALSE(bed.player.Playing());

    // A file-list play after it does not chain through the editor's list.
    ASSERT_EQ(bed.player.Play(path), "");
    bed.player.EndTimerFired();
    EXPECT_EQ(bed.over, 1);
    // Nor does a chained play that was stopped by hand, or a late timer.
    ASSERT_EQ(bed.player.PlayChained(path), "");
    bed.player.Stop();
    bed.player.EndTimerFired();
    EXPECT_EQ(bed.over, 1);
    // A new play replaces the one playing.
    ASSERT_EQ(bed.player.PlayChained(path), "");
    ASSERT_EQ(bed.player.Play(path), "");
    EXPECT_EQ(bed.sink.starts, 5);
    bed.player.EndTimerFired();
    EXPECT_EQ(bed.over, 1);
}

TEST(AudioPlayer, WithoutADeviceSaysSoOnceAtTheFirstRequest) {
    PlayerBed bed;
    RecordingCommandBus bus;
    bed.state.CommandTarget = &bus;
    bed.sink.hasOutput = false;
    EXPECT_EQ(bed.sink.opens, 0);
    EXPECT_FALSE(bed.player.Ready());
    EXPECT_FALSE(bed.player.Ready());
    EXPECT_EQ(bed.player.Play(bed.Tone("a.wav", 0.1)), std::string(".") + kAudioInitError);
    EXPECT_EQ(bed.sink.opens, 1);
    EXPECT_EQ(bed.sink.starts, 0);
    // In the status bar, once; no box to click away.
    EXPECT_TRUE(bed.messages.messages.empty());
    EXPECT_EQ(bus.sent, (std::vector<std::pair<int, std::string>>{{ccStatusText, std::string("2|") + kAudioInitError}}));
}

}  // namespace
}  // namespace kelvarn
