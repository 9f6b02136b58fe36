// Insert Tag and Add Tag to Container: the tags the definitions allow at a place and that are not
// there yet, the chooser that picks one, and its creation with its default value.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/TagSpec.h"

namespace kelvarn {

class TOutlineDocument;
class TOutlineNode;
class TWalnut;

// Insert Tag puts the new tag before the selected node, Add Tag to Container as its container's last
// child.
enum TInsertMode : int { imAddToContainer = 2, imInsert = 4 };

// The names offered below a container, from the allowed names: mesh-table entry names added for a
// mesh-table entry, names its children use removed, "#" names numbered with the first free number
// up to their sequence (dropped when none is free), "bogey-0" and "bogey-0-r" dropped (and every
// "bogey-" name when the config has a top-level "bogeys"), and "*" shown as its display text.
std::vector<std::string> FilterAvailableTags(TOutlineDocument& document, const TWalnut& walnut,
                                             const TOutlineNode* container, std::vector<std::string> allowed);

// The record the chooser edits for a name offered below the container: the name's definition with
// its default value (empty for containers). A list type also gets its captions row in `csvList`.
TTagSpec ChooserRecord(TOutlineDocument& document, const TOutlineNode* container, std::string_view name,
                       std::vector<std::string>& csvList);

// The chooser (the tag editor's multi-tag page): offers the names, lets the user pick one and edit its
// value (ChooserRecord), and on OK leaves the record (bOKClick) and the table's rows.
class ITagChooser {
public:
    virtual ~ITagChooser() = default;
    virtual bool ChooseTag(const std::string& caption, const TOutlineNode* container,
                           const std::vector<std::string>& names, TTagSpec& record,
                           std::vector<std::string>& csvList) = 0;
    // The one-line input for the name of an entry that may take any name; nothing when cancelled.
    virtual std::optional<std::string> AskTagName(const std::string& caption, const std::string& proposal) = 0;
};

// Asks for a name, given what the name stands for (a pattern) and a proposal; nothing when cancelled.
using TAskTagName = std::function<std::optional<std::string>(const std::string& pattern, const std::string& proposal)>;

// The name proposed for a new entry of a table whose entries take any name: the first free number
// when the entries are numbered (every child's name a number, or an empty kuid-table or thumbnails),
// else nothing.
std::string ProposedEntryName(const TOutlineNode* container);
// The name proposed for a "#" pattern (bogey-#, icon#): "#" replaced by the first number from 0 that
// no child of the container uses.
std::string ProposedNumberedName(const TOutlineNode* container, std::string_view pattern);
// A name typed for a new entry of the container: its refusal ("Tag already exists: " + name for one
// in use in any case, one for an empty name and one for a name holding "\"), empty when the name can
// be used. Without a container only the name itself is judged.
std::string NewEntryNameRefusal(const TOutlineNode* container, std::string_view name);

inline constexpr std::string_view kNoAvailableTags = "No Available Tags";

// Inserts a tag at the node (imInsert: before it, in its container; imAddToContainer: as the node's
// last child). Returns the new node for the view to select, null when nothing was added.
TOutlineNode* InsertTag(TOutlineDocument& document, const TWalnut& walnut, TOutlineNode* node, int mode,
                        ITagChooser& chooser);

}  // namespace kelvarn
