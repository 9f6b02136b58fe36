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

// A text over several lines as the reader joins it: in double quotes with none inside, "¶" where
// the lines met, and no blank at the end of its first line (reading trims that line). Only such a
// value is written over several lines; a "¶" anywhere else is an ordinary character, which keeps
// the written file reading back as the same tree.
bool IsMultiLineText(std::string_view value) {
    const std::size_t join = value.find(kPilcrow);
    return join != std::string_view::npos && value.size() >= 2 && value.front() == '"' &&
           value.find('"', 1) == value.size() - 1 && static_cast<unsigned char>(value[join - 1]) > ' ';
}

void WriteTag(std::string& out, const TOutlineNode* node, std::size_t indent) {
    const std::string name = TagName(node->Text());
    const std::string value = TagValue(node->Text());
    if (name.empty() && value.empty()) return;  // nothing that could be read back
    out.append(indent, ' ').append(name);
    if (value.empty()) {
        while (!out.empty() && out.back() == ' ') out.pop_back();
        out.append(kLineEnd);
        return;
    }
    const std::size_t used = indent + CharCount(name);
    out.append(used + 1 < kConfigValueColumn ? kConfigValueColumn - 1 - used : 1, ' ');
    if (IsMultiLineText(value)) out.append(ReplaceAll(value, kPilcrow, kLineEnd));
    else out.append(value);
    out.append(kLineEnd);
}

}  // namespace

std::string WriteConfigText(const TOutlineNode* root) {
    std::string out;
    if (!root) return out;
    // Without recursion: a frame per open container, with the indentation of its contents.
    struct Frame {
        const TOutlineNode* node;
        std::size_t next;
        std::size_t indent;
    };
    std::vector<Frame> open{{root, 0, 0}};
    while (!open.empty()) {
        Frame& frame = open.back();
        if (frame.next >= frame.node->ChildCount()) {
            if (frame.node != root) out.append(frame.indent - 2, ' ').append("}").append(kLineEnd);
            open.pop_back();
            continue;
        }
        const TOutlineNode* node = frame.node->Child(frame.next++);
        const std::size_t indent = frame.indent;
        if (IsCommentNode(node)) continue;
        if (node->HasChildren()) {
            out.append(indent, ' ').append(TagName(node->Text())).append(" {").append(kLineEnd);
            open.push_back({node, 0, indent + 2});
        } else {
            WriteTag(out, node, indent);
        }
    }
    return out;
}

std::string EncodeConfigText(std::string_view text, TextEncoding encoding) {
    constexpr std::string_view kMark = "\xEF\xBB\xBF";
    if (encoding == TextEncoding::Windows1252) {
        std::string bytes;
        if (Utf8ToWindows1252(text, bytes) && !StartsWith(bytes, kMark) && (bytes == text || !IsValidUtf8(bytes)))
            return bytes;
        encoding = TextEncoding::Utf8;
    }
    if (encoding == TextEncoding::Utf8 && !StartsWith(text, kMark)) return std::string(text);
    return std::string(kMark) + std::string(text);
}

}  // namespace kelvarn
