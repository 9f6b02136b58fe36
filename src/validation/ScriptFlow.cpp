// Control flow: branches, stopping, the choice dialogs and the loop, and the tests they use.
#include "validation/ScriptFlow.h"

#include <algorithm>
#include <fstream>

#include "catalogue/ConfigReader.h"
#include "catalogue/KuidMap.h"
#include "catalogue/OutlineDocument.h"
#include "media/ImageBytes.h"
#include "media/JpegDec.h"
#include "shell/Files.h"
#include "shell/Macros.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/Strings.h"
#include "validation/ScriptCall.h"
#include "validation/ScriptCommandTable.h"
#include "validation/ScriptHost.h"
#include "validation/ScriptLabels.h"
#include "validation/ScriptLists.h"
#include "validation/ScriptUnit.h"

namespace kelvarn {

namespace {

// A JPEG's frame header follows its application segments (64 KB at most each): this much of the
// file holds it for any thumbnail, and a loop testing a large file reads no more.
constexpr std::size_t kThumbnailHeadBytes = 1u << 20;
constexpr int kThumbnailWidth = 240, kThumbnailHeight = 180;
// A -case or -select line's first parameter reads as this when it is no number: the dialog form.
constexpr int kDialogForm = 99;

bool IsNumber(std::string_view text, double& value) { return TryParseDouble(text, value); }

// A message of several lines: its leading tabs, CR and LF removed.
std::string TrimLeadingBreaks(std::string text) {
    const std::size_t first = text.find_first_not_of("\t\r\n");
    return first == std::string::npos ? std::string() : text.substr(first);
}

int LabelNumber(std::string_view p1) {
    int n = kDialogForm;
    if (!ReadScriptInt(p1, n)) n = kDialogForm;
    return n;
}

// Is the file a 240 x 180 JPEG? Only its frame header is read; a missing or unreadable file is not.
bool IsThumbnail(const std::string& path) {
    const std::string file = ResolveScriptFile(path);
    if (file.empty()) return false;
    std::ifstream in(FsPath(file), std::ios::binary);
    std::string bytes(kThumbnailHeadBytes, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    int width = 0, height = 0;
    return ReadJpegSize(AsBytes(bytes), width, height) && width == kThumbnailWidth && height == kThumbnailHeight;
}

// Commands 1 to 6: while skipping they only count, so that their -else and -endif are absorbed.
std::string IfCommand(ScriptCall& c) {
    TScriptVars& v = c.vars;
    if (v.Skip == 1) {
        ++v.SkipDepth;
        return {};
    }
    bool run = true;
    switch (c.command) {
        case scIf: run = c.unit.TestCondition(v, c.p[1]); break;
        case scIfNot: run = !c.unit.TestCondition(v, c.p[1]); break;
        case scIfQuery: run = c.unit.TestCondition(v, c.p[1]) && (c.unit.ScriptMode() || c.host.Confirm(c.p[2])); break;
        case scIfAsset: run = c.unit.FindAssetByKuid(c.p[1]); break;
        case scIfMatches: {
            const std::string value = c.config ? c.config->GetValueByPath(c.p[2]) : std::string();
            run = WildcardMatch(c.p[1], value) || WildcardMatch(c.p[1], c.p[2]);
            break;
        }
        case scIfThumbnail: run = IsThumbnail(c.assetFolder + "\\" + c.p[1]); break;
        default: break;
    }
    if (!run) v.Skip = 1;
    return {};
}

std::string ElseCommand(ScriptCall& c) {
    if (c.vars.SkipDepth == 0) c.vars.Skip = 1 - c.vars.Skip;
    return {};
}

std::string EndIfCommand(ScriptCall& c) {
    TScriptVars& v = c.vars;
    if (v.SkipDepth == 0)
        v.Skip = 0;
    else if (v.Skip == 1)
        --v.SkipDepth;
    c.unit.AssetFoundFolder.clear();
    return {};
}

std::string ExitCommand(ScriptCall& c) {
    c.unit.Terminate = true;
    return "." + Trim(c.p[1] + " Execution terminated");
}

std::string ConditionCommand(ScriptCall& c) {
    if (c.unit.TestCondition(c.vars, c.p[1])) return {};
    c.unit.Terminate = true;
    return "." + Trim(c.p[2] + " Execution terminated.");
}

}  // namespace

// --- tests

bool TScriptUnit::TestCondition(TScriptVars&, std::string_view test) {
    if (test.empty()) return true;
    auto invalid = [this](const std::string& text) {
        host_.ShowAlert(text);
        FailRun();
        return false;
    };
    char op = 0;
    for (char c : std::string_view("@#$=!><"))
        if (test.find(c) != std::string_view::npos) {
            op = c;
            break;
        }
    if (op == 0 && test.find(')') != std::string_view::npos) op = ')';
    if (op == 0) return invalid("Invalid Test Condition: " + std::string(test));

    TTokens fields;
    SplitByCharSet(LowerCase(test), fields, std::string(1, op));
    const std::string& left = fields[0];
    const std::string& right = fields[1];
    if (op == ')') {
        if (left == "(exists") return AssetFileExists(right);
        if (left == "(inherits") {
            // A batch asks about the asset under review, not the one the main window shows.
            BindContext();
            const std::string chain = scriptMode_ && context_ ? context_->Hooks().KindChain() : state_.KindChain;
            return ListContains(right, chain);
        }
        return invalid("Invalid Test Condition: " + std::string(test));
    }

    BindContext();
    const TOutlineNode* node = context_ ? context_->FindNodeByPath(left) : nullptr;
    if (node && node->HasChildren() && op != '@')
        return invalid("Operator cannot be used with a container: " + std::string(test));
    const std::string value = node ? LowerCase(TagValue(node->Text())) : std::string();
    const std::string a = RemoveChars(value, "\"");
    const std::string b = RemoveChars(right, "\"");
    double x = 0, y = 0;
    const bool aNumeric = IsNumber(a, x);
    if (aNumeric && IsNumber(b, y)) {
        switch (op) {
            case '=': return x == y;
            case '!': return x != y;
            case '<': return x < y;
            case '>': return x > y;
            default: return false;
        }
    }
    switch (op) {
        case '@': return node != nullptr;
        case '#': return !value.empty() && value.find('"') == std::string::npos && aNumeric;
        case '$': return !value.empty() && (value.find('"') != std::string::npos || !aNumeric);
        case '=': return WildcardMatch(b, a);
        case '!': return !WildcardMatch(b, a);
        case '<': return a < b;
        case '>': return a > b;
        default: return false;
    }
}

bool TScriptUnit::FindAssetByKuid(std::string_view kuid) {
    return ::kelvarn::FindAssetByKuid(host_.KuidIndex(), kuid, AssetFoundFolder);
}

bool TScriptUnit::AssetFileExists(std::string_view path) {
    BindContext();
    if (IsAbsoluteScriptPath(path)) return !ResolveScriptFile(ReplaceChar(path, '/', '\\')).empty();
    std::vector<std::string> found;
    return ListAssetFiles(state_, assetFolder_, ReplaceChar(path, '/', '\\'), found);
}

bool TScriptUnit::MatchTagAddresses(std::string_view pattern, std::vector<std::string>& list) {
    list.clear();
    BindContext();
    if (!context_ || !context_->Root()) return false;
    std::string full(pattern);
    if (!ContainsText(full, "config.txt")) full = (StartsWith(full, "\\") ? "config.txt" : "config.txt\\") + full;
    const bool containers = EndsWith(full, "\\");
    const std::vector<std::string> parts = SplitString(full, "\\");
    const int level = static_cast<int>(parts.size()) - (containers ? 2 : 1);
    if (level < 1 || level > static_cast<int>(kMaxConfigDepth)) return false;  // no tree is that deep

    std::vector<std::string> names(static_cast<std::size_t>(level) + 1);
    WalkRows(context_->Root(), [&](TOutlineNode* node, int nodeLevel) {
        if (nodeLevel != level || node->HasChildren() != containers) return;
        const TOutlineNode* n = node;
        for (int i = level; i >= 1; --i, n = n->Parent()) names[static_cast<std::size_t>(i)] = n->Name();
        for (int i = 1; i <= level; ++i) {
            const std::string& want = parts[static_cast<std::size_t>(i)];
            const std::string& have = names[static_cast<std::size_t>(i)];
            if (want != have && !WildcardMatch(want, have)) return;
        }
        list.push_back(context_->NodePath(node));
    });
    return !list.empty();
}

// --- dialogs and loops

std::string ScriptCase(ScriptCall& c, std::string_view p2, std::string_view p1) {
    TScriptVars& v = c.vars;
    TScriptUnit& unit = c.unit;
    const int n = LabelNumber(p1);
    if (n == -1) return {};
    if (n != kDialogForm) {
        // The end of the chosen block, or the first label after Cancel: on to -endcase.
        const int end = unit.Labels().NextEndCase(v.LineIndex + 1);
        v.CaseChoice = 0;
        if (v.CaseActive >= 1) --v.CaseActive;
        if (end < 0) return ".Unterminated -Case statement";
        v.LineIndex = end;
        return {};
    }
    if (v.CaseActive >= 1) {
        unit.FailRun();
        return ".Case statements cannot be nested";
    }
    v.CaseActive = 1;
    unit.OptionText = std::string(p1);
    unit.OptionItems.clear();
    int number = 0;
    for (const std::string& option : SplitString(p1, ",")) {
        ++number;
        unit.OptionItems.push_back((number <= 9 ? "&" : "") + std::to_string(number) + ": " + option);
    }
    unit.OptionIndex = 0;
    int chosen = c.host.ChooseOne(std::string(p2), unit.OptionItems);
    if (chosen < 0 || chosen >= static_cast<int>(unit.OptionItems.size())) chosen = -1;
    unit.OptionIndex = chosen;
    v.CaseChoice = chosen + 1;
    if (v.CaseChoice == 0) {
        unit.CancelChoice();
        return {};
    }
    const int label = unit.Labels().NextCaseLabel(v.LineIndex + 1, v.CaseChoice);
    const int choice = v.CaseChoice;
    v.CaseChoice = 0;
    if (label < 0) return ".Case label not found: -Case|" + std::to_string(choice);
    v.LineIndex = label;
    v.CaseActive = std::max(0, v.CaseActive - 1);
    return {};
}

std::string ScriptSelect(ScriptCall& c, std::string_view p2, std::string_view p1) {
    TScriptVars& v = c.vars;
    TScriptUnit& unit = c.unit;
    const int n = LabelNumber(p1);
    if (n == -1) {
        v.SelectActive = 0;
        return {};
    }
    if (n != kDialogForm) {
        // A label reached by running into it: on to the next checked label, or out at -endselect.
        const int end = unit.Labels().NextEndSelect(v.LineIndex);
        const int label = unit.Labels().NextSelectLabel(v.LineIndex, unit.SelectionChecked);
        if (end < 0 && label < 0) {
            v.LineIndex = static_cast<int>(c.lines.size()) - 1;
            v.SelectActive = 0;
            return ".Unterminated -Select statement";
        }
        if (end >= 0 && (label < 0 || end <= label)) {
            v.LineIndex = end;
            v.SelectActive = 0;
        } else {
            v.LineIndex = label;
        }
        return {};
    }
    if (v.SelectActive >= 1) {
        unit.FailRun();
        return ".Select statements cannot be nested";
    }
    v.SelectActive = 1;
    unit.OptionText = std::string(p1);
    unit.SelectionItems = SplitString(p1, ",");
    unit.SelectionChecked.assign(unit.SelectionItems.size(), false);
    if (!c.host.ChooseMany(std::string(p2), unit.SelectionItems, unit.SelectionChecked)) {
        unit.CancelChoice();
        return {};
    }
    unit.SelectionChecked.resize(unit.SelectionItems.size(), false);
    const int label = unit.Labels().NextSelectLabel(v.LineIndex + 1, unit.SelectionChecked);
    if (label < 0) return ".Select label not found";
    v.LineIndex = label;
    return {};
}

std::string ScriptForEach(ScriptCall& c, std::string_view p2, std::string_view p1) {
    TScriptVars& v = c.vars;
    TScriptUnit& unit = c.unit;
    TProgramState& state = unit.State();
    if (v.ForEachActive > 0) return ".Foreach loops cannot be nested";
    v.Items.clear();
    v.SavedSkipDepth = v.SkipDepth;
    v.SavedSkip = v.Skip;
    const std::string argument = ExpandMacros(state, p2);
    const std::string form = LowerCase(p1);
    std::string error;
    if (form == "file") {
        if (!ListAssetFiles(state, c.assetFolder, argument, v.Items)) error = ".No files matching " + argument;
        // The items are full paths, shown by ^V and ^D: written as the system writes paths.
        for (std::string& item : v.Items) item = ShownPath(item);
    } else if (form == "line" || form == "reverse") {
        const std::string name = ExtractFileName(argument);
        std::string folder = ExtractFilePath(argument);
        if (folder.empty())
            folder = c.assetFolder + "\\";
        else if (!IsAbsoluteScriptPath(argument))
            folder = c.assetFolder + "\\" + folder;
        if (name.find_first_of("*?") != std::string::npos) {
            error = ".Wildcards not permitted in this -Foreach form";
        } else if (ResolveScriptFile(folder + name).empty()) {
            error = ".File not found: " + ShownPath(folder + name);
        } else if (std::string fault = ReadLinesFile(folder + name, v.Items); !fault.empty()) {
            error = "." + fault;
        } else if (form == "reverse") {
            std::reverse(v.Items.begin(), v.Items.end());
        }
    } else if (form == "tag") {
        if (!unit.MatchTagAddresses(argument, v.Items)) error = ".No tags matching " + argument;
    } else if (form == "option") {
        TTokens options;
        const int count = std::min(SplitByCharSet(argument, options, ",;"), kMaxTokens - 1);
        v.Items.assign(options.begin(), options.begin() + count);
        if (v.Items.front().empty()) error = ".Option list empty or incorrectly formatted";
    } else if (form == "number") {
        ParseOptionList(argument, v.Items, error);
    } else {
        error = ".Unrecognised parameter to foreach: " + std::string(p1);
    }
    v.ItemCount = static_cast<std::int32_t>(v.Items.size());
    if (error.empty() && !v.Items.empty()) {
        v.ForEachLine = v.LineIndex;
        v.ItemIndex = 0;
        ++v.ForEachActive;
        return {};
    }
    // No items (an empty list file says nothing): the body is skipped.
    v.Items.clear();
    const int end = unit.Labels().NextEndFor(v.LineIndex + 1);
    if (end >= 0) {
        v.LineIndex = end;
        return error;
    }
    return TrimLeadingBreaks(error + "\r\n\t.-EndFor statement not found");
}

std::string ScriptEndFor(ScriptCall& c) {
    TScriptVars& v = c.vars;
    if (v.ForEachActive <= 0) return {};  // no loop is open: nothing to go back to
    ++v.ItemIndex;
    if (v.ItemIndex >= static_cast<int>(v.Items.size())) {
        v.ItemIndex = 0;
        --v.ForEachActive;
        v.Items.clear();
    } else {
        v.LineIndex = v.ForEachLine;
    }
    return {};
}

std::string ScriptBreak(ScriptCall& c) {
    TScriptVars& v = c.vars;
    if (v.ForEachActive <= 0) return ".-Break only valid in -Foreach";
    v.ForEachActive = 0;
    v.Items.clear();
    v.ItemIndex = 0;
    v.SkipDepth = v.SavedSkipDepth;
    v.Skip = v.SavedSkip;
    const int end = c.unit.Labels().NextEndFor(v.LineIndex + 1);
    if (end < 0) return ".-EndFor statement not found";
    v.LineIndex = end;
    return {};
}

void RegisterFlowCommands(TScriptCommands& commands) {
    for (int command : {scIf, scIfNot, scIfQuery, scIfAsset, scIfMatches, scIfThumbnail}) commands.Register(command, IfCommand);
    commands.Register(scElse, ElseCommand);
    commands.Register(scEndIf, EndIfCommand);
    commands.Register(scExit, ExitCommand);
    commands.Register(scCondition, ConditionCommand);
    commands.Register(scCase, [](ScriptCall& c) { return ScriptCase(c, c.p[2], c.p[1]); });
    commands.Register(scEndCase, [](ScriptCall& c) { return ScriptCase(c, {}, "-1"); });
    commands.Register(scSelect, [](ScriptCall& c) { return ScriptSelect(c, c.p[2], c.p[1]); });
    commands.Register(scEndSelect, [](ScriptCall& c) { return ScriptSelect(c, {}, "-1"); });
    commands.Register(scForEach, [](ScriptCall& c) { return ScriptForEach(c, c.p[2], c.p[1]); });
    commands.Register(scEndFor, ScriptEndFor);
    commands.Register(scBreak, ScriptBreak);
}

}  // namespace kelvarn
