#include "validation/ScriptMemoryCommands.h"

#include <cmath>
#include <numbers>

#include "catalogue/OutlineDocument.h"
#include "shell/MemIni.h"
#include "shell/Mesh.h"
#include "shell/ProgramState.h"
#include "shell/Strings.h"
#include "shell/Text.h"
#include "validation/ScriptConfigCommands.h"
#include "validation/ScriptUnit.h"
#include "validation/ScriptVars.h"

namespace kelvarn {

namespace {

constexpr std::string_view kNoWildcards = ".Wildcards not permitted in this method";

std::string NoBlanks(std::string_view text) { return RemoveChars(text, " \t"); }

// Applies one operator; the message for a division by zero or a result out of range.
std::string Apply(char op, double& value, double operand) {
    switch (op) {
        case '+': value += operand; break;
        case '-': value -= operand; break;
        case '*': value *= operand; break;
        default:
            if (operand == 0) return ".Division by zero";
            value /= operand;
            break;
    }
    return std::isfinite(value) ? std::string() : std::string(".Numeric overflow");
}

std::string BadLocation(std::string_view text) {
    if (!text.empty() && text[0] == '^') text.remove_prefix(1);
    return ".Invalid memory location specified: ^" + std::string(text);
}

// Expands a parameter's variables; false after an error, which ExpandVariables has reported.
bool Expand(ScriptCall& c, std::string& text) { return c.unit.ExpandVariables(text, c.vars).empty(); }

std::string Store(ScriptCall& c) {
    const int at = MemoryLocation(c.p[1]);
    if (at < 0) return BadLocation(c.p[1]);
    std::string value = Trim(c.p[2]);
    if (!Expand(c, value)) return {};
    if (HasWildcard(value)) return std::string(kNoWildcards);
    c.vars.Memory[static_cast<std::size_t>(at)] = std::move(value);
    return {};
}

std::string Restore(ScriptCall& c) {
    const int at = MemoryLocation(c.p[1]);
    if (at < 0) return BadLocation(c.p[1]);
    const std::string value = JoinValueFields(c, c.vars.Memory[static_cast<std::size_t>(at)], 3);
    const std::string& address = c.p[2];
    if (HasWildcard(value)) return std::string(kNoWildcards);
    if (address.find('^') != std::string::npos) return ".Script variables not permitted in destination parameter";
    if (EndsWith(address, "\\")) return ".Address specified is a container: " + address;
    return ScriptUpdateValue(c, address, value);
}

std::string Save(ScriptCall& c) {
    const int at = MemoryLocation(c.p[1]);
    if (at < 0) return BadLocation(c.p[1]);
    std::string address = Trim(c.p[2]);
    if (!Expand(c, address)) return {};
    if (HasWildcard(address)) return std::string(kNoWildcards);
    if (EndsWith(address, "\\")) return ".Address specified is a container: " + address;
    const TOutlineNode* node = c.config && !address.empty() ? c.config->FindNodeByPath(address) : nullptr;
    if (!node || node == c.config->Root()) return ".Unable to retrieve value from: " + address;
    c.vars.Memory[static_cast<std::size_t>(at)] = RemoveChars(TagValue(node->Text()), "\"");
    return {};
}

std::string Combine(ScriptCall& c) {
    const int at = MemoryLocation(c.p[1]);
    if (at < 0) return BadLocation(c.p[1]);
    std::string text = c.p[2];
    if (!Expand(c, text)) return {};
    c.vars.Memory[static_cast<std::size_t>(at)] = CutUtf8(text, kMaxParameterBytes);
    return {};
}

std::string Compute(ScriptCall& c) {
    const std::string location = NoBlanks(c.p[1]);
    const std::string expression = NoBlanks(c.p[2]);
    if (location.empty() || expression.empty()) return ".Parameter Empty";
    const int at = MemoryLocation(location);
    if (at < 0) return ".Storage location incorrectly specified";
    std::string result;
    bool expansionFailed = false;
    const std::string message = ComputeExpression(expression, result, [&](std::string& operand) {
        operand = Trim(operand);
        expansionFailed = !Expand(c, operand);
        return !expansionFailed;
    });
    if (expansionFailed) return {};
    if (message.empty()) c.vars.Memory[static_cast<std::size_t>(at)] = result;
    return message;
}

std::string Tokens(ScriptCall& c) {
    std::string message;
    if (c.p[1].empty()) message = ".No source data";
    if (c.p[2].empty()) message = ".Delimeter(s) not specified";
    if (!message.empty()) return message;
    TTokens tokens;
    // SplitByCharSet's 26 means "more than 25": only 25 are stored.
    const int count = std::min(SplitByCharSet(c.p[1], tokens, c.p[2]), kMaxTokens - 1);
    c.vars.Memory[0] = std::to_string(count);
    for (int i = 1; i < kMemoryLocations; ++i)
        c.vars.Memory[static_cast<std::size_t>(i)] = i <= count ? tokens[static_cast<std::size_t>(i - 1)] : std::string();
    return {};
}

// A field as the line has it, before variables were expanded into it.
std::string RawField(const ScriptCall& c, int n) {
    TTokens fields;
    SplitByCharSet(Trim(c.lines[static_cast<std::size_t>(c.vars.LineIndex)]), fields, "|");
    return n < kMaxTokens ? Trim(fields[static_cast<std::size_t>(n)]) : std::string();
}

std::string IniRead(ScriptCall& c) {
    // The location is a digit as written: "^1" names no location, whatever memory 1 holds.
    if (RawField(c, 1).find('^') != std::string::npos) c.p[1] = RawField(c, 1);
    std::string message;
    if (c.p[2].empty()) message = ".INI file section parameter undefined";
    if (c.p[3].empty()) message = ".INI file key parameter undefined";
    if (c.p[1].empty()) message = ".Storage location undefined";
    else if (c.p[1].size() != 1 || c.p[1][0] < '0' || c.p[1][0] > '9') message = ".Storage location invalid";
    if (!message.empty()) return message;
    c.vars.Memory[static_cast<std::size_t>(c.p[1][0] - '0')] = c.unit.State().Settings().ReadString(c.p[2], c.p[3], "");
    return {};
}

std::string PointRead(ScriptCall& c) {
    // Without an asset folder nothing is searched: the folder would be the file system's root.
    c.vars.PointData = c.assetFolder.empty() ? std::string() : CutUtf8(FindAttachment(c.assetFolder, c.p[1]), kPointDataChars);
    if (c.vars.PointData.empty()) return ".Attachment not found: " + c.p[1];
    return {};
}

std::string PointTag(ScriptCall& c, bool rotation) {
    const std::string syntax = rotation ? ".Syntax error in -PointRotation" : ".Syntax error in -PointPosition";
    if (c.vars.PointData.empty()) return ".No attachment data in memory";
    if (c.p[2].empty() || c.p[3].empty() || c.p[4].empty()) return ".Error in parameter specification";
    std::string value;
    for (int i = 2; i <= 4; ++i) {
        std::string one;
        const std::string message = EvaluatePointExpression(c.p[static_cast<std::size_t>(i)], c.vars.PointData, rotation, one);
        if (message == "syntax") return syntax;
        if (!message.empty()) return message;
        value += (i == 2 ? "" : ",") + one;
    }
    std::string address = c.p[1];
    if (!Expand(c, address)) return {};
    if (HasWildcard(address)) return std::string(kNoWildcards);
    if (!c.config || !c.config->Root()) return {};
    if (const TOutlineNode* node = c.config->SetTagByPath(address, value)) c.config->MakeVisible(node);
    return {};
}

}  // namespace

int MemoryLocation(std::string_view text) {
    if (!text.empty() && text[0] == '^') text.remove_prefix(1);
    if (text.size() != 1 || text[0] < '0' || text[0] > '9') return -1;
    return text[0] - '0';
}

std::string CutUtf8(std::string_view text, std::size_t limit) {
    if (text.size() <= limit) return std::string(text);
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return std::string(text.substr(0, end));
}

std::string ComputeExpression(std::string_view expression, std::string& result,
                              const std::function<bool(std::string&)>& expand) {
    constexpr std::string_view kOperators = "+-*/";
    TTokens operands;
    const int count = std::min(SplitByCharSet(expression, operands, kOperators), kMaxTokens - 1);
    double values[kMaxTokens] = {};
    for (int i = 0; i < count; ++i) {
        std::string& operand = operands[static_cast<std::size_t>(i)];
        if (operand.find('^') != std::string::npos && !expand(operand)) return {};
        if (!TryParseDouble(operand, values[i])) return ".Operand is not numeric " + operand;
    }
    double value = values[0];
    std::size_t at = 0;
    for (int i = 1; i < count; ++i) {
        at = expression.find_first_of(kOperators, at);
        const std::string message = Apply(expression[at++], value, values[i]);
        if (!message.empty()) return message;
    }
    result = FormatG(value, 4);
    return {};
}

std::string EvaluatePointExpression(std::string_view expression, std::string_view pointData, bool rotation,
                                    std::string& result) {
    const std::string e = NoBlanks(expression);
    double value = 0;
    if (!TryParseDouble(e, value)) {
        std::string_view rest = e;
        if (!rest.empty() && rest[0] == '^') rest.remove_prefix(1);
        const std::size_t axis = rest.empty() ? std::string_view::npos : std::string_view(rotation ? "xyz" : "XYZ").find(rest[0]);
        if (axis == std::string_view::npos) return "syntax";
        TTokens fields;
        SplitByCharSet(pointData, fields, ",");
        if (!TryParseDouble(fields[axis + (rotation ? 3 : 0)], value)) return "syntax";
        rest.remove_prefix(1);
        if (!rest.empty()) {
            double operand = 0;
            if (rest.size() < 2 || std::string_view("*+-/").find(rest[0]) == std::string_view::npos ||
                !TryParseDouble(rest.substr(1), operand))
                return "syntax";
            const std::string message = Apply(rest[0], value, operand);
            if (!message.empty()) return message;
        }
    }
    if (rotation) value *= std::numbers::pi / 180;
    result = FormatG(value, rotation ? 6 : 4);
    // A whole number is written as one ("0.0"); an exponent form stays as it is.
    const std::string_view digits = !result.empty() && result[0] == '-' ? std::string_view(result).substr(1) : result;
    if (!digits.empty() && digits.find_first_not_of("0123456789") == std::string_view::npos) result += ".0";
    return {};
}

void RegisterMemoryCommands(TScriptCommands& commands) {
    commands.Register(38, Tokens);
    commands.Register(64, IniRead);
    commands.Register(70, PointRead);
    commands.Register(71, [](ScriptCall& c) { return PointTag(c, false); });
    commands.Register(72, [](ScriptCall& c) { return PointTag(c, true); });
    commands.Register(73, Combine);
    commands.Register(74, Compute);
    commands.Register(75, Store);
    commands.Register(76, Restore);
    commands.Register(77, Save);
}

}  // namespace kelvarn
