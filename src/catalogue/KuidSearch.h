// Finding an installed asset by its KUID. The KUID index (one entry per listed asset, never removed)
// answers which folders were recorded under a KUID text; the search tries every version from the
// newest down, since an asset asked for by an older version is satisfied by a newer one, and takes
// the first folder that still exists. The asset list and the script engine share it.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvarn {

// The folders recorded under one KUID text (lower case, "<kuid:u:n>" or "<kuid2:u:n:v>"), in the
// index's order.
using TKuidLookup = std::function<std::vector<std::string>(const std::string& kuidText)>;

// Versions run from 0 to this.
inline constexpr int kNewestKuidVersion = 127;

// The folder of the newest installed version at or above the one asked for (1 when the KUID names
// none); for a plain "<kuid:u:n>" the plain form is tried last. Empty when nothing is found.
std::string FindAssetByKuid(std::string_view kuid, const TKuidLookup& lookup);

}  // namespace kelvarn
