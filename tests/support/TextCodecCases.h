// One table of text files in every encoding and line-end style the program meets, shared by the tests
// of each reader: what each shows, and its bytes after its first line is edited (a "!" appended).
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "shell/Text.h"

namespace kelvarn::test {

struct TextCase {
    const char* what;
    std::string bytes;
    TextEncoding encoding;
    std::string shown;   // lines at "\n"
    std::string edited;  // the bytes after EditedLine
};

// ASCII text as UTF-16 code units.
inline std::string Utf16Ascii(std::string_view ascii, bool bigEndian) {
    std::string out;
    for (char c : ascii) {
        if (bigEndian) out.push_back('\0');
        out.push_back(c);
        if (!bigEndian) out.push_back('\0');
    }
    return out;
}

inline std::string EditedLine(const std::string& shown) {
    std::string edited = shown;
    edited.insert(std::min(edited.find('\n'), edited.size()), "!");
    return edited;
}

inline std::vector<TextCase> TextCases() {
    const std::string le = "\xFF\xFE", be = "\xFE\xFF", mark = "\xEF\xBB\xBF";
    return {
        {"UTF-8", "kind caf\xC3\xA9\r\nb\r\n", TextEncoding::Utf8, "kind caf\xC3\xA9\nb\n", "kind caf\xC3\xA9!\r\nb\r\n"},
        {"UTF-8 with its mark", mark + "kind caf\xC3\xA9\r\nb", TextEncoding::Utf8Bom, "kind caf\xC3\xA9\nb",
         mark + "kind caf\xC3\xA9!\r\nb"},
        {"Windows-1252", "kind caf\xE9\r\n\xE0\r\n", TextEncoding::Windows1252, "kind caf\xC3\xA9\n\xC3\xA0\n",
         "kind caf\xE9!\r\n\xE0\r\n"},
        {"UTF-8 and Windows-1252 lines", "kind caf\xC3\xA9\r\nd\xE9j\xE0\r\n", TextEncoding::Utf8,
         "kind caf\xC3\xA9\nd\xC3\xA9j\xC3\xA0\n", "kind caf\xC3\xA9!\r\nd\xE9j\xE0\r\n"},
        {"UTF-16 LE with its mark", le + Utf16Ascii("kind a\r\nb\n", false), TextEncoding::Utf16Le, "kind a\nb\n",
         le + Utf16Ascii("kind a!\r\nb\n", false)},
        {"UTF-16 BE with its mark", be + Utf16Ascii("kind a\r\nb", true), TextEncoding::Utf16Be, "kind a\nb",
         be + Utf16Ascii("kind a!\r\nb", true)},
        {"UTF-16 LE without a mark", Utf16Ascii("kind a\r\nb\r\n", false), TextEncoding::Utf16LeNoMark, "kind a\nb\n",
         Utf16Ascii("kind a!\r\nb\r\n", false)},
        {"LF", "kind a\nb\n", TextEncoding::Utf8, "kind a\nb\n", "kind a!\nb\n"},
        {"CR", "kind a\rb\r", TextEncoding::Utf8, "kind a\nb\n", "kind a!\rb\r"},
        {"mixed line ends", "kind a\r\nb\nc\rd", TextEncoding::Utf8, "kind a\nb\nc\nd", "kind a!\r\nb\nc\rd"},
        {"empty", "", TextEncoding::Utf8, "", "!"},
    };
}

// Bytes no reader may take as text: a NUL byte, and UTF-16 of odd length.
inline std::vector<std::string> NotTextCases() {
    return {std::string("kind a\r\n\0b\r\n", 11), "\xFF\xFE" + Utf16Ascii("kind a", false) + "b"};
}

}  // namespace kelvarn::test
