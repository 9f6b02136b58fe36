#include "catalogue/EditorDialogs.h"

#include "shell/PathText.h"
#include "shell/Text.h"

namespace kelvarn {

std::string ShortenedPath(const std::string& path) {
    const std::string trimmed = ExcludeTrailingSeparator(path);
    char separator = '\\';
    for (char c : trimmed)
        if (IsPathSeparator(c)) {
            separator = c;
            break;
        }
    const std::size_t first = trimmed.find_first_of("\\/");
    const std::string head = first == std::string::npos ? std::string() : trimmed.substr(0, first);
    const std::string dots = std::string(1, separator) + "..." + std::string(1, separator);
    return head + dots + ExtractFileName(trimmed) + std::string(1, separator);
}

std::string CheckNewName(const std::string& name) {
    const std::string trimmed = Trim(name);
    if (trimmed.empty()) return "A name is needed";
    if (trimmed == "." || trimmed == "..") return "Not a valid name: " + name;
    for (char c : name)
        if (IsPathSeparator(c)) return "A name cannot hold \"\\\" or \"/\": " + name;
    return {};
}

}  // namespace kelvarn
