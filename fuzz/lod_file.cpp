// The level-of-detail reader on any bytes: parsing, the mesh picks, the order check, and the writer,
// whose output must read back as the same model unless a row moves into the editor's six.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "media/LodFile.h"
#include "shell/Text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20)) return 0;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const kelvarn::LodFile lod = kelvarn::LodFile::Parse(kelvarn::DecodeText(bytes).text);
    lod.FirstMeshName();
    lod.LastMeshName();
    std::vector<std::string> percents;
    for (const auto& row : lod.Meshes) percents.push_back(row.Percent);
    if (kelvarn::CheckMeshOrder(percents).size() != percents.size()) std::abort();

    const std::string written = lod.Write();
    const kelvarn::LodFile again = kelvarn::LodFile::Parse(written);
    // The editor writes those of its six rows that are ticked, in order and name a file; rows past the
    // six go back as the file had them.
    const std::size_t six = std::min(lod.Meshes.size(), static_cast<std::size_t>(kelvarn::kLodEditorRows));
    const std::vector<bool> red =
        kelvarn::CheckMeshOrder(std::vector<std::string>(percents.begin(), percents.begin() + static_cast<std::ptrdiff_t>(six)));
    std::size_t kept = 0;
    for (std::size_t i = 0; i < six; ++i)
        if (lod.Meshes[i].Ticked && !red[i] && !lod.Meshes[i].File.empty()) ++kept;
    if (again.Meshes.size() != kept + (lod.Meshes.size() - six)) std::abort();
    // Where the editor left one of its rows out, the next reading moves a row from past the six into
    // them, where the editor's rules apply to it. Otherwise the written text reads back as itself.
    if (kept < six && lod.Meshes.size() > six) return 0;
    if (again.Write() != written) std::abort();
    if (!(kelvarn::LodFile::Parse(again.Write()) == again)) std::abort();
    return 0;
}
