// The options of enum and set tags, by the first character of a definition's source:
//   "$"  the names of the elements nested in the named element of "%bin%\tags.xml";
//   "%"  the whole source, macros expanded, names a text file: its lines;
//   "+"  the tag names of the children of the document's node at the config path that follows;
//   "@"  the name=value lines of the settings section that follows.
// The outline's value picker and validation both read their options here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelvarn {

class TOutlineDocument;
class TProgramState;

// Option files are short lists; a larger file is not one.
inline constexpr std::uint64_t kMaxSourceFileBytes = 4ull << 20;

class TTagsXml;

// Clears the list and fills it from the source. True when the list then holds at least one line. A
// "+" source needs the document; without one it gives nothing. "$" sources read `tags` when given
// (the tags.xml a definition was loaded from), else "%bin%\tags.xml".
bool GetSourceList(const TProgramState& state, const TOutlineDocument* document, std::string_view source,
                   std::vector<std::string>& list, const TTagsXml* tags = nullptr);

}  // namespace kelvarn
