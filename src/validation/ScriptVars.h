// The state of one script run. Every run, a nested -callscript included, starts from a fresh record.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "shell/Text.h"
#include "shell/TextCodec.h"

namespace kelvarn {

inline constexpr int kMemoryLocations = 10;
// The attachment-point data holds at most this many characters.
inline constexpr std::size_t kPointDataChars = 255;

struct TScriptVars {
    std::int32_t LineIndex = 0;  // the line being run; a jump sets it to the target and the runner adds 1
    std::int32_t SkipDepth = 0;  // -if family lines met while skipping and not yet closed
    std::int32_t Skip = 0;       // 1 while a false branch is skipped
    std::int32_t SavedSkipDepth = 0;  // the branch state at the last -foreach, for -break
    std::int32_t SavedSkip = 0;
    std::int32_t ItemCount = 0;   // items of the last -foreach ("^T")
    std::int32_t CaseChoice = 0;  // 1-based choice of the last -case dialog, 0 for none
    std::int32_t CaseActive = 0;
    std::int32_t SelectActive = 0;
    std::array<std::string, kMemoryLocations> Memory;  // "^0" to "^9"
    std::string PointData;                             // "x,y,z,rx,ry,rz,name" of -pointread
    std::int32_t ForEachLine = 0;   // the line of the open -foreach
    std::int32_t ItemIndex = 0;     // the current item ("^I")
    std::int32_t ForEachActive = 0; // 1 while a loop is open
    std::vector<std::string> Items;
    std::vector<std::string> WriteLines;  // -write's file, line by line
    std::string WriteFile;
    std::string WriteBuffer;
    // The file -write|append opened, as it was: its own lines go back byte for byte.
    TTextDocument WriteDocument;
    bool WriteAppends = false;
};

}  // namespace kelvarn
