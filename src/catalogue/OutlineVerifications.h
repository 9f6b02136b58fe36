// The outline's three checks of an asset folder's files rather than its config: Verify Meshes,
// Verify Textures and Verify Images. They walk the folder and its sub-folders. Outside script mode the
// report goes to the day's log; in script mode (a batch over tagged assets, nobody to ask or to show)
// its lines come back as one message, each line after "\r\n\t\t".
#pragma once

#include <string>
#include <vector>

#include "catalogue/AssetCheck.h"

namespace kelvarn {

struct TFolderReport {
    std::vector<std::string> Lines;  // "\tNo problems found" when the check found nothing
    std::string Message;             // script mode: the lines, each after "\r\n\t\t"
    std::string LogError;            // the log could not be written
};

// Every ".im" and ".pm": its header (CheckMeshFile) and its texture entries. Duplicate ".pm" meshes
// beside an ".im" twin are offered for deletion (backed up first) outside script mode, else listed.
TFolderReport VerifyMeshes(const TAssetCheck& check);
// ".texture" files without or beside their descriptor, meshes' unsupported material slots, and each
// descriptor's Primary and Alpha images: missing, of a size the simulator refuses, or of unequal sizes.
TFolderReport VerifyTextures(const TAssetCheck& check);
// Every ".tga", ".bmp" and ".jpg" whose size the simulator refuses as a texture; a 240 x 180 picture
// is a thumbnail and passes. An unreadable picture counts as 0 x 0.
TFolderReport VerifyImages(const TAssetCheck& check);

}  // namespace kelvarn
