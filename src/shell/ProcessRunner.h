// Starting other programs. Commands are split into an argument list before macros are expanded into
// them and run without a shell, so a file name never becomes a command.
#pragma once

#include <string>
#include <vector>

namespace kelvarn {

// A capture run keeps this much of a tool's output; the rest is read and dropped.
inline constexpr long long kMaxCapturedOutput = 64ll << 20;
// The lines that end an output that is not all the tool gave.
inline constexpr const char* kOutputCutLine = "output cut at 64 MB";
inline constexpr const char* kStoppedByUserLine = "stopped by the user";

struct ProcessRequest {
    std::string program;
    std::vector<std::string> arguments;
    std::string workingFolder;  // empty: the current folder
    bool captureOutput = false;
    int showWindow = 1;  // the tool line's show state; desktops without it ignore it
    // A capture run still going after this many seconds is stopped and reported as timed out; 0 waits
    // as long as it takes.
    int timeLimitSeconds = 0;
};

struct ProcessResult {
    bool started = false;
    bool notFound = false;   // no such file, or not a program: the caller may open it instead
    bool cancelled = false;  // a capture run the user ended (Escape): its child and their group were stopped
    bool timedOut = false;   // a capture run stopped at its time limit
    bool truncated = false;  // the output passed kMaxCapturedOutput and the rest was dropped
    int exitCode = -1;
    std::vector<std::string> outputLines;  // captured standard output, decoded by the text rule
    std::string error;       // why it did not start
};

class IProcessRunner {
public:
    virtual ~IProcessRunner() = default;
    // Runs the program with its standard input closed; with capture, waits for it and collects its
    // standard output (a capture run can be ended by the user), else starts it and returns at once.
    virtual ProcessResult Run(const ProcessRequest& request) = 0;
    // Opens a file or an http/https address with the desktop's default program.
    virtual bool OpenWithDefault(const std::string& pathOrUrl) = 0;
};

}  // namespace kelvarn
