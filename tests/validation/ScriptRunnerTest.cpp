// The runner and the ways a run starts on the current asset.
#include <gtest/gtest.h>

#include "ScriptTestSupport.h"
#include "shell/Backups.h"
#include "shell/Files.h"
#include "shell/SettingsKeys.h"
#include "shell/Strings.h"

namespace kelvarn::test {
namespace {

using Lines = std::vector<std::string>;

TEST(ScriptRunner, CallPathOfNestedScripts) {
    ScriptBed bed;
    bed.WriteScript("a", "-info|a1\n-callscript|b\n-info|a2");
    bed.WriteScript("b", "-info|b1\n-info|b2");
    EXPECT_EQ(bed.unit->RunNamedScript("a", false), "");
    EXPECT_EQ(Alerts(bed.host), (Lines{"alert+ a\\001: a1", "alert+ a\\b\\001: b1", "alert+ a\\b\\002: b2", "alert+ a\\003: a2"}));
    EXPECT_EQ(bed.unit->CallPath, "");
    EXPECT_FALSE(bed.unit->Running());
}

TEST(ScriptRunner, SelfCallIsRefusedOnceAndTheCallerGoesOn) {
    ScriptBed bed;
    bed.WriteScript("a", "-callscript|a\n-info|after");
    bed.unit->RunNamedScript("a", false);
    EXPECT_EQ(Alerts(bed.host),
              (Lines{"alert+ a\\001: Possibly recursive call not allowed: (-CallScript|a)", "alert+ a\\002: after"}));
    EXPECT_EQ(bed.host.treeDepth, 0);
    EXPECT_GT(bed.host.treeUpdates, 0);
}

TEST(ScriptRunner, ScriptOfASubFolderCallingItselfIsSeen) {
    ScriptBed bed;
    WriteBytes(bed.Scripts() + "/Tools/fix.kvm", "-callscript|Tools\\fix\n-info|end");
    bed.unit->RunNamedScript("Tools\\fix", false);
    EXPECT_EQ(Alerts(bed.host),
              (Lines{"alert+ fix\\001: Possibly recursive call not allowed: (-CallScript|fix)", "alert+ fix\\002: end"}));
}

TEST(ScriptRunner, NestingHasALimit) {
    ScriptBed bed;
    for (int i = 0; i < 100; ++i) bed.WriteScript("s" + std::to_string(i), "-callscript|s" + std::to_string(i + 1));
    bed.unit->RunNamedScript("s0", false);
    const Lines alerts = Alerts(bed.host);
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_TRUE(EndsWith(alerts[0], "s63\\001: Possibly recursive call not allowed: (-CallScript|s64)")) << alerts[0];
}

TEST(ScriptRunner, ExitInANestedScriptEndsOnlyThatScript) {
    ScriptBed bed;
    bed.WriteScript("a", "-callscript|b\n-info|a2");
    bed.WriteScript("b", "-info|b1\n-exit|bye");
    bed.unit->RunNamedScript("a", false);
    EXPECT_EQ(Alerts(bed.host),
              (Lines{"alert+ a\\b\\001: b1", "alert+ a\\b\\002: bye Execution terminated", "alert+ a\\002: a2"}));
}

TEST(ScriptRunner, EveryNestedRunHasFreshVariables) {
    ScriptBed bed;
    bed.WriteScript("a", "-store|1|x\n-foreach|option|p\n-callscript|b\n-info|^1 ^V\n-endfor");
    bed.WriteScript("b", "-info|[^1]\n-info|^V");
    bed.unit->RunNamedScript("a", false);
    EXPECT_EQ(Alerts(bed.host), (Lines{"alert+ a\\b\\001: []", "alert+ a\\b\\002: Error expanding variable ^V: ^V",
                                       "alert+ a\\004: x p"}));
}

TEST(ScriptRunner, MissingScripts) {
    ScriptBed bed;
    EXPECT_EQ(bed.unit->RunNamedScript("nope", false), "File not found: nope");
    EXPECT_EQ(bed.unit->RunScriptRequest("\"/no/such.kvm\"", true), "Script not found: /no/such.kvm");
    bed.WriteScript("a", "-callscript|nope");
    bed.unit->RunNamedScript("a", false);
    EXPECT_EQ(Alerts(bed.host), (Lines{"alert+ a\\001: File not found: nope"}));
}

TEST(ScriptRunner, NamedScriptFoundIgnoringCase) {
    ScriptBed bed;
    bed.WriteScript("Fix Kinds", "-info|ran");
    EXPECT_EQ(bed.unit->RunNamedScript("fix kinds.KVM", false), "");
    EXPECT_EQ(Alerts(bed.host), (Lines{"alert+ fix kinds\\001: ran"}));
}

TEST(ScriptRunner, SnapshotsBeforeAndAfterANamedRun) {
    ScriptBed bed;
    bed.SelectAsset("asset", kTestConfig);
    WriteBytes(bed.Backup() + "/undo0.kv$", "taken by someone else");
    bed.WriteScript("a", "-update|kind|x\n-callscript|b");
    bed.WriteScript("b", "-update|kind|y");
    bed.unit->RunNamedScript("a", true);
    EXPECT_TRUE(FileExists(bed.Backup() + "/undo1.kv$"));  // before
    EXPECT_TRUE(FileExists(bed.Backup() + "/undo2.kv$"));  // after; -callscript takes none
    EXPECT_FALSE(FileExists(bed.Backup() + "/undo3.kv$"));
    EXPECT_TRUE(bed.main->UndoLastChange());
    EXPECT_EQ(bed.main->GetValueByPath("kind"), "y");
    EXPECT_TRUE(bed.main->UndoLastChange());
    EXPECT_EQ(bed.main->GetValueByPath("kind"), "scenery");
}

TEST(ScriptRunner, InlineCommandsOfCallback244) {
    ScriptBed bed;
    bed.SelectAsset("asset", kTestConfig);
    EXPECT_EQ(bed.unit->RunScriptRequest("-info|one\" \"-info|two\"\"-info|three", false), "");
    EXPECT_EQ(Alerts(bed.host), (Lines{"alert+ RunKVM\\001: one", "alert+ RunKVM\\003: two", "alert+ RunKVM\\004: three"}));
    EXPECT_TRUE(FileExists(bed.Backup() + "/undo0.kv$"));  // inline commands always take a snapshot
}

TEST(ScriptRunner, ScriptPathOfCallback244) {
    ScriptBed bed;
    bed.WriteScript("$$$", "-info|typed");
    EXPECT_EQ(bed.unit->RunScriptRequest("\"" + bed.Scripts() + "/$$$.kvm\"", false), "");
    EXPECT_EQ(Alerts(bed.host), (Lines{"alert+ $$$\\001: typed"}));
}

TEST(ScriptRunner, EmbedThenRunEmbedded) {
    ScriptBed bed;
    bed.SelectAsset("asset", kTestConfig);
    const std::string file = bed.Scripts() + "/My Fix.kvm";
    WriteBytes(file, "\t-info|first\r\n\r\n; a note\r\n  -update|kind|\"built\"\r\n");
    bed.host.answers = {file};
    bed.unit->EmbedScript();
    const std::string root = "config.txt\\extensions\\kelvarn-604117\\scripts\\My_Fix\\";
    std::vector<std::string> names;
    bed.main->ListChildNames(root, names);
    EXPECT_EQ(names, (Lines{"001", "004"}));
    EXPECT_EQ(bed.main->GetValueByPath(root + "001"), "-info|first");
    EXPECT_EQ(bed.main->GetValueByPath(root + "004"), "-update|kind|built");
    EXPECT_TRUE(bed.main->CanUndo());
    bed.host.log.clear();
    bed.unit->RunEmbeddedScript("My_Fix", false);
    EXPECT_EQ(Alerts(bed.host), (Lines{"alert+ My_Fix\\001: first"}));
    EXPECT_EQ(bed.main->GetValueByPath("kind"), "built");
}

TEST(ScriptRunner, EmbeddedScriptStartingWithAMark) {
    ScriptBed bed;
    bed.SelectAsset("asset", kTestConfig);
    bed.main->SetTagByPath("config.txt\\extensions\\kelvarn-604117\\scripts\\s\\001", "\xEF\xBB\xBF-info|x");
    bed.unit->RunEmbeddedScript("s", false);
    EXPECT_EQ(Alerts(bed.host), (Lines{"alert+ s\\001: x"}));
}

TEST(ScriptRunner, StartUpScripts) {
    ScriptBed bed;
    bed.WriteScript("autorun", "-info|auto");
    bed.WriteScript("runonce", "-bogus\n-info|once");
    bed.unit->RunAutorunScripts();
    EXPECT_EQ(Alerts(bed.host), (Lines{"alert+ autorun\\001: auto", "alert+ runonce\\001: Invalid Script Call: -bogus",
                                       "alert+ runonce\\002: once"}));
    EXPECT_FALSE(FileExists(bed.Scripts() + "/runonce.kvm"));
    EXPECT_TRUE(FileExists(bed.Scripts() + "/autorun.kvm"));
    EXPECT_FALSE(FileExists(bed.Backup() + "/undo0.kv$"));
}

TEST(ScriptRunner, NoStartUpScriptsDuringARun) {
    ScriptBed bed;
    bed.WriteScript("autorun", "-info|auto");
    bed.host.onPoll = [&](int) { bed.unit->RunAutorunScripts(); };  // a dialog re-activated the main window
    bed.WriteScript("a", "-info|a1\n-info|a2");
    bed.unit->RunNamedScript("a", false);
    EXPECT_EQ(Alerts(bed.host), (Lines{"alert+ a\\001: a1", "alert+ a\\002: a2"}));
}

TEST(ScriptRunner, RunningLastsTheWholeRunAndRefreshesOnce) {
    ScriptBed bed;
    bed.unit->Commands().Register(17, [&](ScriptCall& c) {
        bed.host.Note(std::string("running ") + (c.unit.Running() ? "1" : "0"));
        c.unit.RefreshAfterRun = true;  // the file list asked meanwhile
        return std::string();
    });
    bed.WriteScript("a", "-expand|x\n-callscript|b\n-expand|x");
    bed.WriteScript("b", "-expand|y");
    bed.unit->RunNamedScript("a", false);
    Lines told;
    for (const std::string& line : bed.host.log)
        if (!StartsWith(line, "status")) told.push_back(line);
    EXPECT_EQ(told, (Lines{"running 1", "running 1", "running 1", "refresh"}));
    EXPECT_FALSE(bed.unit->Running());
}

TEST(ScriptRunner, ExecuteScriptCommandsOpensTheTypedScript) {
    ScriptBed bed;
    bed.unit->ExecuteScriptCommands();
    EXPECT_TRUE(FileExists(bed.Scripts() + "/$$$.kvm"));
    EXPECT_EQ(bed.host.log, (Lines{"viewer Script Execute <tmp>/program/scripts\\$$$.kvm [Execute|Undo|Close]"}));
}

class RecordingRunner final : public IProcessRunner {
public:
    std::vector<ProcessRequest> requests;
    ProcessResult Run(const ProcessRequest& request) override {
        requests.push_back(request);
        ProcessResult r;
        r.started = true;
        return r;
    }
    bool OpenWithDefault(const std::string&) override { return false; }
};

TEST(ScriptRunner, EditScriptFile) {
    ScriptBed bed;
    const std::string script = bed.Scripts() + "/new one.kvm";
    bed.host.answers = {script, ""};
    bed.unit->EditScriptFile();
    bed.unit->EditScriptFile();  // cancelled
    EXPECT_TRUE(FileExists(script));
    EXPECT_EQ(bed.host.log, (Lines{"ask Select Script File (Kelvarn scripts (*.kvm)|*.kvm) -> <tmp>/program/scripts/new one.kvm",
                                   "viewer Editing: new one.kvm <tmp>/program/scripts/new one.kvm [Save||Cancel]",
                                   "ask Select Script File (Kelvarn scripts (*.kvm)|*.kvm) -> cancel"}));

    // An external editor gets the script as one argument, whatever its name holds.
    RecordingRunner runner;
    bed.state.Runner = &runner;
    const std::string editor = bed.dir / "bin/editor";
    WriteBytes(editor, "");
    WriteSetting(bed.state.Settings(), keys::Editor, editor);
    WriteSettingBool(bed.state.Settings(), keys::External, true);
    bed.host.answers = {bed.Scripts() + "/a \"b\" $(x).kvm"};
    bed.unit->EditScriptFile();
    ASSERT_EQ(runner.requests.size(), 1u);
    EXPECT_EQ(runner.requests[0].program, editor);
    EXPECT_EQ(runner.requests[0].arguments, (Lines{bed.Scripts() + "/a \"b\" $(x).kvm"}));
}

TEST(ScriptRunner, RunScriptFileTakesASnapshot) {
    ScriptBed bed;
    bed.SelectAsset("asset", kTestConfig);
    bed.WriteScript("pick", "-update|kind|picked");
    bed.host.answers = {bed.Scripts() + "/pick.kvm"};
    bed.unit->RunScriptFile();
    EXPECT_EQ(bed.main->GetValueByPath("kind"), "picked");
    EXPECT_TRUE(bed.main->UndoLastChange());
    EXPECT_EQ(bed.main->GetValueByPath("kind"), "scenery");
}

TEST(ScriptRunner, EscapeStopsTheRunBeforeItsNextLine) {
    ScriptBed bed;
    bed.host.onPoll = [&](int poll) {
        if (poll == 2) bed.unit->Terminate = true;
    };
    bed.Run("-info|1\n-info|2\n-info|3");
    EXPECT_EQ(Alerts(bed.host), (Lines{"alert+ test\\001: 1"}));
    EXPECT_FALSE(bed.unit->Terminate);
}

TEST(ScriptRunner, SettingsCopyOncePerStamp) {
    ScriptBed bed;
    WriteBytes(bed.Program() + "/kelvarn.ini", "[Options]\r\n");
    bed.state.OpenSettings(bed.Program() + "/kelvarn.ini");
    bed.clock.Set(2012, 5, 6, 7, 8, 9);
    EXPECT_EQ(IniBackup(bed.state, "yyyymmddhhnn"), "");
    WriteSetting(bed.state.Settings(), keys::Language, "fr");
    EXPECT_EQ(IniBackup(bed.state, "yyyymmddhhnn"), "");
    bed.clock.Set(2012, 5, 6, 7, 9, 0);
    EXPECT_EQ(IniBackup(bed.state, "yyyymmddhhnn"), "");
    EXPECT_FALSE(ContainsText(ReadBytes(bed.Backup() + "/Kelvarn(201205060708).ini"), "fr"));
    EXPECT_TRUE(ContainsText(ReadBytes(bed.Backup() + "/Kelvarn(201205060709).ini"), "Language=fr"));
}

}  // namespace
}  // namespace kelvarn::test
