// The mesh header check and the mesh texture queries on any bytes, read from a file as the checks
// read them; the mesh's folder holds one texture so that both answers of the file lookup are met.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzFolder.h"
#include "media/MeshTextures.h"
#include "shell/Mesh.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto& folder = kelvarn::fuzz::Folder("mesh-textures", "body.texture.txt", "Primary=body.tga\r\n");
    const std::string mesh = kelvarn::fuzz::WriteInput(folder / "fuzz.im", data, size);
    (void)kelvarn::CheckMeshFile(mesh);
    for (const std::string& name : kelvarn::GetMeshTextures(mesh))
        if (name.empty() || name.find_first_of("\\/") != std::string::npos) std::abort();  // file-name parts only
    if (const auto problems = kelvarn::GetMeshTextureProblems(mesh))
        for (const std::string& line : *problems)
            if (line.empty()) std::abort();
    return 0;
}
