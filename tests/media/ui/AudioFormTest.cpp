#include "media/ui/AudioForm.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <cstring>
#include <filesystem>

#include "media/AudioTones.h"
#include "media/FakeAudioSink.h"
#include "media/ui/QtAudioSink.h"
#include "shell/ProgramState.h"
#include "support/QtTestSupport.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {
using namespace test;

struct FormBed {
    struct AppFirst {
        AppFirst() { TestApp(); }
    } app;
    TempDir dir;
    FakeAudioSink sink;
    TProgramState state;
    RecordingMessageSink messages;
    TAudioPlayer player{sink, state};
    TAudioForm form{state, player};
    std::string current;
    std::vector<std::pair<std::string, std::string>> saved;
    int filesChanged = 0;

    FormBed() {
        state.Messages = &messages;
        form.AssetFolder = [this] { return dir.Path(); };
        form.CurrentFile = [this] { return current; };
        form.SaveTag = [this](const std::string& path, const std::string& value) {
            saved.emplace_back(path, value);
            return std::string();
        };
        form.FilesChanged = [this] { ++filesChanged; };
        player.StateChanged = [this] { form.UpdateControls(); };
        player.PlaybackOver = [this] { form.PlaybackOver(); };
        std::filesystem::create_directories(dir / "sounds");
        WriteTone(dir / "a.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 22050, 1, 0.5);
        WriteTone(dir / "sounds/b.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 48000, 2, 0.25);
        WriteTone(dir / "sounds/c.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 11025, 1, 1.0);
    }
    std::vector<std::string> Listed() const {
        std::vector<std::string> out;
        for (int i = 0; i < form.WaveList()->count(); ++i) out.push_back(form.WaveList()->item(i)->text().toStdString());
        return out;
    }
};

TEST(AudioForm, ShowsTheCurrentFileAndItsInformation) {
    FormBed bed;
    bed.current = "sounds\\c.wav";
    bed.form.FormShow();
    EXPECT_EQ(bed.form.windowTitle().toStdString(), "Kelvarn Audio Editor");
    EXPECT_EQ(bed.Listed(), (std::vector<std::string>{"a.wav", "sounds\\b.ogg", "sounds\\c.wav"}));
    EXPECT_EQ(bed.form.WaveList()->currentRow(), 2);
    const std::string info = bed.form.WaveData()->toPlainText().toStdString();
    EXPECT_NE(info.find("c.wav"), std::string::npos);
    EXPECT_NE(info.find("11025"), std::string::npos);
    EXPECT_EQ(bed.form.WaveData()->contextMenuPolicy(), Qt::NoContextMenu);
    // A click shows another file's information; a file the list does not hold selects the first.
    bed.form.WaveList()->setCurrentRow(1);
    EXPECT_NE(bed.form.WaveData()->toPlainText().toStdString().find("Ogg Vorbis"), std::string::npos);
    bed.current = "elsewhere.wav";
    bed.form.FormShow();
    EXPECT_EQ(bed.form.WaveList()->currentRow(), 0);
}

TEST(AudioForm, PlaysAndChainsWithAutoplayOnly) {
    FormBed bed;
    bed.form.FormShow();
    bed.form.bPlayClick();
    EXPECT_TRUE(bed.player.Playing());
    EXPECT_FALSE(bed.form.PlayButton()->isEnabled());
    EXPECT_FALSE(bed.form.RepairButton()->isEnabled());
    EXPECT_FALSE(bed.form.WaveList()->isEnabled());
    EXPECT_TRUE(bed.form.StopButton()->isEnabled());
    EXPECT_EQ(bed.sink.pulled, 11025);
    // Without Autoplay the end stops there.
    bed.player.EndTimerFired();
    EXPECT_FALSE(bed.player.Playing());
    EXPECT_TRUE(bed.form.PlayButton()->isEnabled());
    EXPECT_EQ(bed.sink.starts, 1);

    bed.form.show();
    bed.form.AutoPlay()->setChecked(true);
    bed.form.bPlayClick();
    bed.player.EndTimerFired();
    EXPECT_EQ(bed.form.WaveList()->currentRow(), 1);
    EXPECT_TRUE(bed.player.Playing());
    EXPECT_EQ(bed.sink.rate, 48000);
    bed.player.EndTimerFired();
    EXPECT_EQ(bed.form.WaveList()->currentRow(), 2);
    bed.player.EndTimerFired();  // the last file: nothing follows
    EXPECT_FALSE(bed.player.Playing());
    EXPECT_EQ(bed.sink.starts, 4);

    // A play from elsewhere (the file list) does not run through the editor's list.
    bed.form.WaveList()->setCurrentRow(0);
    ASSERT_EQ(bed.player.Play(bed.dir / "a.wav"), "");
    bed.player.EndTimerFired();
    EXPECT_EQ(bed.form.WaveList()->currentRow(), 0);
    EXPECT_EQ(bed.sink.starts, 5);
    bed.form.close();
}

TEST(AudioForm, SavesAKnownDurationUnderAPlainName) {
    FormBed bed;
    bed.form.FormShow();
    QLineEdit* name = bed.form.SaveToTagEdit();
    EXPECT_FALSE(bed.form.SaveToTagButton()->isEnabled());
    for (const char* bad : {"a b", "x\"", "{", "a\\b"}) {
        name->setText(bad);
        EXPECT_FALSE(bed.form.SaveToTagButton()->isEnabled()) << bad;
    }
    name->setText("len");
    EXPECT_TRUE(bed.form.SaveToTagButton()->isEnabled());
    bed.form.SaveToTagButton()->click();
    ASSERT_EQ(bed.saved.size(), 1u);
    EXPECT_EQ(bed.saved[0].first, "config.txt\\extensions\\len");
    EXPECT_EQ(bed.saved[0].second, "\"0.50\"");
    // A file that does not open has no duration to save.
    WriteBytes(bed.dir / "zz.wav", "RIFF junk");
    bed.form.FormShow();
    bed.form.WaveList()->setCurrentRow(bed.form.WaveList()->count() - 1);
    EXPECT_FALSE(bed.form.SaveToTagButton()->isEnabled());
}

TEST(AudioForm, RepairReplacesTheSoundAndRefreshesTheLists) {
    FormBed bed;
    bed.form.FormShow();
    bed.form.WaveList()->setCurrentRow(1);
    bed.form.bRepairClick();
    EXPECT_TRUE(bed.messages.messages.empty());
    EXPECT_EQ(bed.filesChanged, 1);
    EXPECT_EQ(bed.Listed(), (std::vector<std::string>{"a.wav", "sounds\\b.wav", "sounds\\c.wav"}));
    EXPECT_EQ(bed.form.WaveList()->currentRow(), 1);
    EXPECT_NE(bed.form.WaveData()->toPlainText().toStdString().find("44100"), std::string::npos);
    EXPECT_EQ(bed.form.ProgressBar()->value(), 0);
    // A failed repair says why and changes nothing.
    WriteBytes(bed.dir / "zz.wav", "RIFF junk");
    bed.form.FormShow();
    bed.form.WaveList()->setCurrentRow(3);
    bed.form.bRepairClick();
    EXPECT_EQ(bed.messages.messages.size(), 1u);
    EXPECT_EQ(bed.filesChanged, 1);
    EXPECT_EQ(ReadBytes(bed.dir / "zz.wav"), "RIFF junk");
}

TEST(AudioForm, CloseCancelsARepair) {
    FormBed bed;
    WriteTone(bed.dir / "long.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 2, 30.0);
    const std::string before = ReadBytes(bed.dir / "long.wav");
    bed.form.show();
    bed.form.WaveList()->setCurrentRow(1);
    ASSERT_EQ(bed.form.WaveList()->currentItem()->text().toStdString(), "long.wav");
    QTimer::singleShot(0, &bed.form, [&] { bed.form.close(); });
    bed.form.bRepairClick();
    EXPECT_FALSE(bed.form.Repairing());
    EXPECT_TRUE(ReadBytes(bed.dir / "long.wav") == before);
    EXPECT_EQ(bed.filesChanged, 0);
    EXPECT_TRUE(bed.messages.messages.empty());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(bed.dir.Path()), std::filesystem::directory_iterator()), 3);
}

TEST(QtAudioSink, TheDeviceReadsTheDecodersBytes) {
    TempDir dir;
    WriteTone(dir / "t.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 8000, 2, 0.3);
    TAudioDecoder viaDevice, direct;
    ASSERT_EQ(viaDevice.Open(dir / "t.wav"), "");
    ASSERT_EQ(direct.Open(dir / "t.wav"), "");
    TDecoderDevice device;
    ASSERT_TRUE(device.OpenOn(viaDevice));
    QByteArray bytes;
    while (true) {
        const QByteArray part = device.read(1001);  // not a whole number of frames
        if (part.isEmpty()) break;
        bytes += part;
    }
    std::vector<std::int16_t> expected(2400 * 2);
    ASSERT_EQ(direct.Read(expected.data(), 2400), 2400);
    ASSERT_EQ(bytes.size(), static_cast<qsizetype>(expected.size() * 2));
    EXPECT_EQ(std::memcmp(bytes.constData(), expected.data(), expected.size() * 2), 0);
}

TEST(QtAudioSink, PlaysOnARealDevice) {
    TestApp();
    QtAudioSink sink;
    if (!sink.OpenOutput()) GTEST_SKIP() << "no audio output on this machine";
    TempDir dir;
    WriteTone(dir / "t.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2, 0.2);
    TAudioDecoder decoder;
    ASSERT_EQ(decoder.Open(dir / "t.wav"), "");
    std::string description;
    EXPECT_EQ(sink.Start(decoder, description), 0) << description;
    sink.Stop();
}

}  // namespace
}  // namespace kelvarn
