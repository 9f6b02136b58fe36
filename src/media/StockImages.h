// The stock images: 8 x 8 one-colour TGA files made on demand in an asset folder under the names of
// StockTextureNames ("blank.tga", "black.tga", ...).
#pragma once

#include <string>
#include <string_view>

#include "shell/TagTypes.h"

namespace kelvarn {

// The file's bytes for a stock name (compared ignoring case); empty for any other name. The first
// pixel's blue byte is raised by one (255 becomes 254) so that the image is not uniform.
std::string StockTgaBytes(std::string_view fileName);

// Writes the stock image `fileName` into `folder`, never over an existing file. False with a message:
// "Invalid Filename: " + name, "Path does not exist: " + folder, ".File already exists: " + name (the
// leading "." marks it informational), or the write's own failure.
bool MakeStockTga(std::string_view folder, std::string_view fileName, std::string& message);

}  // namespace kelvarn
