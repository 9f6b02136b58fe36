#include "media/TextViewDocument.h"

#include <algorithm>
#include <filesystem>

#include "shell/Files.h"
#include "shell/Macros.h"
#include "shell/PathText.h"
#include "shell/Text.h"

namespace kelvarn {

TTextViewDocument DocumentFromBytes(std::string_view bytes) {
    TTextViewDocument document;
    document.notText = DecodeDocument(bytes, document.file);
    if (document.notText.empty()) {
        document.text = DocumentText(document.file);
        return document;
    }
    // Shown as far as it can be: every line end as one "\n".
    const std::string shown = DecodeText(bytes).text;
    TLineSplitter lines{shown};
    std::string_view line;
    TLineEnd end;
    while (lines.Next(line, end)) {
        document.text.append(line);
        if (end != TLineEnd::None) document.text.push_back('\n');
    }
    return document;
}

std::string DocumentToBytes(TTextDocument& file, std::string_view viewText) {
    SetDocumentText(file, viewText);
    return EncodeDocument(file);
}

std::string LoadTextViewFile(std::string_view path, TTextViewDocument& document) {
    std::string bytes;
    if (std::string error = ReadFileBytes(path, bytes); !error.empty())
        return "Unable to load file: " + ShownPath(path) + "\n" + error;
    document = DocumentFromBytes(bytes);
    return {};
}

std::string SaveTextViewFile(std::string_view path, std::string_view viewText, TTextDocument& file) {
    return WriteFileAtomic(path, DocumentToBytes(file, viewText));
}

std::string NotTextMessage(std::string_view path, std::string_view why) {
    return ShownPath(path) + " is not a text file (" + std::string(why) + "); it is shown read-only";
}

int ClampTabWidth(int width) { return std::clamp(width, kMinTabWidth, kMaxTabWidth); }

double TabStopPixels(int width, double averageCharWidth) { return ClampTabWidth(width) * averageCharWidth; }

std::string CloseQueryText(std::string_view path) { return "Save File: " + ShownPath(path) + "?"; }

std::string QuerySaveText(std::string_view path) {
    return "'" + ShownPath(path) + "' may have changed.\n\nSave file to disc?";
}

bool IsShownOnlyProgramFile(const TProgramState& state, std::string_view path) {
    const std::string name = ExtractFileName(NativePath(path));
    bool shownOnly = false;
    for (std::string_view shipped : {"introduction.txt", "Release Notes.txt", "macros.txt", "effect-kind.txt"})
        if (SameText(name, shipped)) shownOnly = true;
    if (!shownOnly) return false;
    std::error_code ec;
    return std::filesystem::equivalent(FsPath(ExtractFileDir(NativePath(path))), FsPath(ExpandMacros(state, "%bin%")), ec) && !ec;
}

}  // namespace kelvarn
