// TScriptUnit: the script engine. It holds the runner's state (call path, running, terminate, the
// folder list of a batch, the bound context), runs script lines (ExecuteScriptLines) through the
// command table and the handler registry, reports messages (LogMessage), and offers every way a run
// starts: a script file, an embedded script, inline commands of callback 244, the start-up scripts,
// and batches over the tagged assets with a review of each asset. The choices of the "Select Option"
// dialog live here too; the dialog only shows them.
//
// The program has one; the desktop reaches it through ScriptHost. Nothing here is Qt.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "shell/ProgramState.h"
#include "validation/ScriptCall.h"
#include "validation/ScriptLabels.h"
#include "validation/ScriptVars.h"

namespace kelvarn {

class ScriptHost;
class TOutlineDocument;
class TProgramState;

// Where embedded scripts live in a config.
inline constexpr std::string_view kEmbeddedScripts = "config.txt\\extensions\\kelvarn-604117\\scripts\\";
// Every parameter stops growing here: memories expanded into many variables cannot take the machine.
inline constexpr std::size_t kMaxParameterBytes = 1u << 20;

class TScriptUnit {
public:
    TScriptUnit(TProgramState& state, ScriptHost& host);
    ~TScriptUnit();
    TScriptUnit(const TScriptUnit&) = delete;
    TScriptUnit& operator=(const TScriptUnit&) = delete;

    TProgramState& State() const { return state_; }
    ScriptHost& Host() const { return host_; }
    TScriptCommands& Commands() { return commands_; }

    // --- the runner's state
    bool IgnoreCase = false;      // -ignorecase, for the next -replace or -replaceall
    std::string CallPath;         // the running scripts, outermost first, joined by "\"
    bool RefreshAfterRun = false; // the file list wants callback 236 when the run ends
    bool Terminate = false;       // stop this script before its next line (-exit, -condition)
    std::string OptionText;       // the option list of the last -case or -select dialog
    std::string AssetFoundFolder; // the folder of the last true -ifasset
    std::vector<std::string> FolderList;  // the folders of a batch
    // The editor's output list while a batch runs: its report.
    std::vector<std::string> OutputList;

    // A run is going on (the file list defers its refresh meanwhile).
    bool Running() const { return running_; }
    // Escape: the whole run stops before its next line, every nested script with it. The outermost
    // script clears the request when it ends.
    void Stop();
    bool StopRequested() const { return stopRequested_; }
    // An error that stops the script (a bad line, an invalid test, a nesting error): the run did
    // not finish its work, so a batch does not save the asset it was on.
    void FailRun();
    // A run mode that wants to start while another runs: refused with a beep and an alert line.
    // True when refused.
    bool RefuseWhileRunning();
    // A batch over tagged assets is going on: the editor's outline is the context.
    bool ScriptMode() const { return scriptMode_; }
    const std::string& BatchFolder() const { return batchFolder_; }

    // The config and folder the commands work on, bound before every line.
    void BindContext();
    TOutlineDocument* Context() const { return context_; }
    const std::string& AssetFolder() const { return assetFolder_; }

    // --- the "Select Option" dialog's contents
    std::vector<std::string> OptionItems;  // "&1: option" ... "12: option"
    int OptionIndex = -1;
    std::vector<std::string> SelectionItems;
    std::vector<bool> SelectionChecked;
    // Cancel: no option chosen, nothing checked.
    void CancelChoice();

    // --- the language
    // Runs the line at vars.LineIndex.
    void ExecuteCommand(TScriptVars& vars, const std::vector<std::string>& lines, bool literal = false);
    // Replaces the "^" variables of a parameter in one pass from left to right (what they are
    // replaced with is not looked at again). Each faulty variable is reported for the current line
    // and removed; the last such message is returned, empty when there was none.
    std::string ExpandVariables(std::string& parameter, TScriptVars& vars);
    // Reports a command's message for a line (0: no line).
    void LogMessage(int line, std::string_view text);

    // --- the runner
    // Runs the lines as the script `name`; with `snapshot` an undo snapshot is taken first.
    // `literal` hands every line's fields to its handler untouched. False when the run was stopped
    // by Escape or an error (in this script or one it called) rather than ending or -exit.
    bool ExecuteScriptLines(std::string_view name, std::vector<std::string> lines, bool snapshot, bool literal = false);
    // An undo snapshot of the main outline (none during a batch).
    void SaveSnapshot();
    // The label index of the running script.
    const TScriptLabels& Labels();

    // --- how runs start; each returns its message, empty when there is none
    std::string RunScriptRequest(std::string_view text, bool snapshot);  // callback 244
    std::string RunNamedScript(std::string_view name, bool snapshot);    // -callscript, the Scripts menu
    void RunEmbeddedScript(std::string_view name, bool snapshot);
    void EmbedScript();              // 1604
    void RunScriptFile();            // 1601
    void ExecuteScriptCommands();    // 1607
    void EditScriptFile();           // 1605
    void RunAutorunScripts();        // each activation of the main window
    void RunScriptOnTaggedAssets();  // 1606
    void ReplicateToTaggedAssets();  // 1007
    // The batch: the lines run on each folder of FolderList in turn.
    void RunOnTaggedAssets(std::string_view name, const std::vector<std::string>& lines, bool literal = false);
    // The lines Replicate sends to the tagged assets: the main config's deletion marks and tags.
    std::vector<std::string> ReplicateLines() const;

    // --- control flow helpers
    bool TestCondition(TScriptVars& vars, std::string_view test);
    bool FindAssetByKuid(std::string_view kuid);
    bool AssetFileExists(std::string_view path);
    bool MatchTagAddresses(std::string_view pattern, std::vector<std::string>& list);

private:
    friend class TRunning;
    std::string RunScriptPath(const std::string& path, const std::string& name, bool snapshot);
    // Before a batch, the main window's unsaved config edits are saved or given up ("Save
    // Configuration: ...?"), so that the batch neither drops nor writes them unasked. False for
    // Cancel or a save that failed: nothing starts.
    bool SettleMainEdits();
    void ShowLineCount();

    TProgramState& state_;
    ScriptHost& host_;
    TScriptCommands commands_;
    bool running_ = false;
    bool stopRequested_ = false;
    bool runFailed_ = false;
    bool scriptMode_ = false;
    std::string batchFolder_;
    TScriptAsset batchAsset_;  // what the macros name while a batch's line runs
    TOutlineDocument* context_ = nullptr;
    std::string assetFolder_;
    // One per running script, the innermost last.
    struct TRunFrame {
        const std::vector<std::string>* lines = nullptr;
        std::unique_ptr<TScriptLabels> labels;  // built at the first jump
    };
    std::vector<TRunFrame> frames_;
};

// Sets the running flag for a run mode and puts it back when the mode ends; the outermost run then
// asks for the file list's deferred refresh.
class TRunning {
public:
    explicit TRunning(TScriptUnit& unit);
    ~TRunning();
    TRunning(const TRunning&) = delete;
    TRunning& operator=(const TRunning&) = delete;

private:
    TScriptUnit& unit_;
    bool outer_;
};

}  // namespace kelvarn
