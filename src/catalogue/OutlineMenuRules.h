// The states of the outline's context menu and header buttons (command group 2300), computed from
// what the outline knows about its selected node. Every rule that tests the node is false when no
// node is selected. Items no rule names are left as they are.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/ListMenuRules.h"

namespace kelvarn {

class TOutlineDocument;
class TOutlineNode;

struct TOutlineMenuFacts {
    // The selected node.
    bool hasNode = false;
    bool isRoot = false;
    std::string tagName;  // TagName of its text
    std::string value;    // its value, quotes removed
    bool isTag = false, isContainer = false, isComment = false;
    bool commentMark = false, deleteMark = false, tagged = false;
    bool hasChildren = false;  // children, or the mark of an empty container
    std::size_t childCount = 0;
    int level = 0;
    std::string parentPath;
    bool hasPrevSibling = false, hasNextSibling = false, nextSiblingIsContainer = false;
    // What only the view knows.
    bool fullyExpanded = true, fullyCollapsed = true;
    // The outline and the program.
    bool hasNodes = false;
    bool modified = false;
    bool canUndo = false;
    bool copyListEmpty = true;
    int taggedCount = 0;
    bool sortOrderExists = false;
    bool userOwnsAsset = false;  // "%UserID%" and "%AssetID%" expand alike
    bool wiki = false;
    bool hasHelpLink = false;
    bool consoleOpen = false;
};

// The facts the document alone can give about `node` (null: none selected); the caller adds the
// view's and the program's.
TOutlineMenuFacts OutlineNodeFacts(const TOutlineDocument& document, const TOutlineNode* node);

std::vector<TMenuItemState> OutlineMenuStates(const TOutlineMenuFacts& facts);

}  // namespace kelvarn
