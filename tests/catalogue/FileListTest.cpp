#include <gtest/gtest.h>

#include <filesystem>

#include "AssetTestSupport.h"
#include "catalogue/FileList.h"
#include "shell/SettingsKeys.h"

namespace kelvarn {
namespace {

namespace fs = std::filesystem;

class FileListing : public ::testing::Test, protected test::AssetBed {
protected:
    TFileList files{state};
    std::string asset;

    void SetUp() override {
        asset = dir / "asset";
        for (const char* name : {"a.im", "sub/b.tga", "sub/deep/c.bmp", "config.txt", "x/config.txt", "Sub2/D.TGA"})
            test::WriteBytes(asset + "/" + name, "data");
        state.SetAssetPath(asset);
        files.InitFileView();
        bus.sent.clear();
    }
    std::vector<std::string> Items() const {
        std::vector<std::string> out;
        for (const TFileItem& item : files.Items()) out.push_back(item.text);
        return out;
    }
};

TEST_F(FileListing, ListsRelativePathsAndEveryFolderOnTheWay) {
    files.LoadFileList(asset);
    EXPECT_EQ(Items(), (std::vector<std::string>{"a.im", "config.txt", "sub\\b.tga", "sub\\deep\\c.bmp", "Sub2\\D.TGA",
                                                 "x\\config.txt"}));
    EXPECT_EQ(files.FolderEntries(), (std::vector<std::string>{"All Folders...", "Root Folder...", "sub\\", "sub\\deep\\",
                                                               "Sub2\\", "x\\"}));
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0], asset + "\n\nThis asset folder contains multiple config.txt \nfiles. This may signify "
                                            "that the folder being \nparsed is not a valid asset.  Please check.");
    // Item 0 is the current file, not shown yet.
    EXPECT_EQ(state.AssetFileName(), "a.im");
    EXPECT_EQ(SentTexts(ccShowFile).size(), 0u);
    EXPECT_EQ(SentTexts(kFileListGroup), (std::vector<std::string>{""}));
    EXPECT_EQ(SentTexts(ccStatusText).back(), "1|Files: 0/6");
}

TEST_F(FileListing, TheItemPathDependsOnTheFolderChosen) {
    files.LoadFileList(asset);
    struct Case {
        int folder;
        std::vector<std::string> items;
        std::string firstPath;
    };
    const Case cases[] = {
        {1, {"a.im", "config.txt"}, "a.im"},
        {2, {"b.tga"}, "sub\\b.tga"},
        {3, {"c.bmp"}, "sub\\deep\\c.bmp"},
        {0, {"a.im", "config.txt", "sub\\b.tga", "sub\\deep\\c.bmp", "Sub2\\D.TGA", "x\\config.txt"}, "a.im"},
    };
    for (const Case& c : cases) {
        files.SelectFolder(c.folder);
        files.FileMaskChange();
        EXPECT_EQ(Items(), c.items) << c.folder;
        EXPECT_EQ(files.FileItemPath(files.Item(0).text), c.firstPath) << c.folder;
        EXPECT_EQ(state.AssetFileName(), c.firstPath) << c.folder;
    }
}

TEST_F(FileListing, MasksAndTheirPresets) {
    struct Case {
        int mask;
        const char* typed;
        std::vector<std::string> items;
    };
    const Case cases[] = {
        {1, "", {"sub\\b.tga", "sub\\deep\\c.bmp", "Sub2\\D.TGA"}},
        {2, "", {"a.im"}},
        {3, "", {"config.txt", "x\\config.txt"}},
        {-1, "*.im;*.BMP", {"a.im", "sub\\deep\\c.bmp"}},
        {-1, "nothing", {}},
    };
    files.LoadFileList(asset);
    for (const Case& c : cases) {
        if (c.mask >= 0)
            files.SelectMask(c.mask);
        else
            files.SetTypedMask(c.typed);
        files.FileMaskChange();
        EXPECT_EQ(Items(), c.items) << c.mask << c.typed;
    }
    EXPECT_EQ(state.AssetFileName(), "");  // an empty list has no current file
    EXPECT_EQ(SentTexts(ccStatusText).back(), "1|");
    // A typed mask is saved as entry 0; a preset as its index when SaveMask is on.
    EXPECT_EQ(state.Settings().ReadString("Options", "FileMask", ""), "0");
    state.Settings().WriteString("Options", "SaveMask", "1");
    files.SelectMask(2);
    files.FileMaskChange();
    EXPECT_EQ(state.Settings().ReadString("Options", "FileMask", ""), "2");
    files.SetTypedMask("configs");
    EXPECT_EQ(files.MaskIndex(), 3);
}

TEST_F(FileListing, AnOutOfRangeFileMaskSelectsTheFirstEntry) {
    for (const char* value : {"7", "-1", "x"}) {
        state.Settings().WriteString("Options", "FileMask", value);
        files.InitFileView();
        EXPECT_EQ(files.MaskIndex(), 0) << value;
        EXPECT_EQ(state.FileListMask(), "*.*") << value;
    }
}

TEST_F(FileListing, TheUpdateKeepsOrderTagsAndMarks) {
    files.LoadFileList(asset);
    files.SetTagged(2, true);
    files.MarkFileEdited("sub\\deep\\c.bmp");
    test::WriteBytes(asset + "/sub/aa.tga", "new");
    fs::remove(asset + "/a.im");
    files.SetCurrentFile(2);
    files.RefreshFileList(files.Item(2).text);
    EXPECT_EQ(Items(), (std::vector<std::string>{"config.txt", "sub\\aa.tga", "sub\\b.tga", "sub\\deep\\c.bmp", "Sub2\\D.TGA",
                                                 "x\\config.txt"}));
    EXPECT_TRUE(files.Item(2).tagged);
    EXPECT_TRUE(files.Item(3).edited);
    EXPECT_EQ(state.AssetFileName(), "sub\\b.tga");
    EXPECT_EQ(state.FileCount, 1);

    // While a script runs, a refresh waits for its end.
    bool pending = false;
    files.ScriptBusy = [] { return true; };
    files.SetPendingRefresh = [&](bool p) { pending = p; };
    test::WriteBytes(asset + "/later.tga", "x");
    files.RefreshFileList("");
    EXPECT_TRUE(pending);
    EXPECT_EQ(files.Count(), 6);
}

TEST_F(FileListing, SavedFilesAreMarkedByTheirRelativePath) {
    files.LoadFileList(asset);
    files.SelectFolder(2);
    files.FileMaskChange();
    files.MarkSavedFile("sub/b.tga");
    EXPECT_TRUE(files.Item(0).edited);
}

TEST_F(FileListing, RenameKeepsTheRenamedFileCurrent) {
    files.LoadFileList(asset);
    files.SetCurrentFile(files.IndexOf("sub\\b.tga"));
    test::FakeDialogs dialogs;
    int saves = 0;
    files.AskToSave = [&] {
        ++saves;
        return true;
    };
    dialogs.answers = {std::string("z.tga")};
    files.RenameFile(dialogs);
    EXPECT_EQ(dialogs.asked, (std::vector<std::string>{"Rename File"}));
    EXPECT_TRUE(fs::exists(asset + "/sub/z.tga"));
    EXPECT_EQ(state.AssetFileName(), "sub\\z.tga");
    EXPECT_EQ(files.Item(files.Selected()).text, "sub\\z.tga");
    EXPECT_EQ(saves, 1);
    for (const char* refused : {"", "..", "../up.tga", "D.TGA\\x", "c.bmp/.."}) {
        dialogs.answers = {std::string(refused)};
        files.RenameFile(dialogs);
        EXPECT_EQ(state.AssetFileName(), "sub\\z.tga") << refused;
    }
    // An existing name is not replaced.
    test::WriteBytes(asset + "/sub/taken.tga", "keep");
    dialogs.answers = {std::string("taken.tga")};
    files.RenameFile(dialogs);
    EXPECT_EQ(test::ReadBytes(asset + "/sub/taken.tga"), "keep");
    EXPECT_TRUE(fs::exists(asset + "/sub/z.tga"));
}

TEST_F(FileListing, PasteGivesAClashingNameAFreeNameBeside) {
    files.LoadFileList(asset);
    test::WriteBytes(dir / "outside/b.tga", "other");
    test::WriteBytes(dir / "outside/a.texture.txt", "t");
    fs::create_directories(dir / "outside/folder");
    clipboard.files = {dir / "outside/b.tga", dir / "outside/a.texture.txt", dir / "outside/folder"};
    files.SelectFolder(2);  // sub\ .
    files.PasteFiles(asset);
    EXPECT_EQ(test::ReadBytes(asset + "/sub/b.tga"), "data");
    EXPECT_EQ(test::ReadBytes(asset + "/sub/b (2).tga"), "other");
    EXPECT_TRUE(fs::exists(asset + "/sub/a.texture.txt"));
    EXPECT_FALSE(fs::exists(asset + "/sub/folder"));
    files.PasteFiles(asset);
    EXPECT_EQ(test::ReadBytes(asset + "/sub/b (3).tga"), "other");
    EXPECT_TRUE(fs::exists(asset + "/sub/a (2).texture.txt"));
}

// A link in the asset folder keeps its name through a paste, and nothing is written where it leads,
// even where it names nothing yet.
TEST_F(FileListing, PasteWritesNothingThroughALink) {
    fs::remove(asset + "/sub/b.tga");
    fs::create_symlink(dir / "elsewhere/b.tga", asset + "/sub/b.tga");
    files.LoadFileList(asset);
    test::WriteBytes(dir / "outside/b.tga", "pasted");
    clipboard.files = {dir / "outside/b.tga"};
    files.SelectFolder(2);
    messages.messages.clear();  // the fixture's second config.txt was named
    files.PasteFiles(asset);
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_TRUE(fs::is_symlink(asset + "/sub/b.tga"));
    EXPECT_FALSE(fs::exists(dir / "elsewhere/b.tga"));
    EXPECT_EQ(test::ReadBytes(asset + "/sub/b (2).tga"), "pasted");
}

TEST_F(FileListing, DeleteAsksOnceThenTrashes) {
    files.LoadFileList(asset);
    files.SetTagged(0, true);
    files.SetTagged(4, true);
    messages.answers = {Answer::No};
    files.DeleteFiles(true);
    EXPECT_TRUE(trash.moved.empty());
    files.DeleteFiles(true);
    EXPECT_EQ(trash.moved, (std::vector<std::string>{asset + "/a.im", asset + "/Sub2/D.TGA"}));
    EXPECT_EQ(SentTexts(ccShowFile), (std::vector<std::string>{state.ProgramFolder + "bin\\Kelvarn.jpg"}));
    EXPECT_EQ(files.Count(), 4);

    trash.refuse = asset + "/config.txt";
    files.SetCurrentFile(0);
    files.DeleteFiles(false);
    EXPECT_TRUE(fs::exists(asset + "/config.txt"));
    EXPECT_EQ(files.Count(), 4);
}

TEST_F(FileListing, CopyAndDrop) {
    files.LoadFileList(asset);
    files.SetTagged(1, true);
    files.CopyFiles(true);
    EXPECT_EQ(clipboard.files, (std::vector<std::string>{asset + "/config.txt"}));
    EXPECT_EQ(state.ClipboardSource, "FileView");
    test::WriteBytes(dir / "dropped.bmp", "d");
    EXPECT_TRUE(files.DropFiles({dir / "dropped.bmp"}));
    EXPECT_TRUE(fs::exists(asset + "/dropped.bmp"));
    EXPECT_EQ(files.IndexOf("dropped.bmp"), 2);
    files.ClearFileView();
    EXPECT_FALSE(files.DropFiles({dir / "dropped.bmp"}));  // no current file: no drop
}

TEST(FileMasks, PatternsAndHelpers) {
    EXPECT_TRUE(FileMaskMatches("config.txt", TranslateMask("configs")));
    EXPECT_TRUE(FileMaskMatches("bogey-config.txt", TranslateMask("configs")));
    EXPECT_TRUE(FileMaskMatches("X.LM.TXT", TranslateMask("meshes")));
    EXPECT_FALSE(FileMaskMatches("x.img", TranslateMask("meshes")));
    EXPECT_TRUE(FileMaskMatches("anything", "*.*"));
    EXPECT_EQ(RelativeItemPath("/A/Asset/sub/x.tga", "/a/asset"), "sub\\x.tga");
    EXPECT_EQ(FolderEntriesOf({"a\\b\\c\\d.x", "a\\e.x", "f.x"}),
              (std::vector<std::string>{"a\\", "a\\b\\", "a\\b\\c\\"}));
}

}  // namespace
}  // namespace kelvarn
