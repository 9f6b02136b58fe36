#include "shell/ToolLine.h"

#include "shell/Strings.h"
#include "shell/Text.h"
#include "shell/ToolFields.h"

namespace kelvarn {

namespace {

int ToolOption(const std::string& text, int fallback) {
    long long value = 0;
    if (!TryParseInt(Trim(text), value) || value < 0 || value >= kToolOptionCount) return fallback;
    return static_cast<int>(value);
}

bool GivesNothing(const TParamRow& row) { return row.switches.empty() && row.file.empty(); }

TParamRow SplitParamPart(std::string_view part) {
    TParamRow row;
    const std::string text = ReplaceAll(part, kMiddleDot, " ");
    const std::size_t open = text.find('"');
    const std::size_t close = open == std::string::npos ? open : text.find('"', open + 1);
    if (close != std::string::npos) {
        const std::string rest = text.substr(0, open) + text.substr(close + 1);
        // A second quoted part cannot be told from the file part: the whole part stays a switch, so
        // that what is stored reads back as it was shown.
        if (rest.find('"') == std::string::npos) {
            row.switches = Trim(rest);
            row.file = Trim(text.substr(open + 1, close - open - 1));
            return row;
        }
    }
    row.switches = Trim(text);
    return row;
}

}  // namespace

std::string BuildToolCommand(const std::vector<TParamRow>& rows) {
    std::string command;
    for (const TParamRow& row : rows) {
        const std::string switches = ReplaceAll(Trim(row.switches), " ", kMiddleDot);
        const std::string file = Trim(row.file);
        if (switches.empty() && file.empty()) continue;
        command += switches;
        if (!file.empty()) command += "\"" + file + "\"";
        command += kPilcrow;
    }
    while (EndsWith(command, kPilcrow)) command.resize(command.size() - kPilcrow.size());
    return command;
}

std::vector<TParamRow> SplitToolCommand(std::string_view command) {
    std::vector<TParamRow> rows;
    for (const std::string& part : SplitString(command, kPilcrow)) {
        TParamRow row = SplitParamPart(part);
        if (!GivesNothing(row)) rows.push_back(std::move(row));
    }
    return rows;
}

TToolEntry LoadToolEntry(std::string_view line) {
    const TToolSpec spec = ParseToolSpec(line);
    TToolEntry entry;
    entry.caption = spec.Caption();
    if (entry.IsSeparator()) return entry;
    entry.startIn = spec.Folder();
    // The parse turns "¶" into blanks, as the runner wants it; the rows need the command as stored.
    TTokens raw;
    const int count = SplitByCharSet(line, raw, kBrokenBar);
    if (count >= 3) entry.params = SplitToolCommand(raw[2]);
    const TToolEntry cleared;
    entry.window = ToolOption(spec.Field(4), cleared.window);
    entry.output = ToolOption(spec.Field(5), cleared.output);
    entry.before = ToolOption(spec.Field(6), cleared.before);
    entry.after = ToolOption(spec.Field(7), cleared.after);
    return entry;
}

std::string StoreToolEntry(const TToolEntry& entry) {
    if (entry.IsSeparator()) return std::string(kSeparatorCaption);
    const std::string bar(kBrokenBar);
    std::string line = entry.caption + bar + entry.startIn + bar + BuildToolCommand(entry.params) + bar;
    for (int value : {entry.window, entry.output, entry.before, entry.after}) line += std::to_string(value) + bar;
    return line;
}

}  // namespace kelvarn
