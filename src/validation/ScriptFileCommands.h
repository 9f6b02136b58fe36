// The script commands on the files of the asset folder: -copyfile, -copyfromasset, -deletefiles,
// -backupasset, -backupfile, -maketga, -makenormalmap, -repairwaves and -repairtextures. Paths
// without a drive are relative to the asset folder, "/" may stand for "\", and files are found
// ignoring case. Nothing here overwrites or deletes a file that was not backed up first.
#pragma once

#include <string>
#include <vector>

#include "validation/ScriptCall.h"

namespace kelvarn {

class ScriptHost;
class TProgramState;

// Copies the files matching `pattern` (a name with wildcards) of `sourceFolder` into
// `targetFolder`, never over an existing file. Returns the message.
std::string CopyMatchingFiles(TProgramState& state, const std::string& sourceFolder, const std::string& pattern,
                              const std::string& targetFolder);

// Repairs every sound below the asset folder, each backed up first, telling status panel 2 which
// one it is on. Returns the report, one line a sound.
std::string RepairWaves(TProgramState& state, ScriptHost& host, const std::string& assetFolder);

}  // namespace kelvarn
