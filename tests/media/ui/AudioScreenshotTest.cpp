// The audio editor on a real display, as a new user first sees it: a sound selected and its
// information shown. Saves the picture for a look.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QListWidget>
#include <QPlainTextEdit>
#include <filesystem>

#include "media/AudioTones.h"
#include "media/FakeAudioSink.h"
#include "media/ui/AudioForm.h"
#include "shell/ProgramState.h"
#include "support/QtTestSupport.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {
using namespace test;

TEST(AudioScreenshot, TheEditorWithAFilesInformation) {
    TestApp();
    TempDir dir;
    std::filesystem::create_directories(dir / "sounds");
    WriteTone(dir / "sounds/horn.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 2, 1.0);
    WriteTone(dir / "sounds/bell.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 22050, 1, 0.5);
    WriteTone(dir / "engine.wav", SF_FORMAT_WAV | SF_FORMAT_MS_ADPCM, 22050, 1, 2.0);
    FakeAudioSink sink;
    TProgramState state;
    TAudioPlayer player(sink, state);
    TAudioForm form(state, player);
    form.AssetFolder = [&] { return dir.Path(); };
    form.CurrentFile = [] { return std::string("sounds\\horn.wav"); };
    form.show();
    QApplication::processEvents();
    EXPECT_EQ(form.WaveList()->currentItem()->text().toStdString(), "sounds\\horn.wav");
    EXPECT_NE(form.WaveData()->toPlainText().toStdString().find("192,044 bytes"), std::string::npos);
    const QImage shot = form.grab().toImage();
    ASSERT_FALSE(shot.isNull());
    ASSERT_TRUE(shot.save(KELVARN_SCREENSHOT));
}

}  // namespace
}  // namespace kelvarn
