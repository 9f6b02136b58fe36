// The text reports in the program as src/app/ wires it: the queries of the command bus, a ".kin"
// file shown as text, the mesh view's "View as Text", the alert strips and the viewer window, and
// the editor's file header.
#include <gtest/gtest.h>

#include <QPushButton>
#include <cstdlib>
#include <QTest>

#include "ProgramTestBed.h"
#include "catalogue/ui/Editor.h"
#include "media/ImageBytes.h"
#include "media/TgaCodec.h"
#include "shell/Text.h"
#include "shell/ui/Alert.h"
#include "shell/ui/Frames.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/TextReports.h"
#include "shell/ui/Viewer.h"
#include "support/MeshFileBuilder.h"

namespace kelvarn {
namespace {

using Lines = std::vector<std::string>;

// With KELVARN_SHOTS set to a folder, the reports as they look are saved there to be looked at.
void Shot(QWidget& widget, const char* name) {
    if (const char* folder = std::getenv("KELVARN_SHOTS")) widget.grab().save(QString(folder) + "/" + name + ".png");
}

std::string SmallTga(int width, int height) {
    RawImage raw;
    raw.Width = width;
    raw.Height = height;
    raw.BytesPerPixel = 3;
    raw.Pixels.assign(static_cast<std::size_t>(width * height * 3), 0x80);
    return EncodeTga(raw);
}

// A mesh whose chunk dump is short: one point and nothing else.
std::string OnePointMesh() {
    return test::MeshFileBuilder().Attachments({{"a.one", test::kIdentity3, {1, 2, 3}}}).Bytes();
}

class ReportsInProgram : public ::testing::Test {
protected:
    void SetUp() override {
        test::WriteBytes(Asset("car.im"), test::MakeSampleMesh());
        test::WriteBytes(Asset("point.im"), OnePointMesh());
        test::WriteBytes(Asset("Icon.tga"), SmallTga(4, 2));
        test::WriteBytes(Asset("walk.kin"), test::MeshFileBuilder().Chunk("INFO", std::string(8, '\x01')).Bytes(0, "JIRF", "ANIM"));
        test::WriteBytes(Asset("empty.kin"), "");
        bed.Start();
    }
    std::string Folder() const { return bed.AssetRoot() + "/car"; }
    std::string Asset(const std::string& name) const { return Folder() + "/" + name; }
    // Makes the file the current asset file, as selecting it in the file list does.
    void Select(const std::string& name) {
        bed.state.SetAssetPath(Folder());
        bed.state.SetAssetFileName(name);
    }
    void Send(int code, const std::string& text) { bed.Main().Bus().SendCommand(code, text); }
    ITextViewer& Text() { return *dynamic_cast<ITextViewer*>(bed.Main().Frame(TFrameId::Text)); }
    TViewer& Viewer() { return bed.windows->Viewer(); }
    bool Undefined() const {
        for (const std::string& text : bed.messages.texts)
            if (text.find("Undefined") != std::string::npos) return true;
        return false;
    }

    test::ProgramTestBed bed;
};

TEST_F(ReportsInProgram, QueriesOverTheCommandBus) {
    ASSERT_NE(bed.state.TextLibrary, nullptr);
    bed.state.SetAssetPath(Folder());
    Send(ccImageSize, Asset("Icon.tga"));
    EXPECT_EQ(bed.state.ImageSizeInfo.Path, "Icon.tga");
    EXPECT_EQ(bed.state.ImageSizeInfo.Width, 4);
    EXPECT_EQ(bed.state.ImageSizeInfo.Height, 2);
    Send(ccImageSize, Asset("car.im"));
    EXPECT_EQ(bed.state.ImageSizeInfo.Width, 0);

    Send(ccMeshTextureProblems, Asset("car.im"));
    EXPECT_EQ(bed.state.TextureProblems, (Lines{"body.tga: file not found", "bump.tga: file not found", "env.tga: file not found"}));
    Send(ccMeshTextureProblems, Asset("point.im"));
    EXPECT_TRUE(bed.state.TextureProblems.empty());

    Send(ccTextCall, "4|" + Asset("car.im"));
    EXPECT_EQ(bed.state.ReportLines, (Lines{"a.one", "a.two"}));
    Send(ccTextCall, "x|" + Asset("car.im"));
    EXPECT_EQ(bed.state.ReportLines, (Lines{"a.one", "a.two"}));
    EXPECT_FALSE(Undefined());
}

TEST_F(ReportsInProgram, AnAnimationShowsAsTextAndAnEmptyOneLeavesTheView) {
    Send(ccShowFile, Asset("walk.kin"));
    EXPECT_EQ(bed.Main().ViewerInFront(), Text().Widget());
    const std::string shown = Text().Text();
    EXPECT_NE(shown.find("JIRF ANIM"), std::string::npos) << shown;
    EXPECT_NE(shown.find("INFO  offset 12  size 8  version 16843009"), std::string::npos) << shown;
    Send(ccShowFile, Asset("empty.kin"));
    EXPECT_EQ(Text().Text(), shown);
    EXPECT_FALSE(Undefined());
}

TEST_F(ReportsInProgram, ViewAsTextGoesToTheStripOrTheViewerByLength) {
    Select("point.im");
    bed.Main().Dispatcher().ExecuteMenuCommand(2651, "bViewAsText");
    TAlert* meshAlert = bed.Main().Frame(TFrameId::Mesh)->Alert();
    ASSERT_TRUE(meshAlert->IsOpen());
    EXPECT_TRUE(meshAlert->Text().starts_with("MESH FILE DATA: POINT.IM\nJIRF IDXM")) << meshAlert->Text();
    EXPECT_FALSE(Viewer().isVisible());
    if (std::getenv("KELVARN_SHOTS")) {
        // The strip as the user sees it below the mesh (a display with GL only).
        bed.Main().SetActiveViewer(TFrameId::Mesh);
        QTest::qWait(200);
        Shot(bed.Main(), "report-short");
    }

    Select("car.im");
    bed.Main().Dispatcher().ExecuteMenuCommand(2651, "bViewAsText");
    ASSERT_TRUE(Viewer().isVisible());
    EXPECT_EQ(Viewer().windowTitle().toStdString(), " Mesh File Data: car.im");
    EXPECT_EQ(Viewer().OkButton()->text().toStdString(), "Close");
    EXPECT_NE(Viewer().TextView().Text().find("material \"body m.tbumptex\""), std::string::npos);
    Shot(Viewer(), "report-long");
    Viewer().close();

    // Picture reports go to the image view's strip.
    Select("Icon.tga");
    ShowTextReport(bed.Main(), bed.state, Viewer(), 14, "Image Size");
    EXPECT_EQ(bed.Main().Frame(TFrameId::Image)->Alert()->Text(), "IMAGE SIZE\n4\n2");
    // A report that fails shows nothing anywhere.
    meshAlert->Close();
    Select("empty.kin");
    bed.Main().Dispatcher().ExecuteMenuCommand(2651, "bViewAsText");
    EXPECT_FALSE(meshAlert->IsOpen());
    EXPECT_FALSE(Viewer().isVisible());
    EXPECT_FALSE(Undefined());
}

TEST_F(ReportsInProgram, TheEditorShowsFileHeaders) {
    TEditor& editor = bed.windows->Editor();
    const struct {
        std::string file;
        std::string title;  // empty: nothing shown
        std::string line;
    } cases[] = {
        {Asset("Icon.tga"), " TGA Header", "Width: 4"},
        {Asset("car.im"), " Mesh File Data: car.im", "  points 2"},
        {Asset("walk.kin"), " Mesh File Data: walk.kin", "JIRF ANIM, 28 bytes"},
        {Asset("car.bmp"), "", ""},    // missing: the report fails
        {Asset("empty.kin"), "", ""},  // nothing to report
        {Asset("config.txt"), "", ""},  // another kind of file
    };
    test::WriteBytes(Asset("config.txt"), "kind \"scenery\"\r\n");
    for (const auto& c : cases) {
        Viewer().close();
        editor.ShowFileHeader(c.file);
        EXPECT_EQ(Viewer().isVisible(), !c.title.empty()) << c.file;
        if (c.title.empty()) continue;
        EXPECT_EQ(Viewer().windowTitle().toStdString(), c.title);
        EXPECT_EQ(Viewer().OkButton()->text().toStdString(), "Close");
        const Lines lines = SplitLines(Viewer().TextView().Text());
        EXPECT_NE(std::find(lines.begin(), lines.end(), c.line), lines.end()) << c.file;
    }
}

}  // namespace
}  // namespace kelvarn
