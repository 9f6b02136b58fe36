// The audio player as the program wires it: the file list's Autoplay, the audio editor behind 2201,
// its Save into the main config and its Repair, all on a fake output device.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/ProgramTestBed.h"
#include "catalogue/OutlineDocument.h"
#include "catalogue/ui/AssetFrames.h"
#include "catalogue/ui/CheckList.h"
#include "catalogue/ui/FileView.h"
#include "media/AudioTones.h"
#include "media/AudioPlayer.h"
#include "media/FakeAudioSink.h"
#include "media/ui/AudioForm.h"
#include "shell/CommandBus.h"
#include "shell/ui/Alert.h"
#include "shell/ui/MainWindow.h"

namespace kelvarn {
namespace {

struct AudioBed {
    test::FakeAudioSink* sink = nullptr;
    test::ProgramTestBed bed;
    explicit AudioBed(bool autoplay, bool device = true) {
        TProgramWindows::MakeAudioSink = [this, device] {
            auto fake = std::make_unique<test::FakeAudioSink>();
            fake->hasOutput = device;
            sink = fake.get();
            return fake;
        };
        const std::string asset = bed.AssetRoot() + "/horn";
        test::WriteBytes(asset + "/config.txt", "kind \"scenery\"\r\nkuid <kuid:1:1>\r\nusername \"Horn\"\r\n");
        std::filesystem::create_directories(asset + "/sounds");
        test::WriteTone(asset + "/a.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 22050, 1, 0.5);
        test::WriteTone(asset + "/sounds/b.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 48000, 1, 0.25);
        test::WriteBytes(asset + "/sounds/door.wav", "");
        bed.Start(autoplay ? "Autoplay=1\r\n" : "Autoplay=0\r\n");
        TProgramWindows::MakeAudioSink = nullptr;
    }
    TFileList& Files() { return bed.windows->Assets().Files(); }
    int IndexOf(const std::string& text) { return Files().IndexOf(text); }
    // Selects a file and shows it, as a click in the list does.
    void Show(const std::string& text) {
        Files().SetCurrentFile(IndexOf(text));
        Files().ShowSelectedFile(true);
    }
};

TEST(AudioWiring, AutoplayPlaysAShownSoundAndAlertsOnABadOne) {
    AudioBed audio(true);
    ASSERT_NE(audio.sink, nullptr);
    ASSERT_EQ(audio.bed.state.Audio, &audio.bed.windows->Audio());
    audio.Show("a.wav");
    EXPECT_EQ(audio.sink->starts, 1);
    EXPECT_EQ(audio.sink->pulled, 11025);
    EXPECT_TRUE(audio.bed.windows->Audio().Playing());
    audio.bed.windows->Audio().Stop();

    audio.Show("sounds\\door.wav");
    EXPECT_EQ(audio.sink->starts, 1);
    TAlert& alert = *audio.bed.Main().Frame(TFrameId::FileList)->Alert();
    EXPECT_NE(alert.Text().find("Cannot Create Audio Stream: "), std::string::npos) << alert.Text();
}

// A machine without a sound device: autoplay says so once, in the status bar, and every later click
// on a sound goes on without a word.
TEST(AudioWiring, WithoutADeviceAutoplaySaysSoOnceWithoutABox) {
    AudioBed audio(true, false);
    audio.Show("a.wav");
    EXPECT_EQ(audio.bed.Panel(4), kAudioInitError);
    audio.Show("config.txt");
    audio.Show("a.wav");
    audio.Show("sounds\\door.wav");
    EXPECT_TRUE(audio.bed.messages.texts.empty()) << audio.bed.messages.texts.front();
    EXPECT_EQ(audio.sink->opens, 1);
    EXPECT_EQ(audio.sink->starts, 0);
}

TEST(AudioWiring, AClickOnTheCheckColumnTagsWithoutPlaying) {
    AudioBed audio(true);
    TCheckListView* view = audio.bed.windows->Assets().FileView()->List();
    const int row = audio.IndexOf("a.wav");
    audio.Files().SetCurrentFile(audio.IndexOf("config.txt"));
    auto at = [&](int x) { return QPoint(x, view->visualRect(view->model()->index(row, 0)).center().y()); };
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at(8));
    EXPECT_EQ(audio.sink->starts, 0);
    EXPECT_EQ(audio.bed.state.FileCount, 1);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at(60));
    EXPECT_EQ(audio.sink->starts, 1);
}

TEST(AudioWiring, NothingPlaysWithoutAutoplay) {
    AudioBed audio(false);
    audio.Show("a.wav");
    EXPECT_EQ(audio.sink->starts, 0);
}

TEST(AudioWiring, TheEditorOpensSavesADurationWithUndoAndRepairs) {
    AudioBed audio(false);
    audio.Files().SetCurrentFile(audio.IndexOf("a.wav"));
    TAudioForm& form = audio.bed.windows->AudioForm();
    TOutlineDocument& config = audio.bed.windows->Assets().ConfigDocument();
    std::vector<std::string> listed;
    int selected = -1;
    bool saved = false, repaired = false;
    QTimer::singleShot(0, &form, [&] {
        for (int i = 0; i < form.WaveList()->count(); ++i) listed.push_back(form.WaveList()->item(i)->text().toStdString());
        selected = form.WaveList()->currentRow();
        form.SaveToTagEdit()->setText("len");
        form.SaveToTagButton()->click();
        saved = config.GetValueByPath("config.txt\\extensions\\len") == "0.50" ||
                config.GetValueByPath("config.txt\\extensions\\len") == "\"0.50\"";
        form.WaveList()->setCurrentRow(1);
        form.bRepairClick();
        repaired = form.WaveList()->item(1)->text() == "sounds\\b.wav";
        form.close();
    });
    audio.bed.Main().Dispatcher().ExecuteMenuCommand(2201, "FileView");
    EXPECT_EQ(listed, (std::vector<std::string>{"a.wav", "sounds\\b.ogg", "sounds\\door.wav"}));
    EXPECT_EQ(selected, 0);
    EXPECT_TRUE(saved) << config.GetValueByPath("config.txt\\extensions\\len");
    EXPECT_TRUE(repaired);
    EXPECT_GE(audio.IndexOf("sounds\\b.wav"), 0);
    EXPECT_LT(audio.IndexOf("sounds\\b.ogg"), 0);
    audio.bed.Main().Bus().SendCommand(ccUndo, "");
    EXPECT_EQ(config.GetValueByPath("config.txt\\extensions\\len"), "");
}

// The program's own player, not a stand-in, plays the call before a "trainzutil" tool runs.
TEST(AudioWiring, ATrainzutilToolPlaysTheCall) {
    AudioBed audio(false);
    const std::string call = audio.bed.state.ProgramFolder + "bin/yourcall.mp3";
    ASSERT_GT(test::WriteTone(call, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 32000, 1, 0.75), 0);
    const std::string bar = "\xC2\xA6";
    audio.bed.windows->Assets().FileView()->RunTool(
        "Utility", "Utility" + bar + bar + "%bin%\\TrainzUtil.exe list" + bar + "1" + bar + "0" + bar + "0" + bar + "0" + bar);
    EXPECT_EQ(audio.sink->starts, 1);
    EXPECT_EQ(audio.sink->rate, 32000);
    EXPECT_EQ(audio.sink->channels, 1);
    // MP3 frames pad the end by up to 1152 samples.
    EXPECT_NEAR(audio.bed.windows->Audio().Duration(), 0.75, 1152.0 / 32000 + 0.001);
    EXPECT_NEAR(audio.sink->pulled, 24000, 1152);
}

}  // namespace
}  // namespace kelvarn
