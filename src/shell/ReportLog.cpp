#include "shell/ReportLog.h"

#include <mutex>

#include "platform/FileSystemOps.h"
#include "shell/FileCopy.h"
#include "shell/Files.h"
#include "shell/Macros.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/SettingsKeys.h"
#include "shell/Text.h"
#include "shell/TextCodec.h"

namespace kelvarn {

namespace {

const std::string kRule(84, '-');
constexpr std::string_view kLineEnd = "\r\n";

// What the last report knew of the day's file after writing it. While the file still has the size and
// time it had then, the next report appends without reading it again: a batch of thousands of reports
// costs each one the same.
struct TLogTail {
    std::string file;
    std::uint64_t size = 0;
    std::int64_t modified = 0;
    std::size_t chars = 0;  // characters of its text, two for a CR LF (the caret's measure)
    TextEncoding encoding = TextEncoding::Utf8;
    bool endsWithLineEnd = true;
};

std::mutex gTailLock;
TLogTail gTail;

bool KnownTail(const std::string& file, TLogTail& tail) {
    std::uint64_t size = 0;
    std::int64_t modified = 0;
    if (!platform::FileStamp(NativePath(file), size, modified)) return false;
    std::lock_guard<std::mutex> lock(gTailLock);
    if (gTail.file != file || gTail.size != size || gTail.modified != modified) return false;
    tail = gTail;
    return true;
}

void RememberTail(TLogTail tail) {
    std::uint64_t size = 0;
    std::int64_t modified = 0;
    std::lock_guard<std::mutex> lock(gTailLock);
    if (!platform::FileStamp(NativePath(tail.file), size, modified)) {
        gTail = {};
        return;
    }
    tail.size = size;
    tail.modified = modified;
    gTail = std::move(tail);
}

void ForgetTail() {
    std::lock_guard<std::mutex> lock(gTailLock);
    gTail = {};
}

}  // namespace

std::string LogFileName(TProgramState& state) {
    return ExpandMacros(state, "%log%\\Kelvarn(" + FormatDateStamp(state.Clock->Now()) + ").log");
}

std::vector<std::string> FormatLogBlock(std::string_view asset, std::string_view title, std::string_view extra,
                                        const DateTime& start, const DateTime& now, std::vector<std::string>& lines) {
    std::vector<std::string> block;
    block.reserve(lines.size() + 8);
    block.push_back(kRule);
    if (!title.empty()) block.emplace_back(title);
    if (!extra.empty()) block.emplace_back(extra);
    if (!asset.empty()) block.push_back("Asset: " + std::string(asset));
    block.push_back(FormatLongDateTime(start) + ", Elapsed Time: " +
                    FormatElapsed(now.TotalMilliseconds() - start.TotalMilliseconds()));
    block.push_back(kRule);
    if (lines.empty()) lines.emplace_back(kNothingToReport);
    block.insert(block.end(), lines.begin(), lines.end());
    block.emplace_back();
    return block;
}

std::string AddToLog(TProgramState& state, std::string_view asset, std::string_view title,
                     std::vector<std::string>& lines, const DateTime& start, std::string_view extra) {
    const std::string file = LogFileName(state);
    const DateTime now = state.Clock->Now();
    std::vector<std::string> block = FormatLogBlock(asset, title, extra, start, now, lines);

    // The block goes at the end of the day's file (a fresh file with "DailyLog" off): appending costs the
    // same however long the day's log has grown, and what the file held is never rewritten.
    const bool daily = ReadSettingBool(state.Settings(), keys::DailyLog);
    std::string error;
    TLogTail tail;
    tail.file = file;
    if (daily && FileExists(file) && !KnownTail(file, tail)) {
        DecodedText existing;
        error = ReadTextFile(file, existing);
        tail.encoding = existing.encoding;
        tail.chars = CharCount(existing.text);
        tail.endsWithLineEnd = existing.text.empty() || existing.text.back() == '\n' || existing.text.back() == '\r';
    } else if (!daily || !FileExists(file)) {
        tail = {file, 0, 0, 0, TextEncoding::Utf8, true};
    }
    const std::string separator = tail.endsWithLineEnd ? "" : "\r\n";
    const std::size_t offset = tail.chars + separator.size();
    const std::string blockText = separator + JoinLines(block, kLineEnd);

    if (error.empty()) {
        const std::string folder = ExtractFileDir(file);
        if (!ForceDirectories(folder)) error = "Unable to create the log folder " + ShownPath(folder);
    }
    if (error.empty()) {
        // The block goes after what the file holds, which stays byte for byte; the block itself is
        // encoded as new lines of that file are.
        const std::string bytes = EncodeAppendedText(blockText, tail.encoding);
        error = daily ? AppendToFile(file, bytes) : OverwriteFile(file, bytes);
    }
    if (error.empty()) {
        tail.chars = offset + CharCount(blockText) - separator.size();
        tail.endsWithLineEnd = true;
        RememberTail(std::move(tail));
    } else {
        ForgetTail();
    }

    if (!error.empty()) {
        // The findings must not be lost: say once what went wrong and show the report itself.
        state.Messages->ShowMessage("The report could not be written to the log.\n" + error, "",
                                    MessageKind::Warning);
        if (state.Viewer) state.Viewer->ShowReportText(std::string(title), block);
        return error;
    }
    if (state.Viewer && ReadSettingBool(state.Settings(), keys::DisplayLog))
        state.Viewer->ShowLog("Kelvarn Log", file, offset);
    return {};
}

std::string ClearLog(TProgramState& state) {
    const std::string file = LogFileName(state);
    if (!FileExists(file)) return {};
    return WriteFileAtomic(file, "");
}

std::size_t LogCaretPosition(std::string_view viewTextUtf8, std::size_t offset, bool fileUsesCrLf) {
    if (offset == 0) return 0;
    const std::size_t lineEndChars = fileUsesCrLf ? 2 : 1;
    std::size_t fileChars = 0, viewUnits = 0, i = 0;
    while (i < viewTextUtf8.size() && fileChars < offset) {
        const unsigned char c = static_cast<unsigned char>(viewTextUtf8[i]);
        std::size_t length = 1;
        if (c >= 0xF0)
            length = 4;
        else if (c >= 0xE0)
            length = 3;
        else if (c >= 0xC0)
            length = 2;
        fileChars += c == '\n' ? lineEndChars : 1;
        viewUnits += length == 4 ? 2 : 1;
        i += length;
    }
    // The first character after the offset: the newest block's first, never past the end.
    return viewUnits;
}

}  // namespace kelvarn
