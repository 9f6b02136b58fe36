// The script commands that talk to the user, change the settings file, install and run tools and
// write text files: -info, -messagebox, -setenv, -silent, -iniadd, -inidelete, -inisave,
// -installtool, -write, -menuexecute and the maker's tools -meshwright, -texwright, -duskcaster.
// The two tool runners are routines of their own: the Tools menu runs the maker's tools too.
#pragma once

#include <string>

#include "validation/ScriptCall.h"

namespace kelvarn {

class ScriptHost;
class TOutlineDocument;
class TProgramState;

// What a routine that lists or touches asset files says when there is no asset folder to work in
// (an autorun with no current asset): its paths would start at the top of the disk. Empty when the
// folder is there.
std::string NoAssetFolderMessage(const std::string& assetFolder);

// Runs the tool line `key` of settings section `section` (or of the Custom menu that names the
// section) the way the file list's tool runner does; `target`, a file of the asset folder, stands
// for the current file when it is longer than four characters. Returns the message.
std::string ExecuteUserTool(TProgramState& state, ScriptHost& host, const std::string& section, const std::string& key,
                            const std::string& target);

// Runs one of the maker's tools ("Meshwright", "Texwright", "DuskCaster") on the asset: its command
// line from settings section System, or, with p1 or p2, built from the tool's program, the options
// of key p1 + "," + tool and the target p2. Meshwright's meshes are checked first, and afterwards the
// config names the ".im" files it made in place of their ".pm" twins, which are deleted.
std::string RunExternalTool(TProgramState& state, ScriptHost& host, TOutlineDocument* config,
                            const std::string& assetFolder, const std::string& tool, const std::string& p1,
                            const std::string& p2, bool scriptMode);

// The command line of a maker's tool run with p1 or p2, as an argument list (the program first).
// Empty with `message` set when the program is not there.
std::vector<std::string> ExternalToolArguments(TProgramState& state, const std::string& tool, const std::string& p1,
                                               const std::string& p2, std::string& message);

}  // namespace kelvarn
