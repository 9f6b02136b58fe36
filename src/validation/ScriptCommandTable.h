// The script language's command table: 78 words, each a lower-case text with a leading "-", numbered
// by position. Besides the word, each entry carries the rules that differ from command to command:
// which run while lines are skipped, which get their fields untouched, keep double quotes, skip
// macro or variable expansion, report nothing, or act in the main window only. Everything else
// about a command lives in its handler (ScriptCall.h).
#pragma once

#include <array>
#include <string_view>

namespace kelvarn {

enum TScriptCommandFlag : unsigned {
    cfRunsWhileSkipping = 1u << 0,  // the -if family, -else and -endif keep the branch count
    cfRawFields = 1u << 1,          // no pre-processing at all (-write)
    cfKeepQuotes = 1u << 2,         // double quotes stay in the parameters
    cfNoMacros = 1u << 3,           // path macros are not expanded
    cfOwnVariables = 1u << 4,       // the handler expands "^" variables itself
    cfNoReport = 1u << 5,           // the handler's message is not reported
    cfMainWindowOnly = 1u << 6,     // does nothing during a batch over tagged assets
};

struct TScriptCommand {
    std::string_view word;
    unsigned flags = 0;
};

inline constexpr int kScriptCommandCount = 78;
// The last entry can never be used: it reports "Invalid Script Call: ".
inline constexpr int kInvalidCommand = 78;

// Commands the runner and the control flow name.
enum TScriptCommandNumber : int {
    scIf = 1, scIfNot = 2, scIfQuery = 3, scIfAsset = 4, scIfMatches = 5, scIfThumbnail = 6,
    scElse = 7, scEndIf = 8, scExit = 9, scCondition = 10, scCallScript = 11,
    scCase = 52, scEndCase = 53, scSelect = 54, scEndSelect = 55, scForEach = 56, scEndFor = 57,
    scBreak = 58, scWrite = 69,
};

// Entry 0 is empty; entries 1 to 78 are the commands.
const std::array<TScriptCommand, kScriptCommandCount + 1>& ScriptCommandTable();

// The number of a command word (compared ignoring case), 0 when the table has no such word.
int ScriptCommandNumber(std::string_view word);

inline bool HasCommandFlag(int number, unsigned flag) {
    return number > 0 && number <= kScriptCommandCount && (ScriptCommandTable()[static_cast<std::size_t>(number)].flags & flag) != 0;
}

}  // namespace kelvarn
