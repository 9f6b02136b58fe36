#include "catalogue/TagEditorPages.h"

#include <algorithm>
#include <cmath>

#include "catalogue/ConfigPath.h"
#include "catalogue/SourceList.h"
#include "catalogue/Walnut.h"
#include "media/GridModel.h"
#include "shell/Files.h"
#include "shell/Macros.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/Strings.h"
#include "shell/TagTypes.h"
#include "shell/Text.h"

namespace kelvarn {

namespace {


bool IsWholeNumber(std::string_view text) {
    if (!text.empty() && text.front() == '-') text.remove_prefix(1);
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool ParseNumber(std::string_view text, double& value) { return TryParseDouble(Trim(text), value); }

std::string CutBefore(std::string_view text, char c) {
    const std::size_t at = text.find(c);
    return std::string(at == std::string_view::npos ? text : text.substr(0, at));
}

bool LessIgnoringCase(const std::string& a, const std::string& b) { return LowerCase(a) < LowerCase(b); }

void SortIgnoringCase(std::vector<std::string>& list) { std::stable_sort(list.begin(), list.end(), LessIgnoringCase); }

}  // namespace

bool IsStringTableEntry(std::string_view path) {
    const std::string normal = NormaliseConfigPath(path);
    const TPathParts parts = SplitConfigPath(normal);
    return parts.count >= 3 && SameText(parts[parts.count - 2], "string-table");
}

std::string CompanionLabel(std::string_view path, std::string_view name, std::string_view language) {
    if (IsStringTableEntry(path)) return "string-table-" + std::string(language) + "\\" + std::string(name);
    return std::string(name) + "-" + std::string(language);
}

int TagTypeOf(const TTagSpec& spec) { return TagTypeIndex(LowerCase(spec.Format)); }

TPagePlan ChoosePage(const TTagSpec& spec, std::string_view language) {
    TPagePlan plan;
    const int type = TagTypeOf(spec);
    const bool translated = spec.Translate && !language.empty();
    switch (type) {
        case ttContainer: plan.message = "Container name cannot be edited"; break;
        case ttKuidList: plan.page = TEditorPage::List; plan.size = 640281; break;
        case 3: case 4: case 5: case 6: case 7: case 8: case ttCameraList: plan.page = TEditorPage::List; break;
        case ttUserTable: plan.page = TEditorPage::UserTable; break;
        case ttUserTag: plan.page = TEditorPage::UserTag; break;
        case ttMemo:
            plan.page = TEditorPage::Memo;
            plan.translation = translated;
            if (translated) plan.size = 600270;
            break;
        case ttString: plan.page = TEditorPage::String; plan.translation = translated; break;
        case ttKuid: plan.page = TEditorPage::String; plan.charClass = ctKuid; break;
        case ttBool: plan.page = TEditorPage::Bool; plan.charClass = ctBool; break;
        case ttFile: case ttPoint: case ttEnum: plan.page = TEditorPage::Enum; break;
        case ttSet: plan.page = TEditorPage::Set; plan.size = 600302; break;
        case ttInt: case ttFloat:
            plan.elements = std::max(1, static_cast<int>(spec.Elements));
            if (plan.elements == 1) {
                plan.page = TEditorPage::Number;
            } else if (plan.elements <= kMaxNumberElements) {
                plan.page = TEditorPage::NumberList;
            } else {
                // More elements than the page has spin fields: every element stays editable as text.
                plan.page = TEditorPage::String;
                plan.charClass = type == ttInt ? ctIntList : ctFloatList;
            }
            break;
        case ttFloatList: plan.page = TEditorPage::String; plan.charClass = ctFloatList; break;
        case ttRgb: case ttRgba: case ttHls: plan.message = "Colour tags shouldn't get here"; break;
        default: plan.message = "Editor.TagEditor NDF: " + spec.Format; break;
    }
    return plan;
}

// --- value rules

std::string CompleteKuid(std::string_view text, std::string_view userId, std::string_view currentKuidUser) {
    const std::string t = Trim(text);
    if (!IsWholeNumber(t) || userId.empty() || userId != currentKuidUser) return std::string(text);
    return "<kuid:" + std::string(userId) + ":" + t + ">";
}

std::string MemoToText(std::string_view value) { return ReplaceAll(value, kPilcrow, "\n"); }

std::string TextToMemo(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += kPilcrow;
        } else if (text[i] == '\n') {
            out += kPilcrow;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string CleanEnumEntry(std::string_view entry) {
    if (entry.find('=') != std::string_view::npos) return CutBefore(entry, '=');
    return CutBefore(entry, ' ');
}

std::string CleanFileEntry(std::string_view entry, bool keepExtension) {
    std::string text = ReplaceAllText(entry, ".lm.txt", ".lm");
    if (!keepExtension) text = RemoveFileExt(text);
    return text;
}

std::string CleanPointEntry(std::string_view entry) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : entry) {
        if (c == '/' || c == ':') {
            parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    parts.push_back(part);
    if (parts.size() > 1 && SameText(parts.back(), "cull")) return parts[parts.size() - 2];
    return parts.back();
}

std::string CleanEntry(int type, std::string_view entry, bool keepExtension) {
    switch (type) {
        case ttFile: return CleanFileEntry(entry, keepExtension);
        case ttPoint: return CleanPointEntry(entry);
        case ttEnum: return CleanEnumEntry(entry);
        default: return std::string(entry);
    }
}

std::string SetValueFromChecks(const std::vector<std::string>& items, const std::vector<bool>& checked,
                               std::string_view tagName) {
    if (!items.empty() && !checked.empty() && checked[0] && SameText(tagName, "category-region")) return "00";
    std::string value;
    for (std::size_t i = 0; i < items.size() && i < checked.size(); ++i) {
        if (!checked[i]) continue;
        if (!value.empty()) value += ';';
        value += CutBefore(items[i], ' ');
    }
    return value;
}

std::vector<bool> ChecksFromSetValue(const std::vector<std::string>& items, std::string_view value) {
    const std::vector<std::string> parts = SplitString(value, ";");
    std::vector<bool> checked(items.size(), false);
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::string key = CutBefore(items[i], ' ');
        checked[i] = std::any_of(parts.begin(), parts.end(),
                                 [&](const std::string& p) { return !key.empty() && SameText(Trim(p), key); });
    }
    return checked;
}

std::string NormaliseSetValue(std::string_view value) {
    std::vector<std::string> items;
    for (const std::string& part : SplitString(value, ";")) {
        std::string item = Trim(part);
        if (item.empty()) continue;
        if (std::none_of(items.begin(), items.end(), [&](const std::string& i) { return SameText(i, item); }))
            items.push_back(std::move(item));
    }
    SortIgnoringCase(items);
    std::string out;
    for (const std::string& item : items) out += (out.empty() ? "" : ";") + item;
    return out;
}

std::string SaveSetToIni(TProgramState& state, std::string_view source, std::string_view value,
                         const std::vector<std::string>& items, bool saveToIni, std::string& error) {
    error.clear();
    const std::string normal = NormaliseSetValue(value);
    // Only a list read from a settings section goes back there: a file or the tags.xml is no section.
    if (!saveToIni || source.size() < 2 || source.front() != '@') return normal;
    const std::string section(source.substr(1));
    TMemIni& ini = state.Settings();
    // A union: keys already there keep their values; the new ones come with an empty value.
    auto add = [&](const std::string& key) {
        const std::string k = Trim(key);
        if (k.empty() || k.find('=') != std::string::npos || ini.ValueExists(section, k)) return;
        ini.WriteString(section, k, "");
    };
    for (const std::string& item : SplitString(normal, ";")) add(item);
    for (const std::string& item : items) add(item);
    error = ini.UpdateFile();
    return normal;
}

std::string BoolFieldKey(std::string_view value, char32_t key) {
    if (key == U'0') return "0";
    if (key == U'1') return "1";
    if (key == U' ') return value == "1" ? "0" : "1";
    return std::string(value);
}

// --- numbers

std::string FormatNumber(double value, bool isInt, int decimals) {
    std::string text = isInt ? std::to_string(std::llround(value)) : FormatDouble(value, std::clamp(decimals, 0, 15));
    // "-0.00" reads as a sign the value does not have.
    if (!text.empty() && text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
    return text;
}

std::string StepText(double step) {
    std::string text = FormatDouble(step, 3);
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0') text.pop_back();
        if (text.back() == '.') text.pop_back();
    }
    return text;
}

TNumberSetup NumberSetup(const TTagSpec& spec, std::string_view value, bool list) {
    TNumberSetup s;
    s.isInt = TagTypeOf(spec) == ttInt;
    double min = 0, max = 0, step = 1, precision = 0;
    const bool hasMin = ParseNumber(spec.Min, min), hasMax = ParseNumber(spec.Max, max);
    s.min = hasMin ? min : 0;
    s.max = hasMax ? max : 0;
    s.limited = (hasMin || hasMax) && s.min < s.max;
    if (ParseNumber(spec.Step, step) && step > 0) s.step = step;
    if (s.isInt) {
        s.decimals = 0;
    } else if (ParseNumber(spec.Precision, precision) && precision >= 0) {
        s.decimals = std::min(static_cast<int>(precision), 15);
    } else {
        s.decimals = list ? 1 : 2;
    }
    s.start = Trim(value).empty() ? spec.Default : std::string(value);
    if (list) {
        const int count = std::clamp(static_cast<int>(spec.Elements), 1, kMaxNumberElements);
        std::vector<std::string> parts = SplitString(s.start, ",");
        parts.resize(static_cast<std::size_t>(count));
        for (auto& p : parts) p = Trim(p);
        s.elements = std::move(parts);
        s.stepLabel = "\xC2\xB1" + StepText(s.step);
    } else {
        s.stepLabel = spec.Units + " \xC2\xB1" + StepText(s.step);
    }
    return s;
}

std::string NumberListText(const std::vector<std::string>& elements, bool isInt, int decimals) {
    std::string out;
    for (std::size_t i = 0; i < elements.size(); ++i) {
        if (i) out += ',';
        double v = 0;
        if (isInt || !ParseNumber(elements[i], v)) {
            out += Trim(elements[i]);
            continue;
        }
        // Seven significant digits, then the decimals asked for.
        if (v != 0) {
            const double scale = std::pow(10.0, 6 - static_cast<int>(std::floor(std::log10(std::fabs(v)))));
            v = std::round(v * scale) / scale;
        }
        out += FormatNumber(v, false, decimals);
    }
    return out;
}

std::string EditedNumberList(const std::vector<std::string>& starting, const std::vector<std::string>& current,
                             const std::vector<bool>& changed, bool isInt, int decimals) {
    std::string out;
    for (std::size_t i = 0; i < current.size(); ++i) {
        if (i) out += ',';
        const bool kept = i < starting.size() && (i >= changed.size() || !changed[i]);
        out += kept ? Trim(starting[i]) : NumberListText({current[i]}, isInt, decimals);
    }
    return out;
}

double StepAfterClick(double step, bool leftClick, bool isInt) {
    step = leftClick ? step * 10 : step / 10;
    return std::clamp(step, isInt ? 1.0 : 0.001, 1000.0);
}

// --- lists

std::vector<std::string> GridToCsv(const GridModel& grid) {
    std::vector<std::string> rows;
    for (int r = GridModel::kFixedRows; r < grid.RowCount(); ++r) {
        std::vector<std::string> cells;
        int last = -1;
        for (int c = GridModel::kFixedCols; c < grid.ColCount(); ++c) {
            std::string cell = grid.Cell(c, r);
            if (Trim(cell).empty()) cell.clear();
            else last = static_cast<int>(cells.size());
            cells.push_back(std::move(cell));
        }
        if (last < 0) continue;
        // Inner empty cells stay in place: dropping them would move a value into the name column or
        // shift a camera-list's numbers.
        cells.resize(static_cast<std::size_t>(last) + 1);
        rows.push_back(JoinCsvLine(cells));
    }
    return rows;
}

std::string Fillcombo(const TProgramState& state, const TTagSpec& spec, std::string_view assetFolder,
                      const TFillSources& sources, std::vector<std::string>& list) {
    list.clear();
    const std::string source = spec.Source.empty() ? std::string("?") : spec.Source;
    const std::string rest = source.substr(1);
    switch (source.front()) {
        case '$':
            if (SameText(rest, "kind")) {
                std::string error;
                const auto tags = TTagsXml::Load(ExpandMacros(state, "%bin%\\tags.xml"), error);
                if (tags) list = tags->AssetKinds();
            } else {
                TWalnut::ListChildElements(ExpandMacros(state, "%bin%\\tags.xml"), rest, list);
            }
            break;
        case '%': {
            std::string file;
            for (std::string_view folder : {"%trainz%", "%2010%", "%2009%", "%TC%", "%2006%"}) {
                const std::string name = ReplaceAllText(source, "%trainz%", folder);
                file = ResolvePathIgnoreCase(ExpandMacros(state, name));
                if (!file.empty() && FileExists(file)) break;
                file.clear();
                if (!ContainsText(source, "%trainz%")) break;
            }
            DecodedText text;
            if (!file.empty() && ReadTextFile(file, text, kMaxSourceFileBytes).empty()) {
                for (std::string& line : SplitLines(text.text))
                    if (!line.empty()) list.push_back(std::move(line));
            }
            break;
        }
        case '+':
            if (sources.ConfigList) sources.ConfigList(rest, list);
            break;
        case '.': list = sources.Prepared; break;
        case '?': {
            if (!SameText(spec.Format, "file") || assetFolder.empty()) break;
            std::vector<std::string> files;
            const std::string mask = spec.Mask.empty() ? std::string("*.*") : spec.Mask;
            FindFilesRecursive(std::string(assetFolder) + "\\*.*", mask, files);
            const std::string prefix = PathString(FsPath(assetFolder));
            for (const std::string& f : files) {
                std::string relative = PathString(FsPath(f));
                if (relative.size() > prefix.size() && StartsWithText(relative, prefix))
                    relative = TrimLeft(relative.substr(prefix.size()));
                while (!relative.empty() && IsPathSeparator(relative.front())) relative.erase(0, 1);
                std::replace(relative.begin(), relative.end(), '/', '\\');
                list.push_back(spec.Ext ? relative : RemoveFileExt(relative));
            }
            break;
        }
        case '@': state.Settings().ReadSection(rest, list); break;
        default: return "Editor.Fillcombo: unknown source: " + source;
    }
    SortIgnoringCase(list);
    return {};
}

std::string FillSetList(const TProgramState& state, const TTagSpec& spec, std::string_view assetFolder,
                        const TFillSources& sources, std::vector<std::string>& list) {
    return Fillcombo(state, spec, assetFolder, sources, list);
}

// --- OK

void bOKClick(TTagSpec& record, const TPageFields& fields, std::string_view language, std::string_view userId,
              std::string_view currentKuidUser, std::vector<std::string>& csvList) {
    const int type = TagTypeOf(record);
    const TPagePlan plan = ChoosePage(record, language);
    const std::string original = record.Value;

    std::string stringValue = fields.StringValue;
    if (type == ttKuid) stringValue = CompleteKuid(stringValue, userId, currentKuidUser);

    if (type >= 1 && type <= ttIdentifier) record.Name = fields.IDCombo;
    else if (type == ttUserTable || type == ttUserTag) record.Name = fields.TagValue;
    else if (type >= ttMemo && type <= ttHls) record.Name = !fields.TagValue.empty() ? fields.TagValue : fields.IDCombo;
    else record.Name = fields.IDCombo;

    if (plan.translation) {
        record.CompanionName = CompanionLabel(record.Path, record.Name, language);
        record.CompanionValue = !fields.TranslateValue.empty() ? fields.TranslateValue
                                                               : TextToMemo(fields.BigTranslateValue);
    } else {
        record.CompanionName.clear();
        record.CompanionValue.clear();
    }

    switch (plan.page) {
        case TEditorPage::Message:
            // The message page edits nothing; a colour tag that reaches OK keeps its text field.
            if (IsColourType(type)) record.Value = stringValue;
            break;
        case TEditorPage::List:
        case TEditorPage::UserTable: record.Value.clear(); break;
        case TEditorPage::UserTag:
            record.Value = !stringValue.empty() ? stringValue : TextToMemo(fields.BigStringValue);
            break;
        case TEditorPage::Memo: record.Value = TextToMemo(fields.BigStringValue); break;
        case TEditorPage::String:
        case TEditorPage::Bool: record.Value = stringValue; break;
        case TEditorPage::Enum: record.Value = fields.EnumCombo; break;
        case TEditorPage::Set: record.Value = fields.SetChanged ? NormaliseSetValue(fields.SetValue) : original; break;
        case TEditorPage::Number: record.Value = fields.NumberChanged ? fields.NumberValue : original; break;
        case TEditorPage::NumberList: record.Value = fields.NListChanged ? fields.NListValue : original; break;
    }
    if (type == ttContainer) record.Value.clear();

    if (IsListType(type)) {
        csvList.clear();
        if (fields.GridModified && fields.Grid) csvList = GridToCsv(*fields.Grid);
    }
}

}  // namespace kelvarn
