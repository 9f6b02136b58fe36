// Running a command line: the one place where a command line from a tool line, a script or a setting
// becomes a process. The line is split into an argument list first and macros are expanded into each
// argument afterwards, so a file name (whatever characters it holds) stays one argument and never
// becomes a command; the process runs without a shell.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelvarn {

class TProgramState;

// Splits at blanks and tabs outside double quotes; the quotes group and are dropped (an empty pair
// gives an empty argument). Backslashes are ordinary characters, as in the Windows paths tool lines
// hold.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// The arguments of a command line: "¶" and "·" become blanks, the line is split, then each argument
// has its macros expanded. An argument that held a macro names a path the program built with
// backslashes; it is given in the file system's own form.
std::vector<std::string> CommandArguments(const TProgramState& state, std::string_view commandLine);

// Runs `commandLine` (macros not yet expanded) in `startFolder` (already expanded; empty: the current
// folder). With `captureMode` above 0 it waits for the program and fills `output` with its standard
// output lines; the result is then true. Without capture the program is started and not awaited; the
// result is false. A program that is missing or no program at all (a document) is handed to the
// desktop's default program instead. Failures are shown as messages; the result is then false.
bool RunCommand(TProgramState& state, std::string_view startFolder, std::string_view commandLine,
                std::vector<std::string>* output, int captureMode, int showWindow);

// How RunArguments treats a program it runs for itself rather than for the user.
struct TRunSwitches {
    // A missing program (or none) goes to the desktop's default program; off, that is a failure.
    bool defaultProgramFallback = true;
    // A capture run stopped at this limit gives a message naming the program and no output; 0: none.
    int timeLimitSeconds = 0;
    // A capture run the user ended with Escape gives no output and false.
    bool cancelFails = false;
};

// The same for an argument list that is ready (the program first); nothing is expanded. `shown` is
// the command line the messages name. A capture run's output ends with the notes that say it is not
// all the tool gave ("output cut at 64 MB", "stopped by the user"); `notes`, when given, receives them
// too, for a caller that shows no output.
bool RunArguments(TProgramState& state, std::string_view startFolder, const std::vector<std::string>& arguments,
                  std::string_view shown, std::vector<std::string>* output, int captureMode, int showWindow,
                  const TRunSwitches& switches = {}, std::vector<std::string>* notes = nullptr);

// The notes of a run whose output nobody sees, as a message naming the tool; empty when there are none.
// Output that was only cut is informational (it begins with "."): the tool finished.
std::string RunNotesMessage(std::string_view tool, const std::vector<std::string>& notes);
bool StoppedByUser(const std::vector<std::string>& notes);

}  // namespace kelvarn
