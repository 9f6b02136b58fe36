#include "shell/RunCommand.h"

#include <algorithm>

#include "shell/Files.h"
#include "shell/Macros.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/Text.h"

namespace kelvarn {

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
    std::vector<std::string> arguments;
    std::string current;
    bool inQuotes = false;
    bool pending = false;  // a token has begun (a quoted empty argument counts)
    for (char c : commandLine) {
        if (c == '"') {
            inQuotes = !inQuotes;
            pending = true;
        } else if (!inQuotes && (c == ' ' || c == '\t' || c == '\r' || c == '\n')) {
            if (pending) arguments.push_back(std::move(current));
            current.clear();
            pending = false;
        } else {
            current.push_back(c);
            pending = true;
        }
    }
    if (pending) arguments.push_back(std::move(current));
    return arguments;
}

std::vector<std::string> CommandArguments(const TProgramState& state, std::string_view commandLine) {
    const std::string blanked = ReplaceAll(ReplaceAll(commandLine, kPilcrow, " "), kMiddleDot, " ");
    std::vector<std::string> arguments = SplitCommandLine(blanked);
    for (std::string& argument : arguments) {
        if (argument.find('%') == std::string::npos) continue;
        const std::string expanded = ExpandMacros(state, argument);
        argument = expanded == argument ? expanded : NativePath(expanded);
    }
    return arguments;
}

namespace {

std::string JoinArguments(const std::vector<std::string>& arguments) {
    std::string text;
    for (const std::string& a : arguments) {
        if (!text.empty()) text += ' ';
        text += a.find(' ') != std::string::npos || a.empty() ? "\"" + a + "\"" : a;
    }
    return text;
}

}  // namespace

bool RunArguments(TProgramState& state, std::string_view startFolder, const std::vector<std::string>& arguments,
                  std::string_view shown, std::vector<std::string>* output, int captureMode, int showWindow,
                  const TRunSwitches& switches, std::vector<std::string>* notes) {
    if (output) output->clear();
    if (notes) notes->clear();
    const std::string commandText = std::string(shown);
    if (arguments.empty() || arguments.front().empty()) {
        state.Messages->ShowMessage("CreateProcess\n\nCommand Line: " + commandText + "\n\nThe command line names no program (87)",
                                    "", MessageKind::Error);
        return false;
    }
    ProcessRequest request;
    request.program = arguments.front();
    request.arguments.assign(arguments.begin() + 1, arguments.end());
    request.workingFolder = std::string(startFolder);
    request.captureOutput = captureMode > 0;
    request.showWindow = showWindow;
    request.timeLimitSeconds = switches.timeLimitSeconds;
    ProcessResult result = state.Runner->Run(request);
    if (result.started) {
        if (!request.captureOutput) return false;
        if (result.timedOut) {
            state.Messages->ShowMessage(request.program + " did not finish within " + std::to_string(switches.timeLimitSeconds) +
                                            " seconds and was stopped\n\nCommand Line: " + commandText,
                                        "", MessageKind::Error);
            return false;
        }
        // Whatever shows or logs the output says it is not all the tool gave.
        std::vector<std::string> ended;
        if (result.truncated) ended.emplace_back(kOutputCutLine);
        if (result.cancelled) ended.emplace_back(kStoppedByUserLine);
        if (notes) *notes = ended;
        if (result.cancelled && switches.cancelFails) return false;
        if (output) {
            *output = std::move(result.outputLines);
            output->insert(output->end(), ended.begin(), ended.end());
        }
        return true;
    }
    if (result.notFound && switches.defaultProgramFallback) {
        // A document (or a program that is not there) goes to the desktop's default program.
        if (state.Runner->OpenWithDefault(NativePath(request.program))) return false;
        const bool exists = PathExists(request.program);
        const bool web = StartsWithText(request.program, "http://") || StartsWithText(request.program, "https://");
        const std::string reason = web      ? "No web browser opened the address."
                                   : exists ? "No application is associated with the specified file for this operation. (31)"
                                            : "The system cannot find the file specified. (2)";
        state.Messages->ShowMessage("ShellExecute\n\nCommand Line: " + commandText + "\n\n" + reason, "",
                                    MessageKind::Error);
        return false;
    }
    state.Messages->ShowMessage("CreateProcess\n\nCommand Line: " + commandText + "\n\n" +
                                    (result.error.empty() ? std::string("The program could not be started") : result.error),
                                "", MessageKind::Error);
    return false;
}

std::string RunNotesMessage(std::string_view tool, const std::vector<std::string>& notes) {
    if (notes.empty()) return {};
    std::string message = StoppedByUser(notes) ? "" : ".";
    message += std::string(tool) + ": ";
    for (std::size_t i = 0; i < notes.size(); ++i) message += (i ? "; " : "") + notes[i];
    return message;
}

bool StoppedByUser(const std::vector<std::string>& notes) {
    return std::find(notes.begin(), notes.end(), kStoppedByUserLine) != notes.end();
}

bool RunCommand(TProgramState& state, std::string_view startFolder, std::string_view commandLine,
                std::vector<std::string>* output, int captureMode, int showWindow) {
    const std::vector<std::string> arguments = CommandArguments(state, commandLine);
    return RunArguments(state, startFolder, arguments, JoinArguments(arguments), output, captureMode, showWindow);
}

}  // namespace kelvarn
