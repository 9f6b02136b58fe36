// The text view's file handling and small rules, apart from the widget: a file is decoded by the
// program's text codec and shown with one-character line ends; saving puts back each line's encoding
// and end, so an unchanged file is written byte for byte as it was read and an edit changes only the
// lines it touched.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "shell/TextCodec.h"

namespace kelvarn {

class TProgramState;

struct TTextViewDocument {
    TTextDocument file;
    std::string text;     // what the view shows: UTF-8 with "\n" line ends
    std::string notText;  // why the file is no text (then it is only shown, never written); else empty
};

TTextViewDocument DocumentFromBytes(std::string_view bytes);
// The view's text back to bytes: `file` takes the text, keeping what each unchanged line had.
std::string DocumentToBytes(TTextDocument& file, std::string_view viewText);

// Reads a file for the view; the error names the file ("Unable to load file: " + path + the reason).
// A file that is no text loads, with notText set.
std::string LoadTextViewFile(std::string_view path, TTextViewDocument& document);
// Writes atomically; empty on success, else the message.
std::string SaveTextViewFile(std::string_view path, std::string_view viewText, TTextDocument& file);
// The alert for a file that is shown read-only because it is no text.
std::string NotTextMessage(std::string_view path, std::string_view why);

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

// The files that ship in the program folder only to be shown (the welcome text, the release notes,
// the macro legend, the effect kinds): a text view shows them read-only, so that no Save writes them.
bool IsShownOnlyProgramFile(const TProgramState& state, std::string_view path);

// What a text view does once it has asked, before it writes a file, whether another pane holds
// unsaved edits of the same file: with `write` it goes on; otherwise nothing of the text is written,
// and either `error` says why or the other pane's version took the file in the text's place.
struct TTextSaveVerdict {
    bool write = true;
    std::string error;
    // Called when the text's own write then fails, so that the other pane takes its edits back.
    std::function<void()> writeFailed;
};

// The questions of a view with unsaved changes.
std::string CloseQueryText(std::string_view path);  // "Save File: <path>?"
std::string QuerySaveText(std::string_view path);   // "'<path>' may have changed.\n\nSave file to disc?"

}  // namespace kelvarn
