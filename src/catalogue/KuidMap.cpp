#include "catalogue/KuidMap.h"

#include <algorithm>

#include "shell/Files.h"
#include "shell/Strings.h"
#include "shell/Text.h"

namespace kelvarn {

namespace {

// The list's order: ignoring case first, then by case, so that the order is total.
bool FolderBefore(const std::string& a, const std::string& b) {
    const std::string la = LowerCase(a), lb = LowerCase(b);
    return la != lb ? la < lb : a < b;
}

bool Exists(const TFolderExists& exists, const std::string& folder) {
    return exists ? exists(folder) : DirectoryExists(folder);
}

}  // namespace

void TKuidMap::Add(std::string_view kuid, std::string_view folder) {
    std::vector<std::string>& list = folders_[LowerCase(kuid)];
    const std::string value(folder);
    const auto at = std::lower_bound(list.begin(), list.end(), value, FolderBefore);
    if (at != list.end() && *at == value) return;
    list.insert(at, value);
    ++count_;
}

const std::string* TKuidMap::Lookup(std::string_view kuid, const TFolderExists& exists) const {
    const bool lower = std::none_of(kuid.begin(), kuid.end(), [](char c) { return (c >= 'A' && c <= 'Z') || (c & 0x80); });
    const auto entry = lower ? folders_.find(kuid) : folders_.find(LowerCase(kuid));
    if (entry == folders_.end()) return nullptr;
    for (const std::string& folder : entry->second)
        if (Exists(exists, folder)) return &folder;
    return nullptr;
}

std::string TKuidMap::Find(std::string_view kuid, const TFolderExists& exists) const {
    const std::string* folder = Lookup(kuid, exists);
    return folder ? *folder : std::string();
}

std::vector<std::string> TKuidMap::Lines() const {
    std::vector<std::string> lines;
    lines.reserve(count_);
    for (const auto& [kuid, list] : folders_)
        for (const std::string& folder : list) lines.push_back(kuid + "=" + folder);
    std::sort(lines.begin(), lines.end(), FolderBefore);
    return lines;
}

void TKuidMap::Clear() {
    folders_.clear();
    count_ = 0;
}

TKuidMap& ProgramKuidMap() {
    static TKuidMap map;
    return map;
}

bool FindAssetByKuid(const TKuidMap& map, std::string_view kuid, std::string& folder, const TFolderExists& exists) {
    folder.clear();
    TTokens tokens;
    const int count = SplitByCharSet(kuid, tokens, "<:>");
    if (count < 4) return false;
    const std::string& user = tokens[2];
    const std::string& number = tokens[3];
    long long version = 1;
    if (count >= 6 && !TryParseInt(tokens[4], version)) version = 1;
    for (long long v = kNewestKuidVersion; v >= std::max(version, 0LL); --v) {
        folder = map.Find("<kuid2:" + user + ":" + number + ":" + std::to_string(v) + ">", exists);
        if (!folder.empty()) return true;
    }
    if (count < 6) {
        folder = map.Find("<kuid:" + user + ":" + number + ">", exists);
        if (!folder.empty()) return true;
    }
    return false;
}

}  // namespace kelvarn
