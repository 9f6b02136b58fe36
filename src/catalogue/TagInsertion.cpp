#include "catalogue/TagInsertion.h"

#include <algorithm>

#include "catalogue/OutlineCommands.h"
#include "catalogue/OutlineDocument.h"
#include "catalogue/TagEditing.h"
#include "catalogue/TagEditorPages.h"
#include "catalogue/Walnut.h"
#include "shell/CommandBus.h"
#include "shell/ProgramState.h"
#include "shell/SettingsKeys.h"
#include "shell/Strings.h"
#include "shell/Text.h"

namespace kelvarn {

namespace {

bool HasChildNamed(const TOutlineNode* container, std::string_view name) {
    for (std::size_t i = 0; i < container->ChildCount(); ++i)
        if (SameText(container->Child(i)->Name(), name)) return true;
    return false;
}

std::string ContainerPath(const TOutlineDocument& document, const TOutlineNode* container) {
    return EnsureTrailingChar('\\', document.NodePath(container));
}

// Containers, list containers and user tables hold rows, never a value.
bool IsContainerType(int type) { return type == ttContainer || IsListType(type) || type == ttUserTable; }

bool IsNumberName(std::string_view name) {
    return !name.empty() && name.size() <= 9 &&
           std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The text Insert Tag offers for the container's "*" entry (its display text, else its element's
// name), empty when the definitions allow none.
std::string AnyNamePlaceholder(const TWalnut& walnut, const std::string& containerPath) {
    const TSpecNode* spec = walnut.SpecNodeByPath(containerPath + "*");
    if (!spec || !spec->Element()) return {};
    const TTagSpec parsed = walnut.ParseTagSpec(*spec);
    return !parsed.Display.empty() ? parsed.Display : spec->Element()->Name;
}

}  // namespace

std::string ProposedEntryName(const TOutlineNode* container) {
    if (!container) return {};
    const bool numbered = container->ChildCount() > 0
                              ? IsNumberName(container->Child(0)->Name()) && IsNumberName(container->LastChild()->Name())
                              : container->NameIs("kuid-table") || container->NameIs("thumbnails");
    return numbered ? ProposedNumberedName(container, "#") : std::string();
}

std::string ProposedNumberedName(const TOutlineNode* container, std::string_view pattern) {
    std::string name(pattern);
    const std::size_t hash = name.find('#');
    if (hash == std::string::npos) return name;
    for (long long k = 0;; ++k) {
        std::string numbered = name;
        numbered.replace(hash, 1, std::to_string(k));
        if (!container || !HasChildNamed(container, numbered)) return numbered;
    }
}

std::string NewEntryNameRefusal(const TOutlineNode* container, std::string_view name) {
    const std::string trimmed = Trim(name);
    if (trimmed.empty()) return "Tags cannot be empty";
    // A "\" would make the name a path of containers wherever the tag is looked up.
    if (trimmed.find('\\') != std::string::npos) return "Tag names cannot hold \"\\\": " + trimmed;
    if (container && HasChildNamed(container, trimmed)) return "Tag already exists: " + trimmed;
    return {};
}

std::vector<std::string> FilterAvailableTags(TOutlineDocument& document, const TWalnut& walnut,
                                             const TOutlineNode* container, std::vector<std::string> allowed) {
    if (!container) return {};
    const std::string path = ContainerPath(document, container);
    const TOutlineNode* parent = container->Parent();
    if (parent && parent->Parent() == document.Root() && parent->NameIs("mesh-table")) {
        std::vector<std::string> entries;
        TWalnut::ListChildElements(walnut.TagsFileName(), "MESH-TABLE", entries);
        allowed.insert(allowed.end(), entries.begin(), entries.end());
    }

    std::vector<std::string> names;
    const bool bogeys = document.FindNodeByPath("config.txt\\bogeys") != nullptr;
    for (const std::string& name : allowed) {
        if (HasChildNamed(container, name)) continue;
        std::string offered = name;
        if (const std::size_t hash = name.find('#'); hash != std::string::npos) {
            const TSpecNode* spec = walnut.SpecNodeByPath(path + name);
            const long long sequence = spec && spec->Element() ? spec->Element()->Sequence : 0;
            offered.clear();
            for (long long k = 0; k <= sequence; ++k) {
                std::string numbered = name;
                numbered.replace(hash, 1, std::to_string(k));
                if (!HasChildNamed(container, numbered)) {
                    offered = std::move(numbered);
                    break;
                }
            }
            if (offered.empty()) continue;
        }
        if (offered == "bogey-0" || offered == "bogey-0-r") continue;
        if (bogeys && ContainsStr(offered, "bogey-")) continue;
        if (offered == "*") {
            if (std::string placeholder = AnyNamePlaceholder(walnut, path); !placeholder.empty()) offered = std::move(placeholder);
        }
        if (std::find(names.begin(), names.end(), offered) == names.end()) names.push_back(std::move(offered));
    }
    return names;
}

TTagSpec ChooserRecord(TOutlineDocument& document, const TOutlineNode* container, std::string_view name,
                       std::vector<std::string>& csvList) {
    const std::string path = ContainerPath(document, container) + std::string(name);
    bool found = false;
    TTagSpec record = document.Hooks().FindSpecNode(path, found);
    if (!found) record = DefaultTagSpec();
    const int type = TagTypeOf(record);
    record.Name = name;
    record.Path = IsContainerType(type) ? path + "\\" : path;
    record.Value = IsContainerType(type) ? std::string() : record.Default;
    csvList.clear();
    if (IsListType(type)) ContainerToCsv(nullptr, record, csvList);
    return record;
}

TOutlineNode* InsertTag(TOutlineDocument& document, const TWalnut& walnut, TOutlineNode* node, int mode,
                        ITagChooser& chooser) {
    if (!node) return nullptr;
    TProgramState& state = document.State();
    TOutlineNode* container = mode == imInsert ? node->Parent() : node;
    if (!container) return nullptr;
    const std::string containerPath = ContainerPath(document, container);
    std::vector<std::string> allowed;
    walnut.ListAllowedTags(containerPath, allowed);
    const bool anyName = std::find(allowed.begin(), allowed.end(), "*") != allowed.end();
    const std::string placeholder = anyName ? AnyNamePlaceholder(walnut, containerPath) : std::string();
    const std::vector<std::string> names = FilterAvailableTags(document, walnut, container, std::move(allowed));
    if (names.empty()) {
        state.Messages->ShowMessage(kNoAvailableTags);
        return nullptr;
    }

    TTagSpec record;
    std::vector<std::string>& csv = state.CsvList;
    csv.clear();
    const char* caption = mode == imInsert ? "Insert Tag" : "Add Tag to Container";
    if (!chooser.ChooseTag(caption, container, names, record, csv)) return nullptr;
    // An entry that takes any name is offered by its placeholder, which is no name of its own: the
    // user names it.
    if (!placeholder.empty() && record.Name == placeholder) {
        const std::optional<std::string> name = chooser.AskTagName(caption, ProposedEntryName(container));
        if (!name) return nullptr;
        if (std::string refusal = NewEntryNameRefusal(container, *name); !refusal.empty()) {
            document.Alert(refusal);
            return nullptr;
        }
        record.Name = Trim(*name);
    }

    const int type = TagTypeOf(record);
    const int createMode = mode == imInsert ? cmBefore : cmLastChild;
    const std::string language = ReadSetting(state.Settings(), keys::Language);
    const std::vector<std::string> rows = csv;
    // Rows the table refuses insert nothing, not the table without them.
    if (IsListType(type) && !rows.empty())
        if (std::string refusal = TableRowsRefusal(rows, record); !refusal.empty()) {
            document.Alert(refusal);
            return nullptr;
        }
    TOutlineNode* created = document.EditWithUndo([&]() -> TOutlineNode* {
        if (SameText(record.Name, "kind") && container == document.Root())
            record.Value = TagDefaults(document, record.Value);
        TTagSpec spec = record;
        spec.Path = containerPath + record.Name;
        if (IsContainerType(type)) {
            spec.Path += "\\";
            spec.Value.clear();
        }
        // An existing tag of that name would only be overwritten: the chooser offers absent names.
        if (document.FindNodeByPath(spec.Path)) {
            document.Alert("Tag already exists: " + spec.Path);
            return nullptr;
        }
        TOutlineNode* added = document.CreateTag(spec, node, createMode);
        if (!added) return nullptr;
        if (record.Translate && !language.empty() && !record.CompanionValue.empty())
            WriteCompanion(document, record, FindCompanion(document, container, record.Name, language), node,
                           createMode);
        if (IsListType(type) && !rows.empty()) CsvToContainer(document, added, rows, record);
        return added;
    });
    if (!created) return nullptr;
    state.SendStatusText(stPanel3, document.ConfigStatusText());
    document.Hooks().AnalyseKindAndLoadSpec(document);
    document.MakeVisible(created);
    return created;
}

}  // namespace kelvarn
