// The checks of a tag's value by its format. Each takes the value as stored in the config (quotes
// included) and returns the fault as a message, empty when the value is good.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelvarn {

std::string CheckQuotedString(std::string_view value);
std::string CheckKuid(std::string_view value);
std::string CheckBool(std::string_view value);
// `elements`: the number of comma-separated parts the format asks for.
std::string CheckInt(std::string_view value, std::int32_t elements);
std::string CheckFloat(std::string_view value, std::int32_t elements);
std::string CheckFloatList(std::string_view value);
std::string CheckColour(std::string_view value, std::int32_t elements);

// The name an option line gives: the line up to its first blank or "=" ("2.9=2009" gives "2.9").
std::string_view OptionName(std::string_view line);
// The names of option lines, in lower case, sorted.
std::vector<std::string> OptionNames(const std::vector<std::string>& lines);
// Does a value (without quotes) name one of the options, ignoring case? An empty value never does.
bool IsOptionName(std::string_view value, const std::vector<std::string>& sortedNames);
bool MatchesOption(std::string_view value, const std::vector<std::string>& options);
// One ";"-separated item of a set value.
bool MatchSetItems(std::string_view item, const std::vector<std::string>& options);

}  // namespace kelvarn
