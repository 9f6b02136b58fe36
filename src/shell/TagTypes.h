// Fixed name tables shared by the outline, the editors, validation and scripts.
#pragma once

#include <array>
#include <string_view>

namespace kelvarn {

inline constexpr std::array<std::string_view, 28> TagTypeNames = {
    "container", "kuid-list", "string-list", "point-list", "queue-list", "consist-list", "texture-list",
    "sound-list", "camera-list", "thumbnail-list", "identifier", "user-table", "user-tag", "memo",
    "string", "kuid", "bool", "file", "point", "enum", "set", "int", "float", "floatlist", "rgb",
    "rgba", "hls", "invalid"};

// 1-based position of the type name (any case) in TagTypeNames, 0 when absent.
int TagTypeIndex(std::string_view typeName);

inline constexpr std::array<std::string_view, 7> StockTextureNames = {
    "blank.tga", "black.tga", "white.tga", "red.tga", "green.tga", "blue.tga", "yellow.tga"};

inline constexpr std::array<std::string_view, 6> UserTagNames = {
    "organisation", "license", "info-url", "contact-website", "contact-email", "author"};

}  // namespace kelvarn
