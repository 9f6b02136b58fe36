// The level-of-detail reader on any bytes: parsing, the mesh picks, the order check, and the writer,
// whose output must read back as the same model.
#include <cstdint>
#include <cstdlib>
#include <string>

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
    if (again.Write() != written) std::abort();
    if (!(kelvarn::LodFile::Parse(again.Write()) == again)) std::abort();
    if (again.Meshes.size() > static_cast<std::size_t>(kelvarn::kLodEditorRows)) std::abort();
    return 0;
}
