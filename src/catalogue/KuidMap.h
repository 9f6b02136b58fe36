// KuidMap: the program-wide KUID index, one entry per asset that the asset list added or a clone
// created: the KUID text (lower case) and the asset's folder (as it is on disc). Entries are only
// ever added; clearing the asset list keeps them, so every lookup checks that the folder still
// exists. Lookups are hash lookups.
//
// The script engine and the asset list find an asset with FindAssetByKuid(ProgramKuidMap(), kuid,
// folder); tests build their own map.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <unordered_map>
#include <vector>

namespace kelvarn {

using TFolderExists = std::function<bool(const std::string& folder)>;

class TKuidMap {
public:
    // Adds "kuid=folder"; the KUID is compared in lower case. An identical entry is not added twice.
    void Add(std::string_view kuid, std::string_view folder);
    // The first folder of the KUID's entries (in the list's sorted order) that still exists; empty
    // when none. `exists` defaults to a folder test on the disc.
    std::string Find(std::string_view kuid, const TFolderExists& exists = {}) const;
    // The same without a copy: null when none.
    const std::string* Lookup(std::string_view kuid, const TFolderExists& exists = {}) const;
    std::size_t Count() const { return count_; }
    // Every entry as a "kuid=folder" line, sorted.
    std::vector<std::string> Lines() const;
    void Clear();

private:
    // Looked up by string_view, so a query already in lower case is not copied.
    struct THash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
    };
    std::unordered_map<std::string, std::vector<std::string>, THash, std::equal_to<>> folders_;  // each list sorted
    std::size_t count_ = 0;
};

// The program's one index.
TKuidMap& ProgramKuidMap();

// KUID versions run from 0 to this.
inline constexpr int kNewestKuidVersion = 127;

// Looks an asset up by KUID: "<kuid2:user:number:version>" finds the newest version from 127 down to
// the one given; a plain "<kuid:user:number>" tries every version from 127 down to 1, then the plain
// form. On success `folder` is the asset's folder (an existing one); else it is empty.
bool FindAssetByKuid(const TKuidMap& map, std::string_view kuid, std::string& folder,
                     const TFolderExists& exists = {});

}  // namespace kelvarn
