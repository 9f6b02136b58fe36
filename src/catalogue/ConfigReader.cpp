#include "catalogue/ConfigReader.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

#if defined(__SSE2__) || defined(_M_X64) || defined(_M_AMD64)
#include <emmintrin.h>
#define KELVARN_READER_SSE2 1
#endif

#include "catalogue/ConfigPath.h"
#include "catalogue/OutlineNode.h"
#include "shell/Files.h"
#include "shell/MessageSink.h"
#include "shell/PathText.h"
#include "shell/Strings.h"
#include "shell/TextCodec.h"

namespace kelvarn {

namespace {

// Where the reader joined the lines of a text, until the node is made. No file line holds one.
constexpr std::string_view kJoin = "\n";

bool IsTrimmedChar(char c) { return static_cast<unsigned char>(c) <= ' '; }

// Eight bytes at a time: most bytes of a config are none that the reader looks for.
constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kHighs = 0x8080808080808080ull;
constexpr std::uint64_t kBlanks = kOnes * ' ';
std::uint64_t Word(const char* p) {
    std::uint64_t w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

// What a line may hold besides its marks: bytes beyond ASCII, tabs, "=". Each is noted when one
// was passed, or maybe one just behind the mark found: a line's contents are noted without stopping
// at each.
struct TLineNotes {
    bool high = false, tab = false, equals = false;
};

// The first byte from `p` on that ends a line or is a brace; `end` when none.
const char* NextMark(const char* p, const char* end, TLineNotes& notes) {
#ifdef KELVARN_READER_SSE2
    const __m128i lf = _mm_set1_epi8('\n'), cr = _mm_set1_epi8('\r'), ht = _mm_set1_epi8('\t');
    const __m128i open = _mm_set1_epi8('{'), close = _mm_set1_epi8('}'), eq = _mm_set1_epi8('=');
    __m128i highs = _mm_setzero_si128(), tabs = highs, equals = highs;
    const char* found = nullptr;
    while (end - p >= 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i marks = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(x, lf), _mm_cmpeq_epi8(x, cr)),
                                           _mm_or_si128(_mm_cmpeq_epi8(x, open), _mm_cmpeq_epi8(x, close)));
        highs = _mm_or_si128(highs, x);
        tabs = _mm_or_si128(tabs, _mm_cmpeq_epi8(x, ht));
        equals = _mm_or_si128(equals, _mm_cmpeq_epi8(x, eq));
        if (const unsigned m = static_cast<unsigned>(_mm_movemask_epi8(marks)); m != 0) {
            found = p + std::countr_zero(m);
            break;
        }
        p += 16;
    }
    notes.high = notes.high || _mm_movemask_epi8(highs) != 0;
    notes.tab = notes.tab || _mm_movemask_epi8(tabs) != 0;
    notes.equals = notes.equals || _mm_movemask_epi8(equals) != 0;
    if (found) return found;
#else
    if constexpr (std::endian::native == std::endian::little) {
        const auto zero = [](std::uint64_t w) { return (w - kOnes) & ~w & kHighs; };
        while (end - p >= 8) {
            const std::uint64_t w = Word(p);
            // Exact as to whether, and the lowest byte flagged is the first that is.
            const std::uint64_t m =
                zero(w ^ (kOnes * '\n')) | zero(w ^ (kOnes * '\r')) | zero(w ^ (kOnes * '{')) | zero(w ^ (kOnes * '}'));
            notes.high = notes.high || (w & kHighs) != 0;
            notes.tab = notes.tab || zero(w ^ (kOnes * '\t')) != 0;
            notes.equals = notes.equals || zero(w ^ (kOnes * '=')) != 0;
            if (m != 0) return p + std::countr_zero(m) / 8;
            p += 8;
        }
    }
#endif
    for (; p < end; ++p) {
        const char c = *p;
        if (c == '\n' || c == '\r' || c == '{' || c == '}') return p;
        notes.high = notes.high || static_cast<unsigned char>(c) >= 0x80;
        notes.tab = notes.tab || c == '\t';
        notes.equals = notes.equals || c == '=';
    }
    return end;
}

std::size_t FindChar(std::string_view s, char c, std::size_t from = 0) {
    for (std::size_t i = from; i < s.size(); ++i)
        if (s[i] == c) return i;
    return std::string_view::npos;
}

// A blank or a tab: either ends a tag's name.
std::size_t FindBlank(std::string_view s) {
    std::size_t i = 0;
#ifdef KELVARN_READER_SSE2
    const __m128i blank = _mm_set1_epi8(' '), tab = _mm_set1_epi8('\t');
    for (; i + 16 <= s.size(); i += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s.data() + i));
        const auto m = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(x, blank), _mm_cmpeq_epi8(x, tab))));
        if (m != 0) return i + static_cast<std::size_t>(std::countr_zero(m));
    }
#endif
    for (; i < s.size(); ++i)
        if (s[i] == ' ' || s[i] == '\t') return i;
    return std::string_view::npos;
}

// The text from its first character that is no blank or control character; the layout's column of
// blanks between a name and its value is skipped a word at a time.
std::string_view SkipBlanks(std::string_view s) {
    while (s.size() >= 8 && Word(s.data()) == kBlanks) s.remove_prefix(8);
    while (!s.empty() && IsTrimmedChar(s.front())) s.remove_prefix(1);
    return s;
}

bool Holds(std::string_view s, char c) { return !s.empty() && std::memchr(s.data(), c, s.size()) != nullptr; }
bool HasBrace(std::string_view s) { return Holds(s, '{') || Holds(s, '}'); }

std::string_view TrimRightView(std::string_view s) {
    while (!s.empty() && IsTrimmedChar(s.back())) s.remove_suffix(1);
    return s;
}

// Whether a quoted value is closed is judged without the blanks and tabs behind it: a closing
// brace's spacing, or a blank left at the end of a line, must not keep it open.
std::string_view WithoutTrailingBlanks(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

bool IsBrace(char c) { return c == '{' || c == '}'; }

// Written without a branch per character, so that the compiler can do many at once.
void TabsToBlanks(std::string& s) {
    for (char& c : s) c = c == '\t' ? ' ' : c;
}

// A value on the first line of a tag opens a text over several lines when it is a lone double
// quote, or begins with one, does not end with one and holds an odd number of them.
bool OpensValue(std::string_view value) {
    const std::string_view v = WithoutTrailingBlanks(value);
    if (v == "\"") return true;
    if (v.empty() || v.front() != '"' || v.back() == '"') return false;
    return std::count(v.begin(), v.end(), '"') % 2 == 1;
}

// While joining lines, the text stays open until it ends with a double quote.
bool StillOpen(std::string_view joined) {
    const std::string_view v = WithoutTrailingBlanks(joined);
    return v.empty() || v == "\"" || (v.front() == '"' && v.back() != '"');
}

// The flat form "tag=value" is read back at its first "=", so a tag that holds an "=" after its
// first character gives its part behind the "=" to the value ("kind=traincar" is the tag kind).
// Not when that part opens a quoted text: the tag then stays whole, which is also how its written
// form reads back.
bool SplitAtEquals(std::string_view tag, std::string_view& name, std::string_view& rest) {
    const std::size_t eq = FindChar(tag, '=', 1);
    if (eq == std::string_view::npos) return false;
    // A value never begins with a blank or a control character: a written line loses them.
    std::string_view behind = tag.substr(eq + 1);
    while (!behind.empty() && IsTrimmedChar(behind.front())) behind.remove_prefix(1);
    if (OpensValue(behind)) return false;
    name = tag.substr(0, eq);
    rest = behind;
    return true;
}

// The first "}" that is not inside double quotes: a brace in a quoted text is text, not structure.
std::size_t FindCloseOutsideQuotes(std::string_view rest) {
    if (!Holds(rest, '}')) return std::string_view::npos;
    bool quoted = false;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] == '"') quoted = !quoted;
        else if (rest[i] == '}' && !quoted) return i;
    }
    return std::string_view::npos;
}

// Sound lists name their files bare or, as most assets do, in double quotes.
bool IsSoundFileName(std::string_view word) {
    if (word.size() >= 2 && word.front() == '"' && word.back() == '"') word = word.substr(1, word.size() - 2);
    return EndsWithText(word, ".wav") || EndsWithText(word, ".mp3");
}

// FolderConfigPath(folder) into `path`, whose buffer serves load after load.
void AssignFolderConfigPath(std::string& path, std::string_view folder) {
    path.assign(folder);
    if (folder.empty() || !IsPathSeparator(folder.back())) path.push_back('\\');
    path.append(kConfigRoot);
}

std::string FolderConfigPath(std::string_view folder) {
    std::string path;
    AssignFolderConfigPath(path, folder);
    return path;
}

// path == FolderConfigPath(folder), without making the latter.
bool IsFolderConfigPath(std::string_view path, std::string_view folder) {
    if (!path.starts_with(folder)) return false;
    path.remove_prefix(folder.size());
    if (folder.empty() || !IsPathSeparator(folder.back())) {
        if (path.empty() || path.front() != '\\') return false;
        path.remove_prefix(1);
    }
    return path == kConfigRoot;
}

// One of the two replacements of ProtectBraces: " x " and then every other x become `to`. Both go in
// one pass from the left, as two passes would take them: a blank goes with the first " x " it ends.
void ReplaceSpacedBrace(std::string& out, std::string_view text, char brace, char to, bool removeQuotes) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ' ' && i + 2 < text.size() && text[i + 1] == brace && text[i + 2] == ' ') {
            out.push_back(to);
            i += 2;
        } else if (c == brace) {
            out.push_back(to);
        } else if (c != '"' || !removeQuotes) {
            out.push_back(c);
        }
    }
}

// ProtectBraces(value), its double quotes removed when asked, added to `out`; `scratch` is work space.
void AppendProtected(std::string& out, std::string_view value, bool removeQuotes, std::string& scratch) {
    scratch.clear();
    ReplaceSpacedBrace(scratch, value, '{', '(', false);
    ReplaceSpacedBrace(out, scratch, '}', ')', removeQuotes);
}

void AppendWithoutQuotes(std::string& out, std::string_view value) {
    for (std::size_t at = 0; at < value.size();) {
        std::size_t quote = FindChar(value, '"', at);
        if (quote == std::string_view::npos) quote = value.size();
        out.append(value.substr(at, quote - at));
        at = quote + 1;
    }
}

}  // namespace

// The lines of a text: CR LF, LF or a lone CR end a line; a final line end adds no empty line. The
// one pass that finds a line's end also notes what the line holds.
struct TLineCursor {
    std::string_view text;
    std::size_t pos = 0;
    std::uint32_t number = 0;
    // Of the line last given: it holds a brace; it may hold a tab, an "=", or a byte beyond ASCII.
    bool braces = false, tabs = false, equals = false, high = false;

    bool Next(std::string_view& line) {
        const std::size_t n = text.size();
        if (pos >= n) return false;
        const char* const begin = text.data() + pos;
        const char* const end = text.data() + n;
        const char* q = begin;
        bool braced = false;
        TLineNotes notes;
        for (q = NextMark(q, end, notes); q < end; q = NextMark(q + 1, end, notes)) {
            if (*q == '\n' || *q == '\r') break;
            braced = true;
        }
        line = std::string_view(begin, static_cast<std::size_t>(q - begin));
        std::size_t i = static_cast<std::size_t>(q - text.data());
        if (i < n) i += (text[i] == '\r' && i + 1 < n && text[i + 1] == '\n') ? 2 : 1;
        pos = i;
        ++number;
        braces = braced;
        tabs = notes.tab;
        equals = notes.equals;
        high = notes.high;
        return true;
    }
};

std::string ProtectBraces(std::string_view text) {
    if (!HasBrace(text)) return std::string(text);
    std::string out, scratch;
    out.reserve(text.size());
    AppendProtected(out, text, false, scratch);
    return out;
}

std::string SafeNodeText(std::string_view text) {
    std::string s = ProtectBraces(text);
    const std::size_t start = s.find_first_not_of(" \t");
    const std::size_t blank = start == std::string::npos ? start : s.find(' ', start);
    if (blank == std::string::npos) return s;
    std::string_view value = std::string_view(s).substr(blank + 1);
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.remove_suffix(1);
    if (!value.empty() && value.front() == '"' && (value.size() == 1 || value.back() != '"')) {
        s.erase(static_cast<std::size_t>(value.data() - s.data()) + value.size());
        s.push_back('"');
    }
    return s;
}

void TConfigReader::Clear() {
    loadedPath_.clear();
    loadedFile_.clear();
    error_.clear();
    created_ = complete_ = false;
    addedClosing_ = addedHeaders_ = 0;
    lines_.clear();
    opens_ = closes_ = 0;
    store_.clear();
    latin_.clear();
    mark_ = false;
    // The buffers serve the next load, unless an unusually large file left them big.
    if (store_.capacity() > (1u << 20)) {
        lines_.shrink_to_fit();
        children_.clear();
        children_.shrink_to_fit();
        store_.shrink_to_fit();
    }
}

bool TConfigReader::Fail(std::string message) {
    Clear();
    error_ = std::move(message);
    return false;
}

std::string TConfigReader::LastError() { return std::exchange(error_, {}); }

bool TConfigReader::CheckFileLoaded(std::string_view folder) {
    if (loadedPath_.empty() || !created_) {
        error_ = "File not loaded: " + ShownPath(FolderConfigPath(folder));
        return true;
    }
    error_.clear();
    return false;
}

bool TConfigReader::CheckLoadedMatch(std::string_view folder) {
    if (!IsFolderConfigPath(loadedPath_, folder)) {
        error_ = "Loaded data does not match: " + ShownPath(FolderConfigPath(folder));
        return true;
    }
    error_.clear();
    return false;
}

bool TConfigReader::UnloadConfig(std::string_view folder) {
    if (CheckFileLoaded(folder) || CheckLoadedMatch(folder)) return false;
    Clear();
    return true;
}

bool TConfigReader::LoadConfigFile(std::string_view folder) {
    error_.clear();
    if (!loadedPath_.empty()) {
        error_ = "File already loaded: " + ShownPath(loadedPath_);
        return false;
    }
    const std::string path = FolderConfigPath(folder);
    const std::string file = FindFileIgnoreCase(folder, kConfigRoot);
    if (file.empty() || !FileExists(file)) {
        error_ = "File not found: " + ShownPath(path);
        return false;
    }
    std::string bytes;
    if (const std::string failure = ReadFileBytes(file, bytes, kMaxConfigBytes); !failure.empty()) {
        error_ = "Unable to open file: " + ShownPath(path);
        if (FileSize(file) > kMaxConfigBytes) error_ += kConfigTooLarge;
        return false;
    }
    return Parse(bytes, path, file);
}

bool TConfigReader::LoadConfigBytes(std::string_view bytes, std::string_view folder) {
    error_.clear();
    if (!loadedPath_.empty()) {
        error_ = "File already loaded: " + ShownPath(loadedPath_);
        return false;
    }
    if (bytes.size() > kMaxConfigBytes) {
        error_ = "Unable to open file: " + ShownPath(FolderConfigPath(folder)) + std::string(kConfigTooLarge);
        return false;
    }
    AssignFolderConfigPath(loadedPath_, folder);
    loadedFile_ = loadedPath_;
    return Parse(bytes, loadedPath_, loadedFile_);
}

// `path` and `file` may be the members they are stored in.
bool TConfigReader::Parse(std::string_view bytes, const std::string& path, const std::string& file) {
    // UTF-8 is read where it stands. Otherwise each line is decoded alone: real files are UTF-8 with a
    // line or two from an editor that wrote Windows-1252, or the reverse.
    std::string converted;
    TDecodedView decoded = DecodeTextView(bytes, converted);
    if (!decoded.notText.empty()) return Fail("Unable to open file: " + ShownPath(path) + " (" + decoded.notText + ")");
    const std::string_view text = decoded.text;
    encoding_ = decoded.encoding;
    mark_ = encoding_ == TextEncoding::Utf8Bom || encoding_ == TextEncoding::Utf16Le || encoding_ == TextEncoding::Utf16Be;
    latin_.clear();
    if (!decoded.latinLines.empty()) {
        // By file line, counted from 1.
        latin_.assign(decoded.latinLines.back() + 2, false);
        for (std::uint32_t n : decoded.latinLines) latin_[n + 1] = true;
    }
    loadedPath_ = path;
    loadedFile_ = file;
    created_ = true;
    complete_ = false;
    addedClosing_ = addedHeaders_ = 0;
    lines_.clear();
    opens_ = closes_ = 0;
    // The text itself is the store: names and values as the file holds them are read where they
    // stand, and only what the reader makes of a line (braces spaced, lines joined) goes behind it.
    store_.reserve(text.size() + text.size() / 2 + 64);
    store_.assign(text);
    lines_.reserve(text.size() / 24 + 2);
    // The root's header comes first; the bracket check keeps it there.
    AddLine(TConfigLineKind::Header, 0, Store(kConfigRoot), static_cast<std::uint32_t>(kConfigRoot.size()));
    text_ = text;
    const bool tokenised = Tokenise(text);
    text_ = {};
    if (!tokenised) return false;
    return RepairAndNest();
}

bool TConfigReader::LineIsLatin(std::uint32_t fileLine) const {
    return fileLine < latin_.size() && latin_[fileLine];
}

inline std::uint32_t TConfigReader::Store(std::string_view text) {
    // A part of the text being read is where the store's copy of it begins.
    if (!text_.empty() && text.data() >= text_.data() && text.data() + text.size() <= text_.data() + text_.size())
        return static_cast<std::uint32_t>(text.data() - text_.data());
    const auto at = static_cast<std::uint32_t>(store_.size());
    store_.append(text);
    return at;
}

inline void TConfigReader::AddLine(TConfigLineKind kind, std::uint32_t fileLine, std::uint32_t nameAt, std::uint32_t nameLen,
                            std::uint32_t valueAt, std::uint32_t valueLen, std::uint8_t marks) {
    lines_.push_back(TConfigLine{kind, marks, fileLine, nameAt, nameLen, valueAt, valueLen});
    opens_ += kind == TConfigLineKind::Open;
    closes_ += kind == TConfigLineKind::Close;
}

// A word that stood alone: a brace, a bare word, or "name=value" written without blanks.
void TConfigReader::AddWord(std::string_view word, std::uint32_t fileLine, bool high) {
    if (word == "{") return AddLine(TConfigLineKind::Open, fileLine);
    if (word == "}") return AddLine(TConfigLineKind::Close, fileLine);
    std::string_view name, value;
    if (!SplitAtEquals(word, name, value)) {
        const std::uint32_t at = Store(word);
        return AddLine(TConfigLineKind::Bare, fileLine, at, static_cast<std::uint32_t>(word.size()));
    }
    AddTag(name, value, false, false, fileLine, high);
}

inline void TConfigReader::AddTag(std::string_view name, std::string_view value, bool joined, bool braces,
                           std::uint32_t fileLine, bool high) {
    const std::uint32_t nameAt = Store(name);
    std::uint32_t valueAt;
    bool made = joined;  // the value is made here, not read where it stands
    if (joined) {
        valueAt = static_cast<std::uint32_t>(store_.size());
        store_.push_back('"');
        if (HasBrace(value)) AppendProtected(store_, value, true, scratch_);
        else AppendWithoutQuotes(store_, value);
        store_.push_back('"');
    } else if (braces && HasBrace(value)) {
        valueAt = static_cast<std::uint32_t>(store_.size());
        AppendProtected(store_, value, false, scratch_);
        made = true;
    } else {
        valueAt = Store(value);
    }
    const auto valueLen = static_cast<std::uint32_t>(made ? store_.size() - valueAt : value.size());
    AddLine(TConfigLineKind::Tag, fileLine, nameAt, static_cast<std::uint32_t>(name.size()), valueAt, valueLen,
            static_cast<std::uint8_t>((joined ? kJoinedLine : 0) | (joined || high ? kMayBeBeyondAscii : 0)));
}

bool TConfigReader::Tokenise(std::string_view text) {
    TLineCursor cursor{text};
    std::string_view raw;
    while (cursor.Next(raw)) {
        if (!Normalise(raw, cursor)) return false;
        if (lines_.size() > kMaxConfigLines)
            return Fail("Config has too many lines: " + ShownPath(loadedFile_) + " (more than " +
                        std::to_string(kMaxConfigLines) + ")");
    }
    return true;
}

bool TConfigReader::Normalise(std::string_view raw, TLineCursor& cursor) {
    const std::uint32_t lineNo = cursor.number;
    const bool braces = cursor.braces, high = cursor.high;
    // Braces get blanks around them, so that "name{" and "}name" split like "name {" and "} name";
    // tabs inside the line read as blanks. Most lines need no copy and are read where they stand.
    std::string_view line = TrimView(raw);
    if (braces && line.size() == 1) {
        // A brace on its own line, as most containers are written.
        AddLine(line.front() == '{' ? TConfigLineKind::Open : TConfigLineKind::Close, lineNo);
        return true;
    }
    if (braces) {
        spaced_.clear();
        for (char c : line) {
            if (c == '{') spaced_.append(" { ");
            else if (c == '}') spaced_.append(" } ");
            else spaced_.push_back(c);
        }
        TabsToBlanks(spaced_);
        line = TrimView(spaced_);
    }
    if (line.empty()) return true;

    std::string_view rest = line;
    while (!rest.empty()) {
        std::string_view tag, value;
        if (!IsBrace(rest.front())) {
            const std::size_t blank = FindBlank(rest);
            if (blank == std::string_view::npos) {
                // A word on its own: a line of a word, or a word left after a brace.
                AddWord(rest, lineNo, high);
                break;
            }
            tag = rest.substr(0, blank);
            rest = TrimView(SkipBlanks(rest.substr(blank)));
        }
        // A brace is never a tag's name: "{ a }" opens, holds the bare word a, and closes.
        if (IsBrace(rest.front())) {
            value = rest.substr(0, 1);
            rest = TrimView(rest.substr(1));
        } else {
            const std::size_t close = braces ? FindCloseOutsideQuotes(rest) : std::string_view::npos;
            value = rest.substr(0, close);
            rest = close == std::string_view::npos ? std::string_view() : TrimView(rest.substr(close));
            // The layout's tabs are passed over where they stand; only a value that holds one is copied.
            if (!braces && cursor.tabs && Holds(value, '\t')) {
                blanked_.assign(value);
                TabsToBlanks(blanked_);
                value = blanked_;
            }
        }

        if (value.size() == 1 && IsBrace(value.front())) {
            if (!tag.empty()) AddWord(tag, lineNo, high);
            AddLine(value.front() == '{' ? TConfigLineKind::Open : TConfigLineKind::Close, lineNo);
        } else {
            const bool valueEndsLine = rest.empty();
            std::string_view name = tag, rest;
            if (cursor.equals && SplitAtEquals(tag, name, rest)) {
                combined_.assign(rest).append("=").append(value);
                value = combined_;
            }
            if (!OpensValue(value)) {
                AddTag(name, value, false, braces, lineNo, high);
                continue;
            }
            // A text over several lines: the following file lines are joined as they are. The joins
            // are line feeds until the node is made, where they become "¶": a "¶" in the file is a
            // character, not a line break, and must stay one.
            joined_.assign(TrimRightView(value));
            // The blanks that end the first line belong to the text when it runs on over the next.
            if (valueEndsLine) joined_.append(raw.substr(WithoutTrailingBlanks(raw).size()));
            while (StillOpen(joined_)) {
                std::string_view next;
                if (!cursor.Next(next))
                    return Fail("Unclosed quote: " + ShownPath(loadedFile_) + " line " + std::to_string(lineNo));
                joined_.append(kJoin).append(next);
            }
            AddTag(name, joined_, true, true, lineNo, true);
        }
    }
    return true;
}

bool TConfigReader::RepairAndNest() {
    std::size_t opens = opens_, closes = closes_;
    if (opens > closes) {
        error_ = "Bracket Mismatch";
        if (ScriptMode) return false;  // the path stays set until the caller unloads
        const std::size_t missing = opens - closes;
        if (messages_)
            messages_->ShowMessage("Config has " + std::to_string(missing) + " missing closing brackets.\r" +
                                       "Please check all containers, correct the error \r" + "and save the file to disc.",
                                   {}, MessageKind::Warning);
        for (std::size_t i = 0; i < missing; ++i) AddLine(TConfigLineKind::Close, 0);
        addedClosing_ = static_cast<int>(missing);
        closes = opens;
    }

    // Surplus closing braces: bare words not followed by "{" become container headers, from the top.
    std::size_t surplus = closes - opens;
    std::vector<TConfigLine> flat;
    if (surplus > 0) {
        flat.reserve(lines_.size() + surplus);
        std::string made;  // the bare words made containers, with their lines
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            const TConfigLine& l = lines_[i];
            flat.push_back(l);
            if (surplus > 0 && i + 1 < lines_.size() && l.kind == TConfigLineKind::Bare &&
                LineName(l).find('=') == std::string_view::npos && lines_[i + 1].kind != TConfigLineKind::Open) {
                flat.push_back(TConfigLine{TConfigLineKind::Open, 0, l.fileLine});
                --surplus;
                ++addedHeaders_;
                made += (made.empty() ? "" : ", ") + std::string(LineName(l)) + " (line " + std::to_string(l.fileLine) + ")";
            }
        }
        // The repair moves the tags that follow into the new container: the user sees it before
        // anything is saved, and a batch refuses the file as it refuses missing brackets.
        if (addedHeaders_ > 0) {
            error_ = "Bracket Mismatch";
            if (ScriptMode) return false;
            if (messages_)
                messages_->ShowMessage("Config has " + std::to_string(addedHeaders_) +
                                           " surplus closing brackets: made a container of " + made + ".\r" +
                                           "Please check all containers, correct the error \r" +
                                           "and save the file to disc.",
                                       {}, MessageKind::Warning);
        }
    } else {
        flat = std::move(lines_);
    }

    // Nesting, in place (a "{" line goes, so the lines written never overtake the lines read): each
    // "{" takes the bare word before it as its container's name. flat[0] is the root's header. The
    // children of each container are counted on the way, so that no node's child list grows step by step.
    std::vector<std::size_t>& open = open_;
    open.clear();
    std::vector<std::uint32_t>& children = children_;
    children.assign(flat.size() + 1, 0);
    std::size_t w = 1;
    for (std::size_t r = 1; r < flat.size(); ++r) {
        const TConfigLine l = flat[r];
        if (l.kind == TConfigLineKind::Open) {
            if (flat[w - 1].kind != TConfigLineKind::Bare)
                return Fail("Bracket Mismatch: " + ShownPath(loadedFile_) + " line " + std::to_string(l.fileLine));
            flat[w - 1].kind = TConfigLineKind::Header;
            open.push_back(w - 1);
            if (open.size() > kMaxConfigDepth)
                return Fail("Config nested too deeply: " + ShownPath(loadedFile_) + " line " + std::to_string(l.fileLine) +
                            " (more than " + std::to_string(kMaxConfigDepth) + " levels)");
        } else if (l.kind == TConfigLineKind::Close) {
            if (open.empty())
                return Fail("Bracket Mismatch: " + ShownPath(loadedFile_) + " line " + std::to_string(l.fileLine));
            TConfigLine end = flat[open.back()];
            end.kind = TConfigLineKind::End;
            end.fileLine = l.fileLine;
            flat[w++] = end;
            open.pop_back();
        } else {
            ++children[open.empty() ? 0 : open.back()];
            flat[w++] = l;
        }
    }
    if (!open.empty()) return Fail("Bracket Mismatch: " + ShownPath(loadedFile_));
    flat.resize(w);
    TConfigLine rootEnd = flat.front();
    rootEnd.kind = TConfigLineKind::End;
    flat.push_back(rootEnd);
    lines_ = std::move(flat);
    complete_ = true;
    return true;
}

namespace {

// `name value`: sized once and copied straight in, not grown piece by piece (most node texts).
void AppendSpaced(std::string& out, std::string_view name, std::string_view value) {
    const std::size_t at = out.size();
    out.resize(at + name.size() + 1 + value.size());
    char* p = out.data() + at;
    std::memcpy(p, name.data(), name.size());
    p[name.size()] = ' ';
    std::memcpy(p + name.size() + 1, value.data(), value.size());
}

}  // namespace

void TConfigReader::AppendNodeText(std::string& out, const TConfigLine& line, int& sounds,
                                   std::vector<std::uint32_t>* joins) const {
    std::string_view name = LineName(line);
    std::string_view value = "\"\"";  // a bare word becomes a tag with an empty value
    std::string number;
    if (line.kind == TConfigLineKind::Tag) {
        // A tag without a value would be written as a bare word and come back as `name ""`.
        if (const std::string_view v = TrimView(LineValue(line)); !v.empty()) value = v;
        if (line.marks & kJoinedLine) {
            out.append(name).push_back(' ');
            const std::size_t valueAt = out.size();
            std::size_t from = 0;
            for (std::size_t join = value.find(kJoin); join != std::string_view::npos; join = value.find(kJoin, from)) {
                out.append(value.substr(from, join - from));
                if (joins) joins->push_back(static_cast<std::uint32_t>(out.size() - valueAt));
                out.append(kPilcrow);
                from = join + 1;
            }
            out.append(value.substr(from));
            return;
        }
    } else if (IsSoundFileName(name) && !OpensValue(name)) {
        // Sound lists hold bare file names: they become entries numbered from 0. (A name that
        // begins a quoted text would, as a value, swallow the lines after it.)
        number = std::to_string(sounds++);
        value = name;
        name = number;
    }
    AppendSpaced(out, name, value);
}

std::size_t TConfigReader::NodeTextSize(const TConfigLine& line) const {
    // Joined lines grow by a byte at each join, made a two-byte "¶": the text grows past this then.
    if (line.kind == TConfigLineKind::Tag) return line.nameLen + 1 + std::max<std::size_t>(line.valueLen, 2);
    if (line.kind == TConfigLineKind::Header) return line.nameLen;
    return line.nameLen + 12;  // a numbered sound, or the name and an empty value
}

std::unique_ptr<TNodeOrigin> TConfigReader::OriginOf(const TConfigLine& line, const std::string& text,
                                                     std::vector<std::uint32_t>& joins) const {
    // Only where the writer's own rules would not give the node back as it stood.
    const bool pilcrow = line.kind == TConfigLineKind::Tag && (line.marks & kMayBeBeyondAscii) &&
                         LineValue(line).find(kPilcrow) != std::string_view::npos;
    bool latin = false;
    if (encoding_ != TextEncoding::Windows1252 && line.fileLine > 0)
        for (std::size_t k = 0; k <= joins.size() && !latin; ++k) latin = LineIsLatin(line.fileLine + static_cast<std::uint32_t>(k));
    if (!pilcrow && !latin) return nullptr;
    auto origin = std::make_unique<TNodeOrigin>();
    origin->text = text;
    origin->joins = joins;
    for (std::size_t k = 0; k <= joins.size(); ++k)
        origin->latin.push_back(LineIsLatin(line.fileLine + static_cast<std::uint32_t>(k)));
    return origin;
}

bool TConfigReader::ConfigText(std::string_view folder, std::string& text) {
    text.clear();
    if (CheckFileLoaded(folder) || CheckLoadedMatch(folder)) return false;
    if (!complete_) {
        error_ = "Bracket Mismatch";
        return false;
    }
    text.reserve(store_.size() + lines_.size() * 4);
    std::size_t depth = 0;
    int sounds = 0;
    for (const TConfigLine& l : lines_) {
        if (l.kind == TConfigLineKind::End) {
            if (depth > 0) --depth;
            continue;
        }
        text.append(depth, '\t');
        if (l.kind == TConfigLineKind::Header) {
            text.append(LineName(l));
            ++depth;
            sounds = 0;
        } else {
            AppendNodeText(text, l, sounds);
        }
        text.append("\r\n");
    }
    return true;
}

std::unique_ptr<TOutlineNode> TConfigReader::BuildTree() const {
    if (!complete_ || lines_.empty()) return nullptr;
    const std::vector<std::uint32_t>& children = children_;
    auto root = std::make_unique<TOutlineNode>(std::string(LineName(lines_.front())));
    TOutlineBuilder::Reserve(*root, children.front());
    std::vector<TOutlineNode*>& parents = parents_;
    parents.assign(1, root.get());
    int sounds = 0;
    std::vector<std::uint32_t>& joins = joins_;
    const std::size_t rootEnd = lines_.size() - 1;
    for (std::size_t i = 1; i < rootEnd; ++i) {
        const TConfigLine& l = lines_[i];
        if (l.kind == TConfigLineKind::End) {
            if (parents.size() > 1) parents.pop_back();
            continue;
        }
        // The text is written straight into the node.
        const bool header = l.kind == TConfigLineKind::Header;
        TOutlineNode* node = TOutlineBuilder::AppendEmpty(*parents.back(), NodeTextSize(l), header);
        std::string& text = TOutlineBuilder::TextOf(*node);
        joins.clear();
        if (header) {
            text.append(LineName(l));
            TOutlineBuilder::Reserve(*node, children[i]);
            parents.push_back(node);
            sounds = 0;
        } else {
            AppendNodeText(text, l, sounds, &joins);
        }
        if (MayNeedOrigin(l))
            if (auto origin = OriginOf(l, text, joins)) TOutlineBuilder::SetOrigin(*node, std::move(origin));
    }
    return root;
}

std::vector<std::string> TConfigReader::Tokens() const {
    std::vector<std::string> out;
    if (!complete_) return out;
    const char* encodings[] = {"utf-8", "utf-8", "windows-1252", "utf-16le", "utf-16be", "utf-16le", "utf-16be"};
    out.push_back(std::string(encodings[static_cast<int>(encoding_)]) + (mark_ ? " mark" : ""));
    std::size_t depth = 0;
    int sounds = 0;
    std::string text;
    std::vector<std::uint32_t> joins;
    for (std::size_t i = 1; i + 1 < lines_.size(); ++i) {
        const TConfigLine& l = lines_[i];
        if (l.kind == TConfigLineKind::End) {
            if (depth > 0) --depth;
            continue;
        }
        text.clear();
        joins.clear();
        if (l.kind == TConfigLineKind::Header) text.assign(LineName(l));
        else AppendNodeText(text, l, sounds, &joins);
        std::string token = std::to_string(depth) + "|" + text + "|";
        // The value's joins are offsets behind the name and its blank.
        const std::size_t valueAt = l.kind == TConfigLineKind::Tag ? LineName(l).size() + 1 : 0;
        std::size_t from = 0;
        for (std::size_t k = 0; k <= joins.size(); ++k) {
            const std::size_t to = k < joins.size() ? valueAt + joins[k] : text.size();
            if (!IsAsciiText(std::string_view(text).substr(from, to - from)))
                token.push_back(LineIsLatin(l.fileLine + static_cast<std::uint32_t>(k)) ? 'w' : 'u');
            else
                token.push_back('-');
            from = to + kPilcrow.size();
        }
        out.push_back(std::move(token));
        if (l.kind == TConfigLineKind::Header) {
            ++depth;
            sounds = 0;
        }
    }
    return out;
}

std::vector<std::string> TConfigReader::FlatLines() const {
    std::vector<std::string> out;
    out.reserve(lines_.size());
    for (const TConfigLine& l : lines_) {
        const std::string name(LineName(l));
        switch (l.kind) {
            case TConfigLineKind::Tag: out.push_back(name + "=" + ReplaceAll(LineValue(l), kJoin, kPilcrow)); break;
            case TConfigLineKind::Bare: out.push_back(name); break;
            case TConfigLineKind::Open: out.emplace_back("{"); break;
            case TConfigLineKind::Close: out.emplace_back("}"); break;
            case TConfigLineKind::Header: out.push_back(name + "={"); break;
            case TConfigLineKind::End: out.push_back(name + "=}"); break;
        }
    }
    return out;
}

}  // namespace kelvarn
