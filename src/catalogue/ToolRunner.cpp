#include "catalogue/ToolRunner.h"

#include <climits>

#include "catalogue/EditorDialogs.h"
#include "shell/Backups.h"
#include "shell/CommandBus.h"
#include "shell/Files.h"
#include "shell/Macros.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/ReportLog.h"
#include "shell/RunCommand.h"
#include "shell/Strings.h"
#include "shell/Text.h"

namespace kelvarn {

namespace {

constexpr int kOutputSize = 640480;  // 640 by 480
constexpr int kOutputFlags = 3;

const char* const kFieldNames[] = {"", "caption", "start-in folder", "command line", "show-window value",
                                   "output mode", "before-action", "after-action"};

// Puts the cursor and the alert strip back whichever way the run ends.
class TRunState {
public:
    explicit TRunState(const TToolRunHooks& hooks) : hooks_(hooks) {}
    ~TRunState() {
        if (waiting_ && hooks_.WaitCursor) hooks_.WaitCursor(false);
        if (hooks_.CloseAlert) hooks_.CloseAlert();
    }
    void Wait(const std::string& text) {
        if (hooks_.Alert) hooks_.Alert(text);
        if (hooks_.WaitCursor) hooks_.WaitCursor(true);
        waiting_ = true;
    }

private:
    const TToolRunHooks& hooks_;
    bool waiting_ = false;
};

}  // namespace

std::string ReadToolNumbers(const TToolSpec& spec, TToolNumbers& numbers) {
    int* targets[] = {&numbers.showWindow, &numbers.outputMode, &numbers.before, &numbers.after};
    for (int field = 4; field <= 7; ++field) {
        const std::string text = spec.Field(field);
        long long value = 0;
        if (!TryParseInt(Trim(text), value) || value < INT_MIN || value > INT_MAX)
            return "Invalid tool specification: field " + std::to_string(field) + " (" + kFieldNames[field] +
                   ") is not a whole number: \"" + text + "\"";
        *targets[field - 4] = static_cast<int>(value);
    }
    return {};
}

std::vector<std::string> ToolOutputHeader(std::string_view caption, std::string_view targetFile,
                                          const std::string& startText, const std::string& elapsedText) {
    const std::string rule(90, '-');
    return {rule, RemoveChars(caption, "&"), "Target File: " + std::string(targetFile),
            startText + "   Elapsed Time: " + elapsedText, rule};
}

void TrimEmptyLines(std::vector<std::string>& lines, bool trailing) {
    std::size_t first = 0;
    while (first < lines.size() && lines[first].empty()) ++first;
    lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(first));
    if (trailing)
        while (!lines.empty() && lines.back().empty()) lines.pop_back();
}

std::vector<std::string> CommandArgumentsForTarget(const TProgramState& state, std::string_view commandLine,
                                                   const std::string& target) {
    // The target goes in after the line is split and its macros expanded, so nothing in its name
    // is read as a separator, a quote or a macro.
    constexpr std::string_view kMark = "\x01";
    const std::string blanked = ReplaceAll(ReplaceAll(commandLine, kPilcrow, " "), kMiddleDot, " ");
    std::vector<std::string> arguments = SplitCommandLine(blanked);
    for (std::string& argument : arguments) {
        if (argument.find('%') == std::string::npos) continue;
        const std::string marked = ReplaceAllText(argument, "%pfe%", kMark);
        std::string expanded = ExpandMacros(state, marked);
        if (expanded == marked && marked == argument) continue;
        expanded = NativePath(expanded);
        argument = ReplaceAll(expanded, kMark, NativePath(target));
    }
    return arguments;
}

void RunTool(TProgramState& state, IEditorDialogs& dialogs, const TToolRunHooks& hooks, std::string_view caption,
             std::string_view spec, const TToolRunOptions& options) {
    const TToolSpec tool = ParseToolSpec(spec);
    TToolNumbers numbers;
    // Every number is read before anything happens: a bad field runs nothing and backs nothing up.
    if (std::string error = ReadToolNumbers(tool, numbers); !error.empty()) {
        state.Messages->ShowMessage(error, "", MessageKind::Error);
        return;
    }
    TRunState run(hooks);
    const std::string folder = ExpandMacros(state, tool.Folder());
    const std::string commandLine = tool.CommandLine();
    // "runkvm" is looked for in the line as written: a file name the macros bring in never turns
    // into script commands.
    const bool script = ContainsText(commandLine, "runkvm");
    if (ContainsText(ExpandMacros(state, commandLine), "trainzutil")) {
        const std::string call = NativePath(ExpandMacros(state, "%bin%\\yourcall.mp3"));
        if (FileExists(call)) state.Audio->Play(call);
    }

    // The backups are taken here rather than through the bus, whose callbacks answer nothing: a tool
    // must not change what could not be backed up.
    std::string backupError;
    switch (numbers.before) {
        case 0: break;
        // A script's tool run works on the asset the script runs on.
        case 1: state.SendCommand(ccSaveFile, state.MacroAssetPathFile()); break;
        case 2: backupError = BackupFile(state, state.MacroAssetPathFile()); break;
        case 3: backupError = BackupFolder(state, state.MacroAssetPath()); break;
        default: state.Messages->ShowMessage("Invalid Before Action specifier"); break;
    }
    if (!backupError.empty()) {
        state.Messages->ShowMessage(backupError + "; the tool was not run", "", MessageKind::Error);
        state.Audio->Stop();
        return;
    }

    const DateTime start = state.Clock->Now();
    if (!script) {
        run.Wait("Waiting for external process ...");
        std::vector<std::string> lines;
        if (options.target.empty()) {
            RunCommand(state, folder, commandLine, &lines, numbers.outputMode, numbers.showWindow);
        } else {
            const std::vector<std::string> arguments = CommandArgumentsForTarget(state, commandLine, options.target);
            RunArguments(state, folder, arguments, ReplaceAllText(commandLine, "%pfe%", options.target), &lines,
                         numbers.outputMode, numbers.showWindow);
        }
        const int mode = numbers.outputMode;
        const std::string targetFile = options.target.empty() ? state.MacroAssetPathFile() : options.target;
        if (mode == 1 || mode == 2) TrimEmptyLines(lines, false);
        if (mode == 2 || (mode == 1 && !lines.empty())) {
            const std::int64_t elapsed = state.Clock->Now().TotalMilliseconds() - start.TotalMilliseconds();
            std::vector<std::string> header =
                ToolOutputHeader(caption, targetFile, FormatLongDateTime(start), FormatElapsed(elapsed));
            lines.insert(lines.begin(), header.begin(), header.end());
        }
        if (mode == 1 && !lines.empty()) {
            dialogs.ShowText(kOutputSize, kOutputFlags, lines, "Command Output");
        } else if (mode == 2) {
            const std::string log = NativePath(ExpandMacros(state, "%log%\\Kelvarn.log"));
            ForceDirectories(ExtractFileDir(log));
            if (std::string error = WriteFileAtomic(log, JoinLines(lines) + "\r\n"); !error.empty())
                state.Messages->ShowMessage(error, "", MessageKind::Error);
            dialogs.ShowText(kOutputSize, kOutputFlags, lines, "Kelvarn Log");
        } else if (mode == 3) {
            TrimEmptyLines(lines, true);
            AddToLog(state, "", RemoveChars(caption, "&"), lines, start, "Target File: " + targetFile);
        } else if (mode > 3 && options.reportUnknownOutput) {
            state.Messages->ShowMessage("Invalid Capture Action Specifier");
        }
    } else {
        state.SendCommand(ccRunScript, ExpandMacros(state, ReplaceFirstText(commandLine, "runkvm", "")));
    }

    switch (numbers.after) {
        case 0:
        case 2:
        case 3:
            break;
        case 1: {
            const std::string path = state.AssetPath();
            const std::string name = state.AssetFileName();
            state.SetAssetPath(ExpandMacros(state, "%bin%"));
            state.SetAssetFileName("$screenshot$.jpg");
            state.SendCommand(ccShowFile, state.AssetPathFile());
            state.SetAssetPath(path);
            state.SetAssetFileName(name);
            state.SendCommand(ccShowFile, state.AssetPathFile());
            break;
        }
        default:
            state.Messages->ShowMessage("Invalid After Action specifier");
            break;
    }
    state.Audio->Stop();
}

}  // namespace kelvarn
