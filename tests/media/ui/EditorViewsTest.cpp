// The descriptor and level-of-detail frames: fields and text kept in step both ways, saves and their
// refusals, the questions before closing, and their branches of showing a file in the main window.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <filesystem>

#include "../CorpusSupport.h"
#include "media/TextureDescriptor.h"
#include "media/ui/EditedFrame.h"
#include "media/ui/EditorViewRows.h"
#include "media/ui/LODView.h"
#include "media/ui/TextureView.h"
#include "shell/ProgramState.h"
#include "shell/ui/Alert.h"
#include "support/QtTestSupport.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {

using test::TempDir;

class EditorFrames : public ::testing::Test {
protected:
    EditorFrames() {
        test::TestApp();
        state.Messages = &messages;
        state.SetAssetPath(dir.Path());
    }
    std::string Memo(const QPlainTextEdit* memo) const { return memo->toPlainText().toStdString(); }
    void Type(QPlainTextEdit* memo, const QString& text) {
        memo->selectAll();
        memo->insertPlainText(text);
    }

    TempDir dir;
    test::RecordingMessageSink messages;
    TProgramState state;
    test::RecordingCommandBus bus;
};

class TextureViewTest : public EditorFrames {
protected:
    TextureViewTest() { view.Init(&bus); }
    TTextureView view{state};
};

TEST_F(TextureViewTest, OpeningFillsTheFieldsAndWritesNothing) {
    test::WriteBytes(dir / "Wood.TGA", "x");
    test::WriteBytes(dir / "b.bmp", "x");
    const std::string bytes = "Primary=a.tga\nalpha=b.bmp\nTILE=ST\nCompression=dxt9\n";
    test::WriteBytes(dir / "wood.texture.txt", bytes);
    ASSERT_EQ(view.LoadFile(dir / "wood.texture.txt", 0), "");
    EXPECT_EQ(view.Combo(0)->currentText(), "a.tga");  // not in the folder: kept as named
    EXPECT_EQ(view.Combo(1)->currentText(), "b.bmp");
    EXPECT_EQ(view.Combo(0)->count(), 2);
    EXPECT_TRUE(view.CheckBox(1)->isChecked());
    EXPECT_EQ(view.Combo(2)->currentText(), "st");
    EXPECT_TRUE(view.CheckBox(2)->isChecked());
    EXPECT_EQ(view.HelpLabel(2)->text(), "Horizontal and vertical tiling.");
    EXPECT_EQ(view.Combo(3)->currentIndex(), 0) << "an unknown value reads as not set";
    EXPECT_FALSE(view.CheckBox(3)->isChecked());
    EXPECT_EQ(view.HelpLabel(3)->text(), "Texture compression");
    EXPECT_EQ(view.CheckBox(4)->property("tag").toInt(), 4);
    EXPECT_FALSE(view.Modified());
    EXPECT_FALSE(view.Button("bSave")->isEnabled());
    EXPECT_TRUE(view.CloseQuery());
    EXPECT_TRUE(messages.messages.empty()) << "open then close asks nothing";
    EXPECT_EQ(test::ReadBytes(dir / "wood.texture.txt"), bytes);
    EXPECT_TRUE(bus.sent.empty());
}

TEST_F(TextureViewTest, FieldChangesRewriteTheTextAndSaveSends235) {
    test::WriteBytes(dir / "Wood.TGA", "x");
    test::WriteBytes(dir / "wood.texture.txt", "Primary=wood.tga\r\nTile=s\r\n");
    ASSERT_EQ(view.LoadFile(dir / "wood.texture.txt", 0), "");
    view.CheckBox(2)->click();  // untick Tile: its line goes
    EXPECT_EQ(Memo(view.Memo()), "Primary=wood.tga\n");
    EXPECT_EQ(view.HelpLabel(2)->text(), "Texture wrapping");
    view.CheckBox(2)->click();  // tick: the first value
    EXPECT_EQ(view.Combo(2)->currentText(), "st");
    view.Combo(7)->setCurrentIndex(2);  // AlphaHint masked
    EXPECT_TRUE(view.CheckBox(7)->isChecked());
    view.CheckBox(1)->click();  // Alpha takes the default image, named as on disk
    EXPECT_EQ(Memo(view.Memo()), "Primary=wood.tga\nAlpha=Wood.TGA\nTile=st\nAlphaHint=masked\n");
    EXPECT_TRUE(view.Modified());
    EXPECT_TRUE(view.Button("bSave")->isEnabled());
    view.Button("bSave")->click();
    EXPECT_EQ(test::ReadBytes(dir / "wood.texture.txt"),
              "Primary=wood.tga\r\nAlpha=Wood.TGA\r\nTile=st\r\nAlphaHint=masked\r\n");
    EXPECT_FALSE(view.Modified());
    EXPECT_EQ(bus.sent, (std::vector<std::pair<int, std::string>>{{ccFileSaved, "wood.texture.txt"}}));
}

TEST_F(TextureViewTest, HandEditsAreReadBackBeforeTheNextFieldChange) {
    test::WriteBytes(dir / "a.texture.txt", "Primary=a.tga\r\n");
    ASSERT_EQ(view.LoadFile(dir / "a.texture.txt", 0), "");
    Type(view.Memo(), "Primary = b.tga\nMipFilter=none\nFoo=bar\n");
    EXPECT_EQ(view.Combo(0)->currentText(), "b.tga");
    EXPECT_EQ(view.Combo(12)->currentText(), "none");
    EXPECT_EQ(view.Editor().Text, "Primary = b.tga\r\nMipFilter=none\r\nFoo=bar\r\n") << "the file's CR LF kept";
    view.CheckBox(2)->click();
    EXPECT_EQ(Memo(view.Memo()), "Primary=b.tga\nTile=st\nMipFilter=none\nFoo=bar\n") << "unknown key kept";
}

TEST_F(TextureViewTest, APrimaryLineFirstIsNeededToSave) {
    const std::string bytes = "Primary=a.tga\r\n";
    test::WriteBytes(dir / "a.texture.txt", bytes);
    ASSERT_EQ(view.LoadFile(dir / "a.texture.txt", 0), "");
    Type(view.Memo(), "Alpha=b.tga\nPrimary=a.tga\n");
    EXPECT_EQ(view.Alert()->Text(), "Primary texture must be defined");
    EXPECT_FALSE(view.Button("bSave")->isEnabled());
    EXPECT_EQ(view.SaveFile(view.ShownFile()), "Cannot save file: Primary texture is not defined");
    EXPECT_EQ(test::ReadBytes(dir / "a.texture.txt"), bytes);

    // Asked to save on an asset change, the refused text stays until given up.
    view.QuerySave();
    EXPECT_EQ(messages.messages.back(), "Cannot save file: Primary texture is not defined");
    view.Clear();
    EXPECT_EQ(Memo(view.Memo()), "Alpha=b.tga\nPrimary=a.tga\n");
    EXPECT_NE(view.LoadFile(dir / "a.texture.txt", 0), "");
    EXPECT_EQ(Memo(view.Memo()), "Alpha=b.tga\nPrimary=a.tga\n");
    messages.answers = {Answer::No};
    view.QuerySave();
    view.Clear();
    EXPECT_EQ(Memo(view.Memo()), "");

    ASSERT_EQ(view.LoadFile(dir / "a.texture.txt", 0), "");
    Type(view.Memo(), "primary=\n");
    EXPECT_EQ(view.Alert()->Text(), "") << "the refusal's alert goes once the text may be saved";
    EXPECT_TRUE(view.Button("bSave")->isEnabled());
    view.Button("bSave")->click();
    EXPECT_EQ(test::ReadBytes(dir / "a.texture.txt"), "primary=\r\n");
}

TEST_F(TextureViewTest, CloseFollowsTheAnswerAndKeepsTheEncoding) {
    test::WriteBytes(dir / "a.texture.txt", "Primary=caf\xE9.tga\r\n");
    ASSERT_EQ(view.LoadFile(dir / "a.texture.txt", 0), "");
    EXPECT_EQ(view.Combo(0)->currentText(), QString::fromUtf8("caf\xC3\xA9.tga"));
    view.CheckBox(2)->click();
    messages.answers = {Answer::Cancel, Answer::Yes};
    EXPECT_FALSE(view.CloseQuery());
    EXPECT_EQ(messages.messages.back(), "Save File: " + (dir / "a.texture.txt") + "?");
    EXPECT_TRUE(view.CloseQuery());
    EXPECT_EQ(test::ReadBytes(dir / "a.texture.txt"), "Primary=caf\xE9.tga\r\nTile=st\r\n");
    EXPECT_EQ(bus.sent.size(), 1u);
}

TEST_F(TextureViewTest, LoadFailureShowsInTheAlertAndHelpOpensTheWikiPage) {
    EXPECT_EQ(view.LoadFile(dir / "gone.texture.txt", 0), "Unable to load file: " + (dir / "gone.texture.txt"));
    EXPECT_EQ(view.Alert()->Text(), "Unable to load file: " + (dir / "gone.texture.txt"));
    std::string page;
    view.OpenHelpPage = [&page](const std::string& p) { page = p; };
    view.Button("bHelp")->click();
    EXPECT_EQ(page, "texture.txt");
}

class LodViewTest : public EditorFrames {
protected:
    LodViewTest() { view.Init(&bus); }
    void Load(const std::string& text) {
        test::WriteBytes(dir / "a.lm.txt", text);
        ASSERT_EQ(view.LoadFile(dir / "a.lm.txt", 0), "");
    }
    TLODView view{state};
};

constexpr const char* kLod =
    "version 1.0\r\noffset = 0.01;\r\ncalcPoint = near;\r\nmultiplier = 1.0;\r\nanimationCutOff = 0.00;\r\n"
    "renderCutOff = 0.00;\r\nattachmentCutOff = 0.00;\r\n\r\n"
    "mesh(\"10\") {\r\n  name=\"a.im\";\r\n}\r\nmesh(\"20\") {\r\n  name=\"b.im\";\r\n}\r\n";

TEST_F(LodViewTest, OpeningShowsTheFileAsItIsAndWritesNothing) {
    test::WriteBytes(dir / "a.im", "x");
    test::WriteBytes(dir / "c.IM", "x");
    Load(kLod);
    EXPECT_EQ(view.Edit("eVersion")->text(), "1.0");
    EXPECT_FALSE(TLODView::IsRed(view.Edit("eVersion"))) << "\"1.0\" stays \"1.0\", not red";
    EXPECT_FALSE(TLODView::IsRed(view.Edit("eMultiplier")));
    EXPECT_EQ(view.Edit("eOffset")->text(), "0.01");
    EXPECT_EQ(view.CalcPoint()->currentText(), "near");
    EXPECT_TRUE(view.RowBox(0)->isChecked());
    EXPECT_EQ(view.RowPercent(1)->text(), "20");
    EXPECT_EQ(view.RowFile(1)->currentText(), "b.im") << "a mesh not in the folder is kept";
    EXPECT_EQ(view.RowFile(0)->count(), 2);
    EXPECT_FALSE(view.RowBox(2)->isChecked());
    EXPECT_FALSE(view.Modified());
    EXPECT_TRUE(view.CloseQuery());
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(test::ReadBytes(dir / "a.lm.txt"), kLod);
    EXPECT_EQ(view.Editor().Text, kLod);
}

TEST_F(LodViewTest, RowsOutOfOrderTurnLightRedAndAreNotWritten) {
    Load(kLod);
    view.RowBox(2)->click();
    view.RowPercent(2)->setText("5");
    view.RowFile(2)->setCurrentText("c.im");
    EXPECT_FALSE(TLODView::IsRed(view.RowPercent(1)));
    EXPECT_TRUE(TLODView::IsRed(view.RowPercent(2)));
    EXPECT_EQ(view.RowPercent(2)->palette().color(QPalette::Base), QColor(0xFF, 0x97, 0x97));
    EXPECT_TRUE(TLODView::IsRed(view.RowPercent(5)));
    const std::string memo = Memo(view.Memo());
    EXPECT_NE(memo.find("mesh(\"20\") {\n  name=\"b.im\";\n}\n"), std::string::npos);
    EXPECT_EQ(memo.find("c.im"), std::string::npos);
    view.RowPercent(1)->setText("10");  // equal to the row above: rows 2 to 6
    EXPECT_TRUE(TLODView::IsRed(view.RowPercent(1)));
    EXPECT_FALSE(TLODView::IsRed(view.RowPercent(0)));
    view.Edit("eVersion")->setText("1");
    EXPECT_TRUE(TLODView::IsRed(view.Edit("eVersion")));
    EXPECT_TRUE(view.Modified());
    EXPECT_TRUE(view.Button("bSave")->isEnabled());
}

TEST_F(LodViewTest, OwnOutputReadsBackAndSavesWithCrLf) {
    Load("");
    EXPECT_EQ(Memo(view.Memo()),
              "version 1.0\noffset = 0.01;\ncalcPoint = center;\nmultiplier = 1.0;\nanimationCutOff = 0.00;\n"
              "renderCutOff = 0.00;\nattachmentCutOff = 0.00;\n");
    EXPECT_FALSE(view.RowBox(0)->isChecked());
    EXPECT_FALSE(view.Modified());
    view.RowBox(0)->click();
    view.RowPercent(0)->setText("1.0");
    view.RowFile(0)->setCurrentText("x.im");
    view.Edit("eRenderCutOff")->setText("");
    view.Button("bSave")->click();
    EXPECT_EQ(bus.sent, (std::vector<std::pair<int, std::string>>{{ccFileSaved, "a.lm.txt"}}));
    const std::string written = test::ReadBytes(dir / "a.lm.txt");
    EXPECT_NE(written.find("renderCutOff = 0.0;\r\n"), std::string::npos) << "an empty field writes 0.0";
    EXPECT_NE(written.find("mesh(\"1.0\") {\r\n  name=\"x.im\";\r\n}\r\n"), std::string::npos);
    view.Button("bReload")->click();
    EXPECT_EQ(view.RowPercent(0)->text(), "1.0");
    EXPECT_EQ(view.RowFile(0)->currentText(), "x.im");
    EXPECT_TRUE(view.RowBox(0)->isChecked());
    EXPECT_EQ(view.Editor().Text, written);
}

TEST_F(LodViewTest, HandEditsFillTheFieldsAndHelpOpensItsPage) {
    Load(kLod);
    Type(view.Memo(), "version 1.0\ncalcPoint = far;\nmesh(\"3\") {\n  name=\"z.im\";\n}\n");
    EXPECT_EQ(view.CalcPoint()->currentText(), "far");
    EXPECT_EQ(view.RowFile(0)->currentText(), "z.im");
    EXPECT_FALSE(view.RowBox(1)->isChecked());
    view.Edit("eOffset")->setText("0.5");
    EXPECT_NE(Memo(view.Memo()).find("mesh(\"3\") {\n  name=\"z.im\";\n}"), std::string::npos);
    std::string page;
    view.OpenHelpPage = [&page](const std::string& p) { page = p; };
    view.Button("bHelp")->click();
    EXPECT_EQ(page, "lm.txt");
}

TEST_F(LodViewTest, RowsPastTheSixthSurviveAFieldEditAndTheSave) {
    std::string text = kLod;
    for (int i = 3; i <= 7; ++i)
        text += "mesh(\"" + std::to_string(i * 10) + "\") {\r\n  name=\"m" + std::to_string(i) + ".im\";\r\n}\r\n";
    Load(text);
    EXPECT_EQ(view.RowFile(5)->currentText(), "m6.im");
    view.Edit("eOffset")->setText("0.02");
    ASSERT_TRUE(view.Editor().Modified);
    view.Button("bSave")->click();
    std::string expected = text;
    expected.replace(expected.find("0.01"), 4, "0.02");
    EXPECT_EQ(test::ReadBytes(dir / "a.lm.txt"), expected) << "only the offset changed";
    EXPECT_EQ(LodFile::Parse(Memo(view.Memo())).LastMeshName(), "m7.im");
}

// The frames in the main window: callback 220 shows each kind of file in its own frame.
class EditorsInMain : public EditorFrames {
protected:
    EditorsInMain() {
        test::RecordingFrames recording(log);
        frames = recording.frames;
        files = recording.files;
        frames.textureDescriptor = texture = new TTextureView(state);
        frames.levelOfDetail = lod = new TLODView(state);
        delete recording.descriptor;
        delete recording.lod;
        main = std::make_unique<TMain>(state, frames, std::vector<std::string>{});
        ConnectEditorViews(*main, *texture, *lod);
        main->FormShow();
    }
    test::CallLog log;
    TMainFrames frames;
    test::Recording<TFrame<IFrame>>* files = nullptr;
    TTextureView* texture = nullptr;
    TLODView* lod = nullptr;
    std::unique_ptr<TMain> main;
};

TEST_F(EditorsInMain, DescriptorsAndLodFilesOpenInTheirFrames) {
    test::WriteBytes(dir / "a.texture.txt", "Primary=a.tga\r\nTile=st\r\n");
    test::WriteBytes(dir / "a.lm.txt", kLod);
    main->Bus().SendCommand(ccShowFile, dir / "a.texture.txt");
    EXPECT_EQ(main->ActiveViewer(), TFrameId::TextureDescriptor);
    EXPECT_EQ(main->ViewerInFront(), texture);
    EXPECT_EQ(texture->Combo(2)->currentText(), "st");
    main->Bus().SendCommand(ccShowFile, dir / "a.lm.txt");
    EXPECT_EQ(main->ActiveViewer(), TFrameId::LevelOfDetail);
    EXPECT_EQ(lod->ShownFile(), dir / "a.lm.txt");
    EXPECT_TRUE(messages.messages.empty());

    // A changed descriptor is saved from the main window's save row, and 235 reaches the main window.
    main->Bus().SendCommand(ccShowFile, dir / "a.texture.txt");
    texture->CheckBox(2)->click();
    main->Bus().SendCommand(ccSaveFile, dir / "a.texture.txt");
    EXPECT_EQ(test::ReadBytes(dir / "a.texture.txt"), "Primary=a.tga\r\n");
    EXPECT_FALSE(texture->Modified());
}

TEST(EditedFrameText, MemoLineEndsFollowTheFile) {
    EXPECT_EQ(MemoTextToFile("a\nb\n", "x\r\ny\r\n"), "a\r\nb\r\n");
    EXPECT_EQ(MemoTextToFile("a\nb\n", "x\ny\n"), "a\nb\n");
    EXPECT_EQ(MemoTextToFile("a\nb", ""), "a\r\nb") << "text made here uses CR LF";
    EXPECT_EQ(FileTextToMemo("a\r\nb\rc\n").toStdString(), "a\nb\nc\n");
}

// Real descriptors: opened, a field ticked and unticked, saved and opened again give the fields they
// had; opening alone changes nothing.
TEST_F(TextureViewTest, RealDescriptorsKeepTheirFieldsThroughAnEdit) {
    KELVARN_NEED_CORPUS();
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(test::CorpusFolder()))
        if (entry.is_regular_file() && entry.path().string().ends_with(".texture.txt"))
            found.push_back(entry.path().string());
    ASSERT_GE(found.size(), 10u);
    int n = 0;
    bool sawLf = false, sawCrLf = false;
    for (const std::string& original : found) {
        const std::string copy = dir / ("c" + std::to_string(n++) + ".texture.txt");
        const std::string bytes = test::ReadBytes(original);
        (bytes.find("\r\n") != std::string::npos ? sawCrLf : sawLf) = true;
        test::WriteBytes(copy, bytes);
        ASSERT_EQ(view.LoadFile(copy, 0), "") << original;
        const TextureDescriptor before = view.Editor().Fields;
        ASSERT_FALSE(before.Primary.empty()) << original;
        EXPECT_TRUE(view.CloseQuery());
        EXPECT_EQ(test::ReadBytes(copy), bytes) << original;
        view.CheckBox(2)->click();
        view.CheckBox(2)->click();
        view.Combo(2)->setCurrentIndex(before.Items[2]);  // back to what the file said
        EXPECT_TRUE(view.Modified());
        ASSERT_EQ(view.SaveFile(copy), "") << original;
        ASSERT_EQ(view.LoadFile(copy, 0), "");
        EXPECT_EQ(view.Editor().Fields, before) << original;
    }
    EXPECT_TRUE(sawCrLf);
    EXPECT_TRUE(sawLf);
    EXPECT_TRUE(messages.messages.empty());
}

}  // namespace
}  // namespace kelvarn
