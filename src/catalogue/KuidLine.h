// The KUID of an asset as its config.txt names it, for the KUID index. Only the config's own top-level
// `kuid` tag names the asset: a `kuid-table` entry or a `bogey <kuid:...>` line before it names other
// assets. The reader streams the file and stops at that tag, so a large config costs no more than its
// head.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kelvarn {

// No asset's config is larger; a file beyond this is read only this far.
inline constexpr std::size_t kKuidReadCap = 8u << 20;

// The KUID text of one line: from its first "<" through the next ">", lower-cased (without a ">",
// the rest of the line with its quotes removed). Empty when the line holds no "<".
std::string KuidTextOfLine(std::string_view line);

// Walks a config line by line: the first top-level line whose tag name is `kuid` gives the KUID.
// When the config has none, the first line that holds both "kuid" and "<kuid" (any case) does.
class TKuidLineScanner {
public:
    // Takes the next line; true once the top-level `kuid` line has been seen (feed no more).
    bool Feed(std::string_view line);
    // The KUID text found so far, by the rules above; empty when none.
    std::string Result() const;

private:
    int depth_ = 0;
    bool inQuotes_ = false;
    bool found_ = false;
    std::string topLevel_;
    std::string fallback_;
};

// The KUID text of a config held in memory.
std::string KuidTextOfConfig(std::string_view bytes);

// The KUID text of a config file (read at most kKuidReadCap bytes); empty when the file cannot be read
// or names no KUID.
std::string ReadKuidText(const std::string& configFile);

}  // namespace kelvarn
