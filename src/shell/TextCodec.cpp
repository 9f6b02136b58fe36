#include "shell/TextCodec.h"

#include <algorithm>
#include <cstring>

namespace kelvarn {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

// Most lines are ASCII: eight bytes at a time while no high bit is set.
bool HasHighByte(std::string_view s) {
    std::size_t i = 0;
    for (; i + 8 <= s.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, s.data() + i, sizeof word);
        if (word & 0x8080808080808080ull) return true;
    }
    for (; i < s.size(); ++i)
        if (static_cast<unsigned char>(s[i]) >= 0x80) return true;
    return false;
}

// UTF-16 without a mark shows itself by its NUL bytes: the high byte of every Latin character is
// zero, on one side of each pair only; a quarter of the text at least is Latin in the files we read.
// Text with fewer Latin characters cannot be told apart from other bytes.
bool LooksLikeUtf16(std::string_view bytes, bool& bigEndian) {
    if (bytes.size() < 4 || bytes.size() % 2 != 0) return false;
    std::size_t zeroEven = 0, zeroOdd = 0;
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        zeroEven += bytes[i] == '\0';
        zeroOdd += bytes[i + 1] == '\0';
    }
    const std::size_t units = bytes.size() / 2;
    const std::size_t high = std::max(zeroEven, zeroOdd), low = std::min(zeroEven, zeroOdd);
    if (high * 4 < units || low * 8 > high) return false;
    bigEndian = zeroEven > zeroOdd;
    return true;
}

TDecodedView NotText(std::string_view bytes, std::string& storage, std::string why) {
    TDecodedView result;
    storage = Windows1252ToUtf8(bytes);
    result.text = storage;
    result.encoding = TextEncoding::Windows1252;
    result.notText = std::move(why);
    return result;
}

bool DecodeUtf16(std::string_view units, bool bigEndian, std::string& storage) {
    if (!Utf16ToUtf8(units, bigEndian, storage)) return false;
    return storage.find('\0') == std::string::npos;
}

// Lines that are not valid UTF-8 are read as Windows-1252 and listed; the others are taken as they are.
void DecodeLines(std::string_view text, bool mark, std::string& out, TDecodedView& result) {
    out.clear();
    out.reserve(text.size() + text.size() / 8);
    TLineSplitter lines{text};
    std::string_view line;
    TLineEnd end;
    bool utf8Beyond = false;
    for (std::uint32_t n = 0; lines.Next(line, end); ++n) {
        if (!HasHighByte(line)) {
            out.append(line);
        } else if (IsValidUtf8(line)) {
            utf8Beyond = true;
            out.append(line);
        } else {
            result.latinLines.push_back(n);
            out.append(Windows1252ToUtf8(line));
        }
        out.append(LineEndText(end));
    }
    result.text = out;
    result.encoding = mark ? TextEncoding::Utf8Bom : utf8Beyond ? TextEncoding::Utf8 : TextEncoding::Windows1252;
}

// A line in Windows-1252 when it fits and reads back as the same text (not as UTF-8, and not, at the
// start of the file, as a byte-order mark); else in UTF-8. True when it went in Windows-1252.
bool AppendLatinLine(std::string& out, std::string_view line, std::string& scratch, bool fileStart) {
    if (Utf8ToWindows1252(line, scratch) && (!HasHighByte(scratch) || !IsValidUtf8(scratch)) &&
        !(fileStart && (scratch.starts_with(kUtf16LeMark) || scratch.starts_with(kUtf16BeMark) ||
                        scratch.starts_with(kUtf8Mark)))) {
        out.append(scratch);
        return true;
    }
    out.append(line);
    return false;
}

}  // namespace

std::string_view LineEndText(TLineEnd end) {
    switch (end) {
        case TLineEnd::CrLf: return "\r\n";
        case TLineEnd::Lf: return "\n";
        case TLineEnd::Cr: return "\r";
        case TLineEnd::None: break;
    }
    return {};
}

bool TLineSplitter::Next(std::string_view& line, TLineEnd& end) {
    if (done) return false;
    const std::size_t n = text.size();
    std::size_t i = pos;
    const char* start = text.data() + pos;
    const auto* lf = static_cast<const char*>(std::memchr(start, '\n', n - pos));
    const std::size_t lfAt = lf ? static_cast<std::size_t>(lf - text.data()) : n;
    const auto* cr = static_cast<const char*>(std::memchr(start, '\r', lfAt - pos));
    i = cr ? static_cast<std::size_t>(cr - text.data()) : lfAt;
    line = text.substr(pos, i - pos);
    if (i >= n) {
        end = TLineEnd::None;
        done = true;
        return true;
    }
    if (text[i] == '\n') {
        end = TLineEnd::Lf;
        pos = i + 1;
    } else if (i + 1 < n && text[i + 1] == '\n') {
        end = TLineEnd::CrLf;
        pos = i + 2;
    } else {
        end = TLineEnd::Cr;
        pos = i + 1;
    }
    return true;
}

TDecodedView DecodeTextView(std::string_view bytes, std::string& storage) {
    TDecodedView result;
    const bool le = bytes.starts_with(kUtf16LeMark), be = bytes.starts_with(kUtf16BeMark);
    if (le || be) {
        if (!DecodeUtf16(bytes.substr(2), be, storage)) return NotText(bytes, storage, "not valid UTF-16 text");
        result.text = storage;
        result.encoding = be ? TextEncoding::Utf16Be : TextEncoding::Utf16Le;
        return result;
    }
    const bool mark = bytes.starts_with(kUtf8Mark);
    const std::string_view rest = mark ? bytes.substr(kUtf8Mark.size()) : bytes;
    if (std::memchr(rest.data(), '\0', rest.size())) {
        bool bigEndian = false;
        if (mark || !LooksLikeUtf16(bytes, bigEndian) || !DecodeUtf16(bytes, bigEndian, storage))
            return NotText(bytes, storage, "it holds NUL bytes");
        result.text = storage;
        result.encoding = bigEndian ? TextEncoding::Utf16BeNoMark : TextEncoding::Utf16LeNoMark;
        return result;
    }
    if (IsValidUtf8(rest)) {
        result.text = rest;
        result.encoding = mark ? TextEncoding::Utf8Bom : TextEncoding::Utf8;
        return result;
    }
    DecodeLines(rest, mark, storage, result);
    return result;
}

DecodedText DecodeText(std::string_view bytes) {
    std::string storage;
    TDecodedView view = DecodeTextView(bytes, storage);
    DecodedText result;
    if (view.text.data() == storage.data()) result.text = std::move(storage);
    else result.text.assign(view.text);
    result.encoding = view.encoding;
    result.latinLines = std::move(view.latinLines);
    result.notText = std::move(view.notText);
    return result;
}

std::string EncodeText(std::string_view utf8, TextEncoding encoding, const std::vector<std::uint32_t>& latinLines) {
    // Text that begins with the mark's character keeps it only behind a mark of the file's own: alone
    // it would be read as the mark. Text read from a file never begins so without one.
    if (utf8.starts_with(kUtf8Mark) && (encoding == TextEncoding::Utf8 || encoding == TextEncoding::Windows1252))
        encoding = TextEncoding::Utf8Bom;
    switch (encoding) {
        case TextEncoding::Utf16Le: return std::string(kUtf16LeMark) + Utf8ToUtf16(utf8, false);
        case TextEncoding::Utf16Be: return std::string(kUtf16BeMark) + Utf8ToUtf16(utf8, true);
        case TextEncoding::Utf16LeNoMark:
        case TextEncoding::Utf16BeNoMark: {
            const bool be = encoding == TextEncoding::Utf16BeNoMark;
            std::string out = Utf8ToUtf16(utf8, be);
            // Without a mark, bytes that begin as any mark would be read back by that mark: U+FEFF or
            // U+FFFE first (either order's mark), or U+EFBB then U+BFxx big-endian and U+BBEF then U+xxBF
            // little-endian (UTF-8's). Such text keeps a mark of its own.
            if (out.starts_with(kUtf8Mark) || out.starts_with(kUtf16LeMark) || out.starts_with(kUtf16BeMark))
                out.insert(0, be ? kUtf16BeMark : kUtf16LeMark);
            return out;
        }
        case TextEncoding::Utf8:
        case TextEncoding::Utf8Bom:
        case TextEncoding::Windows1252: break;
    }
    const bool allLatin = encoding == TextEncoding::Windows1252;
    std::string out;
    if (allLatin && latinLines.empty()) {
        // Text made here, as a whole: Windows-1252 when every character fits, else UTF-8.
        if (Utf8ToWindows1252(utf8, out)) return out;
        return std::string(utf8);
    }
    if (encoding == TextEncoding::Utf8Bom) out.assign(kUtf8Mark);
    if (!allLatin && latinLines.empty()) return out.append(utf8);
    out.reserve(out.size() + utf8.size());
    std::string scratch;
    TLineSplitter lines{utf8};
    std::string_view line;
    TLineEnd end;
    auto latin = latinLines.begin();
    for (std::uint32_t n = 0; lines.Next(line, end); ++n) {
        while (latin != latinLines.end() && *latin < n) ++latin;
        const bool wanted = allLatin || (latin != latinLines.end() && *latin == n);
        if (wanted && HasHighByte(line)) AppendLatinLine(out, line, scratch, out.empty());
        else out.append(line);
        out.append(LineEndText(end));
    }
    return out;
}

std::string EncodeAppendedText(std::string_view utf8, TextEncoding& encoding) {
    switch (encoding) {
        case TextEncoding::Utf16Le:
        case TextEncoding::Utf16LeNoMark: return Utf8ToUtf16(utf8, false);
        case TextEncoding::Utf16Be:
        case TextEncoding::Utf16BeNoMark: return Utf8ToUtf16(utf8, true);
        case TextEncoding::Utf8:
        case TextEncoding::Utf8Bom: return std::string(utf8);
        case TextEncoding::Windows1252: break;
    }
    std::string out, scratch;
    out.reserve(utf8.size());
    TLineSplitter lines{utf8};
    std::string_view line;
    TLineEnd end;
    bool allLatin = true;
    while (lines.Next(line, end)) {
        if (HasHighByte(line)) allLatin = AppendLatinLine(out, line, scratch, false) && allLatin;
        else out.append(line);
        out.append(LineEndText(end));
    }
    if (!allLatin) encoding = TextEncoding::Utf8;
    return out;
}

std::string DecodeDocument(std::string_view bytes, TTextDocument& document) {
    document = TTextDocument{};
    DecodedText decoded = DecodeText(bytes);
    if (!decoded.notText.empty()) return decoded.notText;
    document.encoding = decoded.encoding;
    document.lines.clear();
    TLineSplitter lines{decoded.text};
    std::string_view line;
    TLineEnd end;
    bool firstEnd = true;
    auto latin = decoded.latinLines.begin();
    for (std::uint32_t n = 0; lines.Next(line, end); ++n) {
        const bool isLatin = latin != decoded.latinLines.end() && *latin == n;
        if (isLatin) ++latin;
        document.lines.push_back({std::string(line), end, isLatin});
        if (firstEnd && end != TLineEnd::None) {
            document.newLineEnd = end;
            firstEnd = false;
        }
    }
    return {};
}

std::string EncodeDocument(const TTextDocument& document) {
    std::string text;
    std::vector<std::uint32_t> latin;
    for (std::size_t n = 0; n < document.lines.size(); ++n) {
        const TTextLine& line = document.lines[n];
        if (line.latin) latin.push_back(static_cast<std::uint32_t>(n));
        text.append(line.text).append(LineEndText(line.end));
    }
    return EncodeText(text, document.encoding, latin);
}

std::string DocumentText(const TTextDocument& document) {
    std::string text;
    for (std::size_t n = 0; n < document.lines.size(); ++n) {
        if (n) text.push_back('\n');
        text.append(document.lines[n].text);
    }
    return text;
}

namespace {

// Pairs the old lines of one gap with the new ones in order; the new lines left over are inserted.
void TakeGap(const std::vector<TTextLine>& old, std::size_t oldFrom, std::size_t oldTo,
             const std::vector<std::string_view>& fresh, std::size_t freshFrom, std::size_t freshTo,
             std::vector<TTextLine>& out) {
    for (std::size_t k = 0; freshFrom + k < freshTo; ++k) {
        TTextLine line;
        line.text.assign(fresh[freshFrom + k]);
        if (oldFrom + k < oldTo) {
            line.end = old[oldFrom + k].end;
            line.latin = old[oldFrom + k].latin;
        } else {
            line.end = out.empty() ? TLineEnd::None : out.back().end;
        }
        out.push_back(std::move(line));
    }
}

// No line-by-line comparison beyond this many pairs: the changed stretch is then taken as one gap.
constexpr std::size_t kMaxCompared = 4u << 20;

}  // namespace

void SetDocumentText(TTextDocument& document, std::string_view text) {
    std::vector<std::string_view> fresh;
    for (std::size_t from = 0;;) {
        const std::size_t at = text.find('\n', from);
        fresh.push_back(text.substr(from, at == std::string_view::npos ? std::string_view::npos : at - from));
        if (at == std::string_view::npos) break;
        from = at + 1;
    }
    const std::vector<TTextLine>& old = document.lines;
    std::size_t head = 0;
    while (head < old.size() && head < fresh.size() && old[head].text == fresh[head]) ++head;
    std::size_t tail = 0;
    while (tail < old.size() - head && tail < fresh.size() - head &&
           old[old.size() - 1 - tail].text == fresh[fresh.size() - 1 - tail])
        ++tail;
    std::vector<TTextLine> out;
    out.reserve(fresh.size());
    out.insert(out.end(), old.begin(), old.begin() + static_cast<std::ptrdiff_t>(head));
    const std::size_t oldEnd = old.size() - tail, freshEnd = fresh.size() - tail;
    const std::size_t m = oldEnd - head, n = freshEnd - head;
    if (m == 0 || n == 0 || (m + 1) * (n + 1) > kMaxCompared) {
        TakeGap(old, head, oldEnd, fresh, head, freshEnd, out);
    } else {
        // The longest common run of lines, so that lines between two edits keep what they had.
        std::vector<std::uint32_t> len((m + 1) * (n + 1), 0);
        const auto at = [&](std::size_t i, std::size_t j) -> std::uint32_t& { return len[i * (n + 1) + j]; };
        for (std::size_t i = m; i-- > 0;)
            for (std::size_t j = n; j-- > 0;)
                at(i, j) = old[head + i].text == fresh[head + j] ? at(i + 1, j + 1) + 1
                                                                  : std::max(at(i + 1, j), at(i, j + 1));
        std::size_t i = 0, j = 0, gapOld = 0, gapFresh = 0;
        while (i < m && j < n) {
            if (old[head + i].text == fresh[head + j]) {
                TakeGap(old, head + gapOld, head + i, fresh, head + gapFresh, head + j, out);
                out.push_back(old[head + i]);
                gapOld = ++i;
                gapFresh = ++j;
            } else if (at(i + 1, j) >= at(i, j + 1)) {
                ++i;
            } else {
                ++j;
            }
        }
        TakeGap(old, head + gapOld, oldEnd, fresh, head + gapFresh, freshEnd, out);
    }
    out.insert(out.end(), old.end() - static_cast<std::ptrdiff_t>(tail), old.end());
    // Every line but the last ends; the last never does.
    for (std::size_t k = 0; k + 1 < out.size(); ++k)
        if (out[k].end == TLineEnd::None) out[k].end = document.newLineEnd;
    out.back().end = TLineEnd::None;
    // A CR, then an empty line ended by LF, would read back as one CR LF: that empty line ends in CR.
    for (std::size_t k = 0; k + 1 < out.size(); ++k)
        if (out[k].end == TLineEnd::Cr && out[k + 1].text.empty() && out[k + 1].end == TLineEnd::Lf)
            out[k + 1].end = TLineEnd::Cr;
    document.lines = std::move(out);
}

}  // namespace kelvarn
