// The checks of the editor's new-asset and clone pages, without the pages: whether OK may be pressed
// and, when not, the first reason, and the KUID field's completion. The outline's New Asset and Clone
// run the same checks again when OK is pressed, since the disc may have changed meanwhile.
#pragma once

#include <string>
#include <string_view>

#include "catalogue/EditorDialogs.h"
#include "shell/OptionSettings.h"  // ReadUserKuidId

namespace kelvarn {

class TProgramState;

struct TPageCheck {
    bool enabled = false;
    std::string reason;  // empty when enabled
};

inline constexpr std::string_view kNewIdentityReason = "KUID and Kind are required";
inline constexpr std::string_view kCloneIdentityReason = "KUID and Username are required";
inline constexpr std::string_view kLocationReason = "Location does not exist or is invalid";
inline constexpr std::string_view kFolderNameReason = "Folder name already exists or is invalid";

// The KUID field when it is left: an integer other than 0 becomes "<kuid:" + the user's id + ":" +
// the number + ">"; other text, or any text while the user's id is unknown, stays as it is.
std::string NewKuidExit(std::string_view text, std::string_view userId);
inline std::string CloneKUIDExit(std::string_view text, std::string_view userId) { return NewKuidExit(text, userId); }

// The location's check: an existing folder, not in an "editing" folder, not in the backup folder
// (`backupFolder`, expanded), and no asset folder itself (no config.txt in any case).
bool LocationValid(std::string_view location, std::string_view backupFolder);
// The folder name's check: a relative name of one or more parts ("a/b" makes a nested folder), none
// of them empty, blank, "." or "..", whose folder does not exist yet. With a `source`, the new folder
// may not lie inside it (a copy into itself would never end).
bool FolderNameValid(std::string_view location, std::string_view name, std::string_view source = {});
// The folder the pages make: the location with a separator, then the name.
std::string PageTarget(std::string_view location, std::string_view name);

TPageCheck NewPageCheck(const TNewAssetFields& fields, std::string_view backupFolder);
TPageCheck ClonePageCheck(const TCloneFields& fields, std::string_view backupFolder, std::string_view source);


}  // namespace kelvarn
