// The program's text report library: reports on asset files made with the program's own readers
// (the mesh chunk reader, the picture headers, the texture reader). Installed once at start-up as
// TProgramState::TextLibrary.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "shell/TextLibrary.h"

namespace kelvarn {

class TMesh;

class TextReportLibrary final : public ITextLibrary {
public:
    bool CallTextLibrary(int op, const std::string& file, std::vector<std::string>& lines) override;
};

// The reports on bytes already read; each appends to `lines`.
// A mesh's chunk tree: every chunk with its offset and size, the materials with their textures, the
// geometry counts and the attachment points.
void MeshChunkReport(const TMesh& mesh, std::vector<std::string>& lines);
// Any "JIRF" file: its chunks as far as their sizes hold, each with its version and first bytes.
// False (nothing added) when the bytes are no "JIRF" file.
bool JirfChunkReport(std::string_view bytes, std::vector<std::string>& lines);
// Offset, bytes in hexadecimal and as characters, 16 a line, of at most the first 4 KB.
void HexReport(std::string_view bytes, std::vector<std::string>& lines);
// A picture's header fields, one "name: value" per line. False when the bytes hold no whole header.
bool TgaHeaderReport(std::string_view bytes, std::vector<std::string>& lines);
bool BmpHeaderReport(std::string_view bytes, std::vector<std::string>& lines);

}  // namespace kelvarn
