#include "media/TextViewDocument.h"

#include <algorithm>

#include "shell/Files.h"

namespace kelvarn {

TTextViewDocument DocumentFromBytes(std::string_view bytes) {
    DecodedText decoded = DecodeText(bytes);
    TTextViewDocument document;
    document.encoding = decoded.encoding;
    std::string& in = decoded.text;
    const std::size_t firstEnd = in.find_first_of("\r\n");
    if (firstEnd != std::string::npos) {
        if (in[firstEnd] == '\n')
            document.lineEnd = TLineEnd::Lf;
        else
            document.lineEnd = firstEnd + 1 < in.size() && in[firstEnd + 1] == '\n' ? TLineEnd::CrLf : TLineEnd::Cr;
    }
    // One pass: CR LF and lone CR become "\n".
    if (in.find('\r') == std::string::npos) {
        document.text = std::move(in);
        return document;
    }
    std::string& out = document.text;
    out.reserve(in.size());
    for (std::size_t i = 0; i < in.size(); ++i) {
        if (in[i] == '\r') {
            out += '\n';
            if (i + 1 < in.size() && in[i + 1] == '\n') ++i;
        } else {
            out += in[i];
        }
    }
    return document;
}

std::string DocumentToBytes(std::string_view viewText, TextEncoding encoding, TLineEnd lineEnd) {
    if (lineEnd == TLineEnd::Lf) return EncodeText(viewText, encoding);
    const std::string_view end = lineEnd == TLineEnd::CrLf ? "\r\n" : "\r";
    std::string text;
    text.reserve(viewText.size() + viewText.size() / 16);
    for (char c : viewText) {
        if (c == '\n')
            text += end;
        else
            text += c;
    }
    return EncodeText(text, encoding);
}

std::string LoadTextViewFile(std::string_view path, TTextViewDocument& document) {
    std::string bytes;
    if (std::string error = ReadFileBytes(path, bytes); !error.empty())
        return "Unable to load file: " + std::string(path) + "\n" + error;
    document = DocumentFromBytes(bytes);
    return {};
}

std::string SaveTextViewFile(std::string_view path, std::string_view viewText, TextEncoding encoding,
                             TLineEnd lineEnd) {
    return WriteFileAtomic(path, DocumentToBytes(viewText, encoding, lineEnd));
}

int ClampTabWidth(int width) { return std::clamp(width, kMinTabWidth, kMaxTabWidth); }

double TabStopPixels(int width, double averageCharWidth) { return ClampTabWidth(width) * averageCharWidth; }

std::string CloseQueryText(std::string_view path) { return "Save File: " + std::string(path) + "?"; }

std::string QuerySaveText(std::string_view path) {
    return "'" + std::string(path) + "' may have changed.\n\nSave file to disc?";
}

}  // namespace kelvarn
