// The new-asset and clone tasks of the editor window: what the window shows, what OK needs and
// gives back; and pictures of both pages, kept in the build tree for a person to look at.
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QCheckBox>
#include <QStackedWidget>
#include <filesystem>

#include "EditorTestBed.h"
#include "catalogue/ui/AssetPagesUi.h"
#include "shell/ui/XEdit.h"

namespace kelvarn {
namespace {

namespace fs = std::filesystem;

struct PagesBed : test::EditorBed {
    PagesBed() {
        state.UserKuidId = "77";
        fs::create_directories(dir / "assets/bridge");
        test::WriteBytes(dir / "assets/bridge/config.txt", "kind \"scenery\"\r\n");
    }
    std::string Assets() const { return dir / "assets/"; }
};

TEST(EditorAssetPages, NewAssetPageWithItsReasonThenOk) {
    PagesBed bed;
    TEditor& e = *bed.editor;
    TNewAssetFields fields{{"bridge", "scenery"}, "", "", bed.Assets(), ""};
    bool okEnabled = true, previewShown = true;
    int shownPage = -1;
    std::string reason, focus;
    test::WhenShown(e, [&] {
        shownPage = e.ShownPage(esE);
        previewShown = e.cbPreview->isVisible();
        e.NewAssetEditor->newKUID->setText("42");
        e.NewAssetEditor->newKind->setCurrentIndex(1);
        okEnabled = e.bOK->isEnabled();
        reason = e.HelpLabel->text().toStdString();
        focus = e.FocusControl() ? e.FocusControl()->objectName().toStdString() : "";
        EXPECT_TRUE(e.grab().save(KELVARN_SCREENSHOT_DIR "/new-asset-page.png"));
        // OK while the name is missing keeps the window open.
        e.bOK->setEnabled(true);
        e.bOK->click();
        EXPECT_TRUE(e.isVisible());
        e.NewAssetEditor->newFoldername->setText("fresh");
        e.bOK->click();
    });
    ASSERT_TRUE(e.NewAssetDialog(800170, "New Asset ", fields));
    EXPECT_EQ(shownPage, epNewAsset);
    EXPECT_FALSE(previewShown);
    EXPECT_FALSE(okEnabled);
    EXPECT_EQ(reason, "Folder name already exists or is invalid");
    EXPECT_EQ(focus, "newKUID");
    EXPECT_EQ(e.windowTitle().toStdString(), "New Asset ");
    EXPECT_EQ(fields.kuid, "<kuid:77:42>");  // completed by OK
    EXPECT_EQ(fields.kind, "scenery");
    EXPECT_EQ(fields.folderName, "fresh");
    EXPECT_TRUE(e.bOK->isEnabled());  // the next task starts with OK usable

    // Cancel gives nothing back.
    test::WhenShown(e, [&] { e.bCancel->click(); });
    EXPECT_FALSE(e.NewAssetDialog(800170, "New Asset ", fields));
}

TEST(EditorAssetPages, ClonePageReadyAtOnce) {
    PagesBed bed;
    TEditor& e = *bed.editor;
    TCloneFields fields{"<kuid:77:8000>", "CLONE OF: Iron bridge", bed.Assets(), "CLONE OF bridge",
                        "CLONE OF KUID:1:2: A bridge\xC2\xB6over water", bed.dir / "assets/bridge"};
    bool okAtOnce = false;
    std::string description;
    test::WhenShown(e, [&] {
        okAtOnce = e.bOK->isEnabled();
        description = e.CloneEditor->cloneDescription->toPlainText().toStdString();
        EXPECT_TRUE(e.grab().save(KELVARN_SCREENSHOT_DIR "/clone-page.png"));
        e.CloneEditor->cloneUsername->setText("Mine");
        e.bOK->click();
    });
    ASSERT_TRUE(e.CloneAssetDialog(800275, "Clone: " + bed.dir / "assets/bridge", fields));
    EXPECT_TRUE(okAtOnce);
    EXPECT_EQ(description, "CLONE OF KUID:1:2: A bridge\nover water");
    EXPECT_EQ(fields.username, "Mine");
    EXPECT_EQ(fields.source, bed.dir / "assets/bridge");
    EXPECT_EQ(e.ShownPage(esE), epClone);
}

}  // namespace
}  // namespace kelvarn
