// The ways a run starts on the current asset: inline commands and script paths (callback 244),
// named scripts (-callscript, the Scripts menu), embedded scripts, the menu commands and the
// start-up scripts.
#include "catalogue/OutlineDocument.h"
#include "shell/Files.h"
#include "shell/Macros.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/SettingsKeys.h"
#include "shell/Strings.h"
#include "validation/ScriptCommandTable.h"
#include "validation/ScriptHost.h"
#include "validation/ScriptLists.h"
#include "validation/ScriptUnit.h"

namespace kelvarn {

namespace {

constexpr std::string_view kScriptFilter = "Kelvarn scripts (*.kvm)|*.kvm";

std::string ScriptsFolder(const TProgramState& state) { return ExpandMacros(state, "%scripts%"); }

// A script file the user is about to type: created empty when it does not exist yet.
std::string CreateEmptyScript(const std::string& file) {
    if (!ResolveScriptFile(file).empty()) return {};
    ForceDirectories(ExtractFileDir(file));
    return WriteFileAtomic(file, "");
}

}  // namespace

std::string TScriptUnit::RunScriptPath(const std::string& path, const std::string& name, bool snapshot) {
    std::vector<std::string> lines;
    if (std::string error = ReadLinesFile(path, lines); !error.empty()) return error;
    ExecuteScriptLines(name, std::move(lines), snapshot);
    return {};
}

std::string TScriptUnit::RunScriptRequest(std::string_view text, bool snapshot) {
    if (RefuseWhileRunning()) return {};
    TRunning running(*this);
    if (StartsWith(ReplaceAll(text, "\" ", ""), "-")) {
        // Inline commands, separated by double quotes.
        std::vector<std::string> lines;
        for (std::string& piece : SplitString(text, "\""))
            if (!piece.empty()) lines.push_back(std::move(piece));
        if (lines.empty()) return {};
        ExecuteScriptLines("RunKVM", std::move(lines), true);
        return {};
    }
    const std::string path = RemoveChars(text, "\"");
    if (ResolveScriptFile(path).empty()) return "Script not found: " + ShownPath(path);
    return RunScriptPath(path, RemoveFileExt(ExtractFileName(path)), snapshot);
}

std::string TScriptUnit::RunNamedScript(std::string_view name, bool snapshot) {
    TRunning running(*this);
    std::string file = "%scripts%\\" + std::string(name);
    if (!ContainsStr(LowerCase(name), ".kvm")) file += ".kvm";
    file = ExpandMacros(state_, file);
    if (ResolveScriptFile(file).empty()) return "File not found: " + std::string(name);
    std::string message = RunScriptPath(file, std::string(name), snapshot);
    if (snapshot) SaveSnapshot();
    return message;
}

void TScriptUnit::RunEmbeddedScript(std::string_view name, bool snapshot) {
    if (RefuseWhileRunning()) return;
    TRunning running(*this);
    TOutlineDocument* main = host_.MainOutline();
    const TOutlineNode* script = main ? main->FindNodeByPath(std::string(kEmbeddedScripts) + std::string(name)) : nullptr;
    std::vector<std::string> lines;
    if (script)
        for (std::size_t i = 0; i < script->ChildCount(); ++i) lines.push_back(TagValueUnquoted(script->Child(i)->Text()));
    if (!lines.empty()) ExecuteScriptLines(name, std::move(lines), snapshot);
    ShowLineCount();
}

void TScriptUnit::EmbedScript() {
    if (RefuseWhileRunning()) return;
    TOutlineDocument* main = host_.MainOutline();
    if (!main) return;
    const std::string file = host_.AskScriptFile("Select script", "Kelvarn Script (*.kvm)|*.kvm", ScriptsFolder(state_));
    if (file.empty()) return;
    std::vector<std::string> lines;
    if (std::string error = ReadLinesFile(file, lines); !error.empty()) {
        host_.AppendAlert(error);
        return;
    }
    // Each line becomes a tag value, and the embedded script reads its lines back with the double
    // quotes removed: a brace would turn into a parenthesis, and quotes are lost, which changes
    // what the commands that keep quotes do. Such a script is refused whole.
    std::vector<std::pair<std::size_t, std::string>> kept;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string line = Trim(RemoveChars(lines[i], "\t"));
        if (line.empty() || line[0] == ';') continue;
        TTokens fields;
        SplitByCharSet(line, fields, "|");
        const int command = ScriptCommandNumber(fields[0]);
        const bool quotesMatter = HasCommandFlag(command, cfKeepQuotes) || HasCommandFlag(command, cfRawFields);
        if (line.find_first_of("{}") != std::string::npos || (quotesMatter && ContainsStr(line, "\""))) {
            host_.AppendAlert("Script not embedded: line " + std::to_string(i + 1) +
                              " holds braces or double quotes that an embedded script cannot keep");
            return;
        }
        // Quotes the command drops anyway are dropped here, so the tag shows what will run.
        kept.emplace_back(i + 1, RemoveChars(line, "\""));
    }
    const std::string name = ReplaceChar(RemoveFileExt(ExtractFileName(file)), ' ', '_');
    const std::string container = "\\extensions\\kelvarn-604117\\scripts\\" + name;
    host_.BeginTreeUpdate();
    main->PushUndo();
    // A shorter revision must not leave the old version's later lines behind to run after it.
    if (TOutlineNode* old = main->FindNodeByPath(container)) main->DeleteNodeNow(old, false);
    for (const auto& [number, line] : kept)
        main->SetTagByPath(container + "\\" + ZeroPad(std::to_string(number), 3), line);
    host_.EndTreeUpdate();
    ShowLineCount();
}

void TScriptUnit::RunScriptFile() {
    if (RefuseWhileRunning()) return;
    const std::string file = host_.AskScriptFile("Select Script File", std::string(kScriptFilter), ScriptsFolder(state_));
    if (file.empty()) return;
    if (std::string message = RunScriptRequest(file, true); !message.empty()) LogMessage(0, message);
}

void TScriptUnit::ExecuteScriptCommands() {
    const std::string file = ExpandMacros(state_, "%scripts%\\$$$.kvm");
    if (std::string error = CreateEmptyScript(file); !error.empty()) {
        host_.AppendAlert(error);
        return;
    }
    host_.OpenViewer("Script Execute", file, "Execute", "Undo", "Close");
}

void TScriptUnit::EditScriptFile() {
    const std::string file = host_.AskScriptFile("Select Script File", std::string(kScriptFilter), ScriptsFolder(state_));
    if (file.empty()) return;
    TMemIni& ini = state_.Settings();
    const std::string editor = ExpandMacros(state_, ReadSetting(ini, keys::Editor));
    if (ReadSettingBool(ini, keys::External) && FileExists(editor)) {
        // The editor gets the script as its one argument, never through a shell.
        ProcessRequest request;
        request.program = NativePath(editor);
        request.arguments = {NativePath(file)};
        const ProcessResult result = state_.Runner->Run(request);
        if (!result.started) host_.AppendAlert("Unable to start " + editor + ": " + result.error);
        return;
    }
    if (std::string error = CreateEmptyScript(file); !error.empty()) {
        host_.AppendAlert(error);
        return;
    }
    host_.OpenViewer("Editing: " + ExtractFileName(file), file, "Save", "", "Cancel");
}

void TScriptUnit::RunAutorunScripts() {
    // Each dialog of a run re-activates the main window: the start-up scripts must not run inside it.
    if (running_) return;
    TRunning running(*this);
    if (!ResolveScriptFile(ExpandMacros(state_, "%scripts%\\autorun.kvm")).empty()) RunNamedScript("autorun", false);
    const std::string runOnce = ResolveScriptFile(ExpandMacros(state_, "%scripts%\\runonce.kvm"));
    if (!runOnce.empty()) {
        RunNamedScript("runonce", false);
        DeleteFilePath(runOnce);
    }
}

void TScriptUnit::RunScriptOnTaggedAssets() {
    if (RefuseWhileRunning()) return;
    FolderList = host_.TaggedFolders(true);
    // The batch may load the current asset from disc and put its result in the main outline.
    if (!SettleMainEdits()) return;
    if (TOutlineDocument* main = host_.MainOutline()) main->ClearUndo();
    const std::string file = host_.AskScriptFile("Select Script File", std::string(kScriptFilter), ScriptsFolder(state_));
    if (file.empty()) return;
    std::vector<std::string> lines;
    if (std::string error = ReadLinesFile(file, lines); !error.empty()) {
        host_.AppendAlert(error);
        return;
    }
    if (!lines.empty()) RunOnTaggedAssets(RemoveFileExt(ExtractFileName(file)), lines);
}

void RegisterRunnerCommands(TScriptCommands& commands) {
    // A nested script shares the caller's undo point.
    commands.Register(scCallScript, [](ScriptCall& c) { return c.unit.RunNamedScript(c.p[1], false); });
}

}  // namespace kelvarn
