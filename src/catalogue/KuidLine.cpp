#include "catalogue/KuidLine.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "shell/PathText.h"
#include "shell/Strings.h"
#include "shell/Text.h"

namespace kelvarn {

namespace {

// KUIDs are ASCII; anything else in the piece is taken by the line rule (UTF-8, else Windows-1252).
// A piece of a line is never taken for a file of its own: it may hold a NUL, but it is no UTF-16.
std::string Decoded(std::string_view piece) {
    return LowerCase(IsValidUtf8(piece) ? std::string(piece) : Windows1252ToUtf8(piece));
}

// A config in UTF-16, with or without its mark: its lines are found in the text it decodes to, not
// in its bytes, where every other byte of a line is a NUL. Files of one- or two-byte text hold no
// NUL, so the head of the file tells.
bool MayBeUtf16(std::string_view head) {
    head = head.substr(0, 64);
    return head.starts_with("\xFF\xFE") || head.starts_with("\xFE\xFF") || head.find('\0') != std::string_view::npos;
}

std::string ScanLines(std::string_view bytes) {
    TKuidLineScanner scanner;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = bytes.size();
        if (scanner.Feed(bytes.substr(start, end - start))) break;
        start = end + 1;
    }
    return scanner.Result();
}

// The tag name of a line whose name and value may be separated by tabs as well as blanks.
std::string LineTagName(std::string_view line) {
    std::string blanked(line);
    for (char& c : blanked)
        if (c == '\t') c = ' ';
    return TagName(blanked);
}

bool HoldsKuidMention(std::string_view line) {
    const std::string lowered = LowerCase(line);
    return lowered.find("kuid") != std::string::npos && lowered.find("<kuid") != std::string::npos;
}

}  // namespace

std::string KuidTextOfLine(std::string_view line) {
    const std::size_t lt = line.find('<');
    if (lt == std::string_view::npos) return {};
    const std::size_t gt = line.find('>', lt);
    if (gt != std::string_view::npos) return Decoded(line.substr(lt, gt - lt + 1));
    return Decoded(Trim(Unquote(line.substr(lt))));
}

bool TKuidLineScanner::Feed(std::string_view line) {
    if (found_) return true;
    if (!inQuotes_ && depth_ == 0 && LineTagName(line) == "kuid") {
        topLevel_ = KuidTextOfLine(line);
        found_ = true;
        return true;
    }
    if (fallback_.empty() && HoldsKuidMention(line)) fallback_ = KuidTextOfLine(line);
    // Braces open and close containers; inside a quoted value (which may run over several lines) they
    // are text.
    for (char c : line) {
        if (c == '"') {
            inQuotes_ = !inQuotes_;
        } else if (!inQuotes_) {
            if (c == '{') ++depth_;
            else if (c == '}' && depth_ > 0) --depth_;
        }
    }
    return false;
}

std::string TKuidLineScanner::Result() const { return found_ ? topLevel_ : fallback_; }

std::string KuidTextOfConfig(std::string_view bytes) {
    if (MayBeUtf16(bytes)) {
        const DecodedText decoded = DecodeText(bytes);
        if (IsUtf16(decoded.encoding)) return ScanLines(decoded.text);
    }
    return ScanLines(bytes);
}

std::string ReadKuidText(const std::string& configFile) {
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, Closer> file(std::fopen(NativePath(configFile).c_str(), "rb"));
    if (!file) return {};
    TKuidLineScanner scanner;
    std::string pending;  // the unfinished last line of the blocks read so far
    // The KUID sits near the head of nearly every config: small blocks, not cleared first.
    constexpr std::size_t kBlock = 16 * 1024;
    const std::unique_ptr<char[]> block(new char[kBlock]);
    std::size_t total = 0;
    while (total < kKuidReadCap) {
        const std::size_t want = std::min(kBlock, kKuidReadCap - total);
        const std::size_t got = std::fread(block.get(), 1, want, file.get());
        if (got == 0) break;
        if (total == 0 && MayBeUtf16(std::string_view(block.get(), got))) {
            // Read whole (as far as the cap) and decoded: the scan below works on bytes of text.
            std::string bytes(block.get(), got);
            while (bytes.size() < kKuidReadCap) {
                const std::size_t more = std::fread(block.get(), 1, std::min(kBlock, kKuidReadCap - bytes.size()), file.get());
                if (more == 0) break;
                bytes.append(block.get(), more);
            }
            return KuidTextOfConfig(bytes);
        }
        total += got;
        pending.append(block.get(), got);
        std::size_t start = 0;
        for (;;) {
            const std::size_t end = pending.find_first_of("\r\n", start);
            if (end == std::string::npos) break;
            if (scanner.Feed(std::string_view(pending).substr(start, end - start))) return scanner.Result();
            start = end + 1;
        }
        pending.erase(0, start);
    }
    if (!pending.empty()) scanner.Feed(pending);
    return scanner.Result();
}

}  // namespace kelvarn
