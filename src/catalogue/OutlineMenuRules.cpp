#include "catalogue/OutlineMenuRules.h"

#include "catalogue/ConfigPath.h"
#include "catalogue/OutlineDocument.h"
#include "shell/Strings.h"
#include "shell/Text.h"

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

namespace {

TMenuItemState Item(const char* name, std::optional<bool> visible, std::optional<bool> enabled = std::nullopt,
                    std::optional<bool> checked = std::nullopt) {
    TMenuItemState state;
    state.name = name;
    state.visible = visible;
    state.enabled = enabled;
    state.checked = checked;
    return state;
}

}  // namespace

std::vector<TMenuItemState> OutlineMenuStates(const TOutlineMenuFacts& f) {
    const bool node = f.hasNode;
    const bool notRoot = node && f.tagName != kConfigRoot;
    const bool copyable = node && !f.isRoot;
    // Real assets write "<KUID:" and "<KUID2:" as often as the lower-case forms.
    const bool kuidValue = node && StartsWithText(f.value, "<kuid");
    const bool link = node && (f.tagName == "contact-website" || f.tagName == "info-url") &&
                      (ContainsText(f.value, "wiki://") || ContainsText(f.value, "http://") ||
                       ContainsText(f.value, "https://") || ContainsText(f.value, "www."));
    const bool promotable = node && f.isContainer && f.childCount > 0;
    const bool scriptEntry = node && f.hasChildren && f.parentPath == "config.txt\\extensions\\kelvarn-604117\\scripts\\";
    return {
        Item("mExpand", node && !f.fullyExpanded),
        Item("mCollapse", node && !f.fullyCollapsed),
        Item("mComment", notRoot, notRoot, node && f.commentMark),
        Item("mDeleteMe", notRoot, notRoot, node && f.deleteMark),
        Item("mFindReplace", std::nullopt, node),
        Item("bFindText", std::nullopt, node),
        Item("mIncrementKUID", node && f.tagName == "kuid", f.userOwnsAsset),
        Item("mPromoteAll", promotable, promotable),
        Item("mSortTree", node && (f.isContainer || f.isRoot)),
        Item("mInsertTag", notRoot),
        Item("mEditTag", notRoot),
        Item("mAddChildTag", node && f.hasChildren),
        Item("mCopyNode", copyable, copyable),
        Item("mCopyTaggedNodes", copyable, copyable && f.tagged),
        Item("mPasteNodes", copyable, copyable && !f.copyListEmpty),
        Item("mDelete", node && (f.isTag || f.isContainer), node && f.tagName != "kind"),
        Item("mDeleteTagged", f.taggedCount > 0),
        Item("mRunScript", scriptEntry),
        Item("mHelpLink", node && f.wiki && f.hasHelpLink),
        Item("mOpenLink", link),
        Item("mOpenKUID", kuidValue, node && f.tagName != "kuid"),
        Item("mAssetStatus", kuidValue && f.consoleOpen, node && f.tagName != "kuid"),
        Item("bMoveToTop", std::nullopt, node && f.hasPrevSibling),
        Item("bMoveUp", std::nullopt, node && f.hasPrevSibling),
        Item("bMoveDown", std::nullopt, node && f.hasNextSibling),
        Item("bMoveToBottom", std::nullopt, node && f.hasNextSibling),
        Item("bPromote", std::nullopt, node && !f.isComment && f.level >= 2),
        Item("bDemote", std::nullopt, node && !f.isComment && f.nextSiblingIsContainer),
        Item("bSaveConfig", std::nullopt, f.modified),
        Item("bSortOrder", std::nullopt, f.hasNodes && f.sortOrderExists),
        Item("bUndoMark", std::nullopt, f.hasNodes),
        Item("bUndo", std::nullopt, f.canUndo),
    };
}

}  // namespace kelvarn
