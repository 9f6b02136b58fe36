// The list builders and tests the control flow uses and later command families share: asset files
// by pattern, number and option lists, numeric order, and the reading of script and list files.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelvarn {

class TProgramState;

// No script or list file a person writes comes near this.
inline constexpr std::uint64_t kMaxScriptFileBytes = 8ull << 20;
// A number list ("0-99999") stops here.
inline constexpr std::size_t kMaxOptionItems = 100000;

// A path that does not lie below the asset folder: it holds a drive colon, or starts with "/".
bool IsAbsoluteScriptPath(std::string_view path);

// A decimal (or "$"/"0x" hexadecimal) integer that fits 32 bits; the whole text, blanks around it
// allowed.
bool ReadScriptInt(std::string_view text, int& value);
// -1, 0 or 1 as `a` is below, equal to or above `b`, both read as integers (-1 when not one).
int CompareNumeric(std::string_view a, std::string_view b);

// The files matching a pattern, as full paths "folder\relative\path" (backslashes after the folder).
// Macros are expanded and "/" read as "\". An absolute pattern lists its own folder; "\name" lists
// the asset folder only; any other relative pattern the asset folder and all its sub-folders
// (links to folders are not followed). Names are compared ignoring case, and "*" also matches "\",
// so "*.tga" finds the files of sub-folders too. True when one or more match.
bool ListAssetFiles(const TProgramState& state, std::string_view assetFolder, std::string_view pattern,
                    std::vector<std::string>& list);

// "5,1-3,3" -> 1, 2, 3, 5: parts split at "," and ";" (25 at most), ranges "a-b" expanded, sorted
// numerically without duplicates. False with an informational message on a fault.
bool ParseOptionList(std::string_view text, std::vector<std::string>& list, std::string& message);

// The lines of a text file (found ignoring case, decoded by the text rule). Empty with the message
// set when it cannot be read.
std::string ReadLinesFile(std::string_view path, std::vector<std::string>& lines);
// The existing file a path names, each part matched ignoring case; empty when there is none.
std::string ResolveScriptFile(std::string_view path);

}  // namespace kelvarn
