// The file and media commands on a real asset folder: what is copied, refused, deleted, backed up
// and made, and that nothing of the user's is lost on the way.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "ScriptTestSupport.h"
#include "media/StrellImage.h"
#include "shell/FileGuard.h"
#include "shell/Files.h"
#include "shell/SettingsKeys.h"
#include "shell/Strings.h"

namespace kelvarn::test {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

struct FileBed : ScriptBed {
    std::string asset;
    FileBed() : ScriptBed(false) {
        asset = SelectAsset("asset", kTestConfig);
        WriteBytes(asset + "/a.tga", "A");
        WriteBytes(asset + "/b.tga", "B");
        WriteBytes(asset + "/sub/a.tga", "sub A");
        WriteBytes(asset + "/sub/deep/c.tga", "C");
        WriteBytes(asset + "/notes.txt", "N");
    }
    Lines Said(std::string_view script) {
        host.log.clear();
        Run(script);
        return Messages(host);
    }
    std::string File(std::string_view name) const { return asset + "/" + std::string(name); }
    Lines Backups(std::string_view mask = "*") const {
        std::vector<std::string> found;
        FindFiles(Backup() + "/*", mask, found, false);
        Lines names;
        for (const std::string& f : found) names.push_back(f.substr(f.rfind("\xC2\xB6") + 2));
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST(ScriptCopyFile, Refusals) {
    FileBed bed;
    struct Case {
        std::string line;
        std::string said;
    };
    const std::vector<Case> cases = {
        {"-copyfile|a.tga|", "Source and destination are the same file"},
        {"-copyfile|A.TGA|a.tga", "Source and destination are the same file"},
        {"-copyfile|a.tga|b.tga", "Destination file already exists: <tmp>/asset/b.tga"},
        {"-copyfile|a.tga|B.TGA", "Destination file already exists: <tmp>/asset/B.TGA"},
        {"-copyfile|missing.tga|x.tga", "Source file not found: <tmp>/asset/missing.tga"},
        {"-copyfile||x.tga", "Source file not specified"},
        {"-copyfile|a.tga|c*.tga", "Wildcards not permitted in destination filenames"},
        {"-copyfile|s*/a.tga|x.tga", "Wildcards not permitted in source folder specifications"},
        {"-copyfile|*.tga|nowhere/", "Directory not found: <tmp>/asset/nowhere/"},
        {"-copyfile|*.xyz|sub/", "No files matching: *.xyz"},
    };
    for (const Case& c : cases) EXPECT_EQ(bed.Said(c.line), Lines{c.said}) << c.line;
    EXPECT_EQ(ReadBytes(bed.File("b.tga")), "B");
    EXPECT_FALSE(FileExists(bed.File("x.tga")));
}

TEST(ScriptCopyFile, CopiesAndWildcardsReportEachFailure) {
    FileBed bed;
    EXPECT_EQ(bed.Said("-copyfile|a.tga|sub/deep/new.tga"), Lines{});
    EXPECT_EQ(ReadBytes(bed.File("sub/deep/new.tga")), "A");
    // Into sub/: a.tga is there already (kept), b.tga goes, and only the asset folder's own files are
    // taken, not those of its sub-folders.
    EXPECT_EQ(bed.Said("-copyfile|*.TGA|SUB/"), Lines{"Destination file already exists: a.tga"});
    EXPECT_EQ(ReadBytes(bed.File("sub/a.tga")), "sub A");
    EXPECT_EQ(ReadBytes(bed.File("sub/b.tga")), "B");
    EXPECT_FALSE(FileExists(bed.File("sub/c.tga")));
    EXPECT_EQ(bed.Said("-copyfile|*.tga|sub/"),
              Lines{"Destination file already exists: a.tga\r\n\tDestination file already exists: b.tga"});
    // Two sources differing only in case land as one file: the second finds the first's copy.
    WriteBytes(bed.File("D.tga"), "upper D");
    WriteBytes(bed.File("d.tga"), "lower D");
    EXPECT_EQ(bed.Said("-copyfile|*.tga|sub/"),
              Lines{"Destination file already exists: a.tga\r\n\tDestination file already exists: b.tga\r\n\t"
                    "Destination file already exists: d.tga"});
    EXPECT_EQ(ReadBytes(bed.File("sub/D.tga")), "upper D");
    EXPECT_FALSE(FileExists(bed.File("sub/d.tga")));
    // Double backslashes are one; an empty destination is the source's name in the asset folder.
    EXPECT_EQ(bed.Said("-copyfile|sub\\\\deep\\\\c.tga|"), Lines{});
    EXPECT_EQ(ReadBytes(bed.File("c.tga")), "C");
}

TEST(ScriptCopyFromAsset, CopiesFoldersAndStopsAtAFailure) {
    FileBed bed;
    EXPECT_EQ(bed.Said("-copyfromasset|*.tga"), Lines{"Source asset not specified"});
    const std::string other = bed.Asset("other", kTestConfig);
    WriteBytes(other + "/a.tga", "other A");
    WriteBytes(other + "/tex/new/n.tga", "N");
    bed.unit->AssetFoundFolder = other;
    EXPECT_EQ(bed.Said("-copyfromasset|*.tga"), Lines{});
    EXPECT_EQ(ReadBytes(bed.File("tex/new/n.tga")), "N");
    EXPECT_EQ(ReadBytes(bed.File("a.tga")), "other A");
    // The asset's own a.tga was kept in the backups before it was replaced.
    ASSERT_EQ(bed.Backups("*a.tga"), Lines{"a.tga"});
    EXPECT_EQ(bed.Said("-copyfromasset|*.xyz"), Lines{"No Matches for: *.xyz"});
    // A folder where a file should go: the copy fails and says so.
    WriteBytes(other + "/blocked.tga", "x");
    fs::create_directories(bed.File("blocked.tga"));
    const Lines said = bed.Said("-copyfromasset|blocked.tga");
    ASSERT_EQ(said.size(), 1u);
    EXPECT_TRUE(StartsWith(said[0], "File copy failed: <tmp>/other")) << said[0];
}

TEST(ScriptDeleteFiles, RefusalsDeleteNothing) {
    FileBed bed;
    const std::string outside = bed.Asset("outside", kTestConfig);
    WriteBytes(outside + "/o.tga", "O");
    struct Case {
        std::string line;
        std::string said;
    };
    const std::vector<Case> cases = {
        {"-deletefiles|", "Delete: no files specified"},
        {"-deletefiles|^5", "Delete: no files specified"},
        {"-deletefiles|\\", "Delete: no files specified"},
        {"-deletefiles|/", "Delete: no files specified"},
        {"-deletefiles|" + bed.asset, "Delete: no files specified"},
        {"-deletefiles|" + bed.asset + "/sub/..", "Delete: no files specified"},
        {"-deletefiles|..\\outside\\o.tga", "Delete: specified file(s) not in target asset folder"},
        {"-deletefiles|" + outside + "/*.tga", "Delete: specified file(s) not in target asset folder"},
        {"-deletefiles|gone\\", "Folder not found: <tmp>/asset/gone/"},
    };
    for (const Case& c : cases) EXPECT_EQ(bed.Said(c.line), Lines{c.said}) << c.line;
    EXPECT_TRUE(FileExists(outside + "/o.tga"));
    for (const char* f : {"a.tga", "b.tga", "sub/a.tga", "sub/deep/c.tga", "notes.txt", "config.txt"})
        EXPECT_TRUE(FileExists(bed.File(f))) << f;
    EXPECT_TRUE(bed.Backups().empty());
}

TEST(ScriptDeleteFiles, FolderAndPatternEachBackedUp) {
    FileBed bed;
    EXPECT_EQ(bed.Said("-deletefiles|Sub/"), Lines{});
    EXPECT_FALSE(FileExists(bed.File("sub/a.tga")));
    EXPECT_FALSE(FileExists(bed.File("sub/deep/c.tga")));
    EXPECT_TRUE(FileExists(bed.File("a.tga")));
    EXPECT_EQ(bed.Backups(), (Lines{"a.tga", "c.tga"}));
    EXPECT_EQ(bed.Said("-deletefiles|*.TGA"), Lines{});
    EXPECT_FALSE(FileExists(bed.File("a.tga")));
    EXPECT_FALSE(FileExists(bed.File("b.tga")));
    EXPECT_TRUE(FileExists(bed.File("notes.txt")));
    EXPECT_EQ(bed.Backups().size(), 4u);
}

TEST(ScriptDeleteFiles, AFileWhoseBackupFailsStays) {
    FileBed bed;
    SetWriteFaultHook([](const std::string& path) { return EndsWith(path, "b.tga") ? 0 : std::string::npos; });
    const Lines said = bed.Said("-deletefiles|?.tga");
    SetWriteFaultHook(nullptr);
    ASSERT_EQ(said.size(), 1u);
    EXPECT_TRUE(StartsWith(said[0], "Delete: file(s) kept:\r\n\t<tmp>/asset/b.tga: ")) << said[0];
    EXPECT_TRUE(FileExists(bed.File("b.tga")));
    EXPECT_FALSE(FileExists(bed.File("a.tga")));
}

TEST(ScriptBackups, AssetAndFiles) {
    FileBed bed;
    const std::string odd = bed.dir / "odd";
    WriteBytes(odd + "/Config.TXT", "kind \"scenery\"\n");
    EXPECT_EQ(bed.Said("-backupasset|" + odd + "\n-backupasset"), Lines{});
    EXPECT_EQ(bed.Backups().size(), 2u);
    EXPECT_EQ(bed.Said("-backupasset|<none>|x\n-backupasset|" + bed.dir / "nothing"),
              (Lines{"Asset Folder not found, or not a valid asset: <none>",
                     "Asset Folder not found, or not a valid asset: <tmp>/nothing"}));
    WriteSettingBool(bed.state.Settings(), keys::Silent, true);
    EXPECT_EQ(bed.Said("-backupfile|*.tga\n-backupfile|*.xyz"), Lines{"No Matches for: *.xyz"});
    EXPECT_EQ(bed.Backups("*.tga"), (Lines{"a.tga", "a.tga", "b.tga", "c.tga"}));
}

// An uncompressed 24-bit TGA of one grey level per row.
std::string GreyTga(int width, int height) {
    std::string bytes(18, '\0');
    bytes[2] = 2;
    bytes[12] = static_cast<char>(width & 0xFF);
    bytes[13] = static_cast<char>(width >> 8);
    bytes[14] = static_cast<char>(height & 0xFF);
    bytes[15] = static_cast<char>(height >> 8);
    bytes[16] = 24;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width * 3; ++x) bytes.push_back(static_cast<char>(y * 16));
    return bytes;
}

TEST(ScriptImages, MakeTga) {
    FileBed bed;
    EXPECT_EQ(bed.Said("-maketga|Red\n-maketga|wood\n-maketga|blue.tga"), Lines{});
    EXPECT_TRUE(FileExists(bed.File("red.tga")));
    EXPECT_TRUE(FileExists(bed.File("blue.tga")));
    EXPECT_FALSE(FileExists(bed.File("wood.tga")));
    fs::rename(bed.File("red.tga"), bed.File("RED.TGA"));
    EXPECT_EQ(bed.Said("-maketga|red\n-maketga|nofolder/green"),
              (Lines{"File already exists: red.tga", "Path does not exist: <tmp>/asset/nofolder"}));
    EXPECT_EQ(bed.Said("-maketga|sub/yellow"), Lines{});
    EXPECT_TRUE(FileExists(bed.File("sub/yellow.tga")));
}

TEST(ScriptImages, MakeNormalMapRules) {
    FileBed bed;
    for (const char* name : {"h.tga", "H2.TGA", "normal_x.tga", "my_art_icon.tga", "odd.tga", "x.bm", "x"})
        WriteBytes(bed.File(name), GreyTga(std::strcmp(name, "odd.tga") == 0 ? 6 : 8, 8));
    struct Case {
        std::string line;
        Lines said;
    };
    const std::vector<Case> cases = {
        {"-makenormalmap|h.tga", {}},
        {"-makenormalmap|h.tga", {"File already exists: <tmp>/asset/h-normal.tga"}},
        {"-makenormalmap|h2.tga|out/n.tga", {}},
        {"-makenormalmap|missing.tga", {"File not found: <tmp>/asset/missing.tga"}},
        {"-makenormalmap|normal_x.tga", {"File may already be a normal map: <tmp>/asset/normal_x.tga"}},
        {"-makenormalmap|my_art_icon.tga", {"File is an art icon: <tmp>/asset/my_art_icon.tga"}},
        {"-makenormalmap|x.bm", {"Source file is not an image: <tmp>/asset/x.bm"}},
        {"-makenormalmap|x", {"Source file is not an image: <tmp>/asset/x"}},
        {"-makenormalmap|odd.tga", {"Texture size is invalid: <tmp>/asset/odd.tga"}},
    };
    fs::create_directories(bed.File("out"));
    for (const Case& c : cases) EXPECT_EQ(bed.Said(c.line), c.said) << c.line;
    EXPECT_TRUE(FileExists(bed.File("out/n.tga")));
    EXPECT_FALSE(FileExists(bed.File("odd-normal.tga")));

    // The rows rise by 16 grey levels downwards: a flat slope in y, none in x, wrapping at the edge.
    TTextures library(bed.state);
    TStrellImage images(library);
    Image32 map;
    int alphaKind = 0, compression = 0, bits = 0;
    ASSERT_TRUE(images.LoadImage(bed.File("h-normal.tga"), map, alphaKind, compression, bits));
    ASSERT_EQ(map.Width, 8);
    const std::uint32_t middle = map.At(3, 3);
    EXPECT_EQ((middle >> 16) & 0xFF, 128u) << "no slope in x";
    EXPECT_NE((middle >> 8) & 0xFF, 128u) << "a slope in y";
    EXPECT_GT(middle & 0xFF, 200u) << "z up";
}

// A 16-bit mono PCM WAVE at 8000 Hz of `frames` frames of a square wave.
std::string Wave(int frames) {
    auto u32 = [](std::uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    auto u16 = [](std::uint16_t v) { return std::string{char(v), char(v >> 8)}; };
    std::string data;
    for (int i = 0; i < frames; ++i) data += u16(static_cast<std::uint16_t>((i / 10) % 2 ? 8000 : -8000));
    return "RIFF" + u32(36 + static_cast<std::uint32_t>(data.size())) + "WAVEfmt " + u32(16) + u16(1) + u16(1) +
           u32(8000) + u32(16000) + u16(2) + u16(16) + "data" + u32(static_cast<std::uint32_t>(data.size())) + data;
}

TEST(ScriptSounds, RepairWavesStatusAndMessages) {
    FileBed bed;
    WriteBytes(bed.File("horn.wav"), Wave(800));
    WriteBytes(bed.File("x.wav"), Wave(400));
    WriteBytes(bed.File("x.mp3"), "not a sound");
    const Lines said = bed.Said("-repairwaves");
    ASSERT_EQ(said.size(), 1u);
    EXPECT_FALSE(StartsWith(said[0], "\t")) << said[0];
    EXPECT_TRUE(ContainsStr(said[0], "x.mp3")) << said[0];
    Lines status;
    for (const std::string& line : bed.host.log)
        if (StartsWith(line, "status2")) status.push_back(line);
    EXPECT_EQ(status, (Lines{"status2 Processing Audio: <tmp>/asset/horn.wav", "status2 Processing Audio: <tmp>/asset/x.mp3",
                             "status2 Processing Audio: <tmp>/asset/x.wav", "status2 "}));
    // No sound is lost: the broken one stays beside the other, and each repaired one is in the backups.
    EXPECT_EQ(ReadBytes(bed.File("x.mp3")), "not a sound");
    EXPECT_TRUE(FileExists(bed.File("x.wav")));
    EXPECT_EQ(bed.Backups("*.wav"), (Lines{"horn.wav", "x.wav"}));
    EXPECT_NE(ReadBytes(bed.File("horn.wav")), Wave(800)) << "re-encoded at the repaired rate";
}

// Two streamed sounds each give a notice: one message, its lines free of the notices' marks.
TEST(ScriptSounds, RepairWavesJoinsNoticesWithoutTheirMarks) {
    FileBed bed;
    for (const char* name : {"a.wav", "b.wav"}) {
        std::string wave = Wave(400);
        wave.replace(40, 4, "\xFF\xFF\xFF\xFF");
        WriteBytes(bed.File(name), wave);
    }
    const Lines said = bed.Said("-repairwaves");
    ASSERT_EQ(said.size(), 1u);
    EXPECT_EQ(said[0].find("\t."), std::string::npos) << said[0];
    EXPECT_FALSE(StartsWith(said[0], ".")) << said[0];
    EXPECT_TRUE(ContainsStr(said[0], "a.wav was shorter")) << said[0];
    EXPECT_TRUE(ContainsStr(said[0], "b.wav was shorter")) << said[0];
}

TEST(ScriptFiles, TheFileGuardKeepsEveryChangeOut) {
    FileBed bed;
    SetFileGuard([](const std::string&) { return false; });
    const Lines said = bed.Said("-deletefiles|*.tga\n-copyfile|a.tga|new.tga\n-maketga|red\n"
                                "-write|open|w.txt\n-write|line|x\n-write|close");
    SetFileGuard(nullptr);
    EXPECT_EQ(said.size(), 4u);
    for (const char* f : {"a.tga", "b.tga", "sub/a.tga"}) EXPECT_TRUE(FileExists(bed.File(f))) << f;
    for (const char* f : {"new.tga", "red.tga", "w.txt"}) EXPECT_FALSE(FileExists(bed.File(f))) << f;
}

TEST(ScriptFiles, RepairTexturesNamesAnUnknownModeAndTheModesItTakes) {
    FileBed bed;
    EXPECT_EQ(bed.Said("-repairtextures|sizes"),
              Lines{"Repair Textures: unknown mode sizes (the modes are all, texture, size, alpha, uniform, missing, "
                    "unreferenced, duplicate)"});
    EXPECT_EQ(bed.Said("-repairtextures|Uniform"), Lines{}) << "a mode in any case";
}

TEST(ScriptFiles, NoAssetFolderTouchesNothing) {
    ScriptBed bed(false);
    const std::string other = bed.Asset("other", kTestConfig);
    WriteBytes(other + "/s.wav", Wave(100));
    bed.unit->AssetFoundFolder = other;
    bed.Run("-repairwaves\n-deletefiles|*.*\n-copyfromasset|*.*\n-backupfile|*.*\n-maketga|red\n-makenormalmap|a.tga\n"
            "-repairtextures|all\n-copyfile|a|b\n-backupasset");
    const std::string none = "Asset Folder not found, or not a valid asset: ";
    EXPECT_EQ(Messages(bed.host), Lines(9, none));
    EXPECT_EQ(ReadBytes(other + "/s.wav"), Wave(100));
}

}  // namespace
}  // namespace kelvarn::test
