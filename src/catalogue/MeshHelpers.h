// Helpers that look at the meshes of an asset folder: duplicate ".pm" meshes beside their ".im"
// twins, the attachment points of one mesh, and the points of every mesh the config's mesh-table
// names. The outline, validation, the scripts and the table builders share them; each takes the folder
// (and the outline) it works on, so the main window's outline and the editor's use the same code.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelvarn {

class TOutlineDocument;
class TProgramState;

// Fills `list` (emptied first, sorted and without duplicates, ignoring case) with the full paths of the
// ".pm" meshes below `folder`, at every depth, that have an ".im" twin in the same folder (names
// compared ignoring case). Only names that end in ".pm" or ".im" count. Returns the list's size.
int ListDuplicatePm(std::string_view folder, std::vector<std::string>& list);

// Removes the duplicate ".pm" meshes of `folder` (to the trash) and returns the report: empty when
// there are none or the user keeps them; "<n>pm mesh file(s) deleted" counting the files really
// removed, each one that could not be removed adding CR LF, two tabs, "Not deleted: " and its name.
// With the AutoDeletePM setting they go without a question; else in `scriptMode` (a batch over tagged
// assets, nobody to ask) nothing is removed and the report is their names joined by CR LF and two
// tabs; else the user is asked.
std::string DeleteDuplicatePm(TProgramState& state, std::string_view folder, bool scriptMode);

}  // namespace kelvarn
