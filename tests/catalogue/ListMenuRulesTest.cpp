// The asset list's and the file list's menu rules on their facts.
#include <gtest/gtest.h>

#include <map>

#include "catalogue/ListMenuRules.h"

namespace kelvarn {
namespace {

std::map<std::string, TMenuItemState> ByName(const std::vector<TMenuItemState>& states) {
    std::map<std::string, TMenuItemState> out;
    for (const TMenuItemState& s : states) out.emplace(s.name, s);
    return out;
}

TEST(ListMenuRules, TaggedFileItemsShowByCount) {
    struct Case {
        int tagged;
        bool cut, copy;
    } cases[] = {{0, false, false}, {1, false, true}, {3, true, true}};
    for (const Case& c : cases) {
        TFileMenuFacts f;
        f.taggedFiles = c.tagged;
        auto s = ByName(FileListMenuStates(f));
        EXPECT_EQ(s["mCutTagged"].visible, c.cut) << c.tagged;
        EXPECT_EQ(s["mCopyTagged"].visible, c.copy) << c.tagged;
        EXPECT_EQ(s["mDeleteTagged"].visible, c.copy) << c.tagged;
    }
}

TEST(ListMenuRules, PlayFollowsTheExtensionAsTheViewerChoiceDoes) {
    const std::pair<const char*, bool> cases[] = {{"horn.wav", true}, {"HORN.MP3", true}, {"a\\b.Wav", true},
                                                  {"horn.mp", true},  // a shortened extension occurs in the list
                                                  {"horn.ogg", false}, {"wav", false}, {"horn.", false},
                                                  {"wav.txt", false}};
    for (const auto& [name, play] : cases) {
        TFileMenuFacts f;
        f.currentFile = true;
        f.fileName = name;
        EXPECT_EQ(ByName(FileListMenuStates(f))["mPlay"].visible, play) << name;
    }
    TFileMenuFacts none;
    none.fileName = "horn.wav";  // no current file
    EXPECT_EQ(ByName(FileListMenuStates(none))["mPlay"].visible, false);
}

TEST(ListMenuRules, FileToolsAreCaptionedFromTheirLines) {
    TFileMenuFacts f;
    f.currentFile = true;
    f.fileName = "a.tga";
    f.associatedProgram = "/usr/bin/gimp";
    f.extensionTools = {"Paint¦/usr/bin/paint¦%f%", "View¦viewer"};
    auto s = ByName(FileListMenuStates(f));
    EXPECT_EQ(s["mOpenDefault"].caption, "Open (gimp)");
    EXPECT_EQ(s["mTool1"].caption, "Paint");
    EXPECT_EQ(s["mTool2"].caption, "View");
    EXPECT_EQ(s["mTool3"].visible, false);
    EXPECT_EQ(s["mAllFiles1"].visible, false);
}

TEST(ListMenuRules, AssetListEditingSimulatorAndTagged) {
    TAssetMenuFacts f;
    f.assetFolder = "/trainz/editing/loco";
    f.entrySelected = true;
    f.tagged = 2;
    f.count = 2;
    f.kind = "profile";
    auto s = ByName(AssetListMenuStates(f));
    // Without a simulator folder nothing is the simulator's.
    EXPECT_EQ(s["mDriver"].visible, false);
    EXPECT_EQ(s["mDelete"].enabled, true);
    // Deleting the tagged assets is offered as deleting one is.
    EXPECT_EQ(s["mDeleteTagged"].visible, true);
    EXPECT_EQ(s["mDeleteTagged"].enabled, true);
    EXPECT_EQ(s["bClearUnTagged"].enabled, false);

    f.trainzFolder = "/trainz/";
    s = ByName(AssetListMenuStates(f));
    EXPECT_EQ(s["mDriver"].visible, true);
    EXPECT_EQ(s["mSurveyor"].visible, true);
    EXPECT_EQ(s["mRailyard"].visible, false);

    f.assetFolder = "/assets/loco";
    f.tagged = 0;
    s = ByName(AssetListMenuStates(f));
    EXPECT_EQ(s["mDelete"].enabled, false);
    EXPECT_EQ(s["mDeleteTagged"].visible, false);
    EXPECT_EQ(s["mDeleteTagged"].enabled, false);
    EXPECT_EQ(s["mDriver"].visible, false);
    EXPECT_EQ(s["bSortAssets"].hint, "Sort by Asset Name");
}

}  // namespace
}  // namespace kelvarn
