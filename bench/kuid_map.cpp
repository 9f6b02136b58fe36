// Times exact lookups in the KUID index over 10,000 entries against std::unordered_map::find on the
// same keys, in the same run; also FindAssetByKuid per query (which tries every KUID version) and a
// linear search of "name=value" lines as a string list would do it.
// The last line is "kuid_map: entries=N ns_per_lookup=X map_ratio=R".
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <unordered_map>
#include <vector>

#include "catalogue/KuidMap.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kEntries = 10000;
constexpr int kRounds = 7;

double Seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

template <class Pass>
double Best(Pass&& pass) {
    double best = 1e9;
    for (int r = 0; r < kRounds; ++r) {
        const auto start = Clock::now();
        pass();
        best = std::min(best, Seconds(start));
    }
    return best;
}

}  // namespace

int main() {
    using namespace kelvarn;
    TKuidMap map;
    std::unordered_map<std::string, std::string> reference;
    std::vector<std::string> keys, lines;
    for (int i = 0; i < kEntries; ++i) {
        const std::string kuid = "<kuid2:400000:" + std::to_string(100000 + i) + ":" + std::to_string(i % 5 + 1) + ">";
        const std::string folder = "/library/group" + std::to_string(i / 100) + "/asset" + std::to_string(i);
        map.Add(kuid, folder);
        reference.emplace(kuid, folder);
        keys.push_back(kuid);
        lines.push_back(kuid + "=" + folder);
    }
    const TFolderExists always = [](const std::string&) { return true; };
    std::size_t found = 0;

    const double ours = Best([&] {
        for (const std::string& k : keys) found += map.Lookup(k, always) != nullptr;
    });
    const double stdmap = Best([&] {
        for (const std::string& k : keys) found += reference.find(k) != reference.end();
    });
    std::vector<std::string> queries;
    for (int i = 0; i < kEntries; i += 10) queries.push_back("<kuid:400000:" + std::to_string(100000 + i) + ">");
    const double byKuid = Best([&] {
        std::string folder;
        for (const std::string& q : queries) found += FindAssetByKuid(map, q, folder, always);
    });
    const double linear = Best([&] {
        for (std::size_t q = 0; q < keys.size(); q += 100) {
            const std::string prefix = keys[q] + "=";
            found += std::find_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; }) !=
                     lines.end();
        }
    });
    const double perLookup = ours / kEntries * 1e9;
    std::printf("unordered_map::find: %.1f ns per lookup\n", stdmap / kEntries * 1e9);
    std::printf("FindAssetByKuid (plain KUID, every version tried): %.1f ns per query\n", byKuid / queries.size() * 1e9);
    std::printf("linear name=value search: %.1f ns per lookup\n", linear / (keys.size() / 100) * 1e9);
    std::printf("(found %zu)\n", found);
    std::printf("kuid_map: entries=%d ns_per_lookup=%.1f map_ratio=%.2f\n", kEntries, perLookup, ours / stdmap);
    return 0;
}
