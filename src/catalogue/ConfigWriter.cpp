#include "catalogue/ConfigWriter.h"

#include <vector>

#include "catalogue/OutlineNode.h"
#include "shell/Strings.h"
#include "shell/Text.h"

namespace kelvarn {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

bool IsCommentNode(const TOutlineNode* node) {
    return node->HasFlag(nfComment) || (!node->Text().empty() && node->Text().front() == ';');
}

// A text over several lines as the reader joins it: in double quotes with none inside and "¶" where
// the lines met (the blanks that end a line stay the text's). Only such a value is written over
// several lines; a "¶" anywhere else is an ordinary character, which keeps the written file reading
// back as the same tree.
bool IsMultiLineText(std::string_view value) {
    return value.find(kPilcrow) != std::string_view::npos && value.size() >= 2 && value.front() == '"' &&
           value.find('"', 1) == value.size() - 1;
}

// The name as written: a tag keeps the spelling of its file (scripts look string-table keys up as
// they are written); only comparisons ignore case.
std::string WrittenName(std::string_view text) {
    const std::string t = Trim(text);
    std::size_t end = 0;
    while (end < t.size() && t[end] != ' ' && t[end] != '\t') ++end;
    return t.substr(0, end);
}

bool LooksMarked(std::string_view bytes) {
    return StartsWith(bytes, "\xEF\xBB\xBF") || StartsWith(bytes, "\xFE\xFF") || StartsWith(bytes, "\xFF\xFE");
}

// A container's name as it stands, without the blanks around it. Other control characters stay: the
// reader keeps them inside a line, and without them a name could read back as something else.
std::string_view ContainerName(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// Collects the written lines, each with whether it goes out in Windows-1252 (-1: the file's choice).
class TLineSink {
public:
    TLineSink(bool text, TextEncoding encoding, bool mark)
        : text_(text), latinDefault_(encoding == TextEncoding::Windows1252), mark_(mark) {}

    void Line(std::string_view utf8, int latin = -1) {
        const bool wantLatin = latin < 0 ? latinDefault_ : latin == 1;
        if (!text_ && wantLatin && !IsAsciiText(utf8)) {
            // Windows-1252 bytes that would read back as UTF-8, or begin the file like a byte-order
            // mark ("ï»¿", "þÿ", "ÿþ"), go out in UTF-8: the text matters more than its bytes.
            if (Utf8ToWindows1252(utf8, latin_) && !IsValidUtf8(latin_) && !(out_.empty() && !mark_ && LooksMarked(latin_))) {
                out_.append(latin_).append(kLineEnd);
                return;
            }
        }
        out_.append(utf8).append(kLineEnd);
    }

    std::string& Out() { return out_; }

    static constexpr std::string_view kMark = "\xEF\xBB\xBF";

private:
    bool text_;
    bool latinDefault_;
    bool mark_;
    std::string out_;
    std::string latin_;
};

void WriteTag(TLineSink& sink, const TOutlineNode* node, std::size_t indent) {
    const std::string name = WrittenName(node->Text());
    const std::string value = TagValue(node->Text());
    if (name.empty() && value.empty()) return;  // nothing that could be read back
    const TNodeOrigin* origin = node->Origin();
    std::string line(indent, ' ');
    line.append(name);
    if (value.empty()) {
        while (!line.empty() && line.back() == ' ') line.pop_back();
        sink.Line(line, origin && !origin->latin.empty() ? origin->latin.front() : -1);
        return;
    }
    const std::size_t used = indent + CharCount(name);
    line.append(used + 1 < kConfigValueColumn ? kConfigValueColumn - 1 - used : 1, ' ');
    if (origin) {
        // As it stood: lines break only where the reader joined them, each in its own encoding.
        std::size_t from = 0;
        for (std::size_t k = 0; k <= origin->joins.size(); ++k) {
            const std::size_t to = k < origin->joins.size() ? origin->joins[k] : value.size();
            if (to < from || to > value.size()) break;  // the text no longer matches: cannot happen
            line.append(value, from, to - from);
            sink.Line(line, k < origin->latin.size() ? origin->latin[k] : -1);
            line.clear();
            from = to + kPilcrow.size();
        }
        return;
    }
    if (!IsMultiLineText(value)) {
        line.append(value);
        sink.Line(line);
        return;
    }
    std::size_t from = 0;
    for (std::size_t join = value.find(kPilcrow); join != std::string::npos; join = value.find(kPilcrow, from)) {
        line.append(value, from, join - from);
        sink.Line(line);
        line.clear();
        from = join + kPilcrow.size();
    }
    line.append(value, from);
    sink.Line(line);
}

void WriteTree(TLineSink& sink, const TOutlineNode* root) {
    if (!root) return;
    // Without recursion: a frame per open container, with the indentation of its contents.
    struct Frame {
        const TOutlineNode* node;
        std::size_t next;
        std::size_t indent;
    };
    std::vector<Frame> open{{root, 0, 0}};
    std::string line;
    while (!open.empty()) {
        Frame& frame = open.back();
        if (frame.next >= frame.node->ChildCount()) {
            if (frame.node != root) sink.Line(std::string(frame.indent - 2, ' ') + "}");
            open.pop_back();
            continue;
        }
        const TOutlineNode* node = frame.node->Child(frame.next++);
        const std::size_t indent = frame.indent;
        if (IsCommentNode(node)) continue;
        if (node->HasChildren()) {
            line.assign(indent, ' ');
            line.append(ContainerName(node->Text())).append(" {");
            const TNodeOrigin* origin = node->Origin();
            sink.Line(line, origin && !origin->latin.empty() ? origin->latin.front() : -1);
            open.push_back({node, 0, indent + 2});
        } else {
            WriteTag(sink, node, indent);
        }
    }
}

}  // namespace

std::string WriteConfigText(const TOutlineNode* root) {
    TLineSink sink(true, TextEncoding::Utf8, false);
    WriteTree(sink, root);
    return std::move(sink.Out());
}

std::string WriteConfigBytes(const TOutlineNode* root, TextEncoding encoding, bool mark) {
    if (IsUtf16(encoding)) return EncodeText(WriteConfigText(root), encoding);
    mark = mark || encoding == TextEncoding::Utf8Bom;
    TLineSink sink(false, encoding, mark);
    WriteTree(sink, root);
    std::string& out = sink.Out();
    // Text that begins with a mark of its own keeps it only behind the file's mark.
    if (mark || StartsWith(out, TLineSink::kMark)) out.insert(0, TLineSink::kMark);
    return std::move(out);
}

}  // namespace kelvarn
