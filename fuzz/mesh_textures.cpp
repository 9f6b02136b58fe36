// The mesh header check and the mesh texture queries on any bytes, read from a file as the checks
// read them; the mesh's folder holds one texture so that both answers of the file lookup are met.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "media/MeshTextures.h"
#include "shell/Mesh.h"

namespace {

// A folder of this run's own, removed when the run ends.
struct RunFolder {
    std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("kelvarn-fuzz-mesh-textures-" + std::to_string(::getpid()));
    RunFolder() {
        std::filesystem::create_directories(path);
        std::ofstream(path / "body.texture.txt") << "Primary=body.tga\r\n";
    }
    ~RunFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

const std::filesystem::path& Folder() {
    static const RunFolder folder;
    return folder.path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string mesh = (Folder() / "fuzz.im").string();
    {
        std::ofstream out(mesh, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    (void)kelvarn::CheckMeshFile(mesh);
    for (const std::string& name : kelvarn::GetMeshTextures(mesh))
        if (name.empty() || name.find_first_of("\\/") != std::string::npos) std::abort();  // file-name parts only
    if (const auto problems = kelvarn::GetMeshTextureProblems(mesh))
        for (const std::string& line : *problems)
            if (line.empty()) std::abort();
    return 0;
}
