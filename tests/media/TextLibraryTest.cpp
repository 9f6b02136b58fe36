// What the command bus asks of the report library: image sizes, texture problems, the report call,
// where a report shows, and which header report a file gets.
#include <gtest/gtest.h>

#include "ImageBuilders.h"
#include "support/TestSupport.h"
#include "media/TextReportLibrary.h"
#include "shell/ProgramState.h"

namespace kelvarn {
namespace {

using Lines = std::vector<std::string>;

// Answers each call with canned lines and records it.
class FakeLibrary final : public ITextLibrary {
public:
    bool answer = true;
    Lines reply;
    std::vector<std::pair<int, std::string>> calls;
    bool CallTextLibrary(int op, const std::string& file, Lines& lines) override {
        calls.emplace_back(op, file);
        lines = reply;
        return answer;
    }
};

TEST(TextLibraryRequests, NothingIsAskedWithoutALibraryOrForUnknownOperations) {
    TProgramState state;
    Lines lines{"old"};
    EXPECT_FALSE(CallTextLibrary(state, 1, "a.im", lines));
    EXPECT_TRUE(lines.empty());
    state.ImageSizeInfo = {"x", 3, 4};
    QueryImageSize(state, "a.tga");
    EXPECT_EQ(state.ImageSizeInfo.Width, 0);

    FakeLibrary fake;
    state.TextLibrary = &fake;
    for (int op : {0, 15, -3}) EXPECT_FALSE(CallTextLibrary(state, op, "a.im", lines)) << op;
    EXPECT_TRUE(fake.calls.empty());
}

TEST(TextLibraryRequests, ImageSizeFillsOrZeroesTheRecord) {
    test::TempDir dir;
    TProgramState state;
    TextReportLibrary library;
    state.TextLibrary = &library;
    state.SetAssetPath(dir.Path());
    test::TgaFields tga;
    tga.width = 240;
    tga.height = 180;
    tga.pixels = std::string(240 * 180 * 3, '\0');
    test::WriteBytes(dir / "sub/Thumb.tga", test::MakeTga(tga));

    // The path inside the asset folder with "/" separators, whichever separators the request used.
    QueryImageSize(state, dir.Path() + "\\sub\\Thumb.tga");
    EXPECT_EQ(state.ImageSizeInfo.Path, "sub/Thumb.tga");
    EXPECT_EQ(state.ImageSizeInfo.Width, 240);
    EXPECT_EQ(state.ImageSizeInfo.Height, 180);
    // Nothing measured: zeroed, never the last picture's values.
    QueryImageSize(state, dir / "missing.tga");
    EXPECT_EQ(state.ImageSizeInfo.Path, "");
    EXPECT_EQ(state.ImageSizeInfo.Width, 0);
    EXPECT_EQ(state.ImageSizeInfo.Height, 0);

    FakeLibrary fake;
    state.TextLibrary = &fake;
    const struct {
        Lines reply;
        int width, height;
    } cases[] = {{{"12", "34"}, 12, 34}, {{"12"}, 0, 0}, {{"a", "34"}, 0, 0}, {{}, 0, 0}, {{"100000", "7"}, 100000, 7}};
    for (const auto& c : cases) {
        state.ImageSizeInfo = {"x", 9, 9};
        fake.reply = c.reply;
        QueryImageSize(state, "/elsewhere/pic.tga");
        EXPECT_EQ(state.ImageSizeInfo.Width, c.width) << ::testing::PrintToString(c.reply);
        EXPECT_EQ(state.ImageSizeInfo.Height, c.height) << ::testing::PrintToString(c.reply);
    }
    EXPECT_EQ(fake.calls.back(), (std::pair<int, std::string>{14, "/elsewhere/pic.tga"}));
}

TEST(TextLibraryRequests, TextureProblemsReplaceTheList) {
    TProgramState state;
    FakeLibrary fake;
    state.TextLibrary = &fake;
    state.TextureProblems = {"old.tga: file not found"};
    fake.reply = {"a.tga: file not found", "b.tga: unsupported material slot 3"};
    QueryMeshTextureProblems(state, "m.im");
    EXPECT_EQ(state.TextureProblems, fake.reply);
    EXPECT_EQ(fake.calls.back(), (std::pair<int, std::string>{10, "m.im"}));
    fake.reply = {"  none"};
    QueryMeshTextureProblems(state, "m.im");
    EXPECT_TRUE(state.TextureProblems.empty());
    // No answer leaves no other mesh's problems behind.
    state.TextureProblems = {"old.tga: file not found"};
    fake.reply = {};
    fake.answer = false;
    QueryMeshTextureProblems(state, "m.im");
    EXPECT_TRUE(state.TextureProblems.empty());
}

TEST(TextLibraryRequests, TextCallSplitsAtTheFirstBar) {
    TProgramState state;
    FakeLibrary fake;
    state.TextLibrary = &fake;
    fake.reply = {"one", "two"};
    state.ReportLines = {"kept"};
    for (const char* text : {"x|f", "|f", "12", ""}) {
        TextCallRequest(state, text);
        EXPECT_EQ(state.ReportLines, (Lines{"kept"})) << text;
    }
    EXPECT_TRUE(fake.calls.empty());
    TextCallRequest(state, "12|a|b");
    EXPECT_EQ(fake.calls.back(), (std::pair<int, std::string>{12, "a|b"}));
    EXPECT_EQ(state.ReportLines, (Lines{"one", "two"}));
    // A number the library does not take empties the list and asks nothing.
    TextCallRequest(state, "99|a");
    EXPECT_TRUE(state.ReportLines.empty());
    EXPECT_EQ(fake.calls.size(), 1u);
}

TEST(TextLibraryRequests, ShortReportsGoToTheAlertStripLongOnesToTheViewer) {
    const Lines twenty(20, "line"), twentyOne(21, "line");
    const TTextReportPlan shortPlan = PlanTextReport(1, "Mesh File Data: car.im", twenty);
    EXPECT_FALSE(shortPlan.inViewer);
    EXPECT_FALSE(shortPlan.inImageView);
    EXPECT_TRUE(shortPlan.alertText.starts_with("MESH FILE DATA: CAR.IM\r\nline\r\n"));
    EXPECT_EQ(std::count(shortPlan.alertText.begin(), shortPlan.alertText.end(), '\n'), 20);
    EXPECT_TRUE(PlanTextReport(1, "c", twentyOne).inViewer);
    EXPECT_TRUE(PlanTextReport(12, "Texture.txt Contents", {"Primary=a.tga"}).inImageView);
    EXPECT_EQ(PlanTextReport(12, "Texture.txt Contents", {"Primary=a.tga"}).alertText,
              "TEXTURE.TXT CONTENTS\r\nPrimary=a.tga");
    EXPECT_TRUE(PlanTextReport(14, "c", {}).inImageView);
    EXPECT_FALSE(PlanTextReport(4, "c", {}).inImageView);
}

TEST(TextLibraryRequests, HeaderReportByExtension) {
    const struct {
        const char* path;
        int op;
        const char* caption;
    } cases[] = {
        {"/a/Car.IM", 1, "Mesh File Data: Car.IM"}, {"c:\\a\\lod.pm", 1, "Mesh File Data: lod.pm"},
        {"walk.kin", 1, "Mesh File Data: walk.kin"}, {"icon.TGA", 2, "TGA Header"}, {"x.bmp", 3, "BMP Header"},
        {"icon.tga.txt", 0, ""}, {"car.image", 0, ""}, {"noext", 0, ""}, {"x.jpg", 0, ""},
    };
    for (const auto& c : cases) {
        const TFileHeaderReport r = FileHeaderReport(c.path);
        EXPECT_EQ(r.op, c.op) << c.path;
        EXPECT_EQ(r.caption, c.caption) << c.path;
    }
}

}  // namespace
}  // namespace kelvarn
