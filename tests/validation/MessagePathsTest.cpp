// The paths that messages show: folders from the file system joined to names from settings, scripts
// and configs (which use backslashes) are shown with one separator throughout, never "/a/b\c.txt".
#include <gtest/gtest.h>

#include <filesystem>

#include "ScriptTestSupport.h"
#include "catalogue/ConfigReader.h"
#include "media/ViewerEditors.h"
#include "shell/Backups.h"
#include "shell/Files.h"
#include "shell/PathText.h"
#include "shell/ReportLog.h"
#include "shell/SettingsKeys.h"
#include "shell/Text.h"

namespace kelvarn::test {
namespace {

using Lines = std::vector<std::string>;

// The words of a text (split at blanks and quotes) that hold both a "\" and a "/".
Lines MixedPaths(const std::string& text) {
    Lines mixed;
    std::string word;
    auto flush = [&] {
        if (word.find('\\') != std::string::npos && word.find('/') != std::string::npos) mixed.push_back(word);
        word.clear();
    };
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\'' || c == '"') flush();
        else word.push_back(c);
    }
    flush();
    return mixed;
}

TEST(MessagePaths, TheDetectorFindsMixedSeparatorsOnly) {
    EXPECT_EQ(MixedPaths("Unable to read /a/log\\K(1).log: gone"), Lines{"/a/log\\K(1).log:"});
    EXPECT_EQ(MixedPaths("'x\\y/z' may have changed"), Lines{"x\\y/z"});
    EXPECT_TRUE(MixedPaths("config.txt\\mesh-table\\default\\ and /a/b/c.txt").empty());
}

struct MessageBed : ScriptBed {
    MessageBed() : ScriptBed(false) {
        asset = SelectAsset("asset", kTestConfig);
        WriteBytes(asset + "/sub/a.tga", "t");
        WriteBytes(asset + "/Lod/a.lm.txt", "lod\r\n");
        WriteBytes(asset + "/ro.txt", "mine");
    }
    ~MessageBed() { SetWriteFaultHook(nullptr); }

    // Every text the operations showed, asked, reported or logged.
    Lines Collected() const {
        Lines all = messages.messages;
        for (const std::string& line : host.log) all.push_back(line);
        for (const auto& text : viewer.texts) all.insert(all.end(), text.begin(), text.end());
        return all;
    }
    std::string asset;
};

TEST(MessagePaths, NoMessageMixesSeparators) {
    MessageBed bed;
    namespace fs = std::filesystem;

    // Script: a -write refused by a read-only file, and the items of -foreach|file.
    fs::permissions(bed.asset + "/ro.txt", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    bed.Run("-write|open|ro.txt\n-write|line|theirs\n-write|close\n"
            "-foreach|file|sub\\*.tga\n-info|^V [^D] [^F] [^d]\n-endfor");
    const Lines said = Messages(bed.host);
    ASSERT_EQ(said.size(), 2u) << JoinLines(said, "\n");
    // The refusal names the file once, and the items keep what lies below the asset in backslashes.
    EXPECT_TRUE(EndsWith(said[0], "ro.txt: the file is read-only")) << said[0];
    EXPECT_EQ(said[0].find("ro.txt"), said[0].rfind("ro.txt")) << said[0];
    EXPECT_EQ(said[1], "<tmp>/asset/sub/a.tga [<tmp>/asset/sub/] [sub\\a.tga] [sub\\]");
    EXPECT_EQ(ReadBytes(bed.asset + "/ro.txt"), "mine");

    // Backups: a copy that fails, and the restore question, for a file named as the file list names it.
    bed.state.SetAssetFileName("sub\\a.tga");
    const std::string listed = bed.state.AssetPathFile();
    SetWriteFaultHook([](const std::string& path) { return ContainsStr(path, "backup") ? 0 : std::string::npos; });
    bed.messages.messages.push_back(BackupFile(bed.state, listed));
    SetWriteFaultHook(nullptr);
    ASSERT_EQ(BackupFile(bed.state, listed), "");
    bed.messages.answers.push_back(Answer::No);
    bed.messages.messages.push_back(RestoreFile(bed.state, listed));

    // Log: the day's log that cannot be read.
    bed.state.Settings().WriteBool(keys::DailyLog.section, keys::DailyLog.key, true);
    WriteBytes(bed.Program() + "/log/" + ExtractFileName(LogFileName(bed.state)), std::string("a\0b", 3));
    Lines lines{"line"};
    EXPECT_NE(AddToLog(bed.state, "", "Title", lines, bed.clock.Now()), "");

    // Viewer: the save questions of a level-of-detail file in a sub-folder.
    bed.state.SetAssetFileName("Lod\\a.lm.txt");
    TLodEditor lod;
    ASSERT_EQ(lod.Load(bed.state.AssetPathFile()), "");
    lod.Modified = true;
    bed.messages.answers.push_back(Answer::Cancel);
    lod.CloseQuery(bed.messages);
    bed.messages.answers.push_back(Answer::No);
    lod.QuerySave(bed.messages);

    // Check: a config that holds NUL bytes.
    WriteBytes(bed.dir / "nul/config.txt", std::string("kind \"a\0\"\n", 11));
    TConfigReader reader;
    EXPECT_FALSE(reader.LoadConfigFile(bed.dir / "nul"));
    bed.messages.messages.push_back(reader.LastError());

    const Lines all = bed.Collected();
    for (const char* expected : {"ro.txt", "a.tga", "Kelvarn(", "a.lm.txt", "config.txt"}) {
        bool seen = false;
        for (const std::string& text : all) seen = seen || ContainsStr(text, expected);
        EXPECT_TRUE(seen) << "no message names " << expected << ":\n" << JoinLines(all, "\n");
    }
    for (const std::string& text : all) EXPECT_EQ(MixedPaths(text), Lines{}) << text;
}

}  // namespace
}  // namespace kelvarn::test
