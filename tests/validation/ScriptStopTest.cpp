// Stopping a run: Escape through nested scripts, errors that stop it, the recursion guard, one run
// at a time, and embedded scripts that run only what was embedded.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "ScriptTestSupport.h"
#include "shell/Files.h"
#include "shell/SettingsKeys.h"
#include "shell/Strings.h"

namespace kelvarn::test {
namespace {

using Lines = std::vector<std::string>;

// A loop of 2000 passes, each calling the script "work", whose -expand counts the passes.
struct LoopBed : ScriptBed {
    int passes = 0;
    std::function<void(int)> onPass;
    LoopBed() {
        WriteScript("loop", "-foreach|number|1-2000\n-callscript|work\n-endfor\n-info|after the loop");
        WriteScript("work", "-expand\n-info|.pass");
        WriteSettingBool(state.Settings(), keys::Silent, true);
        unit->Commands().Register(17, [this](ScriptCall&) {
            ++passes;
            if (onPass) onPass(passes);
            return std::string();
        });
    }
};

TEST(ScriptStop, EscapeEndsEveryLevelOfANestedRun) {
    LoopBed bed;
    bed.onPass = [&](int pass) {
        if (pass == 50) bed.unit->Stop();
    };
    EXPECT_EQ(bed.unit->RunNamedScript("loop", false), "");
    EXPECT_EQ(bed.passes, 50);
    EXPECT_TRUE(Alerts(bed.host).empty());  // the caller's line after the loop never ran
    EXPECT_FALSE(bed.unit->Terminate);
    EXPECT_FALSE(bed.unit->StopRequested());
    EXPECT_EQ(bed.unit->CallPath, "");
    // The stop was for that run only.
    bed.Run("-info|next run");
    EXPECT_EQ(Alerts(bed.host), (Lines{"alert+ test\\001: next run"}));
}

TEST(ScriptStop, ADesktopThatSaysStopEndsEveryLevel) {
    LoopBed bed;
    bed.host.maxPolls = 100;
    bed.unit->RunNamedScript("loop", false);
    EXPECT_GT(bed.passes, 0);
    EXPECT_LT(bed.passes, 60);
    EXPECT_TRUE(Alerts(bed.host).empty());
}

TEST(ScriptStop, HowARunEnded) {
    ScriptBed bed;
    EXPECT_TRUE(bed.unit->ExecuteScriptLines("t", {"-info|a", "-info|b"}, false));
    // -exit is a way to end, also in a called script.
    bed.WriteScript("b", "-exit|done");
    EXPECT_TRUE(bed.unit->ExecuteScriptLines("t", {"-callscript|b", "-info|after"}, false));
    EXPECT_EQ(Alerts(bed.host).back(), "alert+ t\\002: after");
    // Errors that stop a script, here or in a script it called, mean its work is not done.
    EXPECT_FALSE(bed.unit->ExecuteScriptLines("t", {"-info|a", "bad line"}, false));
    EXPECT_FALSE(bed.unit->ExecuteScriptLines("t", {"-if|no operator", "-endif"}, false));
    bed.WriteScript("c", "-case|x,y|Pick\n-case|x,y|Again");
    bed.host.answers = {"cancel"};
    EXPECT_FALSE(bed.unit->ExecuteScriptLines("t", {"-callscript|c", "-info|caller goes on"}, false));
    EXPECT_EQ(Alerts(bed.host).back(), "alert+ t\\002: caller goes on");
    // Each run starts afresh.
    EXPECT_TRUE(bed.unit->ExecuteScriptLines("t", {"-info|fine"}, false));
}

TEST(ScriptStop, RecursionIsSeenWhateverTheCase) {
    ScriptBed bed;
    bed.WriteScript("fix", "-callscript|FIX\n-info|end");
    bed.unit->RunNamedScript("fix", false);
    EXPECT_EQ(Alerts(bed.host),
              (Lines{"alert+ fix\\001: Possibly recursive call not allowed: (-CallScript|FIX)", "alert+ fix\\002: end"}));
}

TEST(ScriptStop, NoRunStartsInsideARunningOne) {
    ScriptBed bed;
    bed.SelectAsset("asset", kTestConfig);
    const std::string other = bed.Asset("other", kTestConfig);
    bed.unit->FolderList = {other};
    bed.main->SetTagByPath("config.txt\\extensions\\kelvarn-604117\\scripts\\e\\001", "-update|kind|embedded");
    bed.WriteScript("f", "-update|kind|file");
    int inner = 0;
    bed.unit->Commands().Register(17, [&](ScriptCall&) {
        ++inner;
        bed.unit->RunOnTaggedAssets("Inner", {"-update|kind|batched"});
        bed.unit->ReplicateToTaggedAssets();
        EXPECT_EQ(bed.unit->RunScriptRequest("-update|kind|inline", false), "");
        bed.unit->RunEmbeddedScript("e", false);
        bed.unit->RunScriptFile();
        bed.unit->RunScriptOnTaggedAssets();
        bed.unit->EmbedScript();
        return std::string();
    });
    bed.Run("-expand\n-update|description|outer");
    EXPECT_EQ(inner, 1);
    EXPECT_EQ(bed.main->GetValueByPath("kind"), "scenery");
    EXPECT_EQ(bed.main->GetValueByPath("description"), "outer");
    EXPECT_EQ(ReadBytes(other + "/config.txt"), kTestConfig);
    EXPECT_EQ(std::count(bed.host.log.begin(), bed.host.log.end(), "beep"), 7);
    EXPECT_EQ(std::count(bed.host.log.begin(), bed.host.log.end(),
                         "alert+ A script is running: wait for its end or press Escape"),
              7);
    EXPECT_FALSE(bed.unit->ScriptMode());
}

TEST(ScriptStop, EmbeddingARevisionReplacesEveryOldLine) {
    ScriptBed bed;
    bed.SelectAsset("asset", kTestConfig);
    const std::string file = bed.Scripts() + "/fix.kvm";
    const std::string root = "config.txt\\extensions\\kelvarn-604117\\scripts\\fix\\";
    auto embed = [&](std::string_view text) {
        WriteBytes(file, text);
        bed.host.answers = {file};
        bed.unit->EmbedScript();
    };
    embed("-info|one\n-info|two\n-info|three\n");
    embed("-info|\"new\"\n");
    Lines names;
    bed.main->ListChildNames(root, names);
    EXPECT_EQ(names, (Lines{"001"}));
    bed.host.log.clear();
    bed.unit->RunEmbeddedScript("fix", false);
    EXPECT_EQ(Alerts(bed.host), (Lines{"alert+ fix\\001: new"}));

    // What an embedded line cannot keep refuses the whole script; the embedded one stays.
    for (const char* text : {"-info|x\n-write|a|{b}\n", "-info|a}b\n", "-iniadd|Section|\"key\"|v\n"}) {
        bed.host.log.clear();
        embed(text);
        ASSERT_EQ(Alerts(bed.host).size(), 1u) << text;
        EXPECT_TRUE(StartsWith(Alerts(bed.host)[0], "alert+ Script not embedded: line ")) << text;
        names.clear();
        bed.main->ListChildNames(root, names);
        EXPECT_EQ(names, (Lines{"001"}));
        EXPECT_EQ(bed.main->GetValueByPath(root + "001"), "-info|new");
    }
}

}  // namespace
}  // namespace kelvarn::test
