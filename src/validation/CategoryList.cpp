#include "validation/CategoryList.h"

#include <algorithm>

#include "shell/Macros.h"
#include "shell/PathText.h"
#include "shell/Strings.h"
#include "shell/Text.h"
#include "validation/ScriptLists.h"

namespace kelvarn {

std::vector<std::string> CategoryItems(std::string_view text) {
    std::vector<std::string> items;
    for (const std::string& piece : SplitString(text, ";")) {
        std::string item = Trim(piece);
        if (item.empty()) continue;
        if (std::none_of(items.begin(), items.end(), [&](const std::string& i) { return SameText(i, item); }))
            items.push_back(std::move(item));
    }
    std::stable_sort(items.begin(), items.end(),
                     [](const std::string& a, const std::string& b) { return LowerCase(a) < LowerCase(b); });
    return items;
}

void RemoveCategoryItems(std::vector<std::string>& items, std::string_view remove) {
    for (const std::string& piece : SplitString(remove, ";")) {
        const std::string gone = Trim(piece);
        std::erase_if(items, [&](const std::string& i) { return SameText(i, gone); });
    }
}

std::string CategorySourceFile(const TProgramState& state, std::string_view tag, std::string& error) {
    const std::string folder = ExpandMacros(state, "%tetdata%");
    if (Trim(folder).empty()) {
        error = "File not found: " + std::string(tag) + ".txt (no folder of the setting Paths/TETData is found in the "
                "simulator folder Paths/Trainz)";
        return {};
    }
    return folder + "\\" + std::string(tag) + ".txt";
}

std::string FilterCategoryItems(const TProgramState& state, std::string_view tag, std::vector<std::string>& items) {
    std::string missing;
    const std::string file = CategorySourceFile(state, tag, missing);
    if (file.empty()) return "." + missing;
    std::vector<std::string> lines;
    if (!ReadLinesFile(file, lines).empty()) return ".Unable to find source file: " + ShownPath(file);
    std::vector<std::string> kept;
    for (const std::string& item : items) {
        for (const std::string& line : lines) {
            const std::string known = Trim(line);
            if (!known.empty() && SameText(known, item)) {
                kept.push_back(known);
                break;
            }
        }
    }
    if (std::find(kept.begin(), kept.end(), "00") != kept.end()) kept = {"00"};
    items = std::move(kept);
    return {};
}

std::string JoinCategoryItems(const std::vector<std::string>& items) {
    std::string out;
    for (const std::string& item : items) out += (out.empty() ? "" : ";") + item;
    return out;
}

}  // namespace kelvarn
