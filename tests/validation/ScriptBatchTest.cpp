// Batches over the tagged assets: review, backups, saves, cancelling, and Replicate.
#include <gtest/gtest.h>

#include "ScriptTestSupport.h"
#include "catalogue/OutlineWiring.h"
#include "shell/Files.h"
#include "shell/PathText.h"
#include "shell/SettingsKeys.h"
#include "shell/Strings.h"

namespace kelvarn::test {
namespace {

using Lines = std::vector<std::string>;

constexpr std::string_view kAssetConfig = "kuid <kuid:1:100>\r\nkind \"scenery\"\r\nusername \"Shed\"\r\n";

struct BatchBed : ScriptBed {
    std::vector<std::string> assets;
    BatchBed() {
        for (const char* name : {"a1", "a2", "a3"}) assets.push_back(Asset(name, kAssetConfig));
        host.tagged = assets;
        unit->FolderList = assets;
        // The second asset is the current one, with a deletion-marked tag of its own.
        state.SetAssetPath(assets[1]);
        EXPECT_EQ(main->LoadConfig(assets[1]), "");
        main->SetTagByPath("obsolete-tag", "x");
        main->SetNodeFlags(main->FindNodeByPath("obsolete-tag"), nfDelete, 0);
        main->SetModified(false);
        host.log.clear();
    }
    std::string Config(int i) const { return ReadBytes(assets[static_cast<std::size_t>(i)] + "/config.txt"); }
    std::string Report() const { return ReadBytes(Program() + "/log/Kelvarn(20110304).log"); }
    int Backups() const {
        std::vector<std::string> found;
        FindFiles(Backup() + "/*", "*config.txt*", found, false);
        return static_cast<int>(found.size());
    }
    Lines Told() const {
        Lines out;
        for (const std::string& line : host.log)
            if (!StartsWith(line, "status") && !StartsWith(line, "gauge") && !StartsWith(line, "-info")) out.push_back(line);
        return out;
    }
    void RunBatch(std::string_view script) { unit->RunOnTaggedAssets("Fix", SplitLines(script)); }
};

TEST(ScriptBatch, EveryAssetAcceptedIsSavedAfterABackup) {
    BatchBed bed;
    bed.host.answers = {"accept", "accept", "accept"};
    bed.RunBatch("-update|description|batched\n-info|done");
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(ContainsStr(bed.Config(i), "description")) << i;
    // Each asset is backed up before the batch saves it; the main config, whose marks went with its
    // own asset's result, is not written again.
    EXPECT_EQ(bed.Backups(), 3);
    EXPECT_EQ(bed.Told(), (Lines{"batch on", "-update|description|batched",
                                 "review Preview: <tmp>/a1 alert= last=0 preview=1 -> accept", "-update|description|batched",
                                 "review Preview: <tmp>/a2 alert= last=0 preview=1 -> accept", "-update|description|batched",
                                 "review Preview: <tmp>/a3 alert= last=1 preview=1 -> accept", "batch off"}));
    EXPECT_EQ(bed.unit->OutputList,
              (Lines{"* Processing: 3 asset(s)", "\tFix\\002: done", "* Processed: " + bed.assets[0], "\tFix\\002: done",
                     "* Processed: " + bed.assets[1], "\tFix\\002: done", "* Processed: " + bed.assets[2]}));
    EXPECT_TRUE(ContainsStr(bed.Report(), "Fix: 3 of 3 assets processed\r\n"));
    EXPECT_TRUE(ContainsStr(bed.Report(), "\tFix\\002: done\r\n* Processed: " + bed.assets[2]));
    // The current asset's outline follows, and its deletion marks went with the last step.
    EXPECT_EQ(bed.main->GetValueByPath("description"), "batched");
    EXPECT_FALSE(bed.main->Modified());
    EXPECT_EQ(bed.main->FindNodeByPath("obsolete-tag"), nullptr);
    EXPECT_FALSE(ContainsStr(bed.Config(1), "obsolete-tag"));
    // No undo snapshots in a batch, and everything is back to normal.
    std::vector<std::string> snapshots;
    FindFiles(bed.Backup() + "/*", "*.kv$", snapshots, false);
    EXPECT_TRUE(snapshots.empty());
    EXPECT_FALSE(bed.unit->ScriptMode());
    EXPECT_FALSE(bed.editor->ScriptMode);
    EXPECT_FALSE(bed.unit->Running());
    EXPECT_FALSE(bed.state.AbortRequested);
}

TEST(ScriptBatch, ARejectedAssetStaysAsItWas) {
    BatchBed bed;
    bed.host.answers = {"accept", "reject", "accept"};
    const std::string before = bed.Config(1);
    bed.RunBatch("-update|description|batched\n-info|done");
    EXPECT_EQ(bed.Config(1), before);
    EXPECT_TRUE(ContainsStr(bed.Config(2), "description"));
    EXPECT_EQ(bed.unit->OutputList,
              (Lines{"* Processing: 3 asset(s)", "\tFix\\002: done", "* Processed: " + bed.assets[0],
                     "* Cancelled: " + bed.assets[1], "\tFix\\002: done", "* Processed: " + bed.assets[2]}));
    // Not every asset was processed: the main config keeps its marks and is not saved.
    EXPECT_NE(bed.main->FindNodeByPath("obsolete-tag"), nullptr);
    EXPECT_EQ(bed.Backups(), 2);
    EXPECT_TRUE(ContainsStr(bed.Report(), "Fix: 2 of 3 assets processed"));
}

TEST(ScriptBatch, AbortEndsTheBatchWithoutAsking) {
    BatchBed bed;
    bed.host.answers = {"accept", "abort"};
    const std::string before = bed.Config(2);
    bed.RunBatch("-update|description|batched");
    EXPECT_EQ(bed.Config(2), before);
    EXPECT_EQ(bed.unit->OutputList, (Lines{"* Processing: 3 asset(s)", "* Processed: " + bed.assets[0],
                                           "* Cancelled: " + bed.assets[1], "* Batch Operation Cancelled"}));
    for (const std::string& line : bed.host.log) EXPECT_FALSE(StartsWith(line, "confirm")) << line;
    EXPECT_FALSE(bed.state.AbortRequested);
}

TEST(ScriptBatch, EscapeAsksWhetherToCancel) {
    for (const char* answer : {"yes", "no"}) {
        BatchBed bed;
        bed.host.onPoll = [&](int poll) {
            if (poll == 1) bed.state.AbortRequested = true;
        };
        bed.host.answers = {"accept", answer, "accept", "accept"};
        bed.RunBatch("-info|x");
        const bool cancelled = std::string(answer) == "yes";
        EXPECT_EQ(ContainsStr(bed.Config(1), "batched"), false);
        EXPECT_EQ(bed.unit->OutputList.back(), cancelled ? "* Batch Operation Cancelled" : "* Processed: " + bed.assets[2]);
        EXPECT_EQ(std::count(bed.host.log.begin(), bed.host.log.end(), std::string("confirm Cancel Script Run? -> ") + answer), 1);
    }
}

TEST(ScriptBatch, AnEarlierEscapeIsForgotten) {
    BatchBed bed;
    bed.state.AbortRequested = true;
    bed.RunBatch("-info|x");
    for (const std::string& line : bed.host.log) EXPECT_FALSE(StartsWith(line, "confirm")) << line;
    EXPECT_EQ(bed.unit->OutputList.back(), "* Processed: " + bed.assets[2]);
}

TEST(ScriptBatch, ReviewNoteAndPreview) {
    BatchBed bed;
    WriteBytes(bed.Program() + "/bin/replicate.txt", "Check the result.\r\nThen decide.\r\n");
    bed.host.answers = {"accept nopreview"};
    bed.RunBatch("-info|x");
    EXPECT_EQ(bed.Told(), (Lines{"batch on", "review Preview: <tmp>/a1 alert=Check the result.\r\nThen decide.\r\n last=0 preview=1 -> accept nopreview",
                                 "batch off"}));
    EXPECT_EQ(bed.unit->OutputList.back(), "* Processed: " + bed.assets[2]);

    BatchBed quiet;
    WriteSettingBool(quiet.state.Settings(), keys::Preview, false);
    quiet.RunBatch("-update|description|batched");
    EXPECT_EQ(quiet.Told(), (Lines{"batch on", "-update|description|batched", "-update|description|batched",
                                   "-update|description|batched", "batch off"}));
    EXPECT_TRUE(ContainsStr(quiet.Config(0), "batched"));
}

TEST(ScriptBatch, AFolderWhoseConfigCannotBeLoadedIsLeftAlone) {
    BatchBed bed;
    DeleteFilePath(bed.assets[0] + "/config.txt");
    const std::string broken = "kind \"scenery\"\r\nmesh-table {\r\n  default {\r\n";
    WriteBytes(bed.assets[2] + "/config.txt", broken);
    bed.RunBatch("-update|description|batched");
    EXPECT_FALSE(FileExists(bed.assets[0] + "/config.txt"));
    EXPECT_EQ(bed.Config(2), broken);
    ASSERT_EQ(bed.unit->OutputList.size(), 6u);
    EXPECT_EQ(bed.unit->OutputList[1], "\tInvalid asset or config.txt has been deleted");
    EXPECT_EQ(bed.unit->OutputList[2], "* Cancelled: " + bed.assets[0]);
    EXPECT_EQ(bed.unit->OutputList[3], "* Processed: " + bed.assets[1]);
    EXPECT_TRUE(StartsWith(bed.unit->OutputList[4], "\t")) << bed.unit->OutputList[4];
    EXPECT_EQ(bed.unit->OutputList[5], "* Cancelled: " + bed.assets[2]);
    EXPECT_EQ(bed.Backups(), 1);
}

TEST(ScriptBatch, NoSaveWithoutItsBackup) {
    BatchBed bed;
    const std::string before = bed.Config(0);
    const std::string backups = bed.Backup();
    SetWriteFaultHook([&](const std::string& path) { return StartsWith(path, backups) ? std::size_t{0} : std::string::npos; });
    bed.RunBatch("-update|description|batched");
    SetWriteFaultHook(nullptr);
    EXPECT_EQ(bed.Config(0), before);
    EXPECT_EQ(bed.unit->OutputList[2], "* Cancelled: " + bed.assets[0]);
    EXPECT_TRUE(StartsWith(bed.unit->OutputList[1], "\t")) << bed.unit->OutputList[1];
}

TEST(ScriptBatch, CommandsSeeTheBatch) {
    BatchBed bed;
    bed.unit->FolderList = {bed.assets[0]};
    bed.RunBatch("-ifquery|config.txt\\kind=scenery|Ask?\n-info|in batch\n-endif\n-messagebox|x\n-sort");
    EXPECT_EQ(bed.Told(), (Lines{"batch on", "review Preview: <tmp>/a1 alert= last=1 preview=1 -> accept", "batch off"}));
    EXPECT_EQ(bed.unit->OutputList[1], "\tFix\\002: in batch");
    EXPECT_EQ(bed.unit->OutputList.size(), 3u);
}

TEST(ScriptBatch, ContextIsTheEditorAndTheBatchFolder) {
    BatchBed bed;
    bed.unit->FolderList = {bed.assets[2]};
    WriteBytes(bed.assets[2] + "/Only.Here", "");
    bed.unit->Commands().Register(17, [&](ScriptCall& c) {
        bed.host.Note("context " + std::string(c.config == bed.editor.get() ? "editor " : "main ") + c.assetFolder);
        return std::string();
    });
    bed.RunBatch("-expand\n-if|(exists)only.here\n-info|found\n-endif");
    EXPECT_EQ(bed.Told()[1], "context editor <tmp>/a3");
    EXPECT_EQ(bed.unit->OutputList[1], "\tFix\\003: found");
}

TEST(ScriptBatch, ReplicateSendsTheMarkedTagsLiterally) {
    BatchBed bed;
    TOutlineDocument& main = *bed.main;
    main.SetTagByPath("description", "a ^1 %p% |;x");
    main.SetTagByPath("category-class", "BIN");
    for (const char* path : {"kuid", "username", "description"}) main.SetNodeFlags(main.FindNodeByPath(path), nfTagged, 0);
    EXPECT_EQ(bed.unit->ReplicateLines(),
              (Lines{"-Delete|config.txt\\obsolete-tag", "-Update|config.txt\\description|a ^1 %p% |;x"}));
    bed.host.answers = {"accept", "accept", "accept"};
    bed.unit->ReplicateToTaggedAssets();
    const Lines told = bed.Told();
    EXPECT_EQ(told[0], "tagged 0");
    EXPECT_EQ(told[2], "-delete*|config.txt\\obsolete-tag");
    EXPECT_EQ(told[3], "-update*|config.txt\\description|a ^1 %p% |;x");
    EXPECT_TRUE(ContainsStr(bed.Config(0), "a ^1 %p% |;x"));
    EXPECT_TRUE(ContainsStr(bed.Report(), "Replicate: 3 of 3 assets processed"));
}

TEST(ScriptBatch, ScriptOnTaggedAssets) {
    BatchBed bed;
    bed.main->PushUndo();
    bed.WriteScript("Tidy Up", "-info|tidy");
    bed.host.answers = {bed.Scripts() + "/Tidy Up.kvm"};
    bed.unit->RunScriptOnTaggedAssets();
    EXPECT_EQ(bed.host.log[0], "tagged 1");
    EXPECT_FALSE(bed.main->CanUndo());
    EXPECT_TRUE(ContainsStr(bed.Report(), "Tidy Up: 3 of 3 assets processed"));
    EXPECT_EQ(bed.unit->OutputList[1], "\tTidy Up\\001: tidy");
}

// The current asset is tagged and its outline holds an unsaved edit with an undo snapshot: the batch
// asks first, as selecting another asset would. Cancel starts nothing; Save puts the edit on disc
// before the batch loads the asset; Discard drops it.
TEST(ScriptBatch, PendingEditsOfTheMainConfigAreSettledBeforeABatch) {
    for (Answer answer : {Answer::Cancel, Answer::Yes, Answer::No}) {
        BatchBed bed;
        WriteSettingBool(bed.state.Settings(), keys::Preview, false);
        bed.WriteScript("Tidy Up", "-update|description|batched");
        bed.host.answers = {bed.Scripts() + "/Tidy Up.kvm"};
        std::vector<std::string> before;
        for (int i = 0; i < 3; ++i) before.push_back(bed.Config(i));
        ASSERT_EQ(bed.main->PushUndo(), "");
        ASSERT_NE(bed.main->SetTagByPath("author", "Me"), nullptr);
        bed.messages.answers = {answer};
        bed.unit->RunScriptOnTaggedAssets();

        ASSERT_FALSE(bed.messages.messages.empty());
        EXPECT_EQ(bed.messages.messages[0], "Save Configuration: " + bed.main->ConfigFile() + "?");
        const std::string current = bed.Config(1);
        if (answer == Answer::Cancel) {
            for (const std::string& line : bed.host.log) EXPECT_FALSE(StartsWith(line, "ask")) << line;
            EXPECT_TRUE(bed.main->Modified());
            EXPECT_NE(bed.main->FindNodeByPath("author"), nullptr);
            EXPECT_TRUE(bed.main->CanUndo());
            for (int i = 0; i < 3; ++i) EXPECT_EQ(bed.Config(i), before[static_cast<std::size_t>(i)]) << i;
            EXPECT_EQ(bed.Backups(), 0);
            continue;
        }
        EXPECT_TRUE(ContainsStr(current, "batched"));
        EXPECT_EQ(bed.main->GetValueByPath("description"), "batched");
        EXPECT_FALSE(bed.main->Modified());
        const bool saved = answer == Answer::Yes;
        EXPECT_EQ(ContainsStr(current, "author"), saved) << current;
        EXPECT_EQ(bed.main->FindNodeByPath("author") != nullptr, saved);
        // Saved before the batch: the batch's own backup of the asset already holds the edit.
        std::vector<std::string> backups;
        FindFiles(bed.Backup() + "/*", "*config.txt*", backups, false);
        bool backedUpWithEdit = false;
        for (const std::string& b : backups) backedUpWithEdit |= ContainsStr(ReadBytes(b), "author");
        EXPECT_EQ(backedUpWithEdit, saved);
    }
}

TEST(ScriptBatch, ReplicateSettlesPendingEditsToo) {
    BatchBed bed;
    bed.main->SetNodeFlags(bed.main->FindNodeByPath("kind"), nfTagged, 0);
    bed.main->SetTagByPath("author", "Me");
    bed.messages.answers = {Answer::Cancel};
    const std::string before = bed.Config(0);
    bed.unit->ReplicateToTaggedAssets();
    EXPECT_EQ(bed.messages.messages, (Lines{"Save Configuration: " + bed.main->ConfigFile() + "?"}));
    for (const std::string& line : bed.host.log) EXPECT_NE(line, "batch on");
    EXPECT_EQ(bed.Config(0), before);
    EXPECT_TRUE(bed.main->Modified());
}

// The main window shows an asset the batch leaves out: its config is written only when its deletion
// marks take something out, and then after a backup.
TEST(ScriptBatch, TheMainConfigIsWrittenOnlyForItsDeletionMarks) {
    for (bool marked : {false, true}) {
        BatchBed bed;
        WriteSettingBool(bed.state.Settings(), keys::Preview, false);
        // Laid out as no writer lays it out, so that any save would show.
        const std::string config = "kuid   <kuid:1:200>\nkind \"scenery\"\n  username \"Shown\"\nobsolete-tag 1\n";
        const std::string shown = bed.SelectAsset("shown", config);
        if (marked) bed.main->SetNodeFlags(bed.main->FindNodeByPath("obsolete-tag"), nfDelete, 0);
        bed.RunBatch("-update|description|batched");
        EXPECT_TRUE(ContainsStr(bed.Config(2), "batched"));
        const std::string after = ReadBytes(shown + "/config.txt");
        std::vector<std::string> found, backups;
        FindFiles(bed.Backup() + "/*", "*config.txt*", found, false);
        for (const std::string& b : found)
            if (ContainsStr(ExtractFileName(b), "shown")) backups.push_back(b);
        if (!marked) {
            EXPECT_EQ(after, config);
            EXPECT_TRUE(backups.empty());
        } else {
            EXPECT_FALSE(ContainsStr(after, "obsolete-tag")) << after;
            EXPECT_TRUE(ContainsStr(after, "Shown")) << after;
            EXPECT_EQ(backups.size(), 1u);
        }
    }
}

TEST(ScriptBatch, AnAssetStoppedHalfWayIsNeitherSavedNorProcessed) {
    BatchBed bed;
    WriteSettingBool(bed.state.Settings(), keys::Preview, false);
    const std::string before = bed.Config(1);
    int passes = 0;
    bed.unit->Commands().Register(17, [&](ScriptCall&) {
        if (++passes == 2) bed.unit->Stop();  // Escape during the second asset
        return std::string();
    });
    bed.host.answers = {"no"};
    bed.RunBatch("-update|description|half\n-expand\n-update|kind|done");
    EXPECT_EQ(bed.Config(1), before);
    EXPECT_TRUE(ContainsStr(bed.Config(2), "done"));
    EXPECT_EQ(bed.unit->OutputList, (Lines{"* Processing: 3 asset(s)", "* Processed: " + bed.assets[0],
                                           "* Cancelled: " + bed.assets[1], "* Processed: " + bed.assets[2]}));
    // The question comes before the next asset is touched.
    EXPECT_EQ(bed.Told(), (Lines{"batch on", "-update|description|half", "-update|kind|done", "-update|description|half",
                                 "confirm Cancel Script Run? -> no", "-update|description|half", "-update|kind|done",
                                 "batch off"}));
    EXPECT_TRUE(ContainsStr(bed.Report(), "Fix: 2 of 3 assets processed"));
    EXPECT_NE(bed.main->FindNodeByPath("obsolete-tag"), nullptr);  // not every asset was processed
}

TEST(ScriptBatch, AnErrorInAnAssetsScriptCancelsItAndAsks) {
    BatchBed bed;
    bed.host.answers = {"yes"};
    std::vector<std::string> before;
    for (int i = 0; i < 3; ++i) before.push_back(bed.Config(i));
    bed.RunBatch("-update|description|half\n-if|no operator here\n-update|kind|done");
    for (int i = 0; i < 3; ++i) EXPECT_EQ(bed.Config(i), before[static_cast<std::size_t>(i)]) << i;
    EXPECT_EQ(bed.unit->OutputList,
              (Lines{"* Processing: 3 asset(s)", "* Cancelled: " + bed.assets[0], "* Batch Operation Cancelled"}));
    for (const std::string& line : bed.host.log) EXPECT_FALSE(StartsWith(line, "review")) << line;
    EXPECT_EQ(bed.Backups(), 0);
    EXPECT_FALSE(bed.state.AbortRequested);
}

// The same script on two copies of one asset, once alone in the main window and once in a batch
// while the main window shows an asset of another kind: the saved files are the same.
TEST(ScriptBatch, SavesWhatARunAloneSaves) {
    ScriptBed bed;
    WriteBytes(bed.Program() + "/bin/tags.xml", ReadBytes(std::string(KELVARN_TEST_DATA) + "/tagspec/tags.xml"));
    WriteBytes(bed.Program() + "/bin/SortOrder.txt", "kuid\r\nkind\r\ntrainz-build\r\nusername\r\ndescription\r\n");
    TOutlineWiring mainWiring(bed.state, *bed.main, true);
    TOutlineWiring editorWiring(bed.state, *bed.editor, false);
    const std::string config =
        "username \"Shed\"\r\ndescription \"old\"\r\nkind \"scenery\"\r\ntrainz-build 2.9\r\nkuid <kuid:1:100>\r\n";
    const Lines script = {"-update|trainz-build|3.5", "-if|(inherits)mesh-asset", "-update|description|inherits",
                          "-endif"};

    const std::string alone = bed.SelectAsset("alone", config);
    ASSERT_TRUE(bed.unit->ExecuteScriptLines("fix", script, false));
    ASSERT_EQ(bed.main->SaveConfig(bed.main->ConfigFile(), false), "");

    bed.SelectAsset("shown", "kind \"outoforder\"\r\nkuid <kuid:1:200>\r\n");
    const std::string chain = bed.state.KindChain;
    const std::string batched = bed.Asset("batched", config);
    WriteSettingBool(bed.state.Settings(), keys::Preview, false);
    bed.unit->FolderList = {batched};
    bed.unit->RunOnTaggedAssets("fix", script);

    const std::string saved = ReadBytes(alone + "/config.txt");
    EXPECT_EQ(ReadBytes(batched + "/config.txt"), saved);
    EXPECT_TRUE(ContainsStr(saved, "3.5\r\n")) << saved;
    EXPECT_FALSE(ContainsStr(saved, "\"3.5\"")) << saved;
    EXPECT_TRUE(ContainsStr(saved, "\"inherits\"")) << saved;
    EXPECT_TRUE(StartsWith(saved, "kuid")) << saved;
    // The batch's asset did not become the main window's kind.
    EXPECT_EQ(bed.state.KindChain, chain);
}

}  // namespace
}  // namespace kelvarn::test
