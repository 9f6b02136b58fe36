#include "validation/ScriptLabels.h"

#include <algorithm>

#include "shell/Text.h"

namespace kelvarn {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// For each line, the first line at or after it for which `has` holds.
std::vector<int> NextTable(const std::vector<std::string>& lower, std::string_view text) {
    std::vector<int> next(lower.size() + 1, -1);
    for (std::size_t i = lower.size(); i-- > 0;)
        next[i] = lower[i].find(text) != std::string::npos ? static_cast<int>(i) : next[i + 1];
    return next;
}

}  // namespace

TScriptLabels::TScriptLabels(const std::vector<std::string>& lines) {
    std::vector<std::string> lower;
    lower.reserve(lines.size());
    for (const std::string& line : lines) lower.push_back(LowerCase(line));
    endFor_ = NextTable(lower, "-endfor");
    endCase_ = NextTable(lower, "-endcase");
    endSelect_ = NextTable(lower, "-endselect");

    constexpr std::string_view kCase = "-case|";
    constexpr std::string_view kSelect = "-select|";
    for (std::size_t i = 0; i < lower.size(); ++i) {
        const std::string& line = lower[i];
        const int index = static_cast<int>(i);
        for (std::size_t at = line.find(kCase); at != std::string::npos; at = line.find(kCase, at + 1)) {
            std::size_t end = at + kCase.size();
            while (end < line.size() && IsDigit(line[end])) ++end;
            if (end == at + kCase.size()) continue;
            auto& where = caseLabels_[line.substr(at + kCase.size(), end - at - kCase.size())];
            if (where.empty() || where.back() != index) where.push_back(index);
        }
        if (line.find(kSelect) == std::string::npos) continue;
        // The trimmed line without its first "-select|": its first character is the label.
        const std::string trimmed = Trim(line);
        const std::size_t at = trimmed.find(kSelect);
        const std::string rest = trimmed.substr(0, at) + trimmed.substr(at + kSelect.size());
        if (!rest.empty() && rest[0] >= '1' && rest[0] <= '9') selectLabels_[static_cast<std::size_t>(rest[0] - '0')].push_back(index);
    }
}

int TScriptLabels::Next(const std::vector<int>& next, int from) {
    if (from < 0) from = 0;
    return static_cast<std::size_t>(from) < next.size() ? next[static_cast<std::size_t>(from)] : -1;
}

int TScriptLabels::FirstAtOrAfter(const std::vector<int>& sorted, int from) {
    const auto it = std::lower_bound(sorted.begin(), sorted.end(), from);
    return it == sorted.end() ? -1 : *it;
}

int TScriptLabels::NextCaseLabel(int from, int choice) const {
    const auto it = caseLabels_.find(std::to_string(choice));
    return it == caseLabels_.end() ? -1 : FirstAtOrAfter(it->second, from);
}

int TScriptLabels::NextSelectLabel(int from, const std::vector<bool>& checked) const {
    int best = -1;
    for (std::size_t digit = 1; digit <= 9; ++digit) {
        if (digit > checked.size() || !checked[digit - 1]) continue;
        const int line = FirstAtOrAfter(selectLabels_[digit], from);
        if (line >= 0 && (best < 0 || line < best)) best = line;
    }
    return best;
}

}  // namespace kelvarn
