#include "validation/ScriptSettingsCommands.h"

#include "catalogue/EditorDialogs.h"
#include "catalogue/MeshHelpers.h"
#include "catalogue/OutlineDocument.h"
#include "catalogue/ToolRunner.h"
#include "shell/Backups.h"
#include "shell/CommandBus.h"
#include "shell/Files.h"
#include "shell/Macros.h"
#include "shell/MemIni.h"
#include "shell/Mesh.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/RunCommand.h"
#include "shell/SettingsKeys.h"
#include "shell/Strings.h"
#include "shell/Text.h"
#include "validation/ScriptHost.h"
#include "validation/ScriptLists.h"
#include "validation/ScriptUnit.h"

namespace kelvarn {

namespace {

constexpr std::string_view kIniBackupFormat = "yyyymmddhhnn";
constexpr std::string_view kSystem = "System";

// Settings are written only after their dated copy: a failed copy leaves them as they were.
std::string BackUpSettings(TProgramState& state) {
    const std::string error = IniBackup(state, kIniBackupFormat);
    return error.empty() ? std::string() : "Settings not changed, no backup: " + error;
}

std::string FlushSettings(TProgramState& state) {
    const std::string error = state.Settings().UpdateFile();
    return error.empty() ? std::string() : "Settings not saved: " + error;
}

bool ListHas(const std::vector<std::string>& list, const std::string& value) {
    for (const std::string& item : list)
        if (SameText(item, value)) return true;
    return false;
}

// --- messages to the user

std::string Info(ScriptCall& c) { return c.p[1]; }

std::string MessageBox(ScriptCall& c) {
    c.host.RepaintTree();
    c.host.ShowMessage(c.p[1]);
    return {};
}

std::string SetEnv(ScriptCall& c) {
    if (c.p[1].empty()) return {};
    if (c.unit.State().SetEnvironment) c.unit.State().SetEnvironment(c.p[1], c.p[2]);
    return {};
}

std::string Silent(ScriptCall& c) {
    if (c.unit.ScriptMode()) return {};
    const std::string word = LowerCase(c.p[1]);
    bool on = false;
    if (word == "on" || word == "1")
        on = true;
    else if (word != "off" && word != "0")
        return {};
    TProgramState& state = c.unit.State();
    WriteSettingBool(state.Settings(), keys::Silent, on);
    return FlushSettings(state);
}

// --- settings changes

std::string IniAdd(ScriptCall& c) {
    const std::string& section = c.p[1];
    const std::string& key = c.p[2];
    const std::string& value = c.p[3];
    // No section: a "[]" header would be written that no one can read or remove.
    if (section.empty()) return {};
    TProgramState& state = c.unit.State();
    if (std::string error = BackUpSettings(state); !error.empty()) return error;
    TMemIni& ini = state.Settings();
    if (key.empty() && value.empty()) {
        ini.WriteString(section, "$$$", "$$$");
        ini.DeleteKey(section, "$$$");
    } else if (key.empty()) {
        std::vector<std::string> list;
        ini.ReadRawValues(section, list);
        if (!ListHas(list, value)) list.push_back(value);
        WriteNumberedList(ini, section, list);
    } else {
        ini.WriteString(section, key, value);
    }
    return {};
}

std::string IniDelete(ScriptCall& c) {
    const std::string& section = c.p[1];
    const std::string& key = c.p[2];
    if (section.empty()) return ".INIDelete, no section specified";
    TProgramState& state = c.unit.State();
    if (std::string error = BackUpSettings(state); !error.empty()) return error;
    TMemIni& ini = state.Settings();
    if (key == "*")
        ClearSection(ini, section);
    else if (key.empty())
        ini.EraseSection(section);
    else
        ini.DeleteKey(section, key);
    return {};
}

std::string IniSave(ScriptCall& c) {
    TProgramState& state = c.unit.State();
    if (std::string error = BackUpSettings(state); !error.empty()) return error;
    return FlushSettings(state);
}

std::string InstallTool(ScriptCall& c) {
    const std::string& section = c.p[1];
    const std::string& tool = c.p[2];
    TProgramState& state = c.unit.State();
    TMemIni& ini = state.Settings();
    std::vector<std::string> list;
    ini.ReadRawValues(section, list);
    if (section.empty() || tool.empty() || ListHas(list, tool)) return ".Unable to add tool or tool already installed";
    if (std::string error = BackUpSettings(state); !error.empty()) return error;
    list.push_back(tool);
    WriteNumberedList(ini, section, list);
    if (std::string error = FlushSettings(state); !error.empty()) return error;
    state.SendCommand(ccRebuildMenus, "Script");
    return ".New tool added: " + section + "/" + ParseToolSpec(tool).Caption();
}

// --- -write

// A file name of -write: relative ones lie in the asset folder. Absoluteness is judged on the name as
// written, before "/" becomes a backslash, or "/home/me/x.txt" would turn into a name below the asset.
std::string WriteFileName(const ScriptCall& c, const std::string& written) {
    if (IsAbsoluteScriptPath(written)) return written;
    const std::string name = ReplaceChar(written, '/', '\\');
    return ExcludeTrailingSeparator(c.assetFolder) + (StartsWith(name, "\\") ? "" : "\\") + name;
}

void EndWriteFile(TScriptVars& vars) {
    vars.WriteFile.clear();
    vars.WriteBuffer.clear();
    vars.WriteDocument = TTextDocument();
    vars.WriteAppends = false;
}

std::string Write(ScriptCall& c) {
    const std::string mode = LowerCase(Trim(c.p[1]));
    std::string text = c.p[2];
    TScriptVars& vars = c.vars;
    if (mode == "escape") {
        // Taken as written: bars, carets and percent signs are the text's own.
        for (int i = 3; i < c.fieldCount; ++i) text += "|" + c.p[static_cast<std::size_t>(i)];
        vars.WriteBuffer += text;
        return {};
    }
    text = ExpandMacros(c.unit.State(), text);
    c.unit.ExpandVariables(text, vars);

    // An open or append that fails leaves no file open: the lines that follow must not go to the file
    // opened before.
    if (mode == "open" || mode == "append") EndWriteFile(vars);
    std::string message;
    if ((mode == "open" || mode == "append") && text.empty()) message = ".Write: Filename not defined";
    if ((mode == "line" || mode == "char" || mode == "close") && vars.WriteFile.empty())
        message = ".Write: File not opened";
    if (mode == "char" && text.empty()) message = ".Write: Empty text parameter, instruction skipped";
    if (!message.empty()) return message;

    if (mode == "open" || mode == "append") {
        if (!IsAbsoluteScriptPath(text))
            if (std::string none = NoAssetFolderMessage(c.assetFolder); !none.empty()) return none;
        const std::string file = WriteFileName(c, text);
        if (mode == "open") {
            vars.WriteFile = file;
            return {};
        }
        const std::string found = ResolvePathIgnoreCase(file);
        if (found.empty() || !FileExists(found)) return ".Write: File not found: " + ShownPath(file);
        std::string bytes;
        if (std::string error = ReadFileBytes(found, bytes, kMaxFileRead); !error.empty()) return "Write: " + error;
        TTextDocument loaded;
        if (const std::string why = DecodeDocument(bytes, loaded); !why.empty())
            return "Write: " + NotTextError(found, why);
        // Each line keeps its line mark, so the next line starts a line of its own.
        std::string buffer;
        for (const std::string& line : SplitLines(DocumentText(loaded))) buffer += line + std::string(kBrokenBar);
        vars.WriteFile = found;
        vars.WriteBuffer = std::move(buffer);
        vars.WriteDocument = std::move(loaded);
        vars.WriteAppends = true;
        return {};
    }
    if (mode == "line") {
        vars.WriteBuffer += text + std::string(kBrokenBar);
        return {};
    }
    if (mode == "char") {
        vars.WriteBuffer += text;
        return {};
    }
    if (mode == "close") {
        const std::string content = ReplaceAll(vars.WriteBuffer, kBrokenBar, "\r\n");
        vars.WriteLines = SplitLines(content);
        const std::string& file = vars.WriteFile;
        std::string error;
        // A file the script replaces may be the user's own: it is kept in the backups first.
        if (FileExists(file)) error = BackupFile(c.unit.State(), file);
        if (error.empty()) {
            if (vars.WriteAppends) {
                // The file's own lines go back as they were; what the script added is encoded as new
                // lines of that file are.
                SetDocumentText(vars.WriteDocument, ReplaceAll(ReplaceAll(content, "\r\n", "\n"), "\r", "\n"));
                error = WriteFileAtomic(file, EncodeDocument(vars.WriteDocument));
            } else {
                error = WriteTextFile(file, content, TextEncoding::Utf8);
            }
        }
        // Closed is closed: a later line starts no second copy of this file.
        EndWriteFile(vars);
        // The error names the file already.
        if (!error.empty()) return "Write: " + error;
        return {};
    }
    return {};
}

// --- tools

// Shows nothing: a script's tool run that has no text page to show its output in.
class TNoDialogs final : public IEditorDialogs {
public:
    std::optional<std::string> InputLine(const std::string&, const std::string&, const std::string&,
                                         const std::string&) override {
        return std::nullopt;
    }
    void ShowText(int, int, const std::vector<std::string>&, const std::string&) override {}
};

std::string MenuExecute(ScriptCall& c) {
    // The third parameter counts only on a line of exactly three.
    const std::string target = c.fieldCount == 4 ? c.p[3] : std::string();
    return ExecuteUserTool(c.unit.State(), c.host, c.p[1], c.p[2], target);
}

std::string ExternalTool(ScriptCall& c, const std::string& tool) {
    return RunExternalTool(c.unit.State(), c.host, c.config, c.assetFolder, tool, c.p[1], c.p[2], c.unit.ScriptMode());
}

// The ".pm" meshes below the asset folder, checked before Meshwright reads them: the first problem,
// as "file: problem", or empty.
std::string CheckAssetMeshes(const std::string& assetFolder) {
    std::vector<std::string> meshes;
    FindFilesRecursive(JoinPath(assetFolder, "*.*"), "*.pm", meshes);
    for (const std::string& mesh : meshes)
        if (std::string problem = CheckMeshFile(mesh); !problem.empty()) return ShownPath(mesh) + ": " + problem;
    return {};
}

// After Meshwright: the top-level mesh tags name the ".im" meshes it made, and the ".pm" twins go.
std::string AdoptConvertedMeshes(TProgramState& state, TOutlineDocument* config, const std::string& assetFolder,
                                 bool scriptMode) {
    if (config && config->Root()) {
        std::vector<TOutlineNode*> meshes;
        for (std::size_t i = 0; i < config->Root()->ChildCount(); ++i) {
            TOutlineNode* node = config->Root()->Child(i);
            if (!node->HasChildren() && node->NameIs("mesh")) meshes.push_back(node);
        }
        for (TOutlineNode* node : meshes) {
            const std::string value = TagValueUnquoted(node->Text());
            if (!EndsWithText(value, ".pm")) continue;
            const std::string twin = ChangeFileExt(value, ".im");
            if (ResolvePathIgnoreCase(JoinPath(assetFolder, ReplaceChar(twin, '/', '\\'))).empty()) continue;
            if (TOutlineNode* updated = config->UpdateTag(node, node->WrittenName(), twin)) config->MarkModified(updated);
        }
    }
    return DeleteDuplicatePm(state, assetFolder, scriptMode);
}

}  // namespace

std::string NoAssetFolderMessage(const std::string& assetFolder) {
    if (!assetFolder.empty() && DirectoryExists(assetFolder)) return {};
    return ".Asset Folder not found, or not a valid asset: " + ShownPath(assetFolder);
}

std::string ExecuteUserTool(TProgramState& state, ScriptHost& host, const std::string& section, const std::string& key,
                            const std::string& target) {
    const TMemIni& ini = state.Settings();
    std::vector<std::string> list;
    ini.ReadRawValues(section, list);
    std::string line;
    if (!list.empty()) {
        line = list.back();
    } else {
        bool found = false;
        for (char letter = 'A'; letter <= 'E' && !found; ++letter) {
            ini.ReadRawValues(std::string("Custom") + letter, list);
            if (list.empty() || section.empty() || list.front().find(section, 5) == std::string::npos) continue;
            found = true;
            for (std::size_t i = 1; i < list.size(); ++i)
                if (ContainsStr(list[i], key)) line = list[i];
        }
        if (!found) return ".INI section " + section + " NOT found";
    }
    if (line.empty()) return ".INI List Key not found.";

    const TToolSpec tool = ParseToolSpec(line);
    TToolRunOptions options;
    options.reportUnknownOutput = true;
    // "%p%\" + target: the asset the script runs on, a batch's included.
    if (CharCount(target) > 4) options.target = state.MacroAssetPath() + "\\" + target;
    TToolRunHooks hooks;
    hooks.WaitCursor = [&host](bool waiting) { host.BusyCursor(waiting); };
    TNoDialogs none;
    IEditorDialogs* dialogs = host.EditorDialogs();
    RunTool(state, dialogs ? *dialogs : none, hooks, tool.Caption(), line, options);
    return ".Menu Execute " + RemoveChars(tool.Caption(), "&");
}

std::vector<std::string> ExternalToolArguments(TProgramState& state, const std::string& tool, const std::string& p1,
                                               const std::string& p2, std::string& message) {
    message.clear();
    const TMemIni& ini = state.Settings();
    const std::string setting = ini.ReadString(kSystem, tool, "");
    const std::size_t exe = LowerCase(setting).find(".exe");
    std::string program = Trim(exe == std::string::npos ? setting : setting.substr(0, exe + 4));
    program = NativePath(RemoveChars(ExpandMacros(state, program), "\""));
    if (program.empty() || !FileExists(program)) {
        message = "Tool not found: " + program;
        return {};
    }
    const std::string options = ini.ReadString(kSystem, p1 + "," + tool, "");
    const std::size_t quote = options.find('"');
    std::vector<std::string> arguments{program};
    // The options are the tool's switches ("/q"): split at blanks, slashes kept.
    for (std::string& option : SplitCommandLine(Trim(options.substr(0, quote)))) arguments.push_back(std::move(option));
    std::string target = p2;
    if (target.empty() && quote != std::string::npos) {
        const std::size_t close = options.find('"', quote + 1);
        if (close != std::string::npos) target = ExpandMacros(state, options.substr(quote + 1, close - quote - 1));
    }
    arguments.push_back(NativePath(target));
    return arguments;
}

std::string RunExternalTool(TProgramState& state, ScriptHost& host, TOutlineDocument* config,
                            const std::string& assetFolder, const std::string& tool, const std::string& p1,
                            const std::string& p2, bool scriptMode) {
    if (std::string none = NoAssetFolderMessage(assetFolder); !none.empty()) return none;
    const bool meshwright = tool == "Meshwright";
    if (meshwright)
        if (std::string problem = CheckAssetMeshes(assetFolder); !problem.empty()) return problem;

    std::vector<std::string> arguments;
    std::string shown;
    if (!p1.empty() || !p2.empty()) {
        std::string message;
        arguments = ExternalToolArguments(state, tool, p1, p2, message);
        if (!message.empty()) return message;
        for (const std::string& a : arguments) shown += (shown.empty() ? "" : " ") + a;
    } else {
        shown = state.Settings().ReadString(kSystem, tool, "");
        arguments = CommandArguments(state, shown);
        // No command line set up: nothing to start.
        if (arguments.empty()) return "Tool not found: " + tool;
    }
    std::vector<std::string> notes;
    {
        TTreeUpdate update(host);
        TBusy busy(host);
        std::vector<std::string> output;
        // Captured, so the run waits for the tool (and Escape ends it); the output is the tool's own.
        RunArguments(state, assetFolder, arguments, shown, &output, 1, 1, {}, &notes);
    }
    // Nothing shows the output, so the user is told here what cut it short. A tool the user stopped
    // did not finish: what it was to make is not taken up.
    const std::string said = RunNotesMessage(tool, notes);
    if (StoppedByUser(notes)) return said;
    if (meshwright)
        if (std::string adopted = AdoptConvertedMeshes(state, config, assetFolder, scriptMode); !adopted.empty())
            return adopted;
    return said;
}

void RegisterSettingsCommands(TScriptCommands& commands) {
    commands.Register(15, Info);
    commands.Register(21, MessageBox);
    commands.Register(45, MenuExecute);
    commands.Register(59, Silent);
    commands.Register(60, SetEnv);
    commands.Register(61, [](ScriptCall& c) { return ExternalTool(c, "Meshwright"); });
    commands.Register(62, [](ScriptCall& c) { return ExternalTool(c, "Texwright"); });
    commands.Register(63, [](ScriptCall& c) { return ExternalTool(c, "DuskCaster"); });
    commands.Register(65, IniAdd);
    commands.Register(66, IniDelete);
    commands.Register(67, IniSave);
    commands.Register(68, InstallTool);
    commands.Register(69, Write);
}

}  // namespace kelvarn
