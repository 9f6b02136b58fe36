#include "shell/WarningsBitmap.h"

#include "shell/Files.h"
#include "shell/PathText.h"

namespace kelvarn {

extern const unsigned char WarningsBitmapData[];
extern const std::size_t WarningsBitmapDataSize;

std::string_view WarningsBitmapBytes() {
    return {reinterpret_cast<const char*>(WarningsBitmapData), WarningsBitmapDataSize};
}

std::string ReplaceWarningsBitmap(std::string_view buildFolder, bool on) {
    if (buildFolder.empty()) return {};
    const std::string folder = ResolvePathIgnoreCase(JoinPath(buildFolder, "bin\\CMPData\\status"));
    if (folder.empty() || !DirectoryExists(folder))
        return "Folder not found: " + JoinPath(buildFolder, "bin\\CMPData\\status");
    std::string warnings = FindFileIgnoreCase(folder, "warnings.bmp");
    const std::string irritant = FindFileIgnoreCase(folder, "irritant.bmp");

    if (on) {
        if (!warnings.empty()) {
            std::string current;
            ReadFileBytes(warnings, current, 1 << 24);
            if (current == WarningsBitmapBytes()) return {};  // already on
            if (!irritant.empty())
                return "Both warnings.bmp and irritant.bmp exist in " + folder + "; nothing was changed";
            if (std::string error = RenameNoReplace(warnings, JoinPath(folder, "irritant.bmp", '/')); !error.empty())
                return error;
        } else {
            warnings = JoinPath(folder, "warnings.bmp", '/');
        }
        return WriteFileAtomic(warnings, WarningsBitmapBytes());
    }

    if (irritant.empty()) return {};  // the simulator's own icon is in place
    const std::string target = warnings.empty() ? JoinPath(folder, "warnings.bmp", '/') : warnings;
    // Rename over warnings.bmp in one step, so the folder never lacks its icon.
    return RenameReplace(irritant, target);
}

}  // namespace kelvarn
