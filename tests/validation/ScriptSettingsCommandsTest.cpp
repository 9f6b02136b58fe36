// Messages, settings, tools and -write: what reaches the settings file, the processes started and
// the files written.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "ScriptTestSupport.h"
#include "shell/Files.h"
#include "shell/MemIni.h"
#include "shell/SettingsKeys.h"
#include "shell/Strings.h"
#include "validation/ScriptSettingsCommands.h"

namespace kelvarn::test {
namespace {

using Lines = std::vector<std::string>;

const std::string kBar = "\xC2\xA6";  // the tool line's field separator

struct SettingsBed : ScriptBed {
    SettingsBed() : ScriptBed(false) {}
    std::string asset;
    Lines Said(std::string_view script) {
        host.log.clear();
        Run(script);
        return Messages(host);
    }
    TMemIni Reloaded() const { return TMemIni(Program() + "/kelvarn.ini"); }
    int IniCopies() const {
        std::vector<std::string> found;
        FindFiles(Backup() + "/*", "Kelvarn(*).ini", found, false);
        return static_cast<int>(found.size());
    }
};

TEST(ScriptSettings, IniAddForms) {
    SettingsBed bed;
    EXPECT_EQ(bed.Said("-iniadd|Empty||\n"
                       "-iniadd|List||ABC\n"
                       "-iniadd|List||abc\n"
                       "-iniadd|List||\"q v\"\n"
                       "-iniadd|Keys|path|%p%\\x\n"
                       "-inisave"),
              Lines{});
    const TMemIni ini = bed.Reloaded();
    EXPECT_TRUE(ini.SectionExists("Empty"));
    Lines keys;
    ini.ReadSection("Empty", keys);
    EXPECT_TRUE(keys.empty());
    Lines values;
    ini.ReadRawValues("List", values);
    EXPECT_EQ(values, (Lines{"ABC", "\"q v\""}));
    ini.ReadSection("List", keys);
    EXPECT_EQ(keys, (Lines{"1", "2"}));
    EXPECT_EQ(ini.ReadString("Keys", "path", ""), "%p%\\x");
}

TEST(ScriptSettings, IniDeleteForms) {
    SettingsBed bed;
    TMemIni& ini = bed.state.Settings();
    for (const char* s : {"A", "B", "C"}) {
        ini.WriteString(s, "k1", "1");
        ini.WriteString(s, "k2", "2");
    }
    EXPECT_EQ(bed.Said("-inidelete|A|*\n-inidelete|B|k1\n-inidelete|C|\n-inidelete||k1"),
              (Lines{"INIDelete, no section specified"}));
    Lines keys;
    EXPECT_TRUE(ini.SectionExists("A"));
    ini.ReadSection("A", keys);
    EXPECT_TRUE(keys.empty());
    ini.ReadSection("B", keys);
    EXPECT_EQ(keys, Lines{"k2"});
    EXPECT_FALSE(ini.SectionExists("C"));
}

TEST(ScriptSettings, InstallToolOnceAndTellsTheMenus) {
    SettingsBed bed;
    const std::string tool = "My &Tool" + kBar + kBar + "\"%bin%\\t.exe\" \"%pfe%\"" + kBar + "1" + kBar + "0" + kBar + "0" +
                             kBar + "0" + kBar;
    EXPECT_EQ(bed.Said("-installtool|Tools|" + tool), Lines{"New tool added: Tools/My &Tool"});
    EXPECT_EQ(bed.bus.sent.size(), 1u);
    EXPECT_EQ(bed.bus.sent[0].first, ccRebuildMenus);
    // Flushed: the file on disk has it, macros and quotes as written.
    Lines values;
    bed.Reloaded().ReadRawValues("Tools", values);
    EXPECT_EQ(values, Lines{tool});
    // The same tool again, in other case: refused, nothing sent.
    EXPECT_EQ(bed.Said("-installtool|Tools|" + UpperCase(tool)), Lines{"Unable to add tool or tool already installed"});
    EXPECT_EQ(bed.bus.sent.size(), 1u);
}

TEST(ScriptSettings, OneDatedCopyAMinute) {
    SettingsBed bed;
    bed.clock.Set(2011, 3, 4, 10, 20, 5);
    bed.Run("-iniadd|S|a|1\n-iniadd|S|b|2\n-inisave");
    EXPECT_EQ(bed.IniCopies(), 1);
    EXPECT_TRUE(FileExists(bed.Backup() + "/Kelvarn(201103041020).ini"));
    bed.clock.Set(2011, 3, 4, 10, 21, 0);
    bed.Run("-inidelete|S|a");
    EXPECT_EQ(bed.IniCopies(), 2);
}

TEST(ScriptSettings, SilentWordsAndFlush) {
    SettingsBed bed;
    bed.Run("-silent|ON");
    EXPECT_TRUE(bed.Reloaded().ReadBool("Options", "Silent", false));
    // Informational messages are dropped now.
    EXPECT_EQ(bed.Said("-info|.quiet\n-info|loud"), Lines{"loud"});
    for (const char* word : {"yes", "", "2"}) {
        bed.Run(std::string("-silent|") + word);
        EXPECT_TRUE(bed.Reloaded().ReadBool("Options", "Silent", false)) << word;
    }
    bed.Run("-silent|0");
    EXPECT_FALSE(bed.Reloaded().ReadBool("Options", "Silent", true));
}

TEST(ScriptSettings, SilentAndMessageBoxDoNothingInABatch) {
    SettingsBed bed;
    const std::string a = bed.Asset("a1", kTestConfig);
    bed.host.tagged = {a};
    bed.unit->FolderList = {a};
    bed.unit->RunOnTaggedAssets("B", SplitLines("-silent|on\n-messagebox|hi"));
    EXPECT_FALSE(bed.state.Settings().ReadBool("Options", "Silent", false));
    EXPECT_FALSE(FileExists(bed.Program() + "/kelvarn.ini"));
    for (const std::string& line : bed.host.log) {
        EXPECT_FALSE(StartsWith(line, "message")) << line;
        EXPECT_FALSE(StartsWith(line, "repaint")) << line;
    }
}

TEST(ScriptSettings, MessageBoxRepaintsFirstAndReportsNothing) {
    SettingsBed bed;
    bed.Run("-messagebox|Hello %bin%");
    EXPECT_EQ(bed.host.log, (Lines{"repaint", "message Hello <tmp>/program/bin"}));
}

TEST(ScriptSettings, SetEnvSeenByMacrosAndRemoved) {
    SettingsBed bed;
    EXPECT_EQ(bed.Said("-setenv|KELVARN_SETENV_TEST|a b\n-info|[%KELVARN_SETENV_TEST%]"), Lines{"[a b]"});
    ASSERT_NE(std::getenv("KELVARN_SETENV_TEST"), nullptr);
    EXPECT_EQ(bed.Said("-setenv|KELVARN_SETENV_TEST|\n-info|[%KELVARN_SETENV_TEST%]"), Lines{"[]"});
    EXPECT_EQ(std::getenv("KELVARN_SETENV_TEST"), nullptr);
    // No name: nothing set.
    EXPECT_EQ(bed.Said("-setenv||x"), Lines{});
}

// --- -write

struct WriteBed : SettingsBed {
    WriteBed() { asset = SelectAsset("asset", kTestConfig); }
    std::string File(std::string_view name) const { return asset + "/" + std::string(name); }
};

TEST(ScriptWrite, OpenLinesClose) {
    WriteBed bed;
    EXPECT_EQ(bed.Said("-write|open|out.txt\n-write|line|a\n-write|line|b\n-write|char|c\n-write|char|d\n-write|close"),
              Lines{});
    EXPECT_EQ(ReadBytes(bed.File("out.txt")), "a\r\nb\r\ncd");
}

TEST(ScriptWrite, ChecksInOrder) {
    WriteBed bed;
    EXPECT_EQ(bed.Said("-write|line|a\n-write|open|\n-write|append|\n-write|char|\n-write|close\n"
                       "-write|open|x.txt\n-write|char|\n-write|append|missing.txt"),
              (Lines{"Write: File not opened", "Write: Filename not defined", "Write: Filename not defined",
                     "Write: Empty text parameter, instruction skipped", "Write: File not opened",
                     "Write: Empty text parameter, instruction skipped",
                     "Write: File not found: <tmp>/asset/missing.txt"}));
    EXPECT_FALSE(FileExists(bed.File("x.txt")));
}

// A file closed stays closed, and an open or append that fails leaves none open: the lines after it
// go to no file, least of all the one closed before.
TEST(ScriptWrite, AFailedOpenOrAppendAndACloseLeaveNoFileOpen) {
    WriteBed bed;
    WriteBytes(bed.File("binary.txt"), std::string("\x89PNG\0\0\0\x0d\x01\x02\0\0", 12));
    EXPECT_EQ(bed.Said("-write|open|log.txt\n-write|line|first\n-write|close\n"
                       "-write|append|missing.txt\n-write|line|second\n-write|close"),
              (Lines{"Write: File not found: <tmp>/asset/missing.txt", "Write: File not opened",
                     "Write: File not opened"}));
    EXPECT_EQ(ReadBytes(bed.File("log.txt")), "first\r\n");

    const Lines said = bed.Said("-write|append|log.txt\n-write|line|third\n-write|close\n"
                                "-write|append|binary.txt\n-write|line|fourth\n-write|close");
    ASSERT_EQ(said.size(), 3u);
    EXPECT_TRUE(StartsWith(said[0], "Write: Unable to read <tmp>/asset/binary.txt: it is not a text file")) << said[0];
    EXPECT_EQ(said[1], "Write: File not opened");
    EXPECT_EQ(said[2], "Write: File not opened");
    EXPECT_EQ(ReadBytes(bed.File("log.txt")), "first\r\nthird\r\n");

    // A line after close, or after an open without a name, starts no second copy of the closed file.
    EXPECT_EQ(bed.Said("-write|open|log.txt\n-write|line|new\n-write|close\n-write|line|after\n-write|close\n"
                       "-write|open|log.txt\n-write|open|\n-write|line|lost\n-write|close"),
              (Lines{"Write: File not opened", "Write: File not opened", "Write: Filename not defined",
                     "Write: File not opened", "Write: File not opened"}));
    EXPECT_EQ(ReadBytes(bed.File("log.txt")), "new\r\n");
}

// Absolute names stay where they point, whatever their separators; relative ones lie in the asset.
TEST(ScriptWrite, AbsoluteMacroLoopFolderAndRelativeNames) {
    WriteBed bed;
    const std::string elsewhere = bed.dir / "elsewhere";
    ForceDirectories(elsewhere);
    WriteBytes(bed.File("sub/item.txt"), "");
    EXPECT_EQ(bed.Said("-write|open|" + elsewhere + "/abs.txt\n-write|line|a\n-write|close\n"
                       "-write|open|%p%\\macro.txt\n-write|line|b\n-write|close\n"
                       "-foreach|file|sub\\*.txt\n-write|open|^Dloop.txt\n-write|line|c\n-write|close\n-endfor\n"
                       "-write|open|sub/rel.txt\n-write|line|d\n-write|close\n"
                       "-write|append|%p%\\macro.txt\n-write|line|e\n-write|close"),
              Lines{});
    EXPECT_EQ(ReadBytes(elsewhere + "/abs.txt"), "a\r\n");
    EXPECT_EQ(ReadBytes(bed.File("macro.txt")), "b\r\ne\r\n");
    EXPECT_EQ(ReadBytes(bed.File("sub/loop.txt")), "c\r\n");
    EXPECT_EQ(ReadBytes(bed.File("sub/rel.txt")), "d\r\n");
}

TEST(ScriptWrite, AppendThenLineStartsALine) {
    WriteBed bed;
    WriteBytes(bed.File("Log.TXT"), "one\r\ntwo");
    bed.Run("-write|append|log.txt\n-write|line|three\n-write|close");
    EXPECT_EQ(ReadBytes(bed.File("Log.TXT")), "one\r\ntwo\r\nthree\r\n");
    EXPECT_FALSE(FileExists(bed.File("log.txt")));
}

TEST(ScriptWrite, EscapeKeepsBarsCaretsAndMacros) {
    WriteBed bed;
    bed.Run("-store|1|mem\n-write|open|e.txt\n-write|escape|a|^1|%p%\n-write|line|^1 %fe%|cut\n-write|close");
    EXPECT_EQ(ReadBytes(bed.File("e.txt")), "a|^1|%p%mem \r\n");
}

TEST(ScriptWrite, AppendKeepsTheFilesEncoding) {
    WriteBed bed;
    WriteBytes(bed.File("w.txt"), "caf\xE9\r\n");  // Windows-1252
    WriteBytes(bed.File("u.txt"), "caf\xC3\xA9\r\n");
    bed.Run("-write|append|w.txt\n-write|line|na\xC3\xAFve\n-write|close\n"
            "-write|append|u.txt\n-write|line|na\xC3\xAFve\n-write|close\n"
            "-write|open|new.txt\n-write|line|\xC3\xA9t\xC3\xA9\n-write|close");
    EXPECT_EQ(ReadBytes(bed.File("w.txt")), "caf\xE9\r\nna\xEFve\r\n");
    EXPECT_EQ(ReadBytes(bed.File("u.txt")), "caf\xC3\xA9\r\nna\xC3\xAFve\r\n");
    EXPECT_EQ(ReadBytes(bed.File("new.txt")), "\xC3\xA9t\xC3\xA9\r\n");  // UTF-8, no byte-order mark
}

// A file of Windows-1252 and UTF-8 lines, or with LF ends, keeps every byte it had; only the added
// lines are encoded, as new lines of that file are.
TEST(ScriptWrite, AppendKeepsEveryLinesBytes) {
    WriteBed bed;
    const std::string mixed = "caf\xE9\nna\xC3\xAFve\n";  // Windows-1252, then UTF-8
    const std::string latin = "caf\xE9\r\nplain";
    WriteBytes(bed.File("mixed.txt"), mixed);
    WriteBytes(bed.File("latin.txt"), latin);
    bed.Run("-write|append|mixed.txt\n-write|line|\xC3\xA9t\xC3\xA9\n-write|close\n"
            "-write|append|latin.txt\n-write|line|\xC3\xA9t\xC3\xA9\n-write|line|\xE2\x86\x92 next\n-write|close");
    EXPECT_EQ(ReadBytes(bed.File("mixed.txt")), mixed + "\xC3\xA9t\xC3\xA9\n");
    EXPECT_EQ(ReadBytes(bed.File("latin.txt")), latin + "\r\n\xE9t\xE9\r\n\xE2\x86\x92 next\r\n");
}

TEST(ScriptWrite, ReplacedFileIsBackedUpAndAFailedSaveSaysSo) {
    WriteBed bed;
    WriteBytes(bed.File("keep.txt"), "mine");
    bed.Run("-write|open|keep.txt\n-write|line|theirs\n-write|close");
    std::vector<std::string> backups;
    FindFiles(bed.Backup() + "/*", "*keep.txt", backups, false);
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_EQ(ReadBytes(backups[0]), "mine");

    SetWriteFaultHook([](const std::string& path) { return EndsWith(path, "fail.txt") ? 2 : std::string::npos; });
    const Lines said = bed.Said("-write|open|fail.txt\n-write|line|abcdef\n-write|close");
    SetWriteFaultHook(nullptr);
    ASSERT_EQ(said.size(), 1u);
    EXPECT_EQ(said[0], "Write: Unable to write <tmp>/asset/fail.txt: the disk refused the data");
    EXPECT_FALSE(FileExists(bed.File("fail.txt")));
}

TEST(ScriptWrite, NoAssetFolderWritesNothing) {
    SettingsBed bed;
    EXPECT_EQ(bed.Said("-write|open|out.txt\n-write|line|a\n-write|close"),
              (Lines{"Asset Folder not found, or not a valid asset: ", "Write: File not opened",
                     "Write: File not opened"}));
}

// --- tools

struct ToolBed : SettingsBed {
    ToolBed() {
        asset = SelectAsset("asset", kTestConfig);
        state.SetAssetFileName("tower.im");
        WriteBytes(Program() + "/bin/tool.exe", "");
    }
    std::string Line(std::string_view command, int output = 0, int before = 0) const {
        return "Cap&tion" + kBar + kBar + std::string(command) + kBar + "1" + kBar + std::to_string(output) + kBar +
               std::to_string(before) + kBar + "0" + kBar;
    }
    std::string File(std::string_view name) const { return asset + "/" + std::string(name); }
    Lines Arguments(std::size_t run = 0) const {
        if (run >= runner.runs.size()) return {"<no run>"};
        Lines out{runner.runs[run].program};
        out.insert(out.end(), runner.runs[run].arguments.begin(), runner.runs[run].arguments.end());
        return out;
    }
};

TEST(ScriptTools, MenuExecuteFindsItsLine) {
    ToolBed bed;
    TMemIni& ini = bed.state.Settings();
    ini.WriteString("Own", "1", bed.Line("first"));
    ini.WriteString("Own", "2", bed.Line("last"));
    ini.WriteString("CustomA", "1", "&Other" + kBar + "Nothing");
    ini.WriteString("CustomB", "1", "&Tools" + kBar + "Mine" + kBar);
    ini.WriteString("CustomB", "2", bed.Line("alpha a"));
    ini.WriteString("CustomB", "3", bed.Line("beta b"));
    ini.WriteString("CustomB", "4", bed.Line("beta c"));
    ini.WriteString("Empty", "x", "");

    struct Case {
        std::string line;
        Lines said;
        std::string program;
    };
    const std::vector<Case> cases = {
        {"-menuexecute|Own|anything", {"Menu Execute Caption"}, "last"},
        {"-menuexecute|Mine|beta", {"Menu Execute Caption"}, "beta"},  // the last line holding the key
        {"-menuexecute|Mine|zeta", {"INI List Key not found."}, ""},
        {"-menuexecute|Mine|", {"INI List Key not found."}, ""},
        {"-menuexecute|Tools|alpha", {"INI section Tools NOT found"}, ""},  // within the first five characters
        {"-menuexecute|Gone|x", {"INI section Gone NOT found"}, ""},
        {"-menuexecute||x", {"INI section  NOT found"}, ""},
    };
    for (const Case& c : cases) {
        bed.runner.runs.clear();
        EXPECT_EQ(bed.Said(c.line), c.said) << c.line;
        EXPECT_EQ(bed.runner.runs.size(), c.program.empty() ? 0u : 1u) << c.line;
        if (!c.program.empty() && !bed.runner.runs.empty()) {
            EXPECT_EQ(bed.runner.runs[0].program, c.program) << c.line;
        }
    }
    // The run had the hourglass.
    bed.Run("-menuexecute|Own|x");
    EXPECT_NE(std::find(bed.host.log.begin(), bed.host.log.end(), "busy on"), bed.host.log.end());
}

TEST(ScriptTools, MenuExecuteTargetIsOneArgument) {
    ToolBed bed;
    bed.state.Settings().WriteString("T", "1", bed.Line("%bin%\\tool.exe -f %pfe% \"%fe%\""));
    bed.Run("-menuexecute|T|k|my 'odd' file.tga");
    EXPECT_EQ(bed.Arguments(), (Lines{bed.Program() + "/bin/tool.exe", "-f", bed.asset + "/my 'odd' file.tga", "tower.im"}));
    // Four characters or fewer: the current file.
    bed.runner.runs.clear();
    bed.Run("-menuexecute|T|k|a.im");
    EXPECT_EQ(bed.Arguments(), (Lines{bed.Program() + "/bin/tool.exe", "-f", bed.asset + "/tower.im", "tower.im"}));
    // A fourth parameter: no target at all.
    bed.runner.runs.clear();
    bed.Run("-menuexecute|T|k|longer.tga|x");
    EXPECT_EQ(bed.Arguments(), (Lines{bed.Program() + "/bin/tool.exe", "-f", bed.asset + "/tower.im", "tower.im"}));
}

TEST(ScriptTools, MenuExecuteBadNumbersAreShown) {
    ToolBed bed;
    bed.state.Settings().WriteString("B", "1", bed.Line("prog", 0, 7));
    bed.state.Settings().WriteString("O", "1", bed.Line("prog", 9, 0));
    bed.Run("-menuexecute|B|k\n-menuexecute|O|k");
    EXPECT_EQ(bed.messages.messages, (Lines{"Invalid Before Action specifier", "Invalid Capture Action Specifier"}));
    EXPECT_EQ(bed.runner.runs.size(), 2u);
}

TEST(ScriptTools, MakerToolCommandLines) {
    ToolBed bed;
    TMemIni& ini = bed.state.Settings();
    ini.WriteString("System", "Meshwright", "%bin%\\tool.exe /x:%p%");
    ini.WriteString("System", "batch,Meshwright", "/q -s \"%p%\\in dir\\a.im\" tail");
    ini.WriteString("System", "Texwright", "%bin%/missing.exe /a");
    ini.WriteString("System", "DuskCaster", "\"%bin%\\tool.exe\" \"%p%\"");

    struct Case {
        std::string line;
        Lines said;
        Lines arguments;
    };
    const std::string tool = bed.Program() + "/bin/tool.exe";
    const std::vector<Case> cases = {
        // Options up to the first quote, switches kept; the target between the quotes, one argument.
        {"-meshwright|batch", {}, {tool, "/q", "-s", bed.asset + "/in dir/a.im"}},
        {"-meshwright|batch|my file.pm", {}, {tool, "/q", "-s", "my file.pm"}},
        {"-meshwright||x.im", {}, {tool, "x.im"}},
        {"-texwright|batch", {"Tool not found: <tmp>/program/bin/missing.exe"}, {"<no run>"}},
        // Without p1 and p2: the setting itself.
        {"-duskcaster", {}, {tool, bed.asset}},
    };
    for (const Case& c : cases) {
        bed.runner.runs.clear();
        EXPECT_EQ(bed.Said(c.line), c.said) << c.line;
        EXPECT_EQ(bed.Arguments(), c.arguments) << c.line;
        if (!bed.runner.runs.empty()) {
            EXPECT_TRUE(bed.runner.runs[0].captureOutput) << "the run waits for the tool";
            EXPECT_EQ(bed.runner.runs[0].showWindow, 1);
        }
    }
}

// Moves to a folder of its own, so a test can see what went.
class FolderTrash final : public ITrash {
public:
    std::string folder;
    std::string MoveToTrash(const std::string& path) override {
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
        std::filesystem::rename(path, std::filesystem::path(folder) / std::filesystem::path(path).filename(), ec);
        return ec ? "Unable to move " + path + " to the trash" : std::string();
    }
};

TEST(ScriptTools, MeshwrightChecksThenAdoptsItsMeshes) {
    ToolBed bed;
    FolderTrash trash;
    trash.folder = bed.dir / "trash";
    bed.state.Trash = &trash;
    bed.state.Settings().WriteString("System", "Meshwright", "%bin%\\tool.exe");
    const std::string good = std::string("JIRF") + std::string("\x04\0\0\0", 4) + "abcd";
    WriteBytes(bed.File("sub/bad.pm"), "JIRF\x09\0\0\0abcd");
    WriteBytes(bed.File("body.pm"), good);
    WriteBytes(bed.File("lone.pm"), good);
    EXPECT_EQ(bed.Said("-meshwright"), Lines{"<tmp>/asset/sub/bad.pm: Mesh file is corrupt"});
    EXPECT_TRUE(bed.runner.runs.empty());

    std::filesystem::remove(bed.File("sub/bad.pm"));
    bed.main->SetTagByPath("mesh", "body.pm");
    bed.main->SetTagByPath("mesh-table\\default\\mesh", "lone.pm");
    // The tool makes body.im beside body.pm.
    bed.runner.onRun = [&bed, good](const ProcessRequest&) { WriteBytes(bed.File("Body.im"), good); };
    bed.Said("-meshwright");
    ASSERT_EQ(bed.runner.runs.size(), 1u);
    EXPECT_TRUE(bed.runner.runs[0].captureOutput);
    EXPECT_EQ(bed.main->GetValueByPath("mesh"), "body.im");
    EXPECT_EQ(bed.main->GetValueByPath("mesh-table\\default\\mesh"), "lone.pm") << "only top-level mesh tags";
    EXPECT_FALSE(FileExists(bed.File("body.pm")));
    EXPECT_TRUE(FileExists(trash.folder + "/body.pm"));
    EXPECT_TRUE(FileExists(bed.File("lone.pm")));
}

// Nothing shows a maker tool's output, so the script says when the user stopped the tool (then what
// it was to make is not taken up) or its output was cut.
TEST(ScriptTools, AToolStoppedOrCutShortIsReported) {
    ToolBed bed;
    bed.state.Settings().WriteString("System", "Meshwright", "%bin%\\tool.exe");
    bed.state.Settings().WriteString("System", "Texwright", "%bin%\\tool.exe");
    const std::string good = std::string("JIRF") + std::string("\x04\0\0\0", 4) + "abcd";
    WriteBytes(bed.File("body.pm"), good);
    bed.main->SetTagByPath("mesh", "body.pm");
    bed.runner.onRun = [&bed, good](const ProcessRequest&) { WriteBytes(bed.File("body.im"), good); };
    bed.runner.cancelled = true;
    EXPECT_EQ(bed.Said("-meshwright"), Lines{"Meshwright: stopped by the user"});
    EXPECT_EQ(bed.main->GetValueByPath("mesh"), "body.pm");
    EXPECT_TRUE(FileExists(bed.File("body.pm")));

    bed.runner.cancelled = false;
    bed.runner.truncated = true;
    EXPECT_EQ(bed.Said("-texwright"), Lines{"Texwright: output cut at 64 MB"});
    EXPECT_EQ(bed.runner.runs.size(), 2u);
}

TEST(ScriptTools, NoAssetFolderRunsNoTool) {
    SettingsBed bed;
    bed.state.Settings().WriteString("System", "Texwright", "tool");
    EXPECT_EQ(bed.Said("-texwright"), Lines{"Asset Folder not found, or not a valid asset: "});
    EXPECT_TRUE(bed.runner.runs.empty());
    bed.SelectAsset("asset", kTestConfig);
    EXPECT_EQ(bed.Said("-duskcaster"), Lines{"Tool not found: DuskCaster"});
    EXPECT_TRUE(bed.runner.runs.empty());
}

}  // namespace
}  // namespace kelvarn::test
