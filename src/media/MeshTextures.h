// What a mesh file says about its textures, for the file and texture checks: the names it uses and
// the entries that will not work in the asset.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvarn {

class TMesh;

// The file-name part of every texture entry of the mesh's materials, each name once (ignoring case),
// in material order. Empty for a file that is no readable mesh.
std::vector<std::string> GetMeshTextures(std::string_view meshPath);
// The same for a mesh already read.
std::vector<std::string> GetMeshTextures(const TMesh& mesh);

// The entries in trouble, one line each: name + ": unsupported material slot " + N for a slot other
// than 1, 8 or 9, and name + ": file not found" when neither the entry's file nor its ".txt"
// descriptor lies in the mesh's folder (found ignoring case). A line is given once however many
// materials repeat it. None for a file that is no readable mesh; an empty list when all is well.
std::optional<std::vector<std::string>> GetMeshTextureProblems(std::string_view meshPath);

}  // namespace kelvarn
