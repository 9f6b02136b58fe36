// The program folder ("%app%", with "%bin%", "%log%", "%scripts%" and "%backup%" inside): the
// executable's folder when it is writable (the portable layout the build produces), otherwise
// "$XDG_DATA_HOME/kelvarn" (default "~/.local/share/kelvarn"), seeded from the installed files.
#pragma once

#include <functional>
#include <string>

namespace kelvarn {

class TProgramState;

// Returns the folder with a trailing separator. `seedFolder` is copied into a new per-user folder
// the first time it is used (missing files only).
std::string ResolveProgramFolder(const std::string& executablePath,
                                 const std::function<std::string(const std::string&)>& environment);

// Sets the program file and folder and opens the settings file "kelvarn.ini" in that folder.
void InitProgramState(TProgramState& state, const std::string& executablePath);

// What to tell the user at the first start in a per-user folder (the program folder could not be
// written): where the settings now live. Empty when the program folder is the executable's, or the
// settings file exists already.
std::string ProgramFolderNotice(const TProgramState& state);

// What to tell the user once at start-up when the settings file is there but could not be read (the
// program then runs on its defaults and leaves that file as it is); empty when it loaded.
std::string SettingsLoadWarning(const TProgramState& state);

// What the instance that comes up (not one that hands over) writes into the settings: the built-in
// builds when the section has none, so that a first start knows the published builds.
void WriteFirstStartSettings(TProgramState& state);

}  // namespace kelvarn
