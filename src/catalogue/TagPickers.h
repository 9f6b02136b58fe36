// What a tag's value refers to: the value picker's rules (a click or Enter on a tag), the attachment
// table of an asset's meshes, the meshes a point tag refers to and their attachment points, and the
// definition of the selected tag as text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelvarn {

class TOutlineDocument;
class TOutlineNode;
class TProgramState;

// What the picker does. `code` is the callback to send with `text` (220 show a file, 223 show the
// tags of a kind, 224 show a table); rule 1 sends nothing and shows `lines` in the main window's
// text view (tab width 3, proportional font, word wrap). Rule 0: nothing more happens.
struct TPickAction {
    int rule = 0;
    int code = 0;
    std::string text;
    std::vector<std::string> lines;
};

// The picker for the selected node's tag name and value (quotes as the caller passes them): shows
// the definition's help (or the path) in status panel 2, and unless the outline is maximised picks
// the first rule that holds. Files are looked up ignoring case; a corrupt mesh in the attachment
// table is named in the outline's alert.
TPickAction PickTagValue(TOutlineDocument& document, const TOutlineNode* selected, std::string_view name,
                         std::string_view value, bool maximised);
// Sends the action's callback, if it has one.
void SendPickAction(TProgramState& state, const TPickAction& action);

// The attachment table of every ".im" mesh below the folder: a header row, then one sorted row per
// point (the mesh's file name, then AttachmentToCsv). A mesh that cannot be read is skipped and named
// in `failures`.
std::vector<std::string> AttachmentTable(std::string_view folder, std::vector<std::string>& failures);
// The table as callback 224 sends it, from the current asset folder; failures go to the outline's alert.
std::string ShowAttachmentTable(TOutlineDocument& document);

// The mesh a ".lm.txt" level-of-detail text names: the last line holding "name=", trimmed, without
// ";", its first "name=" and its double quotes. Empty when no line names one.
std::string LodMeshName(std::string_view text);

// Adds the mesh files (folder + "\" + name) that a point tag at the node refers to by its location
// (".att-parent", ".effect-parent", ".mesh-table"; ".default" says it is not done), then resolves
// level-of-detail entries to the mesh their text file names, in the text file's own folder; an entry
// whose text names none is dropped.
void GetMeshes(TOutlineDocument& document, const TOutlineNode* node, std::string_view folder,
               std::string_view location, std::vector<std::string>& list);

// The folder whose meshes the point lists read: the editor's batch folder in script mode, else the
// current asset folder.
std::string PointFolder(const TOutlineDocument& editor, const TProgramState& state);
// "mesh file name:point" for every attachment point of the meshes GetMeshes finds; a point name's
// part after its first "/" (when that is not its first character). A mesh that cannot be read ends
// the list with the points read so far.
void ListAttachmentPoints(TOutlineDocument& document, const TOutlineNode* node, std::string_view folder,
                          std::string_view location, std::vector<std::string>& list);

// The selected tag's definition for the text page: its path, then the definition's lines. Empty for
// the root.
inline constexpr int kTagSpecTextSize = 640480;
inline constexpr int kTagSpecTextFlags = 3;
inline constexpr std::string_view kTagSpecCaption = "Tag Specification";
std::vector<std::string> GetTagSpecDataButtonClick(TOutlineDocument& document, const TOutlineNode* selected);

}  // namespace kelvarn
