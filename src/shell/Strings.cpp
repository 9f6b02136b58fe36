#include "shell/Strings.h"

#include <algorithm>
#include <cstdio>

#include "shell/Text.h"

namespace kelvarn {

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::size_t NameEnd(std::string_view trimmed) {
    const auto it = std::find_if(trimmed.begin(), trimmed.end(), IsBlank);
    return static_cast<std::size_t>(it - trimmed.begin());
}
}  // namespace

std::string TagName(std::string_view line) {
    std::string t = Trim(line);
    const std::size_t end = NameEnd(t);
    // A text without a blank is a container's name, which keeps its spelling.
    if (end == t.size()) return t;
    return LowerCase(Trim(std::string_view(t).substr(0, end)));
}

std::string TagValue(std::string_view line) {
    const std::string t = Trim(line);
    if (t.find_first_not_of('"') == std::string::npos) return {};
    const std::size_t end = NameEnd(t);
    if (end + 1 >= t.size()) return {};
    return t.substr(end + 1);
}

std::string TagValueUnquoted(std::string_view line) { return Unquote(TagValue(line)); }

void SplitTag(std::string_view line, std::string& name, std::string& value) {
    const std::string t = Trim(line);
    name = TagName(t);
    const std::size_t end = NameEnd(t);
    value = t.size() > end + 1 ? t.substr(end + 1) : std::string();
}

std::string QuoteValue(std::string_view text) { return "\"" + Unquote(text) + "\""; }

std::string Unquote(std::string_view text) { return RemoveChars(text, "\""); }

std::string RemoveChars(std::string_view text, std::string_view chars) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (chars.find(c) == std::string_view::npos) out.push_back(c);
    return out;
}

std::string ReplaceChar(std::string_view text, char from, char to) {
    std::string out(text);
    std::replace(out.begin(), out.end(), from, to);
    return out;
}

std::string EnsureTrailingChar(char c, std::string_view text) {
    std::string out(text);
    if (out.empty() || out.back() != c) out.push_back(c);
    return out;
}

std::string TrimChar(std::string_view text, char c) {
    std::size_t b = 0, e = text.size();
    while (b < e && text[b] == c) ++b;
    while (e > b && text[e - 1] == c) --e;
    return std::string(text.substr(b, e - b));
}

std::string ZeroPad(std::string_view text, std::size_t width) {
    std::string out(text);
    if (out.size() < width) out.insert(0, width - out.size(), '0');
    return out;
}

bool ListContains(std::string_view item, std::string_view list) {
    if (item.empty() || list.empty()) return false;
    auto wrap = [](std::string_view s) {
        std::string w(s);
        if (w.front() != ',') w.insert(w.begin(), ',');
        if (w.back() != ',') w.push_back(',');
        return LowerCase(w);
    };
    return wrap(list).find(wrap(item)) != std::string::npos;
}

int SplitByCharSet(std::string_view text, TTokens& tokens, std::string_view charSet) {
    for (auto& t : tokens) t.clear();
    int count = 1;
    const bool asciiSet = std::all_of(charSet.begin(), charSet.end(),
                                      [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (asciiSet) {
        // ASCII separators never occur inside a multi-byte character, so bytes are safe here.
        for (char c : text) {
            if (charSet.find(c) != std::string_view::npos) {
                if (++count == kMaxTokens) break;
            } else {
                tokens[count - 1].push_back(c);
            }
        }
        return count;
    }
    const std::u32string set = ToCodePoints(charSet);
    const std::u32string points = ToCodePoints(text);
    for (char32_t c : points) {
        if (set.find(c) != std::u32string::npos) {
            if (++count == kMaxTokens) break;
        } else {
            AppendUtf8(tokens[count - 1], c);
        }
    }
    return count;
}

bool WildcardMatch(std::string_view pattern, std::string_view text) {
    if (pattern == "*") return true;
    if (pattern.empty() || text.empty()) return false;
    std::size_t pi = 0, ti = 0, star = std::string_view::npos, mark = 0;
    while (ti < text.size()) {
        if (pi < pattern.size() && (pattern[pi] == '?' || pattern[pi] == text[ti])) {
            ++pi, ++ti;
        } else if (pi < pattern.size() && pattern[pi] == '*') {
            star = pi++;
            mark = ti;
        } else if (star != std::string_view::npos) {
            pi = star + 1;
            ti = ++mark;
        } else {
            return false;
        }
    }
    while (pi < pattern.size() && pattern[pi] == '*') ++pi;
    return pi == pattern.size();
}

std::optional<TColor> HexToColor(std::string_view text) {
    std::string_view s = text;
    if (!s.empty() && s.front() == '#') s.remove_prefix(1);
    if (s.empty() || s.size() > 8) return std::nullopt;
    std::uint32_t v = 0;
    for (char c : s) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return std::nullopt;
        v = (v << 4) | static_cast<std::uint32_t>(d);
    }
    const std::uint32_t r = (v >> 16) & 0xFF, g = (v >> 8) & 0xFF, b = v & 0xFF;
    return r | (g << 8) | (b << 16);
}

std::string ColorToHex(TColor colour) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02X%02X%02X", colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
    return buf;
}

std::size_t ReadCsvField(std::string_view line, std::size_t at, std::string& out) {
    // Runs are appended at once: tables hand over thousands of rows.
    const std::size_t n = line.size();
    std::size_t i = at;
    if (i < n && line[i] == '"') {
        // Quoted: "" is a quote, a lone one closes.
        for (std::size_t run = i + 1;;) {
            const std::size_t quote = line.find('"', run);
            if (quote == std::string_view::npos) {
                out.append(line.substr(run));
                i = n;
                break;
            }
            out.append(line.substr(run, quote - run));
            if (quote + 1 < n && line[quote + 1] == '"') {
                out += '"';
                run = quote + 2;
                continue;
            }
            i = quote + 1;
            break;
        }
    }
    std::size_t end = i;
    while (end < n && line[end] != ',') ++end;
    if (end > i) out.append(line.substr(i, end - i));
    return end == n ? std::string_view::npos : end + 1;
}

namespace {

// The fields of a line into `fields` from index `first` on: strings already there are written over,
// keeping their memory, and those left over are dropped.
void CsvFieldsFrom(std::string_view line, std::vector<std::string>& fields, std::size_t first) {
    std::size_t count = first;
    for (std::size_t at = 0; at != std::string_view::npos; ++count) {
        std::string& field = count < fields.size() ? fields[count] : fields.emplace_back();
        field.clear();
        at = ReadCsvField(line, at, field);
    }
    fields.resize(count);
}

}  // namespace

void AppendCsvFields(std::string_view line, std::vector<std::string>& fields) { CsvFieldsFrom(line, fields, fields.size()); }

void ReadCsvFields(std::string_view line, std::vector<std::string>& fields) { CsvFieldsFrom(line, fields, 0); }

std::vector<std::string> SplitCsvLine(std::string_view line) {
    std::vector<std::string> fields;
    AppendCsvFields(line, fields);
    return fields;
}

void AppendCsvField(std::string& out, std::string_view field) {
    out += '"';
    for (std::size_t quote; (quote = field.find('"')) != std::string_view::npos; field.remove_prefix(quote + 1)) {
        out.append(field.substr(0, quote + 1));
        out += '"';
    }
    out.append(field);
    out += '"';
}

std::string QuoteCsvField(std::string_view field) {
    std::string out;
    out.reserve(field.size() + 2);
    AppendCsvField(out, field);
    return out;
}

std::string JoinCsvLine(const std::vector<std::string>& fields, bool quoteEmpty) {
    std::string out;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i) out += ',';
        if (quoteEmpty || !fields[i].empty()) AppendCsvField(out, fields[i]);
    }
    return out;
}

}  // namespace kelvarn
