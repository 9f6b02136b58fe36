#include "shell/Text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>

namespace kelvarn {

namespace {

// Windows-1252 bytes 0x80-0x9F; the five undefined bytes map to the C1 controls of the same value so
// that they survive a round trip.
constexpr std::array<char32_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool IsAscii(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Decodes one code point at `i`, advancing it; invalid sequences yield U+FFFD and one byte.
char32_t NextPoint(std::string_view s, std::size_t& i) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    int extra = 0;
    char32_t cp = 0;
    if ((b0 & 0xE0) == 0xC0) {
        extra = 1;
        cp = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2;
        cp = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3;
        cp = b0 & 0x07;
    } else {
        ++i;
        return 0xFFFD;
    }
    if (i + extra >= s.size()) {
        ++i;
        return 0xFFFD;
    }
    for (int k = 1; k <= extra; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    i += extra + 1;
    return cp;
}

char32_t LowerPoint(char32_t c) {
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
    if (c == 0x178) return 0xFF;
    if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return (c % 2 == 0) ? c + 1 : c;
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c % 2 == 1) ? c + 1 : c;
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 0x20;  // Greek
    if (c >= 0x410 && c <= 0x42F) return c + 0x20;                 // Cyrillic
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;
    return c;
}

char32_t UpperPoint(char32_t c) {
    if (c < 0x80) return (c >= 'a' && c <= 'z') ? c - 32 : c;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
    if (c == 0xFF) return 0x178;
    if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return (c % 2 == 1) ? c - 1 : c;
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c % 2 == 0) ? c - 1 : c;
    if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return c - 0x20;
    if (c >= 0x430 && c <= 0x44F) return c - 0x20;
    if (c >= 0x450 && c <= 0x45F) return c - 0x50;
    return c;
}

template <typename Map>
std::string MapCase(std::string_view text, Map map, char lo, char hi, int delta) {
    // ASCII, the usual case, is mapped in one pass without a branch per byte; a byte beyond it sends
    // the text the long way.
    std::string out(text);
    unsigned bits = 0;
    const auto range = static_cast<unsigned char>(hi - lo);
    for (char& c : out) {
        const auto u = static_cast<unsigned char>(c);
        bits |= u;
        c = static_cast<char>(static_cast<unsigned char>(u - static_cast<unsigned char>(lo)) <= range ? u + delta : u);
    }
    if (bits < 0x80) return out;
    out.clear();
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t start = i;
        const char32_t cp = NextPoint(text, i);
        if (cp == 0xFFFD && i == start + 1 && static_cast<unsigned char>(text[start]) >= 0x80) {
            out.push_back(text[start]);  // keep a stray byte as it is
            continue;
        }
        AppendUtf8(out, map(cp));
    }
    return out;
}

bool IsTrimmed(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

bool IsAsciiText(std::string_view bytes) { return IsAscii(bytes); }

bool Utf16ToUtf8(std::string_view bytes, bool bigEndian, std::string& utf8) {
    utf8.clear();
    if (bytes.size() % 2 != 0) return false;
    utf8.reserve(bytes.size());
    const auto unit = [&](std::size_t i) -> char32_t {
        const auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
        return bigEndian ? (char32_t{a} << 8) | b : (char32_t{b} << 8) | a;
    };
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        char32_t cp = unit(i);
        if (cp >= 0xDC00 && cp <= 0xDFFF) return false;
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            if (i + 2 >= bytes.size()) return false;
            const char32_t low = unit(i + 2);
            if (low < 0xDC00 || low > 0xDFFF) return false;
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        }
        AppendUtf8(utf8, cp);
    }
    return true;
}

std::string Utf8ToUtf16(std::string_view utf8, bool bigEndian) {
    std::string out;
    out.reserve(utf8.size() * 2);
    const auto put = [&](char32_t u) {
        const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
        out.push_back(bigEndian ? hi : lo);
        out.push_back(bigEndian ? lo : hi);
    };
    std::size_t i = 0;
    while (i < utf8.size()) {
        const char32_t cp = NextPoint(utf8, i);
        if (cp >= 0x10000) {
            put(0xD800 + ((cp - 0x10000) >> 10));
            put(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            put(cp);
        }
    }
    return out;
}

bool IsValidUtf8(std::string_view s) {
    std::size_t i = 0;
    const std::size_t n = s.size();
    while (i < n) {
        // Most text is ASCII: 32 bytes at a time while no high bit is set, then eight.
        std::uint64_t word;
        if (i + 4 * sizeof word <= n) {
            std::uint64_t words[4];
            std::memcpy(words, s.data() + i, sizeof words);
            if (((words[0] | words[1] | words[2] | words[3]) & 0x8080808080808080ull) == 0) {
                i += sizeof words;
                continue;
            }
        }
        if (i + sizeof word <= n) {
            std::memcpy(&word, s.data() + i, sizeof word);
            if ((word & 0x8080808080808080ull) == 0) {
                i += sizeof word;
                continue;
            }
        }
        const auto b0 = static_cast<unsigned char>(s[i]);
        if (b0 < 0x80) {
            ++i;
            continue;
        }
        int extra;
        char32_t min;
        char32_t cp;
        if ((b0 & 0xE0) == 0xC0) {
            extra = 1, min = 0x80, cp = b0 & 0x1F;
        } else if ((b0 & 0xF0) == 0xE0) {
            extra = 2, min = 0x800, cp = b0 & 0x0F;
        } else if ((b0 & 0xF8) == 0xF0) {
            extra = 3, min = 0x10000, cp = b0 & 0x07;
        } else {
            return false;
        }
        if (n - i <= static_cast<std::size_t>(extra)) return false;
        for (int k = 1; k <= extra; ++k) {
            const auto b = static_cast<unsigned char>(s[i + k]);
            if ((b & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (b & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += extra + 1;
    }
    return true;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::string Windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80)
            out.push_back(c);
        else if (b < 0xA0)
            AppendUtf8(out, kCp1252High[b - 0x80]);
        else
            AppendUtf8(out, b);
    }
    return out;
}

bool Utf8ToWindows1252(std::string_view utf8, std::string& out) {
    out.clear();
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const char32_t cp = NextPoint(utf8, i);
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
            out.push_back(static_cast<char>(cp));
            continue;
        }
        const auto it = std::find(kCp1252High.begin(), kCp1252High.end(), cp);
        if (it == kCp1252High.end()) return false;
        out.push_back(static_cast<char>(0x80 + (it - kCp1252High.begin())));
    }
    return true;
}

std::u32string ToCodePoints(std::string_view utf8) {
    std::u32string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) out.push_back(NextPoint(utf8, i));
    return out;
}

std::string FromCodePoints(std::u32string_view points) {
    std::string out;
    out.reserve(points.size());
    for (char32_t c : points) AppendUtf8(out, c);
    return out;
}

std::size_t CharCount(std::string_view utf8) {
    std::size_t n = 0;
    for (char c : utf8)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}

std::string LowerCase(std::string_view text) { return MapCase(text, LowerPoint, 'A', 'Z', 32); }
std::string UpperCase(std::string_view text) { return MapCase(text, UpperPoint, 'a', 'z', -32); }

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    if (IsAscii(a) && IsAscii(b)) {
        for (std::size_t i = 0; i < a.size(); ++i) {
            char x = a[i], y = b[i];
            if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
            if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
            if (x != y) return false;
        }
        return true;
    }
    return LowerCase(a) == LowerCase(b);
}

// Case mapping keeps byte lengths (every mapped pair has the same UTF-8 length), so positions found
// in the lowered texts are positions in the originals.
std::size_t FindText(std::string_view text, std::string_view subText, std::size_t from) {
    if (subText.empty() || subText.size() > text.size()) return std::string_view::npos;
    const std::string t = LowerCase(text);
    const std::string s = LowerCase(subText);
    return t.find(s, from);
}

bool ContainsText(std::string_view text, std::string_view subText) {
    return FindText(text, subText) != std::string_view::npos;
}

bool ContainsStr(std::string_view text, std::string_view subText) {
    return !subText.empty() && text.find(subText) != std::string_view::npos;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && text.substr(0, prefix.size()) == prefix;
}
bool EndsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}
bool StartsWithText(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && SameText(text.substr(0, prefix.size()), prefix);
}
bool EndsWithText(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && SameText(text.substr(text.size() - suffix.size()), suffix);
}

std::string TrimLeft(std::string_view text) {
    std::size_t b = 0;
    while (b < text.size() && IsTrimmed(text[b])) ++b;
    return std::string(text.substr(b));
}
std::string TrimRight(std::string_view text) {
    std::size_t e = text.size();
    while (e > 0 && IsTrimmed(text[e - 1])) --e;
    return std::string(text.substr(0, e));
}
std::string Trim(std::string_view text) { return std::string(TrimView(text)); }

namespace {
// Replaces every occurrence of `key` found in `searched` (the text itself, or its lowered twin of the
// same byte length) by `to`, copying the original's other bytes.
std::string ReplaceFound(std::string_view text, std::string_view searched, std::string_view key, std::string_view to) {
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (true) {
        const std::size_t hit = searched.find(key, pos);
        if (hit == std::string_view::npos) break;
        out.append(text.substr(pos, hit - pos)).append(to);
        pos = hit + key.size();
    }
    out.append(text.substr(pos));
    return out;
}
}  // namespace

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(text);
    return ReplaceFound(text, text, from, to);
}

std::string ReplaceAllText(std::string_view text, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(text);
    return ReplaceFound(text, LowerCase(text), LowerCase(from), to);
}

std::string ReplaceFirstText(std::string_view text, std::string_view from, std::string_view to) {
    const std::size_t hit = FindText(text, from);
    if (hit == std::string_view::npos) return std::string(text);
    std::string out(text.substr(0, hit));
    out.append(to).append(text.substr(hit + from.size()));
    return out;
}

std::vector<std::string> SplitString(std::string_view text, std::string_view separator) {
    std::vector<std::string> out;
    if (separator.empty()) {
        out.emplace_back(text);
        return out;
    }
    std::size_t pos = 0;
    while (true) {
        const std::size_t hit = text.find(separator, pos);
        if (hit == std::string_view::npos) break;
        out.emplace_back(text.substr(pos, hit - pos));
        pos = hit + separator.size();
    }
    out.emplace_back(text.substr(pos));
    return out;
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n') continue;
        lines.emplace_back(text.substr(start, i - start));
        if (c == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < n) lines.emplace_back(text.substr(start));
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines, std::string_view lineEnd) {
    std::size_t total = 0;
    for (const auto& l : lines) total += l.size() + lineEnd.size();
    std::string out;
    out.reserve(total);
    for (const auto& l : lines) out.append(l).append(lineEnd);
    return out;
}

bool TryParseInt(std::string_view text, long long& value) {
    std::string t = Trim(text);
    std::string_view s = t;
    bool negative = false;
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (!s.empty() && s[0] == '$') {
        base = 16;
        s.remove_prefix(1);
    } else if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    if (s.empty()) return false;
    unsigned long long magnitude = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), magnitude, base);
    if (ec != std::errc() || end != s.data() + s.size()) return false;
    if (magnitude > static_cast<unsigned long long>(INT64_MAX) + (negative ? 1ULL : 0ULL)) return false;
    value = negative ? static_cast<long long>(0ULL - magnitude) : static_cast<long long>(magnitude);
    return true;
}

bool TryParseDouble(std::string_view text, double& value) {
    std::string t = Trim(text);
    std::string_view s = t;
    if (!s.empty() && s[0] == '+') s.remove_prefix(1);
    if (s.empty()) return false;
    double v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::general);
    if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v)) return false;
    value = v;
    return true;
}

std::string FormatDouble(double value, int decimals) {
    char buf[64];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    if (ec != std::errc()) return "0";
    return std::string(buf, end);
}

std::string FormatG(double value, int digits) {
    if (value == 0) value = 0;  // -0 prints as 0
    char buf[64];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, digits);
    if (ec != std::errc()) return "0";
    return std::string(buf, end);
}

}  // namespace kelvarn
