// The report log: checks, repairs and scripts hand their findings to AddToLog, which writes them as a
// framed block into the day's log "%log%\Kelvarn(yyyymmdd).log" and shows the log when the user wants.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "shell/Clock.h"

namespace kelvarn {

class TProgramState;

// Where the log is shown (the viewer window). Core calls it; the Qt side implements it.
class IReportViewer {
public:
    virtual ~IReportViewer() = default;
    // Shows the log file with the caret at `offset` characters (line ends counted as written: two for
    // CR LF), the first character of the newest block.
    virtual void ShowLog(const std::string& title, const std::string& file, std::size_t offset) = 0;
    // Shows a report that could not be written to the log.
    virtual void ShowReportText(const std::string& title, const std::vector<std::string>& lines) = 0;
};

inline constexpr std::string_view kNothingToReport = "Nothing to report";

std::string LogFileName(TProgramState& state);  // the day's log, expanded

// The lines of one report block, ending with one empty line. An empty `lines` gets "Nothing to report",
// which is also added to the caller's list.
std::vector<std::string> FormatLogBlock(std::string_view asset, std::string_view title, std::string_view extra,
                                        const DateTime& start, const DateTime& now, std::vector<std::string>& lines);

// Writes one report block: appended to the day's file with "DailyLog" on, else the file holds only this
// report; shows the log with "DisplayLog" on. A write failure gives one message and still shows the
// report; it never throws. Returns the failure's message, empty on success.
std::string AddToLog(TProgramState& state, std::string_view asset, std::string_view title,
                     std::vector<std::string>& lines, const DateTime& start, std::string_view extra = {});

// Where the viewer puts the caret for ShowLog: `offset` counts characters of the file with two for a
// CR LF (as AddToLog measured it); the result is the position, in the view's UTF-16 units with one
// character per line end, of the character after that offset (the newest block's first line), or 0
// for offset 0. Never past the end.
std::size_t LogCaretPosition(std::string_view viewTextUtf8, std::size_t offset, bool fileUsesCrLf);

// Rewrites the day's log empty when it exists.
std::string ClearLog(TProgramState& state);

}  // namespace kelvarn
