#include "catalogue/ConfigPath.h"

#include "shell/Text.h"

namespace kelvarn {

std::string NormaliseConfigPath(std::string_view path) {
    if (path.empty()) return {};
    if (path == kConfigRoot) return std::string(path);
    std::string out;
    out.reserve(path.size() + kConfigRoot.size() + 1);
    if (path.front() == '\\') {
        out.append(kConfigRoot).append(path);
    } else if (StartsWith(path, "config.txt\\")) {
        out.append(path);
    } else {
        out.append(kConfigRoot).append("\\").append(path);
    }
    return out;
}

TPathParts SplitConfigPath(std::string_view path) {
    TPathParts result;
    if (!path.empty() && path.back() == '\\') path.remove_suffix(1);
    std::size_t start = 0;
    while (result.count < kMaxPathParts) {
        const std::size_t sep = path.find('\\', start);
        result.parts[result.count++] = path.substr(start, sep == std::string_view::npos ? sep : sep - start);
        if (sep == std::string_view::npos) break;
        start = sep + 1;
    }
    return result;
}

std::string LastPathElement(std::string_view path) {
    const std::string normal = NormaliseConfigPath(path);
    if (normal.empty()) return {};
    return std::string(SplitConfigPath(normal).back());
}

}  // namespace kelvarn
