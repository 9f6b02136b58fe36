#include "validation/ScriptLists.h"

#include <algorithm>
#include <limits>

#include "shell/Files.h"
#include "shell/Macros.h"
#include "shell/PathText.h"
#include "shell/Strings.h"
#include "shell/Text.h"

namespace kelvarn {

namespace {

// The part of a listed path below `folder`, with backslashes.
std::string RelativePart(std::string_view path, std::string_view folder) {
    std::string rest(path.substr(std::min(path.size(), folder.size())));
    while (!rest.empty() && IsPathSeparator(rest.front())) rest.erase(0, 1);
    return ReplaceChar(rest, '/', '\\');
}

std::string WithoutDoubleBackslashes(std::string text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != '\\' || out.empty() || out.back() != '\\') out.push_back(c);
    return out;
}

}  // namespace

bool IsAbsoluteScriptPath(std::string_view path) {
    return path.find(':') != std::string_view::npos || (!path.empty() && path.front() == '/');
}

bool ReadScriptInt(std::string_view text, int& value) {
    long long v = 0;
    if (!TryParseInt(text, v) || v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        return false;
    value = static_cast<int>(v);
    return true;
}

int CompareNumeric(std::string_view a, std::string_view b) {
    int x = -1, y = -1;
    if (!ReadScriptInt(a, x)) x = -1;
    if (!ReadScriptInt(b, y)) y = -1;
    return x < y ? -1 : (x > y ? 1 : 0);
}

bool ListAssetFiles(const TProgramState& state, std::string_view assetFolder, std::string_view pattern,
                    std::vector<std::string>& list) {
    list.clear();
    const std::string expanded = ExpandMacros(state, pattern);
    const bool absolute = IsAbsoluteScriptPath(expanded);
    const std::string full = ReplaceChar(expanded, '/', '\\');
    if (full.empty()) return false;

    if (absolute) {
        const std::size_t cut = full.rfind('\\');
        if (cut == std::string::npos) return false;
        const std::string namePattern = LowerCase(full.substr(cut + 1));
        const std::string real = ResolvePathIgnoreCase(full.substr(0, cut + 1));
        if (real.empty() || !DirectoryExists(real)) return false;
        std::vector<std::string> found;
        FindFiles(JoinPath(real, "*"), "*", found, false);
        const std::string shown = ExcludeTrailingSeparator(real);
        for (const std::string& path : found) {
            const std::string name = ExtractFileName(path);
            if (FileExists(path) && WildcardMatch(namePattern, LowerCase(name))) list.push_back(shown + "\\" + name);
        }
        return !list.empty();
    }

    // Relative to the asset folder. Only the part below it is compared, so that characters of the
    // folder's own name are never read as wildcards.
    const std::string folder = ExcludeTrailingSeparator(assetFolder);
    if (folder.empty() || !DirectoryExists(folder)) return false;
    std::string relative = WithoutDoubleBackslashes(full);
    const bool rootOnly = relative.size() > 1 && relative[0] == '\\' && relative.find('\\', 1) == std::string::npos;
    while (!relative.empty() && relative.front() == '\\') relative.erase(0, 1);
    const std::string lowerPattern = LowerCase(relative);
    std::vector<std::string> found;
    FindFiles(JoinPath(folder, "*"), "*", found, !rootOnly);
    for (const std::string& path : found) {
        const std::string rel = RelativePart(path, folder);
        if (WildcardMatch(lowerPattern, LowerCase(rel))) list.push_back(folder + "\\" + rel);
    }
    return !list.empty();
}

bool ParseOptionList(std::string_view text, std::vector<std::string>& list, std::string& message) {
    list.clear();
    message.clear();
    if (text.empty()) {
        message = ".List parameter empty";
        return false;
    }
    TTokens parts;
    const int count = std::min(SplitByCharSet(text, parts, ",;"), kMaxTokens - 1);
    for (int i = 0; i < count; ++i) {
        const std::string& part = parts[static_cast<std::size_t>(i)];
        const std::size_t dash = part.find('-');
        if (dash == std::string::npos) {
            list.push_back(part);
            continue;
        }
        int a = -1, b = -1;
        if (!ReadScriptInt(std::string_view(part).substr(0, dash), a)) a = -1;
        if (!ReadScriptInt(std::string_view(part).substr(dash + 1), b)) b = -1;
        if (b < a) {
            message = ".Numeric ranges must be in ascending order";
            return false;
        }
        if (a < 0 || b < 0) continue;
        // A range of millions would only exhaust memory: no person means it.
        if (static_cast<std::size_t>(b - a) >= kMaxOptionItems - std::min(list.size(), kMaxOptionItems)) {
            message = ".Invalid item in list";
            return false;
        }
        for (int n = a; n <= b; ++n) list.push_back(std::to_string(n));
    }
    for (const std::string& item : list) {
        int n = 0;
        if (!ReadScriptInt(item, n) || n < 0) message = ".Invalid item in list";
    }
    if (!message.empty()) return false;
    std::stable_sort(list.begin(), list.end(),
                     [](const std::string& x, const std::string& y) { return CompareNumeric(x, y) < 0; });
    list.erase(std::unique(list.begin(), list.end()), list.end());
    if (list.empty()) {
        message = ".Option list empty";
        return false;
    }
    return true;
}

std::string ResolveScriptFile(std::string_view path) {
    if (path.empty()) return {};
    const std::string found = ResolvePathIgnoreCase(path);
    return !found.empty() && FileExists(found) ? found : std::string();
}

std::string ReadLinesFile(std::string_view path, std::vector<std::string>& lines) {
    lines.clear();
    const std::string file = ResolveScriptFile(path);
    if (file.empty()) return "File not found: " + ShownPath(path);
    DecodedText text;
    if (std::string error = ReadTextFile(file, text, kMaxScriptFileBytes); !error.empty()) return error;
    lines = SplitLines(text.text);
    return {};
}

}  // namespace kelvarn
