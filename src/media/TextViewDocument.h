// The text view's file handling and small rules, apart from the widget: a file is decoded by the
// program's text rule and shown with one-character line ends; saving puts back the encoding and the
// line ends it came with, so an unchanged file is written byte for byte as it was read.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "shell/Text.h"

namespace kelvarn {

enum class TLineEnd { CrLf, Lf, Cr };

struct TTextViewDocument {
    std::string text;  // UTF-8 with "\n" line ends
    TextEncoding encoding = TextEncoding::Utf8;
    TLineEnd lineEnd = TLineEnd::CrLf;  // the file's first line end; text made here uses CR LF
};

// Decodes a file's bytes: the encoding by the text rule, the line ends by the first one found.
TTextViewDocument DocumentFromBytes(std::string_view bytes);
// The view's text back to bytes in the document's encoding and line ends.
std::string DocumentToBytes(std::string_view viewText, TextEncoding encoding, TLineEnd lineEnd);

// Reads a file for the view; the error names the file ("Unable to load file: " + path + the reason).
std::string LoadTextViewFile(std::string_view path, TTextViewDocument& document);
// Writes atomically; empty on success, else the message.
std::string SaveTextViewFile(std::string_view path, std::string_view viewText, TextEncoding encoding,
                             TLineEnd lineEnd);

// Tab widths run from 2 to 20 characters.
inline constexpr int kMinTabWidth = 2;
inline constexpr int kMaxTabWidth = 20;
int ClampTabWidth(int width);
// A tab stop in pixels: the width in characters × the font's average character width.
double TabStopPixels(int width, double averageCharWidth);

// Find: forward from the end of the selection; after a miss the next search starts at the beginning.
class TFindCycle {
public:
    std::size_t StartFrom(std::size_t selectionEnd) {
        const std::size_t start = restart_ ? 0 : selectionEnd;
        restart_ = false;
        return start;
    }
    void Missed() { restart_ = true; }

private:
    bool restart_ = false;
};
inline constexpr std::string_view kNoFurtherMatches = "No further matches";

// The questions of a view with unsaved changes.
std::string CloseQueryText(std::string_view path);  // "Save File: <path>?"
std::string QuerySaveText(std::string_view path);   // "'<path>' may have changed.\n\nSave file to disc?"

}  // namespace kelvarn
