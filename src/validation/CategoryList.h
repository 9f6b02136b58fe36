// The item lists of the category tags (category-keyword, -era, -region, -class, custom-category-list):
// ";"-delimited text read into a sorted list without duplicates (both ignoring case), and the era and
// region files of "%tetdata%" that say which items exist.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelvarn {

class TProgramState;

// Items split at ";", trimmed, empty ones dropped, duplicates ignoring case dropped (the first
// spelling kept), sorted ignoring case.
std::vector<std::string> CategoryItems(std::string_view text);
// Removes the items (ignoring case) named in `remove` (";"-delimited).
void RemoveCategoryItems(std::vector<std::string>& items, std::string_view remove);
// "%tetdata%\" + tag + ".txt" (the file found ignoring case). Empty message on success: items not in
// the file are dropped, the rest take the file's spelling, and "00" stands alone when present.
std::string FilterCategoryItems(const TProgramState& state, std::string_view tag, std::vector<std::string>& items);
// The simulator's list for a category tag: "%tetdata%\" + tag + ".txt". Empty, with `error` naming the
// setting to fill in, when "%tetdata%" finds no folder.
std::string CategorySourceFile(const TProgramState& state, std::string_view tag, std::string& error);
std::string JoinCategoryItems(const std::vector<std::string>& items);

}  // namespace kelvarn
