// Small text helpers shared by every subsystem: config lines, token splitting, wildcards, colours.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvarn {

// Config lines: a tag name, a blank, a value.
std::string TagName(std::string_view line);            // trimmed, lower case; a blank-less text as it is
std::string TagValue(std::string_view line);           // quotes kept
std::string TagValueUnquoted(std::string_view line);   // every double quote removed
void SplitTag(std::string_view line, std::string& name, std::string& value);
std::string QuoteValue(std::string_view text);         // inner quotes removed, quoted exactly once
std::string Unquote(std::string_view text);
std::string RemoveChars(std::string_view text, std::string_view chars);
std::string ReplaceChar(std::string_view text, char from, char to);
std::string EnsureTrailingChar(char c, std::string_view text);
std::string TrimChar(std::string_view text, char c);
std::string ZeroPad(std::string_view text, std::size_t width);

// Is `item` one of the comma list's entries (ignoring case)? False when either is empty.
bool ListContains(std::string_view item, std::string_view list);

// One line of comma-separated fields. Fields split at commas outside double quotes; a field that
// starts with a quote may hold commas and "" for a quote, and text after its closing quote is kept;
// blanks stay. A line always has at least one field.
std::vector<std::string> SplitCsvLine(std::string_view line);
void AppendCsvFields(std::string_view line, std::vector<std::string>& fields);
// The line's fields in place of what `fields` held, reusing its strings' memory from row to row.
void ReadCsvFields(std::string_view line, std::vector<std::string>& fields);
// The field that starts at `at`, as SplitCsvLine reads it, added to `out`; returns where the next
// field starts, or npos after the line's last.
std::size_t ReadCsvField(std::string_view line, std::size_t at, std::string& out);
// The field between double quotes, inner quotes doubled, so SplitCsvLine gives it back.
std::string QuoteCsvField(std::string_view field);
void AppendCsvField(std::string& out, std::string_view field);
// The fields joined by ","; every field quoted, or (quoteEmpty false) only the non-empty ones.
std::string JoinCsvLine(const std::vector<std::string>& fields, bool quoteEmpty = true);

// Tokens of SplitByCharSet: 25 usable entries and a 26th that exists (always empty) for the count of
// 26, so no caller reads past the end.
inline constexpr int kMaxTokens = 26;
using TTokens = std::array<std::string, kMaxTokens>;

// Splits at every character (not byte) of `charSet`; consecutive separators give empty tokens. Returns
// the number of separators met plus one, and stops at 26 (the rest of the text is dropped).
int SplitByCharSet(std::string_view text, TTokens& tokens, std::string_view charSet);

// "*" any run, "?" any one character, others exact (case matters); "*" alone matches everything.
bool WildcardMatch(std::string_view pattern, std::string_view text);

// A Windows colour value: red in the low byte ($00BBGGRR).
using TColor = std::uint32_t;
// "#RRGGBB" (the "#" optional) to a colour; no colour for text that is no hexadecimal number.
std::optional<TColor> HexToColor(std::string_view text);
// "#RRGGBB", upper case.
std::string ColorToHex(TColor colour);

}  // namespace kelvarn
