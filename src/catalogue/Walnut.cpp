#include "catalogue/Walnut.h"

#include <algorithm>
#include <deque>

#include "catalogue/ConfigPath.h"
#include "shell/Macros.h"
#include "shell/ProgramState.h"
#include "shell/SettingsKeys.h"
#include "shell/TagTypes.h"
#include "shell/Text.h"

namespace kelvarn {

struct TSpecTree {
    std::shared_ptr<const TTagsXml> file;  // the elements the nodes point to
    std::deque<TSpecNode> nodes;           // nodes[0] is the root
    std::string kindChain;
    std::vector<std::string> required;
    std::string error;
};

namespace {

// Trees kept at once: at most this many kinds, and this many nodes in all.
constexpr std::size_t kKeptTrees = 64;
constexpr std::size_t kKeptNodes = 4 * kMaxSpecNodes;
constexpr std::size_t kIndexedChildren = 8;  // nodes with at least this many children are indexed
constexpr std::int32_t kNoObsolete = 256;
constexpr std::int32_t kMaxBuild = 255;

// Formats whose values are quoted when tags.xml does not say.
constexpr std::string_view kQuotedFormats[] = {"string", "enum", "filename", "memo", "point", "set", "file"};

const std::string kEmptyText;
const std::vector<std::string> kEmptyList;

bool IsLanguageVariant(std::string_view name) {
    return StartsWith(name, "string-table-") || StartsWith(name, "description-") || StartsWith(name, "username-") ||
           (StartsWith(name, "name-") && name.size() == 7);
}

void AddOnce(std::vector<std::string>& list, std::string_view name) {
    if (std::find(list.begin(), list.end(), name) == list.end()) list.emplace_back(name);
}

std::string Flag(bool on) { return on ? "1" : "0"; }

}  // namespace

bool InBuildWindow(std::int32_t introduced, std::int32_t obsolete, std::int32_t build) {
    const std::int32_t high = (obsolete == 0 ? kNoObsolete : obsolete) - 1;
    return introduced <= build && build <= high;
}

// --- the tree

std::string_view TSpecNode::Name() const { return element_ ? std::string_view(element_->MatchName) : kConfigRoot; }

std::string TSpecNode::Text() const {
    if (!element_) return std::string(kConfigRoot);
    std::string text = element_->DisplayName;
    if (element_->Attributes.empty()) return text;
    std::string attributes;
    for (const auto& [key, value] : element_->Attributes) {
        if (!attributes.empty()) attributes += ',';
        attributes += '"' + key + '=' + value + '"';
    }
    return text + ' ' + RemoveChars(attributes, "'");
}

std::string TSpecNode::ConfigPath() const {
    std::vector<std::string_view> names;
    for (const TSpecNode* n = this; n->parent_; n = n->parent_) names.push_back(n->Name());
    std::string path(kConfigRoot);
    for (auto it = names.rbegin(); it != names.rend(); ++it) path.append("\\").append(*it);
    return path;
}

const TSpecNode* TSpecNode::FindChild(std::string_view name) const {
    if (!indexed_) {
        const auto it = std::find_if(children_.begin(), children_.end(),
                                     [&](const TSpecNode* c) { return MatchSpecName(*c, name); });
        return it == children_.end() ? nullptr : *it;
    }
    std::size_t first = children_.size();
    const auto plain = std::lower_bound(plain_.begin(), plain_.end(), name,
                                        [](const auto& entry, std::string_view n) { return entry.first < n; });
    if (plain != plain_.end() && plain->first == name) first = plain->second;
    for (const std::size_t i : patterns_) {
        if (i > first) break;
        if (MatchSpecName(*children_[i], name)) return children_[i];
    }
    return first < children_.size() ? children_[first] : nullptr;
}

bool MatchSpecName(const TSpecNode& node, std::string_view name) {
    const std::string_view own = node.Name();
    if (own == "*" || own == name) return true;
    const TXmlElement* e = node.Element();
    if (!e || e->NumberAt == std::string::npos) return false;
    const std::string_view prefix = own.substr(0, e->NumberAt), suffix = own.substr(e->NumberAt + 1);
    if (name.size() <= prefix.size() + suffix.size() || !StartsWith(name, prefix) || !EndsWith(name, suffix))
        return false;
    // The number as it is written from an integer: digits, no leading zero.
    const std::string_view digits = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    if (digits.size() > 10 || (digits.size() > 1 && digits[0] == '0')) return false;
    long long k = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') return false;
        k = k * 10 + (c - '0');
    }
    return k <= e->Sequence;
}

class TSpecTreeBuilder {
public:
    TSpecTreeBuilder(const TTagsXml& file, TSpecTree& tree) : file_(file), tree_(tree) {}

    void Build(std::string_view kind) {
        const std::vector<std::string> chain = file_.InheritChain(kind);
        for (const std::string& section : chain) {
            if (!tree_.kindChain.empty()) tree_.kindChain += ',';
            tree_.kindChain += section;
        }
        TSpecNode* root = &tree_.nodes.emplace_back();
        // Each section by name: one that is missing or stands out of order loses nothing else.
        for (const std::string& section : chain)
            if (const TXmlElement* block = file_.FindBlock(section)) AddContents(root, block);
        MergeMeshTables(root);
        for (TSpecNode& node : tree_.nodes) Index(node);
        if (full_)
            tree_.error = "Tag specification " + file_.FileName() + ": the tags of kind " + std::string(kind) +
                          " reach " + std::to_string(kMaxSpecNodes) +
                          " nodes; the rest is not loaded (subsections referring to each other?)";
    }

private:
    TSpecNode* Add(TSpecNode* parent, const TXmlElement* element) {
        if (tree_.nodes.size() > kMaxSpecNodes) {
            full_ = true;
            return nullptr;
        }
        TSpecNode& node = tree_.nodes.emplace_back();
        node.element_ = element;
        node.parent_ = parent;
        parent->children_.push_back(&node);
        return &node;
    }

    void AddContents(TSpecNode* parent, const TXmlElement* block) {
        for (const TXmlElement* child : block->Children) {
            if (full_) return;
            if (child->IsSubsection()) {
                InsertSubsection(parent, child);
                continue;
            }
            TSpecNode* node = Add(parent, child);
            if (!node) return;
            if (child->Required) tree_.required.push_back(node->ConfigPath());
            if (!child->Empty()) AddContents(node, child);
        }
    }

    // The block named by the reference's first attribute goes in its place, unless the nesting has
    // reached the reference's own limit (its first attribute's value; 0 for none) or the overall one.
    void InsertSubsection(TSpecNode* parent, const TXmlElement* reference) {
        ++depth_;
        if (!reference->Attributes.empty()) {
            const auto& [name, value] = reference->Attributes.front();
            long long limit = 1;
            if (!TryParseInt(value, limit)) limit = 1;
            const bool beyondLimit = limit > 0 && limit < depth_;
            if (!beyondLimit && depth_ <= kMaxSubsectionDepth)
                if (const TXmlElement* block = file_.FindBlock(name)) AddContents(parent, block);
        }
        --depth_;
    }

    static void Index(TSpecNode& node) {
        if (node.children_.size() < kIndexedChildren) return;
        node.indexed_ = true;
        for (std::size_t i = 0; i < node.children_.size(); ++i) {
            const TXmlElement* e = node.children_[i]->Element();
            if (e->MatchName == "*" || e->NumberAt != std::string::npos)
                node.patterns_.push_back(i);
            else
                node.plain_.emplace_back(e->MatchName, i);
        }
        // Sorted by name, the first child of a name ahead of later ones.
        std::stable_sort(node.plain_.begin(), node.plain_.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
    }

    // Two sections may each bring a mesh-table: the second one's entry joins the first one's.
    static void MergeMeshTables(TSpecNode* root) {
        std::vector<TSpecNode*> tables;
        for (TSpecNode* child : root->children_)
            if (child->Element()->DisplayName == "mesh-table" && tables.size() < 2) tables.push_back(child);
        if (tables.size() < 2) return;
        TSpecNode* first = tables[0];
        TSpecNode* second = tables[1];
        if (!second->children_.empty()) {
            TSpecNode* into = first->children_.empty() ? first : first->children_.front();
            TSpecNode* from = first->children_.empty() ? second : second->children_.front();
            for (TSpecNode* moved : from->children_) {
                moved->parent_ = into;
                into->children_.push_back(moved);
            }
            from->children_.clear();
        }
        auto& top = root->children_;
        top.erase(std::find(top.begin(), top.end(), second));
    }

    const TTagsXml& file_;
    TSpecTree& tree_;
    long long depth_ = 0;
    bool full_ = false;
};

// --- TWalnut

TWalnut::TWalnut(TProgramState& state) : state_(state) {}
TWalnut::~TWalnut() = default;

std::string TWalnut::TagsFileName() const { return ExpandMacros(state_, "%bin%\\tags.xml"); }

void TWalnut::Fail(std::string error) {
    file_.reset();
    trees_.clear();
    tree_.reset();
    kinds_.clear();
    kind_.clear();
    if (publishing_) {
        state_.AssetKinds.clear();
        state_.KindChain.clear();
    }
    error_ = std::move(error);
}

std::string TWalnut::LoadTagSpec(std::string_view fileName, std::string_view kind) {
    std::string error;
    std::shared_ptr<const TTagsXml> file = TTagsXml::Load(fileName, error);
    if (!file) {
        Fail(error);
        return error_;
    }
    return LoadTagSpec(std::move(file), kind);
}

std::string TWalnut::LoadTagSpec(std::shared_ptr<const TTagsXml> file, std::string_view kind) {
    if (!file) {
        Fail("No tag specification");
        return error_;
    }
    if (file != file_) {
        file_ = std::move(file);
        trees_.clear();
        kinds_ = file_->AssetKinds();
        if (publishing_) state_.AssetKinds = kinds_;
    }
    std::string k = LowerCase(kind);
    if (k.empty() || !file_->IsAssetKind(k)) k = "unknown";
    if (const auto it = trees_.find(k); it != trees_.end()) {
        tree_ = it->second;
    } else {
        auto tree = std::make_shared<TSpecTree>();
        tree->file = file_;
        TSpecTreeBuilder(*file_, *tree).Build(k);
        std::size_t kept = tree->nodes.size();
        for (const auto& [name, t] : trees_) kept += t->nodes.size();
        if (trees_.size() >= kKeptTrees || kept > kKeptNodes) trees_.clear();
        trees_.emplace(k, tree);
        tree_ = std::move(tree);
    }
    kind_ = k;
    error_ = tree_->error;
    if (publishing_) state_.KindChain = tree_->kindChain;
    return error_;
}

const std::string& TWalnut::KindChain() const { return tree_ ? tree_->kindChain : kEmptyText; }
const std::vector<std::string>& TWalnut::RequiredTagPaths() const { return tree_ ? tree_->required : kEmptyList; }
const TSpecNode* TWalnut::Root() const { return tree_ ? &tree_->nodes.front() : nullptr; }

const TSpecNode* TWalnut::SpecNodeByPath(std::string_view path) const {
    if (!tree_ || path.empty()) return nullptr;
    const std::string normal = NormaliseConfigPath(path);
    const TPathParts parts = SplitConfigPath(normal);
    if (parts[0] != kConfigRoot) return nullptr;
    const TSpecNode* node = &tree_->nodes.front();
    for (std::size_t i = 1; node && i < parts.count; ++i) node = node->FindChild(parts[i]);
    return node;
}

TTagSpec TWalnut::FindSpecNode(std::string_view path, bool& found) const {
    std::string_view lookup = path;
    if (ContainsStr(path, "extensions\\")) {
        if (ContainsStr(path, "user-tag"))
            lookup = "config.txt\\extensions\\user-tag";
        else if (ContainsStr(path, "user-table"))
            lookup = "config.txt\\extensions\\user-table";
    }
    const TSpecNode* node = SpecNodeByPath(lookup);
    found = node != nullptr;
    return node ? ParseTagSpec(*node) : DefaultTagSpec();
}

TTagSpec TWalnut::ParseTagSpec(const TSpecNode& node) const {
    TTagSpec spec;
    const TXmlElement* e = node.Element();
    if (!e) return spec;
    bool quotedGiven = false;
    long long quoted = 0;
    // Last to first, so that of an attribute given twice the first one counts, as Attribute() reads it.
    for (auto it = e->Attributes.rbegin(); it != e->Attributes.rend(); ++it) {
        const std::string_view name = it->first, value = it->second;
        const auto text = [&](std::string& field) { field = CutField(value, kSpecTextField); };
        const auto shortText = [&](std::string& field) { field = CutField(value, kSpecShortField); };
        if (name == "format") text(spec.Format);
        else if (name == "tagedit") spec.TagEdit = value == "1";
        else if (name == "display") text(spec.Display);
        else if (name == "source") text(spec.Source);
        else if (name == "mask") text(spec.Mask);
        else if (name == "help") text(spec.Help);
        else if (name == "default") spec.Default = value;
        else if (name == "location") text(spec.Location);
        else if (name == "captions") text(spec.Captions);
        else if (name == "units") text(spec.Units);
        else if (name == "context") text(spec.Context);
        else if (name == "ext") spec.Ext = value == "1";
        else if (name == "userdata") spec.UserData = value == "1";
        else if (name == "required") spec.Required = value == "1";
        else if (name == "translate") spec.Translate = value == "1";
        else if (name == "sequence") shortText(spec.Sequence);
        else if (name == "min") shortText(spec.Min);
        else if (name == "max") shortText(spec.Max);
        else if (name == "step") shortText(spec.Step);
        else if (name == "precision") shortText(spec.Precision);
        else if (name == "introduced") shortText(spec.Introduced);
        else if (name == "obsolete") shortText(spec.Obsolete);
        else if (name == "mandatory") shortText(spec.Mandatory);
        else if (name == "quoted") quotedGiven = TryParseInt(value, quoted) && quoted >= INT32_MIN && quoted <= INT32_MAX;
    }
    // "int,3" and "float,3": the word, and the element count (1 when it is absent, 0 or no number).
    if (const std::size_t comma = spec.Format.find(','); comma != std::string::npos) {
        const std::string word = spec.Format.substr(0, comma);
        if (word == "int" || word == "float") {
            long long count = 0;
            const bool number = TryParseInt(std::string_view(spec.Format).substr(comma + 1), count);
            spec.Elements = number && count > 0 && count <= INT32_MAX ? static_cast<std::int32_t>(count) : 1;
            spec.Format = word;
        }
    }
    if (quotedGiven)
        spec.ValueKind = static_cast<std::int32_t>(quoted);
    else
        spec.ValueKind = std::find(std::begin(kQuotedFormats), std::end(kQuotedFormats), spec.Format) !=
                                 std::end(kQuotedFormats)
                             ? vkQuoted
                             : vkBare;

    if (ContainsStr(spec.Default, "%")) spec.Default = ExpandMacros(state_, spec.Default);
    if (spec.Format == "kuid") spec.Default = kNullKuid;
    // The user's own details are offered only for the user's own assets.
    if (spec.UserData &&
        std::find(UserTagNames.begin(), UserTagNames.end(), e->Name) != UserTagNames.end() &&
        state_.CurrentKuid == ReadSetting(state_.Settings(), keys::UserID))
        spec.Default = ReadUserDataValue(state_.Settings(), e->Name);
    return spec;
}

void TWalnut::ListAllowedTags(std::string_view path, std::vector<std::string>& list) const {
    ListTags(path, false, list);
}

void TWalnut::ListMandatoryTags(std::string_view path, std::vector<std::string>& list) const {
    ListTags(path, true, list);
}

void TWalnut::ListTags(std::string_view path, bool mandatory, std::vector<std::string>& list) const {
    list.clear();
    const bool underExtensions = ContainsStr(path, "extensions");
    const TSpecNode* node = SpecNodeByPath(path);
    if (!node) {
        // Whatever an extension holds, its own tags may be inserted; none of them is ever required.
        if (underExtensions && !mandatory) list = {"user-tag", "user-table"};
        return;
    }
    const std::string language = ReadSetting(state_.Settings(), keys::Language);
    const std::string simulatorAttribute = ExpandMacros(state_, "%trs%");
    const std::string chain = "," + KindChain() + ",";
    const std::int32_t build = state_.ActiveBuild();
    for (const TSpecNode* child : node->Children()) {
        const TXmlElement* e = child->Element();
        const std::int32_t low = mandatory ? e->Mandatory : e->Introduced;
        if (mandatory && low <= 0) continue;
        if (build > kMaxBuild || !InBuildWindow(low, e->Obsolete, build)) continue;
        const std::string_view name = child->Name();
        if (underExtensions) {
            const std::string_view context = e->Attribute("context");
            if (!context.empty() && ContainsText(chain, "," + std::string(context) + ",")) {
                AddOnce(list, name);
            } else {
                AddOnce(list, "user-tag");
                AddOnce(list, "user-table");
            }
        } else if (IsLanguageVariant(name)) {
            if (!language.empty() && ContainsText(name, "-" + language) && e->Attribute(simulatorAttribute) != "0")
                AddOnce(list, name);
        } else {
            AddOnce(list, name);
        }
    }
}

std::string TWalnut::ListChildElements(std::string_view fileName, std::string_view element,
                                       std::vector<std::string>& list) {
    list.clear();
    std::string error;
    const std::shared_ptr<const TTagsXml> file = TTagsXml::Load(fileName, error);
    if (file) file->ListChildElements(element, list);
    return error;
}

void TWalnut::RenderSpecNode(const TTagSpec& spec, std::vector<std::string>& list) {
    list.clear();
    const auto add = [&](std::string_view name, std::string_view value) {
        list.push_back("\t" + std::string(name) + "=" + std::string(value));
    };
    add("format", spec.Format.empty() ? "***ERROR***" : spec.Format);
    add("elements", std::to_string(spec.Elements));
    add("display", spec.Display);
    add("source", spec.Source);
    add("mask", spec.Mask);
    add("help", spec.Help);
    add("default", spec.Default);
    add("location", spec.Location);
    add("captions", spec.Captions);
    add("units", spec.Units);
    add("context", spec.Context);
    add("ext", Flag(spec.Ext));
    add("userdata", Flag(spec.UserData));
    add("translate", Flag(spec.Translate));
    add("sequence", spec.Sequence.empty() ? "0" : spec.Sequence);
    add("tagedit", Flag(spec.TagEdit));
    add("introduced", spec.Introduced);
    add("obsolete", spec.Obsolete);
    add("mandatory", spec.Mandatory);
    add("required", Flag(spec.Required));
    add("quoted", std::to_string(spec.ValueKind));
    add("min", spec.Min);
    add("max", spec.Max);
    add("step", spec.Step);
    add("precision", spec.Precision);
}

}  // namespace kelvarn
