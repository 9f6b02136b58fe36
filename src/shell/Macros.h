// Path macros: folder names, tool command lines and script arguments are written with macros between
// percent signs and expanded at the moment of use.
#pragma once

#include <string>
#include <string_view>

namespace kelvarn {

class TProgramState;

// Replaces the path macros (case-insensitive, in their fixed order), then every remaining name between
// two percent signs with the environment variable of that name. Changes no state.
std::string ExpandMacros(const TProgramState& state, std::string_view text);

// The backup folder ("%backup%"), expanded.
std::string BackupFolderPath(const TProgramState& state);

}  // namespace kelvarn
