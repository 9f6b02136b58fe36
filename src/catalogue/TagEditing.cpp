#include "catalogue/TagEditing.h"

#include <unordered_map>

#include "catalogue/OutlineCommands.h"
#include "catalogue/OutlineDocument.h"
#include "catalogue/TagEditorPages.h"
#include "shell/CommandBus.h"
#include "shell/ProgramState.h"
#include "shell/SettingsKeys.h"
#include "shell/Strings.h"
#include "shell/Text.h"

namespace kelvarn {

namespace {

constexpr std::size_t kLongestStringPage = 60;  // a longer untranslated string opens on the memo page

bool AllCellsEmpty(const std::vector<std::string>& cells) {
    for (const std::string& cell : cells)
        if (!Trim(cell).empty()) return false;
    return true;
}

std::string JoinCells(const std::vector<std::string>& cells, std::size_t from) {
    std::string out;
    for (std::size_t i = from; i < cells.size(); ++i) out += (i > from ? "," : "") + cells[i];
    return out;
}

}  // namespace

TTagSpec TagRecordOf(TOutlineDocument& document, const TOutlineNode* node) {
    const std::string path = document.NodePath(node);
    bool found = false;
    std::string lookup = path;
    if (!lookup.empty() && lookup.back() == '\\') lookup.pop_back();
    TTagSpec record = document.Hooks().FindSpecNode(lookup, found);
    if (!found && ContainsText(path, "extensions\\")) {
        const bool container = node && node->HasChildren();
        record = document.Hooks().FindSpecNode(
            container ? "config.txt\\extensions\\user-table" : "config.txt\\extensions\\user-tag", found);
    }
    if (!found) record = DefaultTagSpec();
    std::string name, value;
    SplitTag(node ? node->Text() : std::string(), name, value);
    record.Path = path;
    record.Name = name;
    record.Value = Unquote(value);
    return record;
}

void ContainerToCsv(const TOutlineNode* container, const TTagSpec& record, std::vector<std::string>& csvList) {
    csvList.clear();
    TTokens captions;
    const int count = SplitByCharSet(record.Captions, captions, ",");
    csvList.push_back(JoinCsvLine(std::vector<std::string>(captions.begin(), captions.begin() + std::min(count, kMaxTokens - 1))));
    if (!container) return;
    const bool camera = SameText(record.Format, "camera-list");
    for (std::size_t i = 0; i < container->ChildCount(); ++i) {
        std::string name, value;
        SplitTag(container->Child(i)->Text(), name, value);
        std::vector<std::string> cells = {name};
        if (camera) {
            for (std::string& cell : SplitString(value, ",")) cells.push_back(std::move(cell));
        } else {
            cells.push_back(Unquote(value));
        }
        csvList.push_back(JoinCsvLine(cells));
    }
}

std::string TableEditRefusal(const TOutlineNode* container) {
    if (!container) return {};
    for (std::size_t i = 0; i < container->ChildCount(); ++i) {
        const TOutlineNode* child = container->Child(i);
        if (child->HasChildren())
            return "'" + child->Text() + "' in '" + container->Text() +
                   "' is a container: the list cannot be edited as a table";
    }
    return {};
}

bool CsvToContainer(TOutlineDocument& document, TOutlineNode* container, const std::vector<std::string>& lines,
                    const TTagSpec& record) {
    if (!container) return false;
    if (std::string refusal = TableEditRefusal(container); !refusal.empty()) {
        document.Alert(refusal);
        return false;
    }
    struct Row {
        std::string name, value;
    };
    std::vector<Row> rows;
    rows.reserve(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::vector<std::string> cells = SplitCsvLine(lines[i]);
        if (AllCellsEmpty(cells)) continue;
        std::string name = Trim(cells[0]);
        if (name.empty()) {
            // Taking the next cell as the name would turn a value into a tag name.
            document.Alert("Row " + std::to_string(i + 1) + " has values but no name: " + lines[i]);
            return false;
        }
        rows.push_back({std::move(name), JoinCells(cells, 1)});
    }

    const std::string format = LowerCase(record.Format);
    const int valueKind = (format == "kuid-list" || format == "camera-list") ? vkBare : vkQuoted;
    const std::string containerPath = EnsureTrailingChar('\\', document.NodePath(container));

    // Each row takes the first child of its name (ignoring case) that no earlier row took.
    std::unordered_map<std::string, std::vector<TOutlineNode*>> byName;
    for (std::size_t i = container->ChildCount(); i-- > 0;)
        byName[LowerCase(container->Child(i)->Name())].push_back(container->Child(i));
    std::vector<TOutlineNode*> matched(rows.size(), nullptr);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        auto it = byName.find(LowerCase(rows[r].name));
        if (it == byName.end() || it->second.empty()) continue;
        matched[r] = it->second.back();
        it->second.pop_back();
    }
    bool changed = false;
    for (auto& [name, nodes] : byName) {
        for (TOutlineNode* child : nodes) {
            document.DeleteNodeNow(child, false);
            changed = true;
        }
    }
    if (changed) document.SetParentFlags(container, nfModified, 0);

    const bool gauge = rows.size() > kGaugeRows && document.Progress;
    std::vector<TOutlineNode*> order;
    order.reserve(rows.size());
    for (std::size_t r = 0; r < rows.size(); ++r) {
        TTagSpec spec = record;
        spec.Name = rows[r].name;
        spec.Value = rows[r].value;
        spec.ValueKind = valueKind;
        spec.Path = containerPath + rows[r].name;
        if (ContainsStr(containerPath, "pasted*")) spec.ValueKind = vkAuto;
        // The text is made without a path, so that it is not looked up for each of thousands of rows.
        TTagSpec textSpec = spec;
        textSpec.Path.clear();
        std::string text;
        bool isContainer = false;
        document.CheckTagEdit(textSpec, text, isContainer);
        if (TOutlineNode* child = matched[r]) {
            if (!text.empty() && child->Text() != text && document.ApplyTagEdit(spec, child)) changed = true;
            order.push_back(child);
        } else if (!text.empty()) {
            TOutlineNode* node = document.InsertNode(container, container->ChildCount(), std::move(text), false);
            document.MarkModified(node);
            order.push_back(node);
            changed = true;
        }
        // The gauge paints itself; nothing else runs while the tree is half rebuilt.
        if (gauge) document.Progress(r + 1, rows.size());
    }
    if (document.ReorderChildren(container, order)) changed = true;
    if (changed) {
        document.SetModified(true);
        document.SetNodeFlags(container, nfModified, 0);
    }
    document.ExpandNode(container, false);
    document.State().SendStatusText(stPanel3, document.ConfigStatusText());
    return changed;
}

void EditTag(TOutlineDocument& document, TOutlineNode* node, ITagEditorHost& host) {
    if (!node || node == document.Root()) return;
    TProgramState& state = document.State();
    const std::string language = ReadSetting(state.Settings(), keys::Language);
    TTagSpec record = TagRecordOf(document, node);
    const std::string path = record.Path;
    const std::string tagName = record.Name;
    const int type = TagTypeOf(record);

    // The companion is the translation beside the tag: a sibling named after the tag and the language.
    const bool translated = record.Translate && !language.empty();
    if (translated) {
        record.CompanionName = tagName + "-" + language;
        const TOutlineNode* companion = document.FindSiblingByName(node, record.CompanionName);
        record.CompanionValue = companion ? TagValueUnquoted(companion->Text()) : std::string();
    }

    if (IsColourType(type)) {
        const std::optional<std::string> colour =
            host.EditColour(LowerCase(record.Format), "Kelvarn - " + tagName, record.Value);
        if (colour) {
            record.ValueKind = vkBare;
            record.Name = tagName;
            record.Value = *colour;
            record.Path = path;
            document.EditWithUndo([&] { return document.ApplyTagEdit(record, node); });
        }
    } else if (IsListType(type)) {
        if (std::string refusal = TableEditRefusal(node); !refusal.empty()) {
            document.Alert(refusal);
        } else {
            ContainerToCsv(node, record, state.CsvList);
            bool gridModified = false;
            if (host.EditRecord(record, state.CsvList, gridModified) && gridModified) {
                const std::vector<std::string> rows = state.CsvList;
                document.EditWithUndo([&]() -> TOutlineNode* {
                    return CsvToContainer(document, node, rows, record) ? node : nullptr;
                });
            }
        }
    } else {
        if (type == ttString && !record.Translate && CharCount(record.Value) > kLongestStringPage) record.Format = "memo";
        bool gridModified = false;
        const bool ok = host.EditRecord(record, state.CsvList, gridModified);
        if (ok && type >= ttUserTable && type <= ttFloatList) {
            document.EditWithUndo([&]() -> TOutlineNode* {
                const std::string before = document.ConfigFileText();
                if (SameText(record.Path, "config.txt\\kind")) record.Value = TagDefaults(document, record.Value);
                TOutlineNode* changed = document.ApplyTagEdit(record, node);
                if (translated && !record.CompanionValue.empty()) {
                    TOutlineNode* parent = node->Parent();
                    TTagSpec companion = record;
                    companion.Name = record.Name + "-" + language;
                    companion.Path = EnsureTrailingChar('\\', document.NodePath(parent)) + companion.Name;
                    companion.Value = record.CompanionValue;
                    if (document.CreateTag(companion, node, cmBefore)) changed = node;
                }
                if (!changed && document.ConfigFileText() != before) changed = node;
                return changed;
            });
        }
    }

    // Always, also after Cancel.
    const std::string name = node->Name();
    const std::string value = TagValueUnquoted(node->Text());
    if (node->Level() == 1 && name == "kind") {
        document.Hooks().AnalyseKindAndLoadSpec(document);
        state.SendCommand(ccShowTagsKeep, value);
    }
    if (IsTrackTypeTag(name)) state.SendCommand(ccConfigEdited, "");
    if (name == "trainz-build") host.RefreshTrainzBuild(value);
    state.SendCommand(kOutlineCommandStates, "");
}

}  // namespace kelvarn
