#include "catalogue/OutlineMenuRules.h"

#include "catalogue/ConfigPath.h"
#include "catalogue/OutlineDocument.h"
#include "shell/Strings.h"

namespace kelvarn {

TOutlineMenuFacts OutlineNodeFacts(const TOutlineDocument& document, const TOutlineNode* node) {
    TOutlineMenuFacts f;
    f.hasNodes = !document.Empty();
    f.modified = document.Modified();
    f.canUndo = document.CanUndo();
    f.taggedCount = document.TaggedCount();
    if (!node) return f;
    f.hasNode = true;
    f.isRoot = node == document.Root();
    f.tagName = TagName(node->Text());
    f.value = TagValueUnquoted(node->Text());
    f.isTag = TOutlineDocument::IsTag(node);
    f.isContainer = TOutlineDocument::IsContainer(node);
    f.isComment = TOutlineDocument::IsComment(node);
    f.commentMark = node->HasFlag(nfComment);
    f.deleteMark = node->HasFlag(nfDelete);
    f.tagged = node->HasFlag(nfTagged);
    f.hasChildren = node->HasChildren();
    f.childCount = node->ChildCount();
    f.level = node->Level();
    f.parentPath = node->Parent() ? document.NodePath(node->Parent()) : std::string();
    f.hasPrevSibling = node->PrevSibling() != nullptr;
    f.hasNextSibling = node->NextSibling() != nullptr;
    f.nextSiblingIsContainer = f.hasNextSibling && node->NextSibling()->HasChildren();
    return f;
}

std::vector<TMenuItemState> OutlineMenuStates(const TOutlineMenuFacts& f) {
    const bool node = f.hasNode;
    const bool notRoot = node && f.tagName != kConfigRoot;
    const bool copyable = node && !f.isRoot;
    const bool kuidValue = node && StartsWith(f.value, "<kuid");
    const bool link = node && (f.tagName == "contact-website" || f.tagName == "info-url") &&
                      (ContainsText(f.value, "wiki://") || ContainsText(f.value, "http://") ||
                       ContainsText(f.value, "www."));
    const bool promotable = node && f.isContainer && f.childCount > 0;
    const bool scriptEntry = node && f.hasChildren && f.parentPath == "config.txt\\extensions\\kelvarn-604117\\scripts\\";
    return {
        {"mExpand", node && !f.fullyExpanded, {}, {}},
        {"mCollapse", node && !f.fullyCollapsed, {}, {}},
        {"mComment", notRoot, notRoot, node && f.commentMark},
        {"mDeleteMe", notRoot, notRoot, node && f.deleteMark},
        {"mFindReplace", {}, node, {}},
        {"bFindText", {}, node, {}},
        {"mIncrementKUID", node && f.tagName == "kuid", f.userOwnsAsset, {}},
        {"mPromoteAll", promotable, promotable, {}},
        {"mSortTree", node && (f.isContainer || f.isRoot), {}, {}},
        {"mInsertTag", notRoot, {}, {}},
        {"mEditTag", notRoot, {}, {}},
        {"mAddChildTag", node && f.hasChildren, {}, {}},
        {"mCopyNode", copyable, copyable, {}},
        {"mCopyTaggedNodes", copyable, copyable && f.tagged, {}},
        {"mPasteNodes", copyable, copyable && !f.copyListEmpty, {}},
        {"mDelete", node && (f.isTag || f.isContainer), node && f.tagName != "kind", {}},
        {"mDeleteTagged", f.taggedCount > 0, {}, {}},
        {"mRunScript", scriptEntry, {}, {}},
        {"mHelpLink", node && f.wiki && f.hasHelpLink, {}, {}},
        {"mOpenLink", link, {}, {}},
        {"mOpenKUID", kuidValue, node && f.tagName != "kuid", {}},
        {"mAssetStatus", kuidValue && f.consoleOpen, node && f.tagName != "kuid", {}},
        {"bMoveToTop", {}, node && f.hasPrevSibling, {}},
        {"bMoveUp", {}, node && f.hasPrevSibling, {}},
        {"bMoveDown", {}, node && f.hasNextSibling, {}},
        {"bMoveToBottom", {}, node && f.hasNextSibling, {}},
        {"bPromote", {}, node && !f.isComment && f.level >= 2, {}},
        {"bDemote", {}, node && !f.isComment && f.nextSiblingIsContainer, {}},
        {"bSaveConfig", {}, f.modified, {}},
        {"bSortOrder", {}, f.hasNodes && f.sortOrderExists, {}},
        {"bUndoMark", {}, f.hasNodes, {}},
        {"bUndo", {}, f.canUndo, {}},
    };
}

}  // namespace kelvarn
