// The image view as src/app/ wires it, on real assets: a 32-bit icon beside its alpha, its refusal to
// be made non-uniform, the main menu's image items, the asset's own thumbnail, and the three image
// pages in the editor window.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

#include "ProgramTestBed.h"
#include "catalogue/AssetCatalogue.h"
#include "catalogue/EditorLayout.h"
#include "catalogue/ui/AssetFrames.h"
#include "catalogue/ui/AssetList.h"
#include "catalogue/ui/CheckList.h"
#include "catalogue/ui/Editor.h"
#include "media/ui/ImagePages.h"
#include "media/ui/ImageView.h"
#include "media/ui/Splash.h"
#include "shell/PathText.h"
#include "shell/Text.h"
#include "shell/ui/Alert.h"

namespace kelvarn {
namespace {

namespace fs = std::filesystem;

class ImageWiring : public ::testing::Test {
protected:
    void SetUp() override {
        if (test::ProgramTestBed::Corpus("schedule-commands").empty()) GTEST_SKIP() << "../shared/corpus is absent";
        bed.CopyAsset(test::ProgramTestBed::Corpus("schedule-commands") / "DisableRepeatCommand");
        bed.CopyAsset(test::ProgramTestBed::Corpus("jos-scanner"));
        bed.Start();
        view = static_cast<TImageView*>(bed.Main().Frame(TFrameId::Image));
    }
    void Show(const std::string& asset, const std::string& file) {
        bed.state.SetAssetPath(bed.AssetRoot() + "/" + asset);
        bed.state.SetAssetFileName(file);
        bed.Main().Bus().SendCommand(ccShowFile, bed.AssetRoot() + "/" + asset + "/" + file);
        QApplication::processEvents();
    }
    // Presses a header button whose page opens modally; `look` runs inside it, then it is cancelled.
    void InPage(const char* button, const std::function<void(TEditor&)>& look) {
        TEditor& editor = bed.windows->Editor();
        bool seen = false;
        QTimer::singleShot(0, [&] {
            seen = editor.isVisible();
            if (seen) look(editor);
            editor.bCancel->click();
        });
        view->Button(button)->click();
        EXPECT_TRUE(seen) << button;
    }
    static void Shot(QWidget& widget, const std::string& name) {
        if (const char* folder = std::getenv("KELVARN_SCREENSHOTS")) {
            EXPECT_TRUE(widget.grab().save(QString::fromStdString(std::string(folder) + "/" + name)));
        }
    }

    test::ProgramTestBed bed;
    TImageView* view = nullptr;
};

TEST_F(ImageWiring, ARealIconShowsBesideItsAlphaAndRefusesToBeMadeNonUniform) {
    Show("DisableRepeatCommand", "icon.tga");
    ASSERT_FALSE(view->Bitmap().Empty());
    EXPECT_GT(view->AlphaKind(), 0);
    EXPECT_NE(view->Layout(), 0);
    EXPECT_EQ(bed.Main().ActiveViewer(), TFrameId::Image);
    EXPECT_EQ(bed.Panel(4).rfind("TGA Image: ", 0), 0u) << bed.Panel(4);
    // The icon is both Primary and Alpha of its descriptor.
    EXPECT_EQ(view->MakeNonUniform(false), "File is referenced in an alpha texture: " + view->ShownFile());
    TImageLayer* a = view->LayerA();
    view->LayerMouseMove(a, {a->width() / 2, a->height() / 2});
    EXPECT_EQ(a->Hint()->text(), "Mask");
    EXPECT_TRUE(a->Hint()->isVisible());
    Shot(bed.Main(), "image-view-32bit-tga.png");
}

TEST_F(ImageWiring, TheFloatingPreviewIsTheSplashWindowWithThePicturesAlpha) {
    Show("DisableRepeatCommand", "icon.tga");
    view->MenuAction("mFloatPreview")->trigger();
    QApplication::processEvents();
    TSplash* splash = nullptr;
    for (QWidget* w : bed.Main().findChildren<QWidget*>("Splash"))
        if (auto* s = dynamic_cast<TSplash*>(w)) splash = s;
    ASSERT_NE(splash, nullptr);
    EXPECT_TRUE(splash->isVisible());
    EXPECT_EQ(splash->Shown().size(), QSize(view->Bitmap().Width, view->Bitmap().Height));
    // A transparent pixel of the icon stays transparent in the window.
    bool anyClear = false;
    for (int y = 0; y < splash->Shown().height() && !anyClear; ++y)
        for (int x = 0; x < splash->Shown().width() && !anyClear; ++x) anyClear = qAlpha(splash->Shown().pixel(x, y)) == 0;
    EXPECT_TRUE(anyClear);
    Shot(*splash, "image-floating-preview.png");
    view->MenuAction("mFloatPreview")->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(splash->isVisible());
}

// The main-menu rules own group 1000's image items.
TEST_F(ImageWiring, TheMainMenusImageItemsFollowTheViewAndTheAssetFolder) {
    TAssetCatalogue& catalogue = bed.windows->Assets().Catalogue();
    for (int i = 0; i < catalogue.Count(); ++i)
        if (EndsWithText(ExcludeTrailingSeparator(catalogue.Entry(i).folder), "DisableRepeatCommand")) catalogue.SelectAsset(i);
    QApplication::processEvents();
    Show("DisableRepeatCommand", "icon.tga");
    TMain& main = bed.Main();
    main.Dispatcher().ValidateMenu(1000);
    EXPECT_TRUE(main.MenuItem("mSaveImageAs")->isVisible());
    EXPECT_TRUE(main.MenuItem("mScreenshot")->isEnabled());
    EXPECT_TRUE(main.MenuItem("mRedTga")->isEnabled());
    view->Button("bInvertAlpha")->click();
    main.Dispatcher().ExecuteMenuCommand(1020, "red.tga");
    main.Dispatcher().ValidateMenu(1000);
    EXPECT_FALSE(main.MenuItem("mScreenshot")->isEnabled());  // not while the picture is edited
    EXPECT_FALSE(main.MenuItem("mRedTga")->isEnabled());
    EXPECT_TRUE(main.MenuItem("mBlueTga")->isEnabled());
}

TEST_F(ImageWiring, TheAssetsOwnThumbnailIsFound) {
    bed.state.SetAssetPath(bed.AssetRoot() + "/jos-scanner");
    EXPECT_EQ(view->FindThumbnail(), "JPG Image: 240 x 180  [NOT VALID AS TEXTURE]");
    EXPECT_EQ(ExtractFileName(view->ShownFile()), "tmb.jpg");
}

// A click on the asset in the list runs the whole select sequence (frames cleared, files and config
// loaded, preview shown, then the list's own count on release): the thumbnail's description is what
// the status bar holds at the end, as it is after the first asset is selected at start.
TEST_F(ImageWiring, SelectingAnAssetLeavesItsThumbnailsDescriptionInTheStatusBar) {
    const std::string description = "JPG Image: 240 x 180  [NOT VALID AS TEXTURE]";
    TAssetCatalogue& catalogue = bed.windows->Assets().Catalogue();
    ASSERT_EQ(catalogue.Count(), 2);
    const int scanner = EndsWithText(ExcludeTrailingSeparator(catalogue.Entry(0).folder), "jos-scanner") ? 0 : 1;
    TCheckListView* list = bed.windows->Assets().AssetList()->List();
    auto click = [&](int row) {
        const QPoint at(60, list->visualRect(list->model()->index(row, 0)).center().y());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QApplication::processEvents();
    };
    if (catalogue.Selected() == scanner) {
        EXPECT_EQ(bed.Panel(4), description) << "selected at start";
        click(1 - scanner);
    }
    click(scanner);
    ASSERT_EQ(ExtractFileName(view->ShownFile()), "tmb.jpg");
    EXPECT_EQ(bed.Panel(4), description);
    EXPECT_EQ(bed.Panel(0), "Assets: 0/2");
}

TEST_F(ImageWiring, TheThreeImagePagesOpenInTheEditorWindow) {
    Show("DisableRepeatCommand", "icon.tga");
    InPage("bResize", [&](TEditor& editor) {
        EXPECT_EQ(editor.ShownPage(esD), 2);
        EXPECT_EQ(editor.windowTitle().toStdString().rfind("Resize Image (", 0), 0u);
        EXPECT_FALSE(editor.bOK->isEnabled());
        Shot(editor, "image-page-resize.png");
    });
    EXPECT_TRUE(bed.windows->Editor().bOK->isEnabled());
    InPage("bMaskFromImage", [&](TEditor& editor) {
        EXPECT_EQ(editor.ShownPage(esD), 1);
        EXPECT_EQ(editor.windowTitle(), "Alpha Mask from Image");
        Shot(editor, "image-page-alpha-from-image.png");
    });
    // The merge page needs a picture of the same size.
    fs::copy_file(bed.AssetRoot() + "/DisableRepeatCommand/icon.tga", bed.AssetRoot() + "/DisableRepeatCommand/mask.tga");
    InPage("bImportAlpha", [&](TEditor& editor) {
        EXPECT_EQ(editor.ShownPage(esD), 3);
        EXPECT_EQ(editor.windowTitle().toStdString().rfind("Select Image to Merge (", 0), 0u);
        Shot(editor, "image-page-merge.png");
    });
    EXPECT_FALSE(view->Modified());  // every page was cancelled
}

}  // namespace
}  // namespace kelvarn
