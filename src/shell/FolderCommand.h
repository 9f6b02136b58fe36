// The folder command: a desktop entry for folders, "Open with Kelvarn", in the user's applications
// folder ("$XDG_DATA_HOME/applications", else "~/.local/share/applications"). The file manager then
// offers the program for a folder and passes the folder alone. Installed means the entry exists.
#pragma once

#include <functional>
#include <string>

namespace kelvarn {

using TEnvironment = std::function<std::string(const std::string&)>;

inline constexpr const char* kFolderCommandName = "Open with Kelvarn";

std::string FolderCommandFile(const TEnvironment& environment);
bool FolderShellInstalled(const TEnvironment& environment);
// The entry's text for a program path.
std::string FolderCommandEntry(const std::string& programPath);
// Both return an empty text on success, else the reason.
std::string InstallFolderShell(const std::string& programPath, const TEnvironment& environment);
std::string RemoveFolderShell(const TEnvironment& environment);

}  // namespace kelvarn
