#include "catalogue/KuidSearch.h"

#include <algorithm>

#include "shell/Files.h"
#include "shell/Strings.h"
#include "shell/Text.h"

namespace kelvarn {

namespace {

std::string FirstExisting(const std::string& text, const TKuidLookup& lookup) {
    for (const std::string& folder : lookup(text))
        if (DirectoryExists(folder)) return folder;
    return {};
}

}  // namespace

std::string FindAssetByKuid(std::string_view kuid, const TKuidLookup& lookup) {
    if (!lookup) return {};
    TTokens fields;
    const int count = SplitByCharSet(LowerCase(kuid), fields, "<:>");
    const std::string& user = fields[2];
    const std::string& number = fields[3];
    long long version = 1;
    if (!TryParseInt(fields[4], version)) version = 1;
    // Versions are 0 to 127; anything outside names no installed asset, and a hostile value must
    // not make the search long.
    const int lowest = static_cast<int>(std::clamp<long long>(version, 0, kNewestKuidVersion + 1));
    for (int v = kNewestKuidVersion; v >= lowest; --v) {
        std::string found = FirstExisting("<kuid2:" + user + ":" + number + ":" + std::to_string(v) + ">", lookup);
        if (!found.empty()) return found;
    }
    if (count < 6) return FirstExisting("<kuid:" + user + ":" + number + ">", lookup);
    return {};
}

}  // namespace kelvarn
