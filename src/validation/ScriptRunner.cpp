// Running script lines: the call path and its recursion guard, the line syntax, the pre-processing
// of each line's fields, and the dispatch to the registered handlers.
#include <algorithm>
#include <exception>

#include "catalogue/OutlineDocument.h"
#include "shell/Macros.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/Strings.h"
#include "validation/ScriptCommandTable.h"
#include "validation/ScriptHost.h"
#include "validation/ScriptUnit.h"

namespace kelvarn {

namespace {

// A byte-order mark (U+FEFF) that a file, a config value or the command bus left on the first line.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// Words that are silent when they are not commands (an unfinished "-els" among them).
constexpr std::string_view kIfWords = "-if-ifnot-ifquery-ifasset-ifmatches-ifthumbnail-else-endif";

// The first character of a line, whole even when it takes several bytes.
std::string FirstCharacter(std::string_view line) {
    std::size_t n = 1;
    while (n < line.size() && n < 4 && (static_cast<unsigned char>(line[n]) & 0xC0) == 0x80) ++n;
    return std::string(line.substr(0, n));
}

bool BeginsCommand(char c) { return c == '\t' || c == ' ' || c == '-' || c == ';'; }

// Scripts nested deeper than this are taken for a recursion the call path could not see.
constexpr std::size_t kMaxNesting = 64;

// The name a script runs under: "Unknown" for none, a file's base name for a path. A script of a
// sub-folder ("Tools\fix") runs under its own name too, or the call path could not see it call
// itself.
std::string RunName(std::string_view name) {
    if (name.empty()) return "Unknown";
    if (name.find_first_of(".\\/") == std::string_view::npos) return std::string(name);
    const std::string base = RemoveFileExt(ExtractFileName(name));
    return base.empty() ? "Unknown" : base;
}

// Script files are found ignoring case, so "Fix" and "fix" are the same script.
bool OnCallPath(const std::string& callPath, const std::string& name) {
    for (const std::string& element : SplitString(callPath, "\\"))
        if (SameText(element, name)) return true;
    return false;
}

// Names the asset a line runs on to the macros for as long as the line runs.
class TScriptAssetScope {
public:
    TScriptAssetScope(TProgramState& state, const TScriptAsset* asset) : state_(state), saved_(state.ScriptAsset) {
        state_.ScriptAsset = asset;
    }
    ~TScriptAssetScope() { state_.ScriptAsset = saved_; }
    TScriptAssetScope(const TScriptAssetScope&) = delete;
    TScriptAssetScope& operator=(const TScriptAssetScope&) = delete;

private:
    TProgramState& state_;
    const TScriptAsset* saved_;
};

}  // namespace

void TScriptUnit::Stop() {
    stopRequested_ = true;
    Terminate = true;
}

void TScriptUnit::FailRun() {
    runFailed_ = true;
    Terminate = true;
}

bool TScriptUnit::RefuseWhileRunning() {
    if (!running_ && frames_.empty()) return false;
    host_.Beep();
    host_.AppendAlert("A script is running: wait for its end or press Escape");
    return true;
}

bool TScriptUnit::ExecuteScriptLines(std::string_view scriptName, std::vector<std::string> lines, bool snapshot,
                                     bool literal) {
    TTreeUpdate runUpdate(host_, !scriptMode_);
    const std::string name = RunName(scriptName);
    if (CallPath.empty()) {
        CallPath = name;
    } else if (OnCallPath(CallPath, name) || frames_.size() >= kMaxNesting) {
        // The caller keeps its own path and goes on with its next line.
        LogMessage(1, "Possibly recursive call not allowed: (-CallScript|" + name + ")");
        return true;
    } else {
        CallPath += "\\" + name;
    }

    const bool outermost = frames_.empty();
    if (outermost) {
        // A stop asked for before the run began is not meant for it.
        stopRequested_ = false;
        runFailed_ = false;
    }
    struct TRunEnd {
        TScriptUnit& unit;
        bool outermost;
        ~TRunEnd() {
            const std::size_t cut = unit.CallPath.rfind('\\');
            unit.CallPath.erase(cut == std::string::npos ? 0 : cut);
            unit.frames_.pop_back();
            // An -exit ends this script only and a calling script goes on; Escape ends them all.
            unit.Terminate = unit.stopRequested_;
            if (outermost) {
                unit.stopRequested_ = false;
                unit.runFailed_ = false;
                unit.Terminate = false;
            }
        }
    };
    frames_.push_back({&lines, nullptr});
    TRunEnd end{*this, outermost};

    Terminate = stopRequested_;
    TScriptVars vars;
    if (snapshot) SaveSnapshot();
    if (!lines.empty() && StartsWith(lines[0], kByteOrderMark)) lines[0] = ReplaceAll(lines[0], kByteOrderMark, "");

    const int count = static_cast<int>(lines.size());
    bool reachedEnd = true;
    for (; vars.LineIndex >= 0 && vars.LineIndex < count; ++vars.LineIndex) {
        if (!host_.Poll()) Stop();
        if (Terminate) {
            reachedEnd = false;
            break;
        }
        const std::string& line = lines[static_cast<std::size_t>(vars.LineIndex)];
        if (!line.empty() && line[0] == ';') continue;
        if (!line.empty() && !BeginsCommand(line[0])) {
            LogMessage(vars.LineIndex + 1, "Invalid character in script [" + FirstCharacter(line) + "]");
            FailRun();
            reachedEnd = false;
            break;
        }
        bool failed = false;
        {
            TTreeUpdate lineUpdate(host_, !scriptMode_);
            try {
                ExecuteCommand(vars, lines, literal);
            } catch (const std::exception& e) {
                LogMessage(vars.LineIndex + 1, e.what());
                failed = true;
            }
        }
        ShowLineCount();
        if (failed) {
            FailRun();
            reachedEnd = false;
            break;
        }
    }
    if (reachedEnd && !Terminate && vars.ForEachActive > 0) LogMessage(count + 1, "EndFor statement missing");
    // Taken before `end` clears the flags of the outermost script.
    return !stopRequested_ && !runFailed_;
}

void TScriptUnit::ExecuteCommand(TScriptVars& vars, const std::vector<std::string>& lines, bool literal) {
    const int lineNumber = vars.LineIndex + 1;
    TTokens fields;
    const int fieldCount =
        std::min(SplitByCharSet(Trim(lines[static_cast<std::size_t>(vars.LineIndex)]), fields, "|"), kScriptFields);
    const int number = ScriptCommandNumber(fields[0]);
    BindContext();
    // A batch's line works on the batch asset: its macros name that asset, not the main window's.
    TScriptAssetScope asset(state_, scriptMode_ ? &batchAsset_ : nullptr);

    ScriptCall call(*this, vars, lines, host_);
    call.command = number;
    call.word = fields[0];
    call.fieldCount = fieldCount;
    call.literal = literal || HasCommandFlag(number, cfRawFields);
    call.config = context_;
    call.assetFolder = assetFolder_;
    call.lineNumber = lineNumber;
    const bool skipping = vars.Skip == 1;
    for (int i = 1; i < fieldCount; ++i) {
        std::string p = std::move(fields[static_cast<std::size_t>(i)]);
        if (!call.literal) {
            p = Trim(p);
            if (!p.empty() && p[0] == ';') p.clear();
            if (!HasCommandFlag(number, cfKeepQuotes)) p = RemoveChars(p, "\"");
            if (!HasCommandFlag(number, cfNoMacros)) p = ExpandMacros(state_, p);
            p = Trim(p);
            if (!HasCommandFlag(number, cfOwnVariables) && !skipping) ExpandVariables(p, vars);
        }
        call.p[static_cast<std::size_t>(i)] = std::move(p);
    }

    if (!HasCommandFlag(number, cfRunsWhileSkipping) && skipping) return;
    if (HasCommandFlag(number, cfMainWindowOnly) && scriptMode_) return;
    if (number == 0 || number == kInvalidCommand) {
        const std::string word = LowerCase(call.word);
        if (!word.empty() && !ContainsStr(kIfWords, word)) LogMessage(lineNumber, "Invalid Script Call: " + call.word);
        return;
    }
    // Every number of the table has its handler (a test holds that).
    const TScriptHandler* handler = commands_.Find(number);
    if (!handler) return;
    const std::string message = (*handler)(call);
    if (!HasCommandFlag(number, cfNoReport)) LogMessage(lineNumber, message);
}

}  // namespace kelvarn
