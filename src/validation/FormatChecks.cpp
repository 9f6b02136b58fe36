#include "validation/FormatChecks.h"

#include <algorithm>
#include <limits>

#include "shell/Strings.h"
#include "shell/Text.h"

namespace kelvarn {

namespace {

bool HasQuote(std::string_view value) { return value.find('"') != std::string_view::npos; }

// A 32-bit decimal integer, blanks around it allowed.
bool ReadInt32(std::string_view text, long long& value) {
    const std::string t = Trim(text);
    std::string_view digits = t;
    if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) digits.remove_prefix(1);
    if (digits.empty() || digits.size() > 10 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    long long v = 0;
    for (const char c : digits) v = v * 10 + (c - '0');
    if (t.front() == '-') v = -v;
    if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max()) return false;
    value = v;
    return true;
}

bool IsInt32(std::string_view text) {
    long long v = 0;
    return ReadInt32(text, v);
}

bool IsFloat(std::string_view text) {
    double v = 0;
    return TryParseDouble(text, v);
}

bool IsNonZeroInt32(std::string_view text) {
    long long v = 0;
    return ReadInt32(text, v) && v != 0;
}

// The checks of int and float lists: no quotes, `elements` parts, each of the type.
std::string CheckNumbers(std::string_view value, std::int32_t elements, bool (*isNumber)(std::string_view),
                         std::string_view quotedMessage, std::string_view invalidMessage) {
    if (value.empty()) return "No value supplied";
    if (HasQuote(value)) return std::string(quotedMessage);
    const std::vector<std::string> parts = SplitString(value, ",");
    if (parts.size() != static_cast<std::size_t>(elements))
        return "Incorrect number of elements (" + std::to_string(elements) + ")";
    for (const std::string& part : parts)
        if (!isNumber(part)) return std::string(invalidMessage);
    return {};
}

}  // namespace

std::string CheckQuotedString(std::string_view value) {
    const std::size_t quotes = static_cast<std::size_t>(std::count(value.begin(), value.end(), '"'));
    if (quotes == 0) return "Value is not quoted";
    if (quotes == 1) {
        if (value.front() == '"') return "Closing quote missing";
        if (value.back() == '"') return "Opening quote missing";
        return "Value has embedded quotes";
    }
    if (quotes == 2 && value.front() == '"' && value.back() == '"') return {};
    return "Value has embedded quotes";
}

std::string CheckKuid(std::string_view value) {
    if (value.empty()) return "No value supplied";
    if (HasQuote(value)) return "Kuid values must not be quoted";
    TTokens parts;
    const int count = SplitByCharSet(value, parts, ":<>");
    bool valid = false;
    if (count == 3) {
        valid = value == "<nullkuid>";
    } else if (count == 5 || count == 6) {
        // The simulator reads the KUID word in any case, and version 0 of a kuid2 is the plain KUID:
        // published assets write both.
        const bool kuid2 = count == 6;
        valid = value.front() == '<' && value.back() == '>' && SameText(parts[1], kuid2 ? "kuid2" : "kuid") &&
                IsNonZeroInt32(parts[2]) && IsNonZeroInt32(parts[3]) && (!kuid2 || IsInt32(parts[4]));
    }
    return valid ? std::string() : "Invalid kuid format";
}

std::string CheckBool(std::string_view value) {
    long long v = -1;
    const bool invalid = !ReadInt32(RemoveChars(value, "\""), v) || (v != 0 && v != 1);
    const bool quoted = HasQuote(value);
    if (invalid && quoted) return "Invalid boolean format, Boolean values must not be quoted";
    if (invalid) return "Invalid boolean format";
    if (quoted) return "Boolean values must not be quoted";
    return {};
}

std::string CheckInt(std::string_view value, std::int32_t elements) {
    return CheckNumbers(value, elements, IsInt32, "Integer values must not be quoted", "Invalid integer format");
}

std::string CheckFloat(std::string_view value, std::int32_t elements) {
    return CheckNumbers(value, elements, IsFloat, "Floating point values must not be quoted",
                        "Invalid floating point format");
}

std::string CheckFloatList(std::string_view value) {
    if (HasQuote(value)) return "Floating point values must not be quoted";
    for (const std::string& part : SplitString(value, ","))
        if (!IsFloat(part)) return "Invalid floating point format";
    return {};
}

std::string CheckColour(std::string_view value, std::int32_t elements) {
    if (HasQuote(value)) return "Colour values must not be quoted";
    const std::vector<std::string> parts = SplitString(value, ",");
    if (parts.size() != static_cast<std::size_t>(elements)) return "Incorrect number of elements";
    for (const std::string& part : parts) {
        long long v = -1;
        if (!ReadInt32(part, v) || v < 0 || v > 255) return "Colour elements should be between 0 and 255";
    }
    return {};
}

std::string_view OptionName(std::string_view line) {
    while (!line.empty() && static_cast<unsigned char>(line.front()) <= ' ') line.remove_prefix(1);
    return line.substr(0, line.find_first_of(" =\t"));
}

std::vector<std::string> OptionNames(const std::vector<std::string>& lines) {
    std::vector<std::string> names;
    names.reserve(lines.size());
    for (const std::string& line : lines) names.push_back(LowerCase(OptionName(line)));
    std::sort(names.begin(), names.end());
    return names;
}

bool IsOptionName(std::string_view value, const std::vector<std::string>& sortedNames) {
    return !value.empty() && std::binary_search(sortedNames.begin(), sortedNames.end(), LowerCase(value));
}

bool MatchesOption(std::string_view value, const std::vector<std::string>& options) {
    return IsOptionName(value, OptionNames(options));
}

bool MatchSetItems(std::string_view item, const std::vector<std::string>& options) {
    return MatchesOption(item, options);
}

}  // namespace kelvarn
