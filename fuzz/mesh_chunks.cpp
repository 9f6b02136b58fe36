// The mesh chunk reader on any bytes: the container, every "ATCH" chunk's points and their text, the
// selector's point and texture lists, and the name decoder on the raw input.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "shell/ByteReader.h"
#include "shell/Mesh.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    kelvarn::TMesh mesh("fuzz.im");
    const std::string error = mesh.LoadBytes(bytes);
    if (!error.empty() && (mesh.Active() || mesh.Count() != 0)) std::abort();  // a refused mesh holds nothing
    std::uint64_t covered = 12;
    for (const kelvarn::TChunk& chunk : mesh.Chunks()) {
        covered += 8 + chunk.Size;
        if (chunk.Data.size() != chunk.Size) std::abort();
        if (chunk.GetTag() != "ATCH") continue;
        const kelvarn::TATCH points(chunk.Data);
        if (points.Count() != static_cast<int>(points.Entries().size())) std::abort();
        for (const kelvarn::TATCHE& e : points.Entries()) {
            if (e.Name.size() > 3 * 255) std::abort();  // 255 bytes, each at most three in UTF-8
            (void)kelvarn::AttachmentToCsv(e);
        }
    }
    if (mesh.Active() && covered != size) std::abort();  // the chunks tile the file exactly
    (void)kelvarn::MeshAttachmentNames(mesh);
    for (const std::string& name : kelvarn::MeshTextureNames(mesh))
        if (name.empty()) std::abort();

    kelvarn::ByteReader reader(bytes);
    std::string name;
    while (kelvarn::ReadCountedName(reader, name)) {
    }
    return 0;
}
