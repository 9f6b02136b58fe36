// The two seams of an outline document.
//
// IOutlineObserver hears about every change of the tree, so that a view (the Qt outline) can mirror
// it and keep its selection and expansion. The calls come in pairs around each change, the way Qt's
// item models want them: Begin... while the tree still stands as before, End... once it has changed.
//
// IOutlineHooks is where the work of other parts of the catalogue plugs in: the tag definitions
// (tags.xml) answers FindSpecNode, the outline commands give the top-level order from SortOrder.txt
// and the kind analysis. Until they are filled the hooks do nothing and every path has the default
// definition (format "string", values quoted).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "catalogue/TagSpec.h"

namespace kelvarn {

class TOutlineDocument;
class TOutlineNode;

enum class TResetReason { Load, Undo, Clear };

class IOutlineObserver {
public:
    virtual ~IOutlineObserver() = default;
    // `parent` is null when the root itself is inserted into an empty tree.
    virtual void BeginInsert(const TOutlineNode* /*parent*/, std::size_t /*index*/) {}
    virtual void EndInsert(const TOutlineNode* /*node*/) {}
    // The node and its subtree are still in the tree during BeginRemove and gone at EndRemove.
    virtual void BeginRemove(const TOutlineNode* /*node*/) {}
    virtual void EndRemove(const TOutlineNode* /*parent*/, std::size_t /*index*/) {}
    // `destination` counts in the new parent's children before the node leaves its old place (Qt's
    // beginMoveRows convention: moving down within one parent names the row after the target).
    virtual void BeginMove(const TOutlineNode* /*node*/, const TOutlineNode* /*newParent*/, std::size_t /*destination*/) {}
    virtual void EndMove(const TOutlineNode* /*node*/) {}
    // Text, flags or has-children mark of one node.
    virtual void NodeChanged(const TOutlineNode* /*node*/) {}
    // The children of `parent` take a new order (a sort): no node enters or leaves.
    virtual void BeginReorder(const TOutlineNode* /*parent*/) {}
    virtual void EndReorder(const TOutlineNode* /*parent*/) {}
    // The whole tree is replaced (a load, an undo) or emptied. Every node pointer held is invalid
    // once BeginReset returns. At a load the document already names the new folder when BeginReset
    // comes; the view closes its alert strip, and alerts raised by the load itself come after
    // EndReset.
    virtual void BeginReset() {}
    virtual void EndReset(TResetReason /*reason*/) {}
    // A node named trainz-build was deleted: the trainz-build state is refreshed.
    virtual void TrainzBuildDeleted() {}
    // A refused edit or a failure that needs no answer. A view shows it in its alert strip and
    // returns true; false leaves it to a message box.
    virtual bool ShowAlert(std::string_view /*text*/) { return false; }
    // Requests from edits made without the view (scripts): bring the node into sight, opening its
    // ancestors; open the node one level or with its whole subtree.
    virtual void MakeVisible(const TOutlineNode* /*node*/) {}
    virtual void ExpandNode(const TOutlineNode* /*node*/, bool /*allLevels*/) {}
};

class IOutlineHooks {
public:
    virtual ~IOutlineHooks() = default;
    // The definition of a config path; `found` tells whether tags.xml describes it.
    virtual TTagSpec FindSpecNode(std::string_view /*path*/, bool& found) {
        found = false;
        return DefaultTagSpec();
    }
    // Moves the top-level nodes into the order of "%bin%\SortOrder.txt". Runs as a load prepares
    // its tree (before the modified flag is cleared) and again after an empty config got its kind.
    virtual void ReorderConfig(TOutlineDocument& /*document*/) {}
    // Classifies the asset from its kind and tags and loads that kind's tag definitions (storing
    // the kind chain for the validators). Runs at the end of every load and after DeleteTagged.
    virtual void AnalyseKindAndLoadSpec(TOutlineDocument& /*document*/) {}
    // The comma list of the kind the last analysis loaded and the kinds it inherits from.
    virtual std::string KindChain() const { return {}; }
};

}  // namespace kelvarn
