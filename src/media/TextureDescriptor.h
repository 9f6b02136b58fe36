// ".texture.txt" descriptors: the text that tells the simulator's texture compiler which images make
// a texture and how it is sampled. One line per setting, key "=" value, CR LF. This is the one reader
// and writer of descriptor text; the editor frame, the reference checks and the repairs use it.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "shell/Text.h"

namespace kelvarn {

// Field numbers: 0 Primary, 1 Alpha, 2 Tile ... 12 MipFilter (the editor's check-box Tags).
inline constexpr int kDescriptorFields = 13;
inline constexpr int kDescriptorHelpEntries = 58;

struct TDescriptorKey {
    std::string_view Name;                    // as written ("Tile")
    std::span<const std::string_view> Values; // in the order offered; empty for Primary and Alpha
};

// The thirteen keys in the order they are written.
std::span<const TDescriptorKey, kDescriptorFields> DescriptorKeys();
// Per key from Tile: the general text twice (item index -1 and "-"), then one text per value.
const std::array<std::string_view, kDescriptorHelpEntries>& DescriptorHelpTable();
// The help label's text for field 2..12 with its combo on `itemIndex` (-1 none, 0 "-", i + 1 value i).
std::string_view DescriptorHelpText(int field, int itemIndex);

class TextureDescriptor {
public:
    std::string Primary;
    std::string Alpha;
    // Fields 2..12: the combo's item index, 0 for "-" (not set), i + 1 for value i. 0 and 1 unused.
    std::array<int, kDescriptorFields> Items{};
    // Lines whose key is outside the table, trimmed, in file order; written after the known keys.
    std::vector<std::string> OtherLines;

    // Keys and values are trimmed and keys compared ignoring case; the last line of a key wins. A
    // listed key with a value outside its list reads as not set.
    static TextureDescriptor Parse(std::string_view text);
    // Primary, Alpha, then the set keys in table order, then the other lines.
    std::vector<std::string> Lines() const;
    std::string Write() const;  // Lines() with CR LF after each

    bool IsSet(int field) const;
    std::string Value(int field) const;  // empty when not set
    // Fields 2..12 take a value of their list (compared in lower case); false, leaving the field, for
    // any other. Fields 0 and 1 take any text.
    bool SetValue(int field, std::string_view value);
    void ClearField(int field);

    bool operator==(const TextureDescriptor&) const = default;
};

// The key of a descriptor line: the trimmed text before the first "=", or empty without one.
std::string DescriptorLineKey(std::string_view line);
// The save rule: the text's first line has the key "Primary" (ignoring case).
bool DescriptorCanSave(std::string_view text);

// The image a ticked Primary or Alpha box takes: the descriptor's name with ".texture.txt" replaced by
// ".tga", else ".bmp", else ".jpg", the first that exists (found ignoring case), as the name on disk
// relative to the descriptor's folder; empty when none does.
std::string DescriptorDefaultImage(std::string_view descriptorPath);
// The "*.jpg;*.bmp;*.tga" files of a folder as names, sorted ignoring case (the image combos' lists).
std::vector<std::string> DescriptorImageFiles(std::string_view folder);

// Reads and parses a descriptor file; a message on failure.
std::string ReadTextureDescriptor(std::string_view path, TextureDescriptor& descriptor,
                                  DecodedText* text = nullptr);

// Is `imagePath` the Primary or Alpha image of a descriptor below `assetFolder` that names both?
// Names are relative to the descriptor's folder and compared ignoring case.
bool IsInAlphaTexture(std::string_view assetFolder, std::string_view imagePath);

}  // namespace kelvarn
