// Runs over the tagged assets: each folder's config.txt is loaded into the editor's outline, the
// script runs on it, the user reviews the result, and an accepted result is saved after a backup.
#include <functional>

#include "catalogue/OutlineDocument.h"
#include "shell/Backups.h"
#include "shell/CommandBus.h"
#include "shell/Files.h"
#include "shell/Macros.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/ReportLog.h"
#include "shell/SettingsKeys.h"
#include "shell/Strings.h"
#include "validation/ScriptHost.h"
#include "validation/ScriptLists.h"
#include "validation/ScriptUnit.h"

namespace kelvarn {

namespace {

// Deletion marks take effect: the marked rows go, from the last back to the first below the root.
// True when a row went.
bool DeleteMarkedRows(TOutlineDocument& tree) {
    std::vector<TOutlineNode*> rows;
    WalkRows(tree.Root(), [&](TOutlineNode* node, int) { rows.push_back(node); });
    bool deleted = false;
    for (std::size_t i = rows.size(); i-- > 1;)
        if (rows[i]->HasFlag(nfDelete) && tree.DeleteNodeNow(rows[i], false)) deleted = true;
    return deleted;
}

// Backs up and saves the config the editor's outline holds, without the tags its script marked for
// deletion. Returns the failure's message.
std::string SaveReviewed(TProgramState& state, TOutlineDocument& editor) {
    DeleteMarkedRows(editor);
    const std::string file = editor.ConfigFile();
    if (std::string error = BackupFile(state, file); !error.empty()) return error;
    return editor.SaveConfig(file, false);
}

// The batch asset as the macros name it: its folder and its config's KUID; none of its files is
// selected.
TScriptAsset BatchAsset(const std::string& folder, const TOutlineDocument& config) {
    TScriptAsset asset;
    asset.Path = ExcludeTrailingSeparator(folder);
    asset.Kuid = config.GetValueByPath("config.txt\\kuid");
    TTokens tokens;
    SplitByCharSet(asset.Kuid, tokens, ":");
    asset.KuidId = tokens[1];
    return asset;
}

bool SameFolder(std::string_view a, std::string_view b) {
    return !a.empty() && NativePath(ExcludeTrailingSeparator(a)) == NativePath(ExcludeTrailingSeparator(b));
}

}  // namespace

std::vector<std::string> TScriptUnit::ReplicateLines() const {
    std::vector<std::string> lines;
    const TOutlineDocument* main = host_.MainOutline();
    if (!main || !main->Root()) return lines;
    WalkRows(main->Root(), [&](TOutlineNode* node, int) {
        if (node == main->Root() || ContainsStr(".kuid.username.", "." + node->Name() + ".")) return;
        if (node->HasFlag(nfDelete))
            lines.push_back("-Delete|" + main->NodePath(node));
        else if (node->HasFlag(nfTagged))
            lines.push_back("-Update|" + main->NodePath(node) + "|" + TagValueUnquoted(node->Text()));
    });
    return lines;
}

bool TScriptUnit::SettleMainEdits() {
    TOutlineDocument* main = host_.MainOutline();
    if (!main || !main->Root() || !main->Modified()) return true;
    const std::string file = main->ConfigFile();
    switch (state_.Messages->AskYesNoCancel(SaveConfigurationQuestion(file))) {
        case Answer::Yes:
            if (std::string error = main->SaveConfig(file, false); !error.empty()) {
                host_.AppendAlert(error);
                return false;
            }
            return true;
        case Answer::No: {
            // The edits given up leave the outline too: the batch's last step must not write them.
            TTreeUpdate update(host_);
            main->LoadConfig(main->ShownFolder());
            state_.SendCommand(ccConfigEdited, "");
            return true;
        }
        case Answer::Cancel: break;
    }
    return false;
}

void TScriptUnit::ReplicateToTaggedAssets() {
    if (RefuseWhileRunning()) return;
    FolderList = host_.TaggedFolders(false);
    const std::vector<std::string> lines = ReplicateLines();
    // The values go out exactly as they stand in this config: no macros, variables or comments.
    if (!lines.empty() && SettleMainEdits()) RunOnTaggedAssets("Replicate", lines, true);
}

void TScriptUnit::RunOnTaggedAssets(std::string_view name, const std::vector<std::string>& lines, bool literal) {
    TOutlineDocument* editor = host_.EditorOutline();
    // A batch inside a run would take script mode away from it when it ends.
    if (!editor || RefuseWhileRunning()) return;
    TRunning running(*this);
    state_.AbortRequested = false;  // an Escape pressed before the batch is not a wish to cancel it
    std::vector<std::string> note;
    ReadLinesFile(ExpandMacros(state_, "%bin%\\replicate.txt"), note);  // a missing note is an empty one
    const std::string alert = JoinLines(note);
    const std::vector<std::string> folders = FolderList;
    const int total = static_cast<int>(folders.size());

    scriptMode_ = true;
    editor->ScriptMode = true;
    OutputList.clear();
    OutputList.push_back("* Processing: " + std::to_string(total) + " asset(s)");
    host_.ShowGauge(total);
    host_.BatchMode(true);
    bool preview = ReadSettingBool(state_.Settings(), keys::Preview);
    const DateTime start = state_.Clock->Now();
    int processed = 0;
    bool aborted = false;        // the review's Abort button
    // Loading a batch asset sets the loaded asset's KUID number; the main window's comes back after.
    const std::string mainKuidId = state_.CurrentKuid;

    // Whatever ends the batch, its report is logged and the program leaves script mode.
    auto finish = [&] {
        AddToLog(state_, "", std::string(name) + ": " + std::to_string(processed) + " of " + std::to_string(total) +
                                 " assets processed",
                 OutputList, start);
        host_.HideGauge();
        host_.ShowStatus(stPanel2, "");  // "Processing: " names no folder once the batch is over
        host_.BatchMode(false);
        scriptMode_ = false;
        batchFolder_.clear();
        editor->ScriptMode = false;
        batchAsset_ = {};
        state_.CurrentKuid = mainKuidId;
        state_.AbortRequested = false;
    };
    struct TFinally {
        std::function<void()> action;
        ~TFinally() {
            if (action) action();
        }
    } finally{finish};

    for (int i = 0; i < total; ++i) {
        const std::string& folder = folders[static_cast<std::size_t>(i)];
        batchFolder_ = folder;
        host_.ShowStatus(stPanel2, "Processing: " + folder);
        if (state_.AbortRequested) {
            state_.AbortRequested = false;
            if (aborted || host_.Confirm("Cancel Script Run?")) {
                OutputList.push_back("* Batch Operation Cancelled");
                break;
            }
        }
        aborted = false;
        const std::size_t mark = OutputList.size();
        if (std::string error = editor->LoadConfig(folder); !error.empty()) {
            // Nothing of another asset may be saved over this one.
            OutputList.push_back("\t" + error);
            OutputList.push_back("* Cancelled: " + folder);
        } else if (batchAsset_ = BatchAsset(folder, *editor); !ExecuteScriptLines(name, lines, false, literal)) {
            // Escape or an error stopped the script half-way: nothing of it is saved, and the
            // user decides whether the batch goes on before anything else is.
            OutputList.push_back("* Cancelled: " + folder);
            state_.AbortRequested = true;
        } else {
            editor->Hooks().ReorderConfig(*editor);
            TReviewResult result = TReviewResult::Accept;
            if (preview)
                result = host_.ReviewAsset("Preview: " + folder, alert, *editor, i + 1 == total, preview);
            if (result != TReviewResult::Accept) {
                if (result == TReviewResult::Abort) {
                    aborted = true;
                    state_.AbortRequested = true;
                }
                OutputList.resize(mark);
                OutputList.push_back("* Cancelled: " + folder);
            } else if (std::string error = SaveReviewed(state_, *editor); !error.empty()) {
                OutputList.push_back("\t" + error);
                OutputList.push_back("* Cancelled: " + folder);
            } else {
                TOutlineDocument* main = host_.MainOutline();
                if (main && SameFolder(folder, state_.AssetPath())) {
                    host_.BeginTreeUpdate();
                    main->CopyTreeFrom(*editor);
                    main->SetModified(false);
                    host_.EndTreeUpdate();
                }
                OutputList.push_back("* Processed: " + folder);
                ++processed;
            }
        }
        host_.StepGauge();
        host_.Poll();
    }
    finally.action = nullptr;
    finish();

    // Deletion marks of the main config go with the last step of a batch every asset accepted; the
    // config is written only when that deleted something.
    TOutlineDocument* main = host_.MainOutline();
    if (total > 0 && processed == total && main && main->Root() && !state_.AssetPath().empty() &&
        SameFolder(main->ShownFolder(), state_.AssetPath())) {
        host_.BeginTreeUpdate();
        const bool deleted = DeleteMarkedRows(*main);
        host_.EndTreeUpdate();
        if (deleted) {
            const std::string file = main->ConfigFile();
            std::string error = BackupFile(state_, file);
            if (error.empty()) error = main->SaveConfig(file, false);
            if (!error.empty()) host_.AppendAlert(error);
        }
        host_.ShowStatus(stPanel2, "");
    }
}

}  // namespace kelvarn
