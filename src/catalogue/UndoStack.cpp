#include "catalogue/UndoStack.h"

#include <charconv>
#include <cstdint>
#include <vector>

#include "catalogue/OutlineNode.h"
#include "shell/Files.h"
#include "shell/Macros.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"

namespace kelvarn {

namespace {

constexpr std::string_view kSnapshotHeader = "KVUNDO 1\n";
constexpr std::uint64_t kMaxSnapshotBytes = 256ull << 20;

// One number and the blank or line end after it.
bool ReadNumber(std::string_view data, std::size_t& pos, char end, std::uint64_t& value) {
    const char* first = data.data() + pos;
    const char* last = data.data() + data.size();
    const auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || ptr == first || ptr == last || *ptr != end) return false;
    pos = static_cast<std::size_t>(ptr - data.data()) + 1;
    return true;
}

struct TNodeHeader {
    std::uint64_t level = 0, flags = 0, mark = 0, length = 0;
    std::string_view text;
};

// One node's header and text at `pos`, checked against the data; moves `pos` past them.
bool ReadNode(std::string_view data, std::size_t& pos, TNodeHeader& h, std::string& error) {
    if (!ReadNumber(data, pos, ' ', h.level) || !ReadNumber(data, pos, ' ', h.flags) ||
        !ReadNumber(data, pos, ' ', h.mark) || !ReadNumber(data, pos, '\n', h.length)) {
        error = "a node's header is damaged";
        return false;
    }
    if (h.flags > static_cast<std::uint64_t>(kAllNodeFlags) || h.mark > 1 || h.length >= data.size() - pos ||
        data[pos + h.length] != '\n') {
        error = "a node is damaged";
        return false;
    }
    h.text = data.substr(pos, h.length);
    pos += h.length + 1;
    return true;
}

}  // namespace

void WriteUndoSnapshot(const TOutlineNode* root, std::string& out) {
    out.assign(kSnapshotHeader);
    char head[64];
    WalkRows(root, [&](const TOutlineNode* node, int level) {
        // One node's header: level, flags, has-children mark and text length.
        char* p = std::to_chars(head, head + 16, level).ptr;
        *p++ = ' ';
        p = std::to_chars(p, p + 16, node->Flags()).ptr;
        *p++ = ' ';
        *p++ = node->ChildMark() ? '1' : '0';
        *p++ = ' ';
        p = std::to_chars(p, p + 24, node->Text().size()).ptr;
        *p++ = '\n';
        out.append(head, p).append(node->Text()).push_back('\n');
    });
}

std::string WriteUndoSnapshot(const TOutlineNode* root) {
    std::string out;
    WriteUndoSnapshot(root, out);
    return out;
}

std::unique_ptr<TOutlineNode> ReadUndoSnapshot(std::string_view data, std::string& error) {
    error.clear();
    if (data.substr(0, kSnapshotHeader.size()) != kSnapshotHeader) {
        error = "not an undo snapshot";
        return nullptr;
    }
    // A first pass counts each node's children, so that every child list is made once at its size:
    // lists grown step by step make the allocator reshuffle its free memory at every undo, and each
    // undo then walks a tree more scattered than the last.
    std::vector<std::uint32_t> childCounts;
    {
        std::vector<std::size_t> open;  // the indices of the nodes from the root down to the last one read
        TNodeHeader h;
        for (std::size_t pos = kSnapshotHeader.size(); pos < data.size();) {
            if (!ReadNode(data, pos, h, error)) return nullptr;
            if (h.level == 0 ? !open.empty() : (open.empty() || h.level > open.size())) {
                error = h.level == 0 ? "a second root" : "a node without a parent";
                return nullptr;
            }
            open.resize(h.level);
            if (!open.empty()) ++childCounts[open.back()];
            open.push_back(childCounts.size());
            childCounts.push_back(0);
        }
    }
    std::unique_ptr<TOutlineNode> root;
    std::vector<TOutlineNode*> path;  // the nodes from the root down to the last one read
    std::size_t index = 0;
    TNodeHeader h;
    for (std::size_t pos = kSnapshotHeader.size(); pos < data.size(); ++index) {
        ReadNode(data, pos, h, error);  // checked by the first pass
        std::string value(h.text);
        TOutlineNode* node = nullptr;
        if (h.level == 0) {
            root = std::make_unique<TOutlineNode>(std::move(value));
            TOutlineBuilder::SetFlags(*root, static_cast<int>(h.flags));
            TOutlineBuilder::SetMark(*root, h.mark == 1);
            node = root.get();
            path.assign(1, node);
        } else {
            path.resize(h.level);
            node = TOutlineBuilder::Append(*path.back(), std::move(value), static_cast<int>(h.flags), h.mark == 1);
            path.push_back(node);
        }
        TOutlineBuilder::Reserve(*node, childCounts[index]);
    }
    return root;
}

TUndoStack::TUndoStack(TProgramState& state, std::string prefix) : state_(state), prefix_(std::move(prefix)) {}

std::string TUndoStack::FileName(int n) const {
    return IncludeTrailingSeparator(BackupFolderPath(state_), '\\') + prefix_ + std::to_string(n) + ".kv$";
}

int TUndoStack::FirstMissing() const {
    // The stack's own count is the answer while its files stand as it left them; checking that costs
    // two lookups at any depth, where a scan from 0 would make every step slower than the last.
    if (!FileExists(FileName(depth_)) && (depth_ == 0 || FileExists(FileName(depth_ - 1)))) return depth_;
    int n = 0;
    while (FileExists(FileName(n))) ++n;
    return n;
}

std::string TUndoStack::Push(const TOutlineNode* root) {
    WriteUndoSnapshot(root, buffer_);
    return PushSnapshot(buffer_);
}

std::string TUndoStack::PushSnapshot(std::string_view snapshot) {
    ForceDirectories(BackupFolderPath(state_));
    const int n = FirstMissing();
    if (std::string error = WriteScratchFile(FileName(n), snapshot); !error.empty())
        return "Undo snapshot not saved: " + error;
    depth_ = n + 1;
    return {};
}

std::string TUndoStack::Pop(std::unique_ptr<TOutlineNode>& tree, bool& restored) {
    restored = false;
    if (!FileExists(FileName(0))) {
        depth_ = 0;
        return {};
    }
    const int n = FirstMissing();
    const std::string file = FileName(n - 1);
    depth_ = n - 1;
    std::string error = ReadFileBytes(file, buffer_, kMaxSnapshotBytes);
    std::unique_ptr<TOutlineNode> read;
    if (error.empty()) {
        read = ReadUndoSnapshot(buffer_, error);
        if (!error.empty()) error = "Undo snapshot damaged: " + file + " (" + error + ")";
    } else {
        error = "Undo snapshot unreadable: " + error;
    }
    // A snapshot that cannot be read would block every undo behind it.
    DeleteFilePath(file);
    if (!error.empty()) return error;
    tree = std::move(read);
    restored = true;
    return {};
}

void TUndoStack::Clear() {
    for (int n = 0; FileExists(FileName(n)); ++n) DeleteFilePath(FileName(n));
    depth_ = 0;
}

}  // namespace kelvarn
