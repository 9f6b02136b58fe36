#include "validation/ScriptConfigCommands.h"

#include <algorithm>
#include <functional>

#include "catalogue/ConfigReader.h"
#include "catalogue/FindReplace.h"
#include "catalogue/MeshHelpers.h"
#include "catalogue/OutlineCommands.h"
#include "catalogue/OutlineDocument.h"
#include "shell/Strings.h"
#include "shell/Text.h"
#include "validation/CategoryList.h"
#include "validation/ObsoleteTags.h"
#include "validation/ScriptUnit.h"

namespace kelvarn {

namespace {

constexpr std::string_view kRootAddress = "config.txt\\";

// The config the tree commands work on; null when none is loaded, so nothing creates a tree.
TOutlineDocument* Tree(const ScriptCall& c) { return c.config && c.config->Root() ? c.config : nullptr; }

// A node the address names, never the root (which no spelling of an address may change).
TOutlineNode* NodeAt(const ScriptCall& c, std::string_view address) {
    TOutlineDocument* tree = Tree(c);
    if (!tree || address.empty()) return nullptr;
    TOutlineNode* node = tree->FindNodeByPath(address);
    return node == tree->Root() ? nullptr : node;
}

std::string Update(ScriptCall& c) {
    return ScriptUpdateValue(c, c.p[1], JoinValueFields(c, c.p[2], 3));
}

std::string Delete(ScriptCall& c) {
    const std::string& address = c.p[1];
    if (SameText(address, kRootAddress)) return ".Cannot delete node: " + address;
    std::vector<std::string> paths;
    if (!Tree(c) || !c.unit.MatchTagAddresses(address, paths)) return {};
    for (const std::string& path : paths) c.config->DeleteByPath(path, false);
    return {};
}

std::string Rename(ScriptCall& c) {
    std::string source = LowerCase(c.p[1]);
    const std::string target = LowerCase(c.p[2]);
    if (StartsWith(source, "\\"))
        source = "config.txt" + source;
    else if (!StartsWith(source, kRootAddress))
        source = std::string(kRootAddress) + source;
    TOutlineDocument* tree = Tree(c);
    if (!tree) return {};
    TOutlineNode* node = tree->FindNodeByPath(source);
    if (!node) return ".Source target not found: " + source;
    if (node == tree->Root()) return ".Cannot rename target: " + target;
    if (node->HasChildren()) {
        std::string name = EndsWith(target, "\\") ? target.substr(0, target.size() - 1) : target;
        name = Trim(name);
        if (name.empty() || name.find('\\') != std::string::npos) return ".Cannot rename target: " + target;
        // A container's text is its name alone: blanks would make it a tag, braces a new block.
        name = ProtectBraces(ReplaceChar(ReplaceChar(name, ' ', '_'), '\t', '_'));
        const std::string path = tree->NodePath(node->Parent()) + name;
        const TOutlineNode* twin = tree->FindChildByName(node->Parent(), name);
        if (twin && twin != node) return ".Target already exists: " + path;
        if (tree->ReplaceNodeText(node, name)) {
            tree->MarkModified(node);
            tree->ExpandNode(node, false);
        }
        return {};
    }
    if (tree->FindNodeByPath(target)) return ".Rename target already exists: " + target;
    TOutlineNode* created = target.empty() ? nullptr : tree->SetTagByPath(target, TagValueUnquoted(node->Text()));
    if (!created) return ".Unable to rename tag: " + node->Name();
    tree->MakeVisible(created);
    tree->DeleteNodeNow(node, false);
    return {};
}

// "path value": the path lower-cased, the value without double quotes.
void SplitPathValue(std::string_view parameter, std::string& path, std::string& value) {
    const std::string text = Trim(parameter);
    const std::size_t blank = text.find_first_of(" \t");
    path = LowerCase(text.substr(0, blank));
    value = blank == std::string::npos ? std::string() : Trim(RemoveChars(text.substr(blank), "\""));
}

std::string Exchange(ScriptCall& c) {
    std::string sourcePath, sourceValue, targetPath, targetValue;
    SplitPathValue(c.p[1], sourcePath, sourceValue);
    SplitPathValue(c.p[2], targetPath, targetValue);
    TOutlineNode* node = NodeAt(c, sourcePath);
    if (!node) return {};
    if (node->HasChildren()) return ".Source cannot be a container";
    if (TagValueUnquoted(node->Text()) != sourceValue) return ".Node value not found";
    if (!targetPath.empty() && c.config->FindNodeByPath(targetPath)) return ".Target tag already exists";
    TOutlineNode* created = targetPath.empty() ? nullptr : c.config->SetTagByPath(targetPath, targetValue);
    if (!created) return ".Unable to exchange tags: " + c.p[1] + "," + c.p[2];
    c.config->MakeVisible(created);
    c.config->DeleteNodeNow(node, false);
    return {};
}

// Replaces the first occurrence in a tag's value; true when the value changed.
bool ReplaceInTag(ScriptCall& c, TOutlineNode* node, const std::string& from, const std::string& to) {
    const std::string value = TagValueUnquoted(node->Text());
    const std::string changed = ReplaceText(value, from, to, c.unit.IgnoreCase, false);
    if (changed == value) return false;
    // Set on the node itself: a path would name the first of same-named siblings.
    TOutlineNode* updated = c.config->UpdateTag(node, node->WrittenName(), changed);
    if (!updated) return false;
    c.config->MarkModified(updated);
    c.config->ExpandNode(updated, false);
    return true;
}

std::string Replace(ScriptCall& c) {
    const std::string& address = c.p[1];
    std::string message;
    if (address.empty() || c.p[2].empty()) {
        message = ".Parameter missing: " + address + "|" + c.p[2] + "|" + c.p[3];
    } else if (Tree(c)) {
        TOutlineNode* node = c.config->FindNodeByPath(address);
        if (!node)
            message = ".Address not found: " + address;
        else if (node == c.config->Root() || node->HasChildren())
            message = ".Address must be a tag: " + address;
        else
            ReplaceInTag(c, node, c.p[2], c.p[3]);
        c.config->SetModified(true);
    }
    c.unit.IgnoreCase = false;
    return message;
}

std::string ReplaceAllCommand(ScriptCall& c) {
    std::string message;
    if (c.p[1].empty()) {
        message = ".Parameter missing";
    } else if (Tree(c)) {
        std::vector<TOutlineNode*> tags;
        for (TOutlineNode* node = c.config->Root()->NextRow(); node; node = node->NextRow())
            if (!node->HasChildren() && TOutlineDocument::IsTag(node)) tags.push_back(node);
        for (TOutlineNode* node : tags) ReplaceInTag(c, node, c.p[1], c.p[2]);
        c.config->SetModified(true);
    }
    c.unit.IgnoreCase = false;
    return message;
}

std::string Promote(ScriptCall& c) {
    if (!Tree(c)) return {};
    TOutlineNode* node = c.p[1].empty() ? nullptr : c.config->FindNodeByPath(c.p[1]);
    if (!node) return "Invalid address: " + c.p[1];
    // The root and a top-level tag have nowhere to go: beside the root the writer never looks.
    if (node->Level() <= 1) return "Cannot promote from this address: " + c.p[1];
    if (c.config->MoveNode(node, mmPromote)) c.config->MakeVisible(node);
    return {};
}

std::string MarkSubtree(ScriptCall& c, int set, int clear) {
    TOutlineNode* node = NodeAt(c, c.p[1]);
    if (!node) return {};
    c.config->SetNodeFlags(node, set, clear);
    c.config->SetChildFlags(node, set, clear);
    c.config->SetModified(true);
    return {};
}

// Deletes the nodes the test picks, walking from the first row to the last; the next row is taken
// before a node goes, so a container emptied by this pass is not visited again.
void DeleteWhere(TOutlineDocument& tree, const std::function<bool(TOutlineNode*)>& test) {
    TOutlineNode* node = tree.Root()->NextRow();
    while (node) {
        TOutlineNode* next = node->NextRow();
        if (test(node) && tree.DeleteNodeNow(node, false)) tree.SetModified(true);
        node = next;
    }
}

std::string Clear(ScriptCall& c) {
    std::string message;
    for (const std::string& word : SplitString(LowerCase(c.p[1]), ",")) {
        TOutlineDocument* tree = Tree(c);
        if (word == "nullcontainer") {
            if (tree) DeleteWhere(*tree, [](TOutlineNode* n) { return n->ChildMark() && n->ChildCount() == 0; });
        } else if (word == "nulldata" || word == "nullstring") {
            if (!tree) continue;
            const bool bare = word == "nulldata";
            DeleteWhere(*tree, [&](TOutlineNode* n) {
                if (n->HasChildren() || TOutlineDocument::IsComment(n)) return false;
                if (!TagValueUnquoted(n->Text()).empty()) return false;
                bool found = false;
                const TTagSpec spec = tree->Hooks().FindSpecNode(tree->NodePath(n), found);
                return found && ((spec.ValueKind == vkBare) == bare);
            });
        } else if (word == "invalid") {
            if (!tree) continue;
            // Deleting by the definitions may take much: the run's snapshot comes first.
            c.unit.SaveSnapshot();
            message += "\r\n\t" + DeleteObsoleteTags(c.unit.State(), c.host, *tree, c.unit.ScriptMode());
        } else if (word == "pmmeshes") {
            // Without an asset folder there is nothing to walk: never the file system from its root.
            if (!c.assetFolder.empty())
                message += "\r\n\t" + DeleteDuplicatePm(c.unit.State(), c.assetFolder, c.unit.ScriptMode());
        } else {
            message += "\r\n\t.Invalid parameter to -Clear: " + word;
        }
    }
    const std::size_t start = message.find_first_not_of("\t\r\n");
    return start == std::string::npos ? std::string() : message.substr(start);
}

std::string Category(ScriptCall& c) {
    const std::string tag = LowerCase(c.p[1]);
    static const std::vector<std::string_view> kTags = {"category-keyword", "category-era", "category-region",
                                                        "category-class", "custom-category-list"};
    if (std::find(kTags.begin(), kTags.end(), tag) == kTags.end()) return ".Cannot use -Category on this tag: " + c.p[1];
    TOutlineDocument* tree = Tree(c);
    if (!tree) return {};
    const std::string add = ReplaceChar(c.p[2], ',', ';');
    const std::string remove = ReplaceChar(c.p[3], ',', ';');
    std::vector<std::string> items = CategoryItems(tree->GetValueByPath(tag) + ";" + add);
    RemoveCategoryItems(items, remove);
    if (tag == "category-era" || tag == "category-region") {
        const std::string message = FilterCategoryItems(c.unit.State(), tag, items);
        if (!message.empty()) return message;
    }
    const std::string value = JoinCategoryItems(items);
    if (value.empty()) {
        tree->DeleteByPath(tag, false);
    } else if (TOutlineNode* node = tree->SetTagByPath(tag, value)) {
        tree->MakeVisible(node);
    }
    return {};
}

std::string Expand(ScriptCall& c) {
    if (TOutlineNode* node = NodeAt(c, c.p[1])) c.config->ExpandNode(node, true);
    return {};
}

std::string Sort(ScriptCall& c) { return Tree(c) ? ReorderConfig(*c.config, c.unit.State()) : std::string(); }

std::string SaveConfigCommand(ScriptCall& c) {
    // Nothing to write to without an asset: the file would land beside no asset at all.
    if (!Tree(c) || c.assetFolder.empty() || c.config->ConfigFile().empty()) return {};
    const std::string message = c.config->SaveConfig(c.config->ConfigFile(), false);
    // The command reports nothing, but a failed write must not pass for success.
    if (!message.empty()) c.unit.LogMessage(c.lineNumber, message);
    return message;
}

std::string IncrementKuidCommand(ScriptCall& c) {
    return Tree(c) ? IncrementKuid(*c.config, nullptr, false) : std::string();
}

}  // namespace

bool HasWildcard(const std::string& text) { return text.find_first_of("*?") != std::string::npos; }

std::string JoinValueFields(const ScriptCall& c, std::string first, int from) {
    for (int i = from; i < c.fieldCount; ++i) {
        const std::string& field = c.p[static_cast<std::size_t>(i)];
        if (!c.literal && (field.empty() || field[0] == ';')) break;
        first += "|" + field;
    }
    return first;
}

std::string ScriptUpdateValue(ScriptCall& c, const std::string& address, const std::string& value) {
    if (SameText(address, kRootAddress)) return ".Cannot update node: " + address;
    if (EndsWith(address, "\\") && !value.empty()) return ".Containers cannot have a value: " + value;
    TOutlineDocument* tree = Tree(c);
    if (!tree) return {};
    if (!HasWildcard(address)) {
        if (TOutlineNode* node = tree->SetTagByPath(LowerCase(address), value)) tree->MakeVisible(node);
        return {};
    }
    const std::string failed = ".Unable to create node(s): " + address;
    std::vector<std::string> paths;
    if (c.unit.MatchTagAddresses(address, paths)) {
        for (const std::string& path : paths)
            if (TOutlineNode* node = tree->SetTagByPath(path, value)) tree->MakeVisible(node);
        return {};
    }
    // No such tag anywhere: create it in every container the rest of the pattern matches.
    const std::size_t cut = address.rfind('\\', EndsWith(address, "\\") ? address.size() - 2 : std::string::npos);
    if (cut == std::string::npos) return failed;
    const std::string last = address.substr(cut + 1);
    // A wildcard in the name would create a tag literally so named.
    if (last.empty() || HasWildcard(last)) return failed;
    if (!c.unit.MatchTagAddresses(address.substr(0, cut + 1), paths)) return failed;
    bool created = false;
    for (const std::string& container : paths) {
        if (TOutlineNode* node = tree->SetTagByPath(EnsureTrailingChar('\\', container) + LowerCase(last), value)) {
            tree->MakeVisible(node);
            created = true;
        }
    }
    return created ? std::string() : failed;
}

void RegisterConfigEditCommands(TScriptCommands& commands) {
    commands.Register(16, Delete);
    commands.Register(17, Expand);
    commands.Register(18, Sort);
    commands.Register(19, Update);
    commands.Register(20, Promote);
    commands.Register(22, SaveConfigCommand);
    commands.Register(33, Rename);
    commands.Register(34, Exchange);
    commands.Register(35, Replace);
    commands.Register(36, ReplaceAllCommand);
    commands.Register(37, Clear);
    commands.Register(42, Category);
    commands.Register(43, [](ScriptCall& c) {
        c.unit.IgnoreCase = true;
        return std::string();
    });
    commands.Register(48, [](ScriptCall& c) { return MarkSubtree(c, nfComment, nfDelete); });
    commands.Register(49, [](ScriptCall& c) {
        std::string marked = MarkSubtree(c, nfDelete, nfComment);
        // A batch removes the marked tags before it saves each asset; the main config keeps them
        // (they tell Replicate what to delete) until a batch over every tagged asset completes.
        if (marked.empty() && !c.unit.ScriptMode() && NodeAt(c, c.p[1]))
            marked = ".Tagged for deletion, removed when a batch over the tagged assets completes: " + c.p[1];
        return marked;
    });
    commands.Register(50, IncrementKuidCommand);
}

}  // namespace kelvarn
