#include "catalogue/OutlineCommands.h"

#include <algorithm>
#include <limits>
#include <set>
#include <unordered_map>

#include "catalogue/ConfigPath.h"
#include "catalogue/OutlineDocument.h"
#include "shell/CommandBus.h"
#include "shell/Files.h"
#include "shell/Macros.h"
#include "shell/MessageSink.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/SettingsKeys.h"
#include "shell/Strings.h"

namespace kelvarn {

namespace {

std::string TopValue(const TOutlineDocument& document, std::string_view name) {
    const TOutlineNode* node = document.FindChildByName(document.Root(), name);
    return node ? Trim(TagValueUnquoted(node->Text())) : std::string();
}

bool HasTop(const TOutlineDocument& document, std::string_view name) {
    return document.FindChildByName(document.Root(), name) != nullptr;
}

bool HasTopContainer(const TOutlineDocument& document, std::string_view name) {
    const TOutlineNode* node = document.FindChildByName(document.Root(), name);
    return node && node->HasChildren();
}

// The texts the alphabetic sorts compare: the whole node text, ignoring case.
std::vector<TOutlineNode*> SortedByText(const TOutlineNode* parent) {
    std::vector<std::pair<std::string, TOutlineNode*>> keyed;
    keyed.reserve(parent->ChildCount());
    for (std::size_t i = 0; i < parent->ChildCount(); ++i)
        keyed.emplace_back(LowerCase(parent->Child(i)->Text()), parent->Child(i));
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<TOutlineNode*> order;
    order.reserve(keyed.size());
    for (auto& k : keyed) order.push_back(k.second);
    return order;
}

}  // namespace

// --- top-level order

TSortOrder ParseSortOrder(const std::vector<std::string>& lines) {
    std::vector<std::string> names;
    names.reserve(lines.size());
    for (const std::string& line : lines) names.push_back(Trim(line));
    TSortOrder order;
    std::size_t separator = names.size();
    const auto gt = std::find(names.begin(), names.end(), ">");
    // A ">" on the first line would leave nothing above it: it is no separator there.
    if (gt != names.end() && gt != names.begin()) {
        separator = static_cast<std::size_t>(gt - names.begin());
        order.alphabetic = true;
    } else if (const auto at = std::find(names.begin(), names.end(), "@"); at != names.end()) {
        separator = static_cast<std::size_t>(at - names.begin());
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i == separator || names[i].empty()) continue;
        (i < separator ? order.top : order.bottom).push_back(names[i]);
    }
    return order;
}

std::string SortOrderFileName(const TProgramState& state) {
    return NativePath(ExpandMacros(state, "%bin%\\SortOrder.txt"));
}

bool ReorderConfig(TOutlineDocument& document, const TSortOrder& order) {
    TOutlineNode* root = document.Root();
    if (!root || root->ChildCount() == 0) return false;
    std::vector<TOutlineNode*> nodes;
    if (order.alphabetic) {
        nodes = SortedByText(root);
    } else {
        for (std::size_t i = 0; i < root->ChildCount(); ++i) nodes.push_back(root->Child(i));
    }

    // Each move to the top takes a key below every other, each move to the bottom one above: the
    // final order is the order of the keys. The first node of a name is the one with the lowest key.
    const long long count = static_cast<long long>(nodes.size());
    std::vector<long long> key(nodes.size());
    std::unordered_map<std::string, std::set<std::pair<long long, std::size_t>>> byName;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        key[i] = static_cast<long long>(i);
        byName[LowerCase(nodes[i]->Name())].emplace(key[i], i);
    }
    long long topKey = 0, bottomKey = count - 1;
    auto move = [&](const std::string& name, long long newKey) {
        const auto it = byName.find(LowerCase(name));
        if (it == byName.end()) return;
        const std::size_t i = it->second.begin()->second;
        it->second.erase(it->second.begin());
        key[i] = newKey;
        it->second.emplace(newKey, i);
    };
    for (auto it = order.top.rbegin(); it != order.top.rend(); ++it) move(*it, --topKey);
    for (const std::string& name : order.bottom) move(name, ++bottomKey);

    std::vector<std::size_t> positions(nodes.size());
    for (std::size_t i = 0; i < positions.size(); ++i) positions[i] = i;
    std::sort(positions.begin(), positions.end(), [&](std::size_t a, std::size_t b) { return key[a] < key[b]; });
    std::vector<TOutlineNode*> result;
    result.reserve(nodes.size());
    for (std::size_t i : positions) result.push_back(nodes[i]);
    return document.ReorderChildren(root, result);
}

std::string ReorderConfig(TOutlineDocument& document, const TProgramState& state) {
    const std::string file = SortOrderFileName(state);
    if (!FileExists(file)) return {};
    DecodedText text;
    if (std::string error = ReadTextFile(file, text, kMaxSortOrderBytes); !error.empty()) return error;
    ReorderConfig(document, ParseSortOrder(SplitLines(text.text)));
    return {};
}

bool AlphaSortChildren(TOutlineDocument& document, TOutlineNode* node) {
    if (!node || node->ChildCount() < 2) return false;
    return document.ReorderChildren(node, SortedByText(node));
}

// --- kind analysis

std::int32_t KindAnalysisBuild(const TOutlineDocument& document) {
    const std::int32_t own = ParseBuild(TopValue(document, "trainz-build"));
    return own > 0 ? own : document.State().ActiveBuild();
}

std::string AnalyseKind(const TOutlineDocument& document, std::string_view kind, std::int32_t build) {
    std::string result = LowerCase(Trim(Unquote(kind)));
    if (result.empty()) {
        if (HasTop(document, "bogey") || HasTop(document, "bogey-0") || HasTop(document, "bogey-1") ||
            HasTop(document, "bogeys"))
            return "traincar";
        result = LowerCase(TopValue(document, "kind"));
        if (result.empty()) result = "scenery";
    }
    if (result == "scenery") return HasTop(document, "trackside") ? "scenery-trackside" : result;
    if (result == "bridge") {
        double height = 0;
        if (!TryParseDouble(TopValue(document, "height"), height)) height = 0;
        if (height > 0) return "tunnel";
        if (height < 0) return "bridge";
        return "double-track";
    }
    if (result == "track") {
        if (HasTopContainer(document, "mesh-table") || HasTopContainer(document, "track")) return result;
        if (HasTop(document, "chunky-info") || HasTop(document, "chunky-mesh")) return "chunky-track";
        if (HasTop(document, "unit-mesh")) return "mesh-reducing-track";
        return build < 29 ? "itrack" : result;
    }
    return result;
}

std::string TagDefaults(TOutlineDocument& document, std::string_view chosen) {
    const std::string kind = LowerCase(Trim(chosen));
    auto remove = [&](std::initializer_list<std::string_view> names) {
        for (std::string_view name : names) document.DeleteByPath("config.txt\\" + std::string(name), true);
    };
    auto fill = [&](std::string_view name, std::string_view value) {
        const std::string path = "config.txt\\" + std::string(name);
        if (document.GetValueByPath(path).empty()) document.SetTagByPath(path, value);
    };
    auto height = [&]() {
        double h = 0;
        return TryParseDouble(Trim(document.GetValueByPath("config.txt\\height")), h) ? h : 0.0;
    };
    if (kind == "chunky-track") {
        remove({"unit-mesh"});
        fill("chunky-info", "0,2,1.2,0.2,0.85,0.3,0.7");
        fill("chunky-mesh", "*VALUE REQUIRED*");
        return "track";
    }
    if (kind == "double-track") {
        document.SetTagByPath("config.txt\\height", "0.0");
        return "bridge";
    }
    if (kind == "itrack" || kind == "obsolete-track") {
        remove({"unit-mesh", "chunky-mesh", "chunky-info"});
        return "track";
    }
    if (kind == "mesh-reducing-track") {
        remove({"chunky-mesh", "chunky-info"});
        fill("unit-mesh", "*VALUE REQUIRED*");
        return "track";
    }
    if (kind == "scenery-trackside") {
        fill("trackside", "0.0");
        return "scenery";
    }
    if (kind == "spline") {
        document.State().Messages->ShowMessage("spline");
        return std::string(chosen);
    }
    if (kind == "tunnel") {
        if (!(height() > 0)) document.SetTagByPath("config.txt\\height", "8.0");
        return "bridge";
    }
    if (kind == "bridge") {
        if (!(height() < 0)) document.SetTagByPath("config.txt\\height", "-8.0");
        return "bridge";
    }
    if (kind == "scenery") {
        remove({"trackside"});
        return "scenery";
    }
    return std::string(chosen);
}

// --- KUID

std::string IncrementKuid(TOutlineDocument& document, TOutlineNode* node, bool withUndo) {
    long long userId = 0;
    if (!TryParseInt(Trim(ReadSetting(document.State().Settings(), keys::UserID)), userId) || userId == 0)
        return "Your UserID is unknown: Select 'Options/Preferences' to update programme configuration";
    if (!node) node = document.FindChildByName(document.Root(), "kuid");
    if (!node) return "KUID tag not found";
    TTokens parts;
    if (SplitByCharSet(node->Text(), parts, ":<>") < 5) return "Tag Format is invalid";
    long long user = 0;
    if (!TryParseInt(Trim(parts[2]), user) || user != userId)
        return "UserID does not match: You can only update your own assets";
    long long version = 0;
    if (!TryParseInt(Trim(parts[4]), version)) version = 0;
    // The simulator keeps versions far below this; a larger one is no version it wrote.
    if (version < 0 || version >= std::numeric_limits<std::int32_t>::max()) return "Tag Format is invalid";
    if (withUndo) document.PushUndo();
    document.EditNodeText(node, "kuid <kuid2:" + parts[2] + ":" + parts[3] + ":" + std::to_string(version + 1) + ">");
    return {};
}

// --- copy and paste

void TCopyList::Append(const TOutlineDocument& document, const TOutlineNode* node) {
    if (!node || !node->Parent()) return;
    TCopyBlock block;
    block.container = node->HasChildren();
    block.level = node->Level();
    WalkRows(node, [&](TOutlineNode* n, int level) {
        block.entries.push_back({document.NodePath(n), n->WrittenName(), TagValue(n->Text()), level, n->HasChildren(),
                                 n->Text(), n->HasFlag(nfComment)});
    });
    blocks_.push_back(std::move(block));
}

std::vector<std::string> TCopyList::Lines() const {
    std::vector<std::string> lines;
    for (const TCopyBlock& block : blocks_) {
        lines.push_back((block.container ? "*Con:" : "*Tag:") + std::to_string(block.level));
        for (const TCopyEntry& e : block.entries) lines.push_back(e.path + "=" + e.value);
    }
    return lines;
}

void CopyNode(const TOutlineDocument& document, const TOutlineNode* node, TCopyList& list) {
    list.Clear();
    list.Append(document, node);
}

void CopyTaggedNodes(const TOutlineDocument& document, const TOutlineNode* node, TCopyList& list,
                     const std::function<bool(const TOutlineNode*)>& visible) {
    list.Clear();
    if (!node) return;
    const int wanted = node->Level();
    WalkRows(document.Root(), [&](TOutlineNode* n, int level) {
        if (level == wanted && n->HasFlag(nfTagged) && (!visible || visible(n))) list.Append(document, n);
    });
}

bool PasteNodes(TOutlineDocument& document, TOutlineNode* anchor, const TCopyList& list) {
    if (list.Empty() || !anchor || !anchor->Parent()) return false;
    document.PushUndo();
    TOutlineNode* parent = anchor->Parent();
    // A copy keeps the name as written and the comment mark; inside a container the values take
    // the automatic value kind.
    const auto insert = [&](TOutlineNode* holder, std::size_t index, const TCopyEntry& e, bool autoValue) {
        std::string text = e.text;
        if (autoValue && !e.container && !e.value.empty()) text = e.name + " " + TagEditValue(e.name, e.value, vkAuto);
        TOutlineNode* node = document.InsertNode(holder, index, std::move(text), e.container);
        if (e.comment) document.SetNodeFlags(node, nfComment, 0);
        return node;
    };
    for (const TCopyBlock& block : list.Blocks()) {
        if (block.entries.empty()) continue;
        if (!block.container) {
            for (const TCopyEntry& e : block.entries) document.MarkModified(insert(parent, anchor->IndexInParent(), e, false));
            continue;
        }
        // The rows come in row order, so each one's container is the last open one a level up.
        TOutlineNode* container = insert(parent, anchor->IndexInParent(), block.entries[0], false);
        std::vector<TOutlineNode*> open{container};
        for (std::size_t i = 1; i < block.entries.size(); ++i) {
            const TCopyEntry& e = block.entries[i];
            const std::size_t depth = std::clamp<std::size_t>(
                static_cast<std::size_t>(std::max(e.level - block.level, 1)), 1, open.size());
            open.resize(depth);
            TOutlineNode* holder = open.back();
            TOutlineNode* node = insert(holder, holder->ChildCount(), e, true);
            if (e.container) open.push_back(node);
        }
        document.MarkModified(container);
    }
    document.SetModified(true);
    document.State().SendCommand(kOutlineCommandStates, "");
    return true;
}

// --- hooks

void TOutlineCommandHooks::ReorderConfig(TOutlineDocument& document) {
    if (std::string error = kelvarn::ReorderConfig(document, state_); !error.empty()) document.Alert(error);
}

std::string TOutlineCommandHooks::AnalyseKind(TOutlineDocument& document) {
    kind_ = kelvarn::AnalyseKind(document, "", KindAnalysisBuild(document));
    if (ShowsKind) state_.SendStatusText(stPanel4, kind_);  // the receiver shows target 4 in capitals
    return kind_;
}

}  // namespace kelvarn
