// The mesh model reader on any bytes, with texture lookups that find nothing: the load must end, a
// success must hold geometry, and what it holds must be safe for the renderer to index.
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "media/MeshViewState.h"
#include "media/Model3D.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    kelvarn::T3DModel model;
    kelvarn::TNoTextureFiles files;
    const kelvarn::TModelLoadResult result = model.LoadFromBytes(bytes, files, nullptr);
    if (!result.Ok && model.ObjectCount() != 0) std::abort();
    if (result.Ok != model.Box().has_value()) std::abort();  // a load succeeds exactly when it read a vertex
    if (result.Ok && !result.Error.empty()) std::abort();
    for (const kelvarn::T3DObject& o : model.Objects()) {
        const std::size_t n = o.Positions.size();
        if (o.Normals.size() != n || o.TexCoords.size() != n || (!o.Tangents.empty() && o.Tangents.size() != n))
            std::abort();
        for (const kelvarn::TTriangle& t : o.Triangles)
            if (t[0] >= n || t[1] >= n || t[2] >= n) std::abort();
    }
    std::vector<std::string> textures;
    model.ListTextures(textures);
    if (textures.size() != model.Objects().size()) std::abort();
    if (model.Box()) {
        // The view's information on what was read.
        kelvarn::TMeshViewState view;
        view.MeshExtents = kelvarn::TExtents::FromBox(model.Box()->Min, model.Box()->Max);
        (void)view.ImageInfoText();
    }
    return 0;
}
