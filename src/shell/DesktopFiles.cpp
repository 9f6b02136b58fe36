#include "shell/DesktopFiles.h"

#include "shell/PathText.h"

namespace kelvarn {

std::vector<std::string> ClipboardFileList(const std::vector<std::string>& paths) {
    std::vector<std::string> list;
    for (const std::string& path : paths) {
        std::string p = path;
        while (p.size() > 1 && IsPathSeparator(p.back())) p.pop_back();
        if (!p.empty()) list.push_back(std::move(p));
    }
    return list;
}

}  // namespace kelvarn
