// The tool runner: the one place where a tool line from the settings (shell/ToolFields.h) becomes
// an action.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/ToolFields.h"

namespace kelvarn {

class IEditorDialogs;
class TProgramState;

// The numbers of fields 4 to 7, checked together before anything runs.
// Output modes: 0 none, 1 capture and show, 2 capture to "%log%\Kelvarn.log", 3 into the report log.
// Before-actions: 0 none, 1 save the shown file, 2 back up the current file, 3 back up the asset
// folder. After-actions: 0 none, 1 show the screenshot file, 2 and 3 nothing.
struct TToolNumbers {
    int showWindow = 1;
    int outputMode = 0;
    int before = 0;
    int after = 0;
};
// Returns the message naming the first field that is not an integer (also a missing one), empty
// when all are.
std::string ReadToolNumbers(const TToolSpec& spec, TToolNumbers& numbers);

// The five header lines above captured output.
std::vector<std::string> ToolOutputHeader(std::string_view caption, std::string_view targetFile,
                                          const std::string& startText, const std::string& elapsedText);

// Removes the leading (and with `trailing`, the trailing) empty lines.
void TrimEmptyLines(std::vector<std::string>& lines, bool trailing);

// Where the runner shows its state: the file list's alert strip and the waiting cursor.
struct TToolRunHooks {
    std::function<void(const std::string& text)> Alert;
    std::function<void()> CloseAlert;
    std::function<void(bool waiting)> WaitCursor;
};

// What a script's run of a tool line changes.
struct TToolRunOptions {
    // The file the tool works on in place of the current one: "%pfe%" stands for it, and an argument
    // that names it stays one argument whatever blanks or quotes the name holds. Empty: the current file.
    std::string target;
    // An output mode above 3 shows "Invalid Capture Action Specifier" (a menu item discards the output).
    bool reportUnknownOutput = false;
};

// The arguments of a command line in which "%pfe%" names `target` (a full path).
std::vector<std::string> CommandArgumentsForTarget(const TProgramState& state, std::string_view commandLine,
                                                   const std::string& target);

// Runs a tool line for the current file. `caption` is the caller's (the menu item's).
void RunTool(TProgramState& state, IEditorDialogs& dialogs, const TToolRunHooks& hooks, std::string_view caption,
             std::string_view spec, const TToolRunOptions& options = {});

}  // namespace kelvarn
