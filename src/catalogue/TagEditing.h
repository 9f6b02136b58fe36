// The outline's side of editing one tag: EditTag opens the editor page (or the colour selector) for a
// node and writes the result back with one undo snapshot; list containers travel to the editor's table
// and back as CSV lines, one line per row, through the one CSV codec of shell/Strings.h.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "catalogue/TagSpec.h"

namespace kelvarn {

class TOutlineDocument;
class TOutlineNode;

// What EditTag needs from the editor window and the main window. The Qt editor implements it; tests
// answer with canned results.
class ITagEditorHost {
public:
    virtual ~ITagEditorHost() = default;
    // The tag editor: opens the record's page (ChoosePage), a list tag with `csvList` in its table.
    // On OK it leaves the edited record and rows (bOKClick) and returns true; `gridModified` tells
    // whether the table was changed. The message page shows its text and returns false.
    virtual bool EditRecord(TTagSpec& record, std::vector<std::string>& csvList, bool& gridModified) = 0;
    // The colour selector prepared for the format ("rgb", "rgba", "hls") with the caption and value:
    // the colour text on OK, nothing on Cancel.
    virtual std::optional<std::string> EditColour(const std::string& format, const std::string& caption,
                                                  const std::string& value) = 0;
    // The trainz-build state after a trainz-build tag was edited.
    virtual void RefreshTrainzBuild(const std::string& reason) = 0;
};

// The definition an edit of this node uses: its path's, else, below "extensions\", the user-table
// (container) or user-tag definition. Path, Name and Value are the node's (value unquoted).
TTagSpec TagRecordOf(TOutlineDocument& document, const TOutlineNode* node);

// The CSV lines of a list container: a captions row from the record's captions (at most 25), then one
// row per child: its name and its value (a camera-list's value split at "," into cells, any other
// list's unquoted value as one cell). Without a container the captions row alone.
void ContainerToCsv(const TOutlineNode* container, const TTagSpec& record, std::vector<std::string>& csvList);

// Why a container cannot be edited as a table (a container inside it, whose tags the table cannot
// hold), or empty.
std::string TableEditRefusal(const TOutlineNode* container);

// A KUID as kuid tags and KUID lists take it: a KUID, or the placeholder a new kuid tag starts with.
bool IsKuidOrPlaceholder(std::string_view value);

// Why CsvToContainer would refuse these data rows for a list of the record's format (a row with
// values but no name; in a KUID list, a name holding a double quote or a value that is no KUID), or
// empty. The table page asks before it closes, so that refused rows stay there to be corrected.
std::string TableRowsRefusal(const std::vector<std::string>& lines, const TTagSpec& record);

// Rebuilds the container's children from data rows (no captions row): each row names a child
// (found ignoring case; a missing one is created), the rest of its cells are the value, children
// without a row are deleted, and the children follow the order of the rows. Rows of nothing but
// empty cells are skipped. The whole edit is refused, with an alert naming why, for a row with
// values but no name and for a container holding a container. kuid-list and camera-list values
// are written bare, the others quoted; a refused row creates nothing. True when the tree changed.
bool CsvToContainer(TOutlineDocument& document, TOutlineNode* container, const std::vector<std::string>& lines,
                    const TTagSpec& record);

// The translation of a translatable tag in the config: a sibling named after the tag and the
// language ("username-de"), or for an entry of a string-table, the entry of the same name in the
// string-table's sibling container "string-table-" + language, which is where the simulator reads it.
struct TCompanion {
    std::string name;               // the translation's name
    std::string path;               // its config path
    TOutlineNode* node = nullptr;   // the translation, when the config has it
    TOutlineNode* table = nullptr;  // a string-table entry's: the translations' container, when present
    TOutlineNode* stringTable = nullptr;  // a string-table entry's: the string-table holding it
    std::string tableName;                // a string-table entry's: "string-table-" + language
};
// `container` holds the tag named `tagName` (as written).
TCompanion FindCompanion(const TOutlineDocument& document, TOutlineNode* container, const std::string& tagName,
                         std::string_view language);

// Writes the record's translation (its CompanionValue, with its value kind) at the companion's place:
// an existing translation takes the new text; a new one is created next to `anchor` as `mode` says,
// a string-table entry's as the last entry of its container, which is made right after the
// string-table when missing. The written node, or null when nothing changed or the text was refused.
TOutlineNode* WriteCompanion(TOutlineDocument& document, const TTagSpec& record, const TCompanion& companion,
                             TOutlineNode* anchor, int mode);

// Edits the node's tag through the host and writes the result back (one undo snapshot per write,
// none on Cancel); then, also after Cancel, re-classifies the asset after a kind edit (callback 249),
// sends 206 for a track-type tag, refreshes the trainz-build state for trainz-build, and sends 2300.
void EditTag(TOutlineDocument& document, TOutlineNode* node, ITagEditorHost& host);

}  // namespace kelvarn
