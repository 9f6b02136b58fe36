// The tool line as the settings dialog edits it: caption ¦ start-in folder ¦ command ¦ window ¦ output ¦
// before ¦ after ¦. The command is a list of parameter rows joined by "¶", each a switch (its blanks
// stored as "·", because the settings file would trim a real one) followed by an optional file part in
// double quotes. Loading and storing agree: a line loaded, stored and loaded again gives the same entry.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelvarn {

inline constexpr std::string_view kSeparatorCaption = "-----";

struct TParamRow {
    std::string switches;  // as shown: blanks, not "·"
    std::string file;      // without its quotes
    bool operator==(const TParamRow&) const = default;
};

struct TToolEntry {
    std::string caption;
    std::string startIn;
    std::vector<TParamRow> params;  // rows that give nothing are not kept
    // The radio groups' item indexes; the values of a cleared editor.
    int window = 0;
    int output = 0;
    int before = 1;
    int after = 0;
    bool IsSeparator() const { return caption == kSeparatorCaption; }
    bool operator==(const TToolEntry&) const = default;
};

// Each radio group has four items; a stored number outside them takes the cleared editor's value.
inline constexpr int kToolOptionCount = 4;

// The command from the parameter rows, in order; rows that give nothing are skipped and trailing "¶"
// removed.
std::string BuildToolCommand(const std::vector<TParamRow>& rows);
// The rows of a command: split at "¶"; a part between double quotes goes to the file cell, the rest
// (with "·" back to blanks, trimmed) to the switch cell.
std::vector<TParamRow> SplitToolCommand(std::string_view command);

// LoadToolEntry and StoreToolEntry on the text of one settings value. A separator stores as "-----"
// alone.
TToolEntry LoadToolEntry(std::string_view line);
std::string StoreToolEntry(const TToolEntry& entry);

}  // namespace kelvarn
