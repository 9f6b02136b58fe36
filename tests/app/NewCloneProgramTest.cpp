// Clone and New Asset from the main window's menus, through the editor's pages, as src/app/ wires
// them: the asset list takes the new folder and the outline shows it with its identity.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <filesystem>

#include "ProgramTestBed.h"
#include "catalogue/KuidMap.h"
#include "catalogue/OutlineDocument.h"
#include "catalogue/ui/AssetFrames.h"
#include "catalogue/ui/AssetPagesUi.h"
#include "catalogue/ui/Editor.h"
#include "catalogue/ui/OutlineView.h"
#include "shell/PathText.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/XEdit.h"

namespace kelvarn {
namespace {

namespace fs = std::filesystem;

// Answers the editor's next modal task once its loop runs; whatever `act` did, the loop ends, so a
// test never hangs.
void WhenShown(TEditor& editor, std::function<void()> act) {
    QTimer::singleShot(0, &editor, [&editor, act] {
        if (!editor.isVisible()) {
            ADD_FAILURE() << "the editor is not shown";
            return;
        }
        act();
        if (editor.isVisible()) static_cast<QDialog&>(editor).done(0);
    });
}

TEST(NewCloneProgram, CloneFromTheMenuSelectsTheCopyWithItsNewIdentity) {
    test::ProgramTestBed bed;
    bed.CopySamples();
    bed.Start("[UserData]\r\nUserID=77\r\n[Options]\r\nNextCloneID=8000\r\n");
    TAssetCatalogue& list = bed.windows->Assets().Catalogue();
    const int boxcar = list.IndexOf(NativePath(bed.AssetRoot() + "/red-boxcar"));
    ASSERT_GE(boxcar, 0);
    list.SelectAsset(boxcar);
    const test::TFolderSnapshot before = test::SnapshotFolder(bed.AssetRoot() + "/red-boxcar");

    TEditor& editor = bed.windows->Editor();
    std::string caption, proposed;
    bool okAtOnce = false;
    WhenShown(editor, [&] {
        caption = editor.windowTitle().toStdString();
        proposed = editor.CloneEditor->cloneName->text().toStdString();
        okAtOnce = editor.bOK->isEnabled();
        editor.bOK->click();
    });
    bed.Main().MenuItem("mClone")->trigger();
    QApplication::processEvents();

    EXPECT_EQ(caption, "Clone: " + NativePath(bed.AssetRoot() + "/red-boxcar"));
    EXPECT_EQ(proposed, "CLONE OF red-boxcar");
    EXPECT_TRUE(okAtOnce);
    const std::string clone = NativePath(bed.AssetRoot() + "/CLONE OF red-boxcar");
    ASSERT_GE(list.Selected(), 0);
    EXPECT_EQ(list.Entry(list.Selected()).folder, clone);
    const TOutlineDocument& outline = bed.windows->Outline().Document();
    EXPECT_EQ(outline.ShownFolder(), clone);
    EXPECT_EQ(outline.GetValueByPath("config.txt\\kuid"), "<kuid:77:8000>");
    EXPECT_FALSE(outline.Modified());
    EXPECT_EQ(bed.state.AssetKuid(), "<kuid:77:8000>");
    // The tag specification makes the KUID a bare value.
    EXPECT_TRUE(ContainsStr(test::ReadBytes(clone + "/config.txt"), " <kuid:77:8000>\r\n"));
    EXPECT_EQ(bed.state.Settings().ReadString("Options", "NextCloneID", ""), "8001");
    std::string found;
    EXPECT_TRUE(FindAssetByKuid(ProgramKuidMap(), "<kuid:77:8000>", found));
    EXPECT_TRUE(test::Differences(before, test::SnapshotFolder(bed.AssetRoot() + "/red-boxcar")).empty());
    EXPECT_TRUE(bed.messages.texts.empty()) << bed.messages.texts.front();
}

TEST(NewCloneProgram, NewAssetFromTheMenuIsListed) {
    test::ProgramTestBed bed;
    bed.CopySamples();
    bed.Start("[UserData]\r\nUserID=77\r\n");
    TAssetCatalogue& list = bed.windows->Assets().Catalogue();
    list.SelectAsset(0);
    TEditor& editor = bed.windows->Editor();
    std::string reason;
    bool okWithoutName = true;
    WhenShown(editor, [&] {
        TNewAssetEditor& page = *editor.NewAssetEditor;
        page.newKUID->setText("42");
        page.newKind->setCurrentIndex(page.newKind->findText("scenery"));
        okWithoutName = editor.bOK->isEnabled();
        reason = editor.HelpLabel->text().toStdString();
        page.newFoldername->setText("fresh");
        editor.bOK->click();
    });
    bed.Main().MenuItem("mNewAsset")->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(okWithoutName);
    EXPECT_EQ(reason, "Folder name already exists or is invalid");
    const std::string folder = NativePath(bed.AssetRoot() + "/fresh");
    ASSERT_GE(list.Selected(), 0);
    EXPECT_EQ(list.Entry(list.Selected()).folder, folder);
    EXPECT_EQ(bed.windows->Outline().Document().GetValueByPath("config.txt\\kuid"), "<kuid:77:42>");
    EXPECT_EQ(bed.windows->Outline().Document().GetValueByPath("config.txt\\kind"), "scenery");
}

}  // namespace
}  // namespace kelvarn
