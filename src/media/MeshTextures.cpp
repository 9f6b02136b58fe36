#include "media/MeshTextures.h"

#include <algorithm>
#include <optional>
#include <set>

#include "shell/FolderNames.h"
#include "shell/Mesh.h"
#include "shell/PathText.h"
#include "shell/Text.h"

namespace kelvarn {

namespace {

// The slots the simulator draws: diffuse, bump and reflection.
bool SupportedSlot(std::uint32_t slot) { return slot == 1 || slot == 8 || slot == 9; }

}  // namespace

std::vector<std::string> GetMeshTextures(std::string_view meshPath) {
    TMesh mesh(meshPath);
    if (!mesh.SetActive(true).empty()) return {};
    return GetMeshTextures(mesh);
}

std::vector<std::string> GetMeshTextures(const TMesh& mesh) {
    std::vector<std::string> names;
    std::set<std::string> seen;  // lower case
    for (const TMeshTextureEntry& entry : MeshTextureEntries(mesh)) {
        std::string file = ExtractFileName(entry.Name);
        if (!file.empty() && seen.insert(LowerCase(file)).second) names.push_back(std::move(file));
    }
    return names;
}

std::optional<std::vector<std::string>> GetMeshTextureProblems(std::string_view meshPath) {
    TMesh mesh(meshPath);
    if (!mesh.SetActive(true).empty()) return std::nullopt;
    const std::string folder = ExtractFileDir(meshPath);
    std::vector<std::string> problems;
    const auto add = [&problems](std::string line) {
        if (std::find(problems.begin(), problems.end(), line) == problems.end()) problems.push_back(std::move(line));
    };
    TFolderNames names(folder);
    for (const TMeshTextureEntry& entry : MeshTextureEntries(mesh)) {
        const std::string file = ExtractFileName(entry.Name);
        if (file.empty()) continue;
        if (!SupportedSlot(entry.Slot)) add(file + ": unsupported material slot " + std::to_string(entry.Slot));
        if (!names.Holds(file) && !names.Holds(file + ".txt")) add(file + ": file not found");
    }
    return problems;
}

}  // namespace kelvarn
