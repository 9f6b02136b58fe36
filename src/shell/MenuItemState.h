// One menu item's or button's new state, as the menu rules of every group compute it.
#pragma once

#include <optional>
#include <string>

namespace kelvarn {

// What is not set stays as it is.
struct TMenuItemState {
    std::string name;
    std::optional<bool> visible;
    std::optional<bool> enabled;
    std::optional<std::string> caption;
    std::optional<std::string> hint;
    std::optional<bool> checked = std::nullopt;
};

}  // namespace kelvarn
