// Config paths: backslash paths from the root "config.txt" through container names to a tag, e.g.
// "config.txt\mesh-table\default\mesh". A container's own path ends in "\". Every operation that
// takes a path accepts three spellings of it: "\kind" (relative to the root), "kind" (no root) and
// "config.txt\kind".
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace kelvarn {

inline constexpr std::string_view kConfigRoot = "config.txt";
// A path is split into at most this many parts (the root included); further parts are dropped.
inline constexpr std::size_t kMaxPathParts = 25;

// The path with its root: "\x" and "x" become "config.txt\x"; "config.txt" itself names the root.
// A trailing "\" is kept. Empty stays empty.
std::string NormaliseConfigPath(std::string_view path);

// The parts of a normalised path, its trailing "\" dropped first: parts[0] is the root.
struct TPathParts {
    std::array<std::string_view, kMaxPathParts> parts;
    std::size_t count = 0;
    std::string_view operator[](std::size_t i) const { return parts[i]; }
    std::string_view back() const { return parts[count - 1]; }
};
// Splits like SplitByCharSet on "\": stops at the 25th separator. The views point into `path`.
TPathParts SplitConfigPath(std::string_view normalisedPath);

// The last part of the normalised path.
std::string LastPathElement(std::string_view path);

}  // namespace kelvarn
