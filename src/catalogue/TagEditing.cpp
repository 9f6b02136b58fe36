#include "catalogue/TagEditing.h"

#include <algorithm>
#include <unordered_map>

#include "catalogue/OutlineCommands.h"
#include "catalogue/OutlineDocument.h"
#include "catalogue/TagEditorPages.h"
#include "catalogue/UtilityRunner.h"
#include "shell/CommandBus.h"
#include "shell/ProgramState.h"
#include "shell/SettingsKeys.h"
#include "shell/Strings.h"
#include "shell/Text.h"

namespace kelvarn {

namespace {

constexpr std::size_t kLongestStringPage = 60;  // a longer untranslated string opens on the memo page

bool IsBlankChar(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// A cell as a row's value keeps it. Every value kind drops a value's quotes, so they go first, then
// the blanks around the cell, as the reader drops them around a value: a blank beside a quote would
// otherwise stay in this write and go in the next. The rows shown for a container are cleaned alike,
// so that writing them back unedited changes nothing.
std::string CleanCell(std::string_view cell) {
    std::string out = cell.find('"') == std::string_view::npos ? std::string(cell) : Unquote(cell);
    if (!out.empty() && (IsBlankChar(out.front()) || IsBlankChar(out.back()))) out = Trim(out);
    return out;
}

// Does the child's text begin with the name exactly as written, followed by its blank? The usual case
// of a row given back, answered before the comparisons that ignore case.
bool NameWrittenAs(const TOutlineNode* child, std::string_view name) {
    const std::string_view text = child->Text();
    if (text.size() <= name.size() || (text[name.size()] != ' ' && text[name.size()] != '\t') ||
        text.compare(0, name.size(), name) != 0)
        return false;
    // Names are a few characters: a plain loop, not two library searches.
    for (const char c : name)
        if (c == ' ' || c == '\t') return false;
    return true;
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
    record.Name = node ? node->WrittenName() : name;
    record.Value = Unquote(value);
    return record;
}

void ContainerToCsv(const TOutlineNode* container, const TTagSpec& record, std::vector<std::string>& csvList) {
    csvList.clear();
    TTokens captions;
    const int count = SplitByCharSet(record.Captions, captions, ",");
    csvList.push_back(JoinCsvLine(std::vector<std::string>(captions.begin(), captions.begin() + std::min(count, kMaxTokens - 1))));
    if (!container) return;
    csvList.reserve(container->ChildCount() + 1);
    const bool camera = SameText(record.Format, "camera-list");
    for (std::size_t i = 0; i < container->ChildCount(); ++i) {
        // The name as written, so that a row written back unedited keeps its spelling.
        // Plain loops: a search for either of two characters costs a library call per byte.
        std::string_view text = container->Child(i)->Text();
        while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
        std::size_t blank = 0;
        while (blank < text.size() && text[blank] != ' ' && text[blank] != '\t') ++blank;
        const std::string_view name = text.substr(0, blank);
        std::string_view value = text.substr(std::min(blank + 1, text.size()));
        while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
        while (!value.empty() && (value.back() == ' ' || value.back() == '\t' || value.back() == '\r')) value.remove_suffix(1);
        std::string line;
        line.reserve(name.size() + value.size() + 6);
        AppendCsvField(line, name);
        if (camera) {
            for (const std::string& cell : SplitString(value, ",")) {
                line += ',';
                AppendCsvField(line, CleanCell(cell));
            }
        } else {
            // The value without its quotes: nothing is left to double.
            line += ",\"";
            if (value.find('"') == std::string_view::npos && (value.empty() || (!IsBlankChar(value.front()) && !IsBlankChar(value.back()))))
                line += value;  // clean already
            else
                line += CleanCell(value);
            line += '"';
        }
        csvList.push_back(std::move(line));
    }
}

std::string TableEditRefusal(const TOutlineNode* container) {
    if (!container) return {};
    // A tag (a list tag written with a value, as damaged configs hold them) given rows would be written
    // as a value with braces after it, which no reader takes back: the file would be lost.
    if (!container->HasChildren())
        return "'" + container->Text() + "' is not a container: the list cannot be edited as a table";
    for (std::size_t i = 0; i < container->ChildCount(); ++i) {
        const TOutlineNode* child = container->Child(i);
        if (child->HasChildren())
            return "'" + child->Text() + "' in '" + container->Text() +
                   "' is a container: the list cannot be edited as a table";
    }
    return {};
}

namespace {

// The field at `at` as it stands in the line, when reading it changes nothing: unquoted, or quoted with
// no doubled quote and nothing between its closing quote and the comma. `at` moves on as ReadCsvField
// moves it; false for a field that reading would change.
bool FieldAsWritten(std::string_view line, std::size_t& at, std::string_view& field) {
    std::size_t end;
    if (at < line.size() && line[at] == '"') {
        const std::size_t quote = line.find('"', at + 1);
        if (quote == std::string_view::npos) {
            field = line.substr(at + 1);
            at = std::string_view::npos;
            return true;
        }
        end = quote + 1;
        if (end < line.size() && line[end] != ',') return false;
        field = line.substr(at + 1, quote - at - 1);
    } else {
        end = line.find(',', at);
        field = line.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
    }
    at = end >= line.size() ? std::string_view::npos : end + 1;
    return true;
}

bool NeedsCleaning(std::string_view cell) {
    return (!cell.empty() && (IsBlankChar(cell.front()) || IsBlankChar(cell.back()))) ||
           cell.find('"') != std::string_view::npos;
}

// A row of a table: its name and value, where they stand in their line or in the rows' own text.
struct TTableRow {
    std::string_view name, value;
};
// A row rebuilt in the rows' text, by its places there: the text may move while it grows.
struct TRebuiltRow {
    std::size_t row, nameAt, nameLen, valueAt, valueLen;
};
// The lists of a table's rows, kept on the thread from one edit to the next: given back at each edit,
// blocks of a hundred kilobytes and more go back to the system and come again with a fault a page.
struct TTableLists {
    std::string text;
    std::vector<TTableRow> rows;
    std::vector<TRebuiltRow> rebuilt;
    void Swap(TTableLists& other) {
        text.swap(other.text);
        rows.swap(other.rows);
        rebuilt.swap(other.rebuilt);
    }
};
constexpr std::size_t kKeptRows = 200000;
thread_local TTableLists gKeptTableLists;

// The named rows of a table. A row of a name and one clean value is seen where it stands in its line;
// the others are rebuilt in one shared text. A table of thousands of rows costs no allocation per row.
class TTableRows {
public:
    // Takes the thread's kept lists; an edit within an edit finds them taken and makes its own.
    TTableRows() { lists_.Swap(gKeptTableLists); }
    ~TTableRows() {
        if (lists_.rows.capacity() > kKeptRows || lists_.text.capacity() > kKeptRows * 16) return;
        lists_.text.clear();
        lists_.rows.clear();
        lists_.rebuilt.clear();
        lists_.Swap(gKeptTableLists);
    }
    TTableRows(const TTableRows&) = delete;
    TTableRows& operator=(const TTableRows&) = delete;

    std::size_t Count() const { return lists_.rows.size(); }
    std::string_view Name(std::size_t r) const { return lists_.rows[r].name; }
    std::string_view Value(std::size_t r) const { return lists_.rows[r].value; }
    // The refusal of the whole edit, or empty when every line read as a row. The rows see into `lines`.
    std::string Parse(const std::vector<std::string>& lines, const TTagSpec& record);

private:
    // The row of line `line` rebuilt at the end of the text, its cells read and cleaned where they stand;
    // false, with nothing added, when every cell is empty.
    bool Rebuild(std::string_view line, TRebuiltRow& places);
    TTableLists lists_;
};

bool TTableRows::Rebuild(std::string_view line, TRebuiltRow& places) {
    const std::size_t rowAt = lists_.text.size();
    std::size_t at = ReadCsvField(line, 0, lists_.text);
    places.valueAt = lists_.text.size();
    const std::string_view trimmed = TrimView(std::string_view(lists_.text).substr(rowAt));
    places.nameAt = trimmed.data() - lists_.text.data();
    places.nameLen = trimmed.size();
    bool allEmpty = places.nameLen == 0;
    for (bool first = true; at != std::string_view::npos; first = false) {
        if (!first) lists_.text += ',';
        const std::size_t cellAt = lists_.text.size();
        at = ReadCsvField(line, at, lists_.text);
        const std::string_view cell = std::string_view(lists_.text).substr(cellAt);
        if (!TrimView(cell).empty()) allEmpty = false;
        if (NeedsCleaning(cell)) lists_.text.replace(cellAt, std::string::npos, CleanCell(cell));
    }
    places.valueLen = lists_.text.size() - places.valueAt;
    if (allEmpty) lists_.text.resize(rowAt);
    return !allEmpty;
}

std::string TTableRows::Parse(const std::vector<std::string>& lines, const TTagSpec& record) {
    lists_.text.clear();
    lists_.rows.clear();
    lists_.rebuilt.clear();
    lists_.rows.reserve(lines.size());
    const bool kuidList = SameText(record.Format, "kuid-list");
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        std::string_view name, value;
        std::size_t at = 0;
        if (FieldAsWritten(line, at, name) && at != std::string_view::npos && FieldAsWritten(line, at, value) &&
            at == std::string_view::npos && !NeedsCleaning(value)) {
            name = TrimView(name);
            if (name.empty() && TrimView(value).empty()) continue;
        } else {
            TRebuiltRow places;
            if (!Rebuild(line, places)) continue;
            places.row = lists_.rows.size();
            lists_.rebuilt.push_back(places);
            name = std::string_view(lists_.text).substr(places.nameAt, places.nameLen);
            value = std::string_view(lists_.text).substr(places.valueAt, places.valueLen);
        }
        // Taking the next cell as the name would turn a value into a tag name.
        if (name.empty()) return "Row " + std::to_string(i + 1) + " has values but no name: " + lines[i];
        // A KUID list's rows are looked up by name and read as KUIDs: a row that is neither is
        // refused before anything changes.
        if (kuidList && name.find('"') != std::string_view::npos)
            return "Row " + std::to_string(i + 1) + " (" + std::string(name) + "): a name cannot hold a double quote";
        if (kuidList && !IsKuidOrPlaceholder(value))
            return "Row " + std::to_string(i + 1) + " (" + std::string(name) + ") is not a KUID: " + std::string(value);
        lists_.rows.push_back({name, value});
    }
    // The text has stopped growing: the rebuilt rows can now see into it.
    for (const TRebuiltRow& places : lists_.rebuilt)
        lists_.rows[places.row] = {std::string_view(lists_.text).substr(places.nameAt, places.nameLen),
                             std::string_view(lists_.text).substr(places.valueAt, places.valueLen)};
    return {};
}

// `text` is `name`, one blank and `value`.
bool IsNodeText(std::string_view text, std::string_view name, std::string_view value) {
    return text.size() == name.size() + 1 + value.size() && text.starts_with(name) && text[name.size()] == ' ' &&
           text.ends_with(value);
}

}  // namespace

bool IsKuidOrPlaceholder(std::string_view value) { return value == kNullKuid || IsKuidText(value); }

std::string TableRowsRefusal(const std::vector<std::string>& lines, const TTagSpec& record) {
    TTableRows rows;
    return rows.Parse(lines, record);
}

bool CsvToContainer(TOutlineDocument& document, TOutlineNode* container, const std::vector<std::string>& lines,
                    const TTagSpec& record) {
    if (!container) return false;
    if (std::string refusal = TableEditRefusal(container); !refusal.empty()) {
        document.Alert(refusal);
        return false;
    }
    TTableRows rows;
    if (std::string refusal = rows.Parse(lines, record); !refusal.empty()) {
        document.Alert(refusal);
        return false;
    }

    const std::string format = LowerCase(record.Format);
    const int valueKind = (format == "kuid-list" || format == "camera-list") ? vkBare : vkQuoted;
    const std::string containerPath = EnsureTrailingChar('\\', document.NodePath(container));
    const bool pasted = ContainsStr(containerPath, "pasted*");

    // Each row takes the first child of its name (ignoring case) that no earlier row took. Rows
    // mostly come back in the children's order, so the child at the row's own place is tried first.
    const std::size_t children = container->ChildCount();
    std::vector<TOutlineNode*> matched(rows.Count(), nullptr);
    std::vector<bool> taken(children, false);
    bool inOrder = true;
    for (std::size_t r = 0; r < rows.Count() && r < children; ++r) {
        TOutlineNode* child = container->Child(r);
        if (!NameWrittenAs(child, rows.Name(r)) && !child->NameIs(rows.Name(r)) && !SameText(child->Name(), rows.Name(r))) {
            inOrder = false;
            break;
        }
        matched[r] = child;
        taken[r] = true;
    }
    if (!inOrder) {
        std::unordered_map<std::string, std::vector<TOutlineNode*>> byName;
        for (std::size_t i = children; i-- > 0;)
            if (!taken[i]) byName[LowerCase(container->Child(i)->Name())].push_back(container->Child(i));
        for (std::size_t r = 0; r < rows.Count(); ++r) {
            if (matched[r]) continue;
            auto it = byName.find(LowerCase(rows.Name(r)));
            if (it == byName.end() || it->second.empty()) continue;
            matched[r] = it->second.back();
            taken[matched[r]->IndexInParent()] = true;
            it->second.pop_back();
        }
    }
    std::vector<TOutlineNode*> unmatched;
    for (std::size_t i = 0; i < children; ++i)
        if (!taken[i]) unmatched.push_back(container->Child(i));
    bool changed = false;
    for (TOutlineNode* child : unmatched) {
        document.DeleteNodeNow(child, false);
        changed = true;
    }
    if (changed) document.SetParentFlags(container, nfModified, 0);

    const bool gauge = rows.Count() > kGaugeRows && document.Progress;
    std::vector<TOutlineNode*> order;
    order.reserve(rows.Count());
    std::string refusal, text;
    for (std::size_t r = 0; r < rows.Count(); ++r) {
        // A row that reads as its node stands (its name, a blank, its value) was not edited: it is
        // left as written, and costs no new text. Most rows of a large table are such rows.
        if (matched[r] && IsNodeText(matched[r]->Text(), rows.Name(r), rows.Value(r))) {
            order.push_back(matched[r]);
            if (gauge) document.Progress(r + 1, rows.Count());
            continue;
        }
        TagEditText(text, rows.Name(r), rows.Value(r), pasted ? vkAuto : valueKind, false, refusal);
        if (TOutlineNode* child = matched[r]) {
            if (refusal.empty() && child->Text() != text) {
                TTagSpec spec = record;
                spec.Name = rows.Name(r);
                spec.Value = rows.Value(r);
                spec.ValueKind = valueKind;
                spec.Path = containerPath + spec.Name;
                if (document.ApplyTagEdit(spec, child)) changed = true;
            } else if (!refusal.empty()) {
                document.Alert(refusal);
            }
            order.push_back(child);
        } else if (refusal.empty()) {
            TOutlineNode* node = document.InsertNode(container, container->ChildCount(), std::move(text), false);
            document.MarkModified(node);
            order.push_back(node);
            changed = true;
        } else {
            document.Alert(refusal);
        }
        // The gauge paints itself; nothing else runs while the tree is half rebuilt.
        if (gauge) document.Progress(r + 1, rows.Count());
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

TCompanion FindCompanion(const TOutlineDocument& document, TOutlineNode* container, const std::string& tagName,
                         std::string_view language) {
    TCompanion companion;
    if (!container) return companion;
    const std::string containerPath = EnsureTrailingChar('\\', document.NodePath(container));
    if (!IsStringTableEntry(containerPath + tagName)) {
        companion.name = tagName + "-" + std::string(language);
        companion.path = containerPath + companion.name;
        companion.node = document.FindChildByName(container, LowerCase(companion.name));
        return companion;
    }
    companion.name = tagName;
    companion.stringTable = container;
    companion.tableName = "string-table-" + std::string(language);
    TOutlineNode* parent = container->Parent();
    if (!parent) return companion;
    companion.path = EnsureTrailingChar('\\', document.NodePath(parent)) + companion.tableName + "\\" + tagName;
    for (std::size_t i = 0; i < parent->ChildCount() && !companion.table; ++i)
        if (parent->Child(i)->HasChildren() && SameText(parent->Child(i)->WrittenName(), companion.tableName))
            companion.table = parent->Child(i);
    if (companion.table) companion.node = document.FindChildByName(companion.table, LowerCase(tagName));
    return companion;
}

TOutlineNode* WriteCompanion(TOutlineDocument& document, const TTagSpec& record, const TCompanion& companion,
                             TOutlineNode* anchor, int mode) {
    TTagSpec spec = record;
    spec.Name = companion.name;
    spec.Path = companion.path;
    spec.Value = record.CompanionValue;
    if (companion.node) {
        // The translation there keeps its name as written.
        spec.Name = companion.node->WrittenName();
        spec.Path = document.NodePath(companion.node);
        return document.ApplyTagEdit(spec, companion.node);
    }
    if (!companion.stringTable) return document.CreateTag(spec, anchor, mode);
    if (companion.table) return document.CreateTag(spec, companion.table, cmLastChild);
    // The translations' container is made only for a translation it can hold.
    std::string refusal;
    TagEditText(spec.Name, spec.Value, spec.ValueKind, false, refusal);
    TOutlineNode* parent = companion.stringTable->Parent();
    if (!refusal.empty() || !parent) {
        if (!refusal.empty()) document.Alert(refusal);
        return nullptr;
    }
    TOutlineNode* table =
        document.InsertNode(parent, companion.stringTable->IndexInParent() + 1, companion.tableName, true);
    document.MarkModified(table);
    return document.CreateTag(spec, table, cmLastChild);
}

void EditTag(TOutlineDocument& document, TOutlineNode* node, ITagEditorHost& host) {
    if (!node || node == document.Root()) return;
    TProgramState& state = document.State();
    const std::string language = ReadSetting(state.Settings(), keys::Language);
    TTagSpec record = TagRecordOf(document, node);
    const std::string path = record.Path;
    const std::string tagName = record.Name;
    const int type = TagTypeOf(record);

    const bool translated = record.Translate && !language.empty();
    if (translated) {
        const TCompanion companion = FindCompanion(document, node->Parent(), tagName, language);
        record.CompanionName = CompanionLabel(path, tagName, language);
        record.CompanionValue = companion.node ? TagValueUnquoted(companion.node->Text()) : std::string();
    }

    if (IsColourType(type)) {
        const std::optional<std::string> colour =
            host.EditColour(LowerCase(record.Format), "Kelvarn - " + tagName, record.Value);
        if (colour && *colour != record.Value) {
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
        const TTagSpec shown = record;
        const bool ok = host.EditRecord(record, state.CsvList, gridModified);
        // OK on an untouched page writes nothing: the page's own rendering of the value (a spin
        // box's rounding, the value kind's quotes) is no edit the user asked for.
        const bool untouched = record.Name == shown.Name && record.Value == shown.Value &&
                               record.CompanionValue == shown.CompanionValue;
        const bool notKuid = ok && !untouched && type == ttKuid && !IsKuidOrPlaceholder(record.Value);
        if (notKuid) document.Alert("The value of " + record.Name + " is not a KUID: " + record.Value);
        if (ok && !untouched && !notKuid && type >= ttUserTable && type <= ttFloatList) {
            document.EditWithUndo([&]() -> TOutlineNode* {
                const std::string before = document.ConfigFileText();
                if (SameText(record.Path, "config.txt\\kind")) record.Value = TagDefaults(document, record.Value);
                TOutlineNode* changed = document.ApplyTagEdit(record, node);
                // The translation follows the name the tag now has.
                if (translated && !record.CompanionValue.empty() &&
                    WriteCompanion(document, record, FindCompanion(document, node->Parent(), record.Name, language),
                                   node, cmBefore))
                    changed = node;
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
