// What the asset list and the file list share: items with a check (the tag) and an edited mark, the
// bulk tag operations of their keys and clicks, and the search by a typed character.
#pragma once

#include <algorithm>
#include <string_view>
#include <vector>

namespace kelvarn {

template <class Item>
void SetAllTags(std::vector<Item>& items, bool tagged) {
    for (Item& item : items) item.tagged = tagged;
}

template <class Item>
void InvertTags(std::vector<Item>& items) {
    for (Item& item : items) item.tagged = !item.tagged;
}

template <class Item>
int CountTags(const std::vector<Item>& items) {
    return static_cast<int>(std::count_if(items.begin(), items.end(), [](const Item& item) { return item.tagged; }));
}

// Does the name's first character equal `c`, ignoring case?
bool NameStartsWithChar(std::string_view name, char32_t c);

// The first item after `selected` whose name (given by `nameOf`) begins with `c`, ignoring case; -1
// when none. No wrap-around.
template <class Item, class NameOf>
int FindItemByFirstChar(const std::vector<Item>& items, int selected, char32_t c, NameOf nameOf) {
    for (int i = std::max(selected + 1, 0); i < static_cast<int>(items.size()); ++i)
        if (NameStartsWithChar(nameOf(items[static_cast<std::size_t>(i)]), c)) return i;
    return -1;
}

}  // namespace kelvarn
