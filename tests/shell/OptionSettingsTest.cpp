// The settings dialog's core: the tool-line codec, the tool editor's menus, OK's writes, the copy Cancel
// restores, the setup check, text files, the Open-With tool and the folder command's desktop entry.
#include <gtest/gtest.h>

#include <filesystem>

#include "shell/FolderCommand.h"
#include "shell/Macros.h"
#include "shell/OptionSettings.h"
#include "shell/ProgramState.h"
#include "shell/SettingsKeys.h"
#include "shell/Text.h"
#include "shell/ToolLine.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {

using test::ReadBytes;
using test::RecordingCommandBus;
using test::TempDir;
using test::WriteBytes;

const std::string B(kBrokenBar);
const std::string P(kPilcrow);
const std::string D(kMiddleDot);

// ---- tool lines --------------------------------------------------------------------------------

struct CommandCase {
    const char* name;
    std::vector<TParamRow> rows;
    std::string command;
};

class ToolCommand : public ::testing::TestWithParam<CommandCase> {};

TEST_P(ToolCommand, BuildsFromRowsAndReadsBack) {
    const CommandCase& c = GetParam();
    EXPECT_EQ(BuildToolCommand(c.rows), c.command);
    // Reading the command gives the rows that give something, trimmed.
    std::vector<TParamRow> expected;
    for (const TParamRow& row : c.rows)
        if (!Trim(row.switches).empty() || !Trim(row.file).empty()) expected.push_back({Trim(row.switches), Trim(row.file)});
    EXPECT_EQ(SplitToolCommand(c.command), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ToolCommand,
    ::testing::Values(
        CommandCase{"BlankInSwitchAndQuotedFile", {{"a b", "%p%"}}, "a" + D + "b\"%p%\""},
        CommandCase{"EmptyRowsSkipped", {{"", ""}, {"-x", ""}, {"  ", " "}, {"", "%pfe%"}, {"", ""}},
                    "-x" + P + "\"%pfe%\""},
        CommandCase{"TrimmedCells", {{"  -v  ", "  C:\\Program Files\\x.exe "}}, "-v\"C:\\Program Files\\x.exe\""},
        CommandCase{"NoRows", {}, ""},
        CommandCase{"OnlyEmptyRows", {{"", ""}, {" ", ""}}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ToolLine, TrailingPilcrowsAndStrayQuotesReadSafely) {
    EXPECT_EQ(SplitToolCommand("-a" + P + P + P), (std::vector<TParamRow>{{"-a", ""}}));
    // A part with two quoted pieces cannot be split into a switch and a file: it stays a switch whole.
    const auto rows = SplitToolCommand("x\"f\"y\"z");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(SplitToolCommand(BuildToolCommand(rows)), rows);
    // An unclosed quote is part of the switch.
    EXPECT_EQ(SplitToolCommand("-o\"open"), (std::vector<TParamRow>{{"-o\"open", ""}}));
}

TEST(ToolLine, EntryRoundTripsThroughTheStoredLine) {
    TToolEntry entry;
    entry.caption = "Edit with &Notes";
    entry.startIn = "%p%";
    entry.params = {{"-n 1", "%pfe%"}, {"--quiet", ""}};
    entry.window = 3;
    entry.output = 2;
    entry.before = 0;
    entry.after = 1;
    const std::string line = StoreToolEntry(entry);
    EXPECT_EQ(line, "Edit with &Notes" + B + "%p%" + B + "-n" + D + "1\"%pfe%\"" + P + "--quiet" + B + "3" + B + "2" + B +
                        "0" + B + "1" + B);
    EXPECT_EQ(LoadToolEntry(line), entry);
}

TEST(ToolLine, DefaultToolAndSeparatorsLoad) {
    const TToolEntry open = LoadToolEntry(keys::DefaultTool.def);
    EXPECT_EQ(open.caption, "Open");
    EXPECT_EQ(open.params, (std::vector<TParamRow>{{"", "%pfe%"}}));
    EXPECT_EQ(open.window, 1);
    EXPECT_EQ(StoreToolEntry(open), keys::DefaultTool.def);

    // A separator keeps nothing but its caption, whatever else the line held.
    EXPECT_TRUE(LoadToolEntry("-----" + B + "x" + B + "y").IsSeparator());
    EXPECT_EQ(StoreToolEntry(LoadToolEntry("-----" + B + "x" + B + "y")), "-----");
}

TEST(ToolLine, BadNumbersTakeTheClearedEditorsValues) {
    const TToolEntry entry = LoadToolEntry("T" + B + B + "cmd" + B + "9" + B + "x" + B + "-1" + B);
    const TToolEntry cleared;
    EXPECT_EQ(entry.window, cleared.window);
    EXPECT_EQ(entry.output, cleared.output);
    EXPECT_EQ(entry.before, cleared.before);
    EXPECT_EQ(entry.after, cleared.after);
}

// ---- menus -------------------------------------------------------------------------------------

TEST(OptionMenus, MenuListHoldsTheFixedMenusAndEachMaskOnce) {
    TMemIni ini;
    ini.SetText("[Extensions]\r\n1=*.im\r\n2=*.IM\r\n3=*.tga\r\n4=*.*\r\n");
    const std::vector<std::string> list = FillMenuList(ini);
    EXPECT_EQ(list, (std::vector<std::string>{"*.*", "*.im", "*.tga", "CustomA", "CustomB", "CustomC", "CustomD",
                                              "CustomE", "Documents", "Help", "Tools-Menu"}));
    // OK keeps the masks but "*.*".
    EXPECT_EQ(MenuListMasks({"*.im", "*.*", "Help", "CustomA"}), (std::vector<std::string>{"*.im"}));
}

TEST(OptionMenus, CustomTitleAndMaskLabelRowsRoundTrip) {
    TempDir dir;
    TMemIni ini(dir / "kelvarn.ini");
    ini.SetText("[CustomB]\r\n1=My Tools\r\n2=A" + B + B + "a" + B + "0" + B + "0" + B + "1" + B + "0" + B +
                "\r\n[*.im]\r\n3=View" + B + B + "\"%pfe%\"" + B + "1" + B + "0" + B + "0" + B + "0" + B + "\r\n");
    const auto custom = SelectMenuRows(ini, "CustomB");
    ASSERT_EQ(custom.size(), 2u);
    EXPECT_EQ(custom[0], "Title=My Tools");
    const auto mask = SelectMenuRows(ini, "*.im");
    ASSERT_EQ(mask.size(), 2u);
    EXPECT_EQ(mask[0], "Filemask: *.im");

    // Saved back: the title alone as value 1, the mask's label not at all, keys renumbered from 1.
    EXPECT_EQ(SaveMenu(ini, "CustomB", {"Title=Renamed", custom[1], "-----"}), "");
    EXPECT_EQ(ini.ReadString("CustomB", "1", ""), "Renamed");
    EXPECT_EQ(ini.ReadString("CustomB", "3", ""), "-----");
    EXPECT_EQ(SaveMenu(ini, "*.im", mask), "");
    EXPECT_EQ(ini.ReadString("*.im", "1", ""), mask[1]);
    EXPECT_FALSE(ini.ValueExists("*.im", "3"));
    // Flushed.
    EXPECT_NE(ReadBytes(dir / "kelvarn.ini").find("Renamed"), std::string::npos);

    // A custom menu left with neither title nor items is gone.
    SaveMenu(ini, "CustomB", {"Title="});
    EXPECT_FALSE(ini.SectionExists("CustomB") && SectionKeyCount(ini, "CustomB") > 0);
}

// ---- OK ----------------------------------------------------------------------------------------

TEST(OptionOk, HomeGridUnloadsRewritesAtMostFiveThenReloads) {
    TProgramState state;
    RecordingCommandBus bus;
    state.CommandTarget = &bus;
    state.Settings().SetText("[Home]\r\n1=C:\\a\r\n2=C:\\b\r\n[HomeState]\r\n1=0\r\n2=1\r\n");
    std::vector<THomeRow> rows = {{"1", "D:\\one"}, {"0", ""}, {"0", "D:\\two"}, {"0", "D:\\3"},
                                  {"0", "D:\\4"},   {"0", "D:\\5"}, {"0", "D:\\6"}};
    SaveHomeGrid(state, rows);
    EXPECT_EQ(bus.sent, (std::vector<std::pair<int, std::string>>{{ccHomeFolders, "-1"}, {ccHomeFolders, "-2"}, {ccHomeFolders, "0"}}));
    const std::vector<THomeRow> saved = ReadHomeRows(state.Settings());
    ASSERT_EQ(saved.size(), 5u);
    EXPECT_EQ(saved[0], (THomeRow{"1", "D:\\one"}));
    EXPECT_EQ(saved[1].folder, "D:\\two");  // the empty row leaves no gap
    EXPECT_EQ(saved[4].folder, "D:\\5");
}

TEST(OptionOk, KuidRangesKeepRowsWithNameAndValue) {
    TMemIni ini;
    ini.SetText("[KUID-Range]\r\nOld=1\r\n");
    WriteKuidRanges(ini, {{"Default", "100000"}, {"", "5"}, {"Rolling", ""}, {" Track ", " 2000 "}});
    std::vector<std::string> lines;
    ini.ReadSectionValues("KUID-Range", lines);
    EXPECT_EQ(lines, (std::vector<std::string>{"Default=100000", "Track=2000"}));
}

// ---- Cancel ------------------------------------------------------------------------------------

TEST(OptionCancel, RestoresTheFileByteForByteAndTheStoreWithUnflushedChanges) {
    TempDir dir;
    const std::string file = dir / "kelvarn.ini";
    const std::string original = "; mine\r\n[Options]\r\nAutoplay=1\r\n[ColoursMRU]\r\n1=#101010\r\n";
    WriteBytes(file, original);
    TMemIni ini(file);
    // Changed in memory before the dialog shows, never flushed: Cancel must keep it.
    ini.WriteString("HomeState", "1", "1");
    TSettingsSnapshot snapshot(ini);
    snapshot.Take();
    EXPECT_TRUE(std::filesystem::exists(dir / "kelvarn.$$$"));
    ini.WriteBool("Options", "Autoplay", false);
    ini.UpdateFile();
    EXPECT_TRUE(snapshot.Restore());
    EXPECT_EQ(ReadBytes(file), original);
    EXPECT_FALSE(std::filesystem::exists(dir / "kelvarn.$$$"));
    EXPECT_TRUE(ini.ReadBool("Options", "Autoplay", false));
    EXPECT_EQ(ini.ReadString("HomeState", "1", ""), "1");
}

TEST(OptionCancel, RestoresThroughALinkAndKeepsTheMode) {
    namespace fs = std::filesystem;
    TempDir dir;
    const std::string real = dir / "shared/kelvarn.ini";
    WriteBytes(real, "[Options]\r\nAutoplay=1\r\n");
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink(real, dir / "kelvarn.ini");
    TMemIni ini(dir / "kelvarn.ini");
    TSettingsSnapshot snapshot(ini);
    snapshot.Take();
    ini.WriteBool("Options", "Autoplay", false);
    ASSERT_EQ(ini.UpdateFile(), "");
    snapshot.Restore();
    EXPECT_TRUE(fs::is_symlink(dir / "kelvarn.ini"));
    EXPECT_EQ(ReadBytes(real), "[Options]\r\nAutoplay=1\r\n");
    EXPECT_EQ(fs::status(real).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    // Later writes still reach the file the link names.
    ini.WriteString("Options", "Wiki", "0");
    ASSERT_EQ(ini.UpdateFile(), "");
    EXPECT_NE(ReadBytes(real).find("Wiki=0"), std::string::npos);
}

TEST(OptionCancel, NoFileBeforeMeansNoFileAfterAndDiscardKeepsChanges) {
    TempDir dir;
    TMemIni ini(dir / "kelvarn.ini");
    TSettingsSnapshot snapshot(ini);
    snapshot.Take();
    ini.WriteString("Options", "Wiki", "0");
    ini.UpdateFile();
    EXPECT_TRUE(snapshot.Restore());
    EXPECT_FALSE(std::filesystem::exists(dir / "kelvarn.ini"));

    snapshot.Take();
    ini.WriteString("Options", "Wiki", "0");
    ini.UpdateFile();
    snapshot.Discard();
    EXPECT_FALSE(std::filesystem::exists(dir / "kelvarn.$$$"));
    EXPECT_NE(ReadBytes(dir / "kelvarn.ini").find("Wiki=0"), std::string::npos);
}

// ---- start-up and setup ------------------------------------------------------------------------

TEST(OptionStartup, FillsPathsBuildsDefaultToolAndUserNumber) {
    TempDir dir;
    TProgramState state;
    WriteBytes(dir / "kelvarn.ini", "[Paths]\r\nTrainz=C:\\Trainz\r\nBuild=3.5\r\nTS2009=D:\\TS9\r\nStrellworks=E:\\S\r\n"
                                    "[UserData]\r\nUserID= 123456 \r\n");
    state.OpenSettings(dir / "kelvarn.ini");
    LoadOptionSettings(state);
    EXPECT_EQ(ExpandMacros(state, "%trainz%|%2009%|%strell%|%build%"), "C:\\Trainz|D:\\TS9|E:\\S|3.5");
    EXPECT_EQ(state.DefaultBuild(), 35);
    EXPECT_EQ(state.UserKuidId, "123456");
    EXPECT_EQ(SectionKeyCount(state.Settings(), "Builds"), static_cast<int>(kDefaultBuilds.size()));
    const std::string disc = ReadBytes(dir / "kelvarn.ini");
    EXPECT_NE(disc.find("[default]"), std::string::npos);
    EXPECT_EQ(state.Settings().ReadString("default", "1", ""), keys::DefaultTool.def);
    EXPECT_TRUE(SetupComplete(state));

    // A user's own default tool and builds stay.
    state.Settings().SetText("[default]\r\n1=Mine\r\n[Builds]\r\n9.9=x\r\n[UserData]\r\nUserID=$1F\r\n");
    LoadOptionSettings(state);
    EXPECT_EQ(state.Settings().ReadString("default", "1", ""), "Mine");
    EXPECT_EQ(SectionKeyCount(state.Settings(), "Builds"), 1);
    EXPECT_EQ(state.UserKuidId, "");
    EXPECT_FALSE(SetupComplete(state));
}

TEST(OptionStartup, SetupMessageText) {
    EXPECT_EQ(kSetupMessage,
              "Kelvarn\n\nPlease make sure that the correct trainz-build and path data\n"
              "are entered into the next dialogue and then press [OK]\n\n"
              "You should not see this message again unless Kelvarn finds\nerrors in your setup.");
}

// ---- files -------------------------------------------------------------------------------------

TEST(OptionFiles, TextFilesByWholeExtension) {
    TempDir dir;
    struct Case {
        const char* name;
        bool text;
    };
    for (const Case& c : {Case{"run.TXT", true}, Case{"a.bat", true}, Case{"tool.cmd", true}, Case{"noext", false},
                          Case{"x.t", false}, Case{"x.tx", false}, Case{"x.txtx", false}, Case{"a.exe", false}}) {
        WriteBytes(dir / c.name, "x");
        EXPECT_EQ(IsTextFile(dir / c.name), c.text) << c.name;
    }
    EXPECT_FALSE(IsTextFile(""));
    EXPECT_FALSE(IsTextFile(dir / "missing.txt"));
}

TEST(OptionFiles, OpenWithInstallsRemovesAndNeedsTheLauncher) {
    TempDir dir;
    const std::string build = dir / "TS2009";
    // The folder exists with other case: it is found, not made twice.
    std::filesystem::create_directories(dir / "TS2009/bin/cmpdata/Tools/OpenWith");
    EXPECT_EQ(ToggleOpenWithTool(build, dir / "bin/Launch.Exe", "/opt/kelvarn"),
              "Source File Missing: " + (dir / "bin/Launch.Exe"));
    EXPECT_FALSE(OpenWithInstalled(build));

    WriteBytes(dir / "bin/Launch.Exe", "MZ");
    EXPECT_EQ(ToggleOpenWithTool(build + "/", dir / "bin/Launch.Exe", "/opt/kelvarn"), "");
    const std::string folder = dir / "TS2009/bin/cmpdata/Tools/OpenWith";
    EXPECT_EQ(ReadBytes(folder + "/Kelvarn.exe"), "MZ");
    TMemIni ini(folder + "/Kelvarn.ini");
    EXPECT_EQ(ini.ReadString("Paths", "exec", ""), "/opt/kelvarn");
    EXPECT_TRUE(EndsWith(ini.ReadString("Paths", "edit", ""), "TS2009\\UserData\\editing"));
    EXPECT_EQ(ini.ReadString("Parameters", "1", ""), "-CMP");
    EXPECT_EQ(ini.ReadString("Parameters", "2", ""), "%1");
    EXPECT_TRUE(OpenWithInstalled(build));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "TS2009/bin"), {}), 1);

    // The second click removes both files.
    EXPECT_EQ(ToggleOpenWithTool(build, dir / "bin/Launch.Exe", "/opt/kelvarn"), "");
    EXPECT_FALSE(std::filesystem::exists(folder + "/Kelvarn.exe"));
    EXPECT_FALSE(std::filesystem::exists(folder + "/Kelvarn.ini"));
    EXPECT_FALSE(OpenWithInstalled(""));
}

TEST(OptionFiles, ShadowToolVersionsUnderStrellworks) {
    struct Case {
        const char* version;
        bool accepted;
    };
    for (const Case& c : {Case{"1.9", false}, Case{"1.10", true}, Case{"2.0", true}}) {
        TempDir dir;
        TProgramState state;
        state.Paths.Strellworks = dir.Path();
        WriteBytes(dir / "DuskCaster/DuskCaster.ini", std::string("[Program]\r\nVersion=") + c.version + "\r\n");
        EXPECT_EQ(ShadowToolAccepted(state), c.accepted) << c.version;
    }
}

TEST(FolderCommand, DesktopEntryInTheUsersApplicationsFolder) {
    TempDir dir;
    const std::string data = dir / "data home";
    auto environment = [&](const std::string& name) { return name == "XDG_DATA_HOME" ? data : std::string(); };
    EXPECT_FALSE(FolderShellInstalled(environment));
    EXPECT_EQ(InstallFolderShell("/opt/my apps/kel\"varn", environment), "");
    const std::string file = data + "/applications/kelvarn-open-folder.desktop";
    EXPECT_EQ(FolderCommandFile(environment), file);
    EXPECT_TRUE(FolderShellInstalled(environment));
    const std::string entry = ReadBytes(file);
    EXPECT_NE(entry.find("Name=Open with Kelvarn\n"), std::string::npos);
    EXPECT_NE(entry.find("MimeType=inode/directory;\n"), std::string::npos);
    // The path is one quoted argument (its quote escaped twice over, as entries want), then the folder.
    EXPECT_NE(entry.find("Exec=\"/opt/my apps/kel\\\\\"varn\" %f\n"), std::string::npos) << entry;
    EXPECT_EQ(RemoveFolderShell(environment), "");
    EXPECT_FALSE(FolderShellInstalled(environment));

    // Without XDG_DATA_HOME the entry goes below HOME.
    auto home = [&](const std::string& name) { return name == "HOME" ? dir.Path() : std::string(); };
    EXPECT_EQ(FolderCommandFile(home), dir.Path() + "/.local/share/applications/kelvarn-open-folder.desktop");
}

}  // namespace
}  // namespace kelvarn
