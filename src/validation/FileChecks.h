// The checks of tags that name files and attachment points, which look at the asset's files.
#pragma once

#include <string>
#include <string_view>

#include "catalogue/TagSpec.h"
#include "validation/TagValidation.h"

namespace kelvarn {

class TOutlineDocument;
class TOutlineNode;

// Does the mesh-table entry holding the node (its parent) take its mesh from a mesh library, that is,
// is there a "mesh-asset" tag at "config.txt\mesh-table\" + the entry's name?
bool UsesMeshLibrary(const TOutlineDocument& document, const TOutlineNode* node);

// A file the value names must exist in the asset (found ignoring case).
std::string CheckFile(const TCheckContext& context, const TOutlineNode* node, std::string_view value,
                      const TTagSpec& spec);
// The mesh holding an attachment point must be known. `reference` receives the point as
// "point=mesh path", for comparing with the asset's attachment points.
std::string CheckPoint(const TCheckContext& context, const TOutlineNode* node, std::string_view value,
                       const TTagSpec& spec, std::string& reference);

}  // namespace kelvarn
