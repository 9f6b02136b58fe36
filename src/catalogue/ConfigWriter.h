// The config.txt writer: the outline tree in the program's layout. Top-level tags start in column 1
// and each level adds two blanks; a tag's value starts in column 43 unless its name is too long for
// that, and then one blank follows the name; a container is its name and " {", its contents, and a
// "}" at its own indentation. Names are written as they stand. Comment-marked nodes are left out with
// everything below them. Node flags are not stored. A node whose text is as it was read keeps the
// encoding of each of its lines and breaks its value only where the reader joined lines.
#pragma once

#include <string>
#include <string_view>

#include "shell/Text.h"

namespace kelvarn {

class TOutlineNode;

// The column a value starts in, counted from 1.
inline constexpr std::size_t kConfigValueColumn = 43;

// The text of the tree below `root`: UTF-8, every line ending in CR LF.
std::string WriteConfigText(const TOutlineNode* root);

// The bytes of the file: every line in UTF-8, unless its node keeps the encoding it was read in or
// the file is Windows-1252 (`encoding`) and the line fits; Windows-1252 bytes that would read back
// differently go out in UTF-8. UTF-16 files are written whole in UTF-16, with their mark when they had
// one; `mark` (or Utf8Bom) puts a byte-order mark in front of the others.
std::string WriteConfigBytes(const TOutlineNode* root, TextEncoding encoding, bool mark);

}  // namespace kelvarn
