// Text inside the program is UTF-8 in std::string. Files arrive as bytes in UTF-8 (with or without a
// byte-order mark), Windows-1252, a mix of the two line by line, or UTF-16; they are decoded on
// reading and written back in the encoding they came in (the codec itself is TextCodec.cpp).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelvarn {

enum class TextEncoding { Utf8, Utf8Bom, Windows1252, Utf16Le, Utf16Be, Utf16LeNoMark, Utf16BeNoMark };

inline bool IsUtf16(TextEncoding e) {
    return e == TextEncoding::Utf16Le || e == TextEncoding::Utf16Be || e == TextEncoding::Utf16LeNoMark ||
           e == TextEncoding::Utf16BeNoMark;
}

struct DecodedText {
    std::string text;  // UTF-8, without the byte-order mark; line ends as they were
    TextEncoding encoding = TextEncoding::Utf8;
    // Lines (counted from 0) of a UTF-8 or Windows-1252 file that were read as Windows-1252.
    std::vector<std::uint32_t> latinLines;
    // Empty for text; else why the bytes are not text (then `text` is only their Windows-1252 reading,
    // for showing, and must never be written back as the file).
    std::string notText;
};

// Valid UTF-8 (a mark at the very start is dropped and remembered) is taken as it is; UTF-16 with a
// mark, or without one when its NUL bytes show it, is converted; otherwise each line is UTF-8 when it
// is valid and Windows-1252 when not. A file of Windows-1252 lines and ASCII is Windows-1252.
DecodedText DecodeText(std::string_view bytes);

// Back to bytes. Text read from a file (with its Windows-1252 lines listed) goes line by line: the
// listed lines, and every line of a Windows-1252 file, in Windows-1252 when the line fits, else in
// UTF-8. Windows-1252 text with no list is written whole: in it when every character fits, else in
// UTF-8. UTF-16 is written whole, with its mark unless it came without one.
std::string EncodeText(std::string_view utf8, TextEncoding encoding,
                       const std::vector<std::uint32_t>& latinLines = {});
inline std::string EncodeText(const DecodedText& decoded) {
    return EncodeText(decoded.text, decoded.encoding, decoded.latinLines);
}

bool IsValidUtf8(std::string_view bytes);
bool IsAsciiText(std::string_view bytes);
// UTF-16 code units (no mark) to UTF-8. False, with `utf8` incomplete, for an odd number of bytes or
// a surrogate without its pair: such text cannot be written back as it was.
bool Utf16ToUtf8(std::string_view bytes, bool bigEndian, std::string& utf8);
// UTF-8 to UTF-16 code units, without a mark.
std::string Utf8ToUtf16(std::string_view utf8, bool bigEndian);
std::string Windows1252ToUtf8(std::string_view bytes);
// False when a character has no Windows-1252 byte; `out` then holds what was converted so far.
bool Utf8ToWindows1252(std::string_view utf8, std::string& out);

// Characters, not bytes: the code points of a UTF-8 text.
std::u32string ToCodePoints(std::string_view utf8);
std::string FromCodePoints(std::u32string_view points);
void AppendUtf8(std::string& out, char32_t point);
std::size_t CharCount(std::string_view utf8);

// The three characters the system uses as separators and markers.
inline constexpr std::string_view kPilcrow = "\xC2\xB6";     // U+00B6 "¶"
inline constexpr std::string_view kBrokenBar = "\xC2\xA6";   // U+00A6 "¦"
inline constexpr std::string_view kMiddleDot = "\xC2\xB7";   // U+00B7 "·"

// Case folding covers ASCII, the Latin letters Windows-1252 holds, and the Greek and Cyrillic
// alphabets (Russian, Greek descriptions); every mapped pair keeps its UTF-8 length.
std::string LowerCase(std::string_view text);
std::string UpperCase(std::string_view text);
bool SameText(std::string_view a, std::string_view b);

// Does `subText` occur in `text`, ignoring case? An empty `subText` is never found.
bool ContainsText(std::string_view text, std::string_view subText);
// The same, with case. An empty `subText` is never found.
bool ContainsStr(std::string_view text, std::string_view subText);
// Position of `subText` in `text` ignoring case, or npos.
std::size_t FindText(std::string_view text, std::string_view subText, std::size_t from = 0);

bool StartsWith(std::string_view text, std::string_view prefix);
bool EndsWith(std::string_view text, std::string_view suffix);
bool StartsWithText(std::string_view text, std::string_view prefix);  // ignoring case
bool EndsWithText(std::string_view text, std::string_view suffix);    // ignoring case

// Blanks and control characters (as Delphi's Trim: everything up to and including space).
std::string Trim(std::string_view text);
// Trim without a copy: blanks and control characters cut off both ends.
inline std::string_view TrimView(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
    return text;
}
std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);
std::string ReplaceAllText(std::string_view text, std::string_view from, std::string_view to);  // ignoring case
std::string ReplaceFirstText(std::string_view text, std::string_view from, std::string_view to);

// Splits at every occurrence of one separator text; an empty text gives one empty piece.
std::vector<std::string> SplitString(std::string_view text, std::string_view separator);
// Splits a file's text into lines at CR LF, LF or a lone CR; a final line end adds no empty line.
std::vector<std::string> SplitLines(std::string_view text);
std::string JoinLines(const std::vector<std::string>& lines, std::string_view lineEnd = "\r\n");

// Locale-free number conversions: "." is the only decimal separator.
bool TryParseInt(std::string_view text, long long& value);  // decimal, or "$"/"0x" hexadecimal
bool TryParseDouble(std::string_view text, double& value);
std::string FormatDouble(double value, int decimals);
// C's "%1.<digits>g": the shorter of fixed and exponent form with `digits` significant digits
// ("0.3333", "1.234e+04", "1e-05"); -0 prints "0".
std::string FormatG(double value, int digits);

}  // namespace kelvarn
