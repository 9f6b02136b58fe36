// Helpers shared by the mesh tests: loading builder bytes, and a texture source that records plans.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "media/Model3D.h"
#include "media/TexturePlan.h"

namespace kelvarn::test {

// Prepares a 1 x 1 texture for every plan; files whose name is in `withAlpha` come out RGBA, those in
// `failing` give nothing and a message.
class RecordingTextureSource final : public ITextureSource {
public:
    std::vector<TTexturePlan> plans;
    std::vector<std::string> withAlpha;
    std::vector<std::string> failing;

    std::shared_ptr<const TPreparedTexture> Prepare(const TTexturePlan& plan, TMessageList& messages) override {
        plans.push_back(plan);
        for (const auto& f : failing)
            if (plan.FileName == f) {
                messages.push_back({"cannot load " + f, "Info"});
                return nullptr;
            }
        auto t = std::make_shared<TPreparedTexture>();
        t->Width = t->Height = 1;
        for (const auto& a : withAlpha)
            t->HasAlpha = t->HasAlpha || plan.FileName == a;
        t->Pixels.assign(t->HasAlpha ? 4 : 3, 0x80);
        return t;
    }
};

// Finds every name it is asked for, as the path "/tex/" + name.
class AnyTextureFiles final : public ITextureFiles {
public:
    std::string Find(std::string_view name) override {
        return name.empty() ? std::string() : "/tex/" + std::string(name);
    }
    bool ReadText(const std::string&, std::string&) override { return false; }
};

inline std::unique_ptr<T3DModel> LoadModel(const std::string& bytes, ITextureSource* textures = nullptr,
                                           TModelLoadResult* result = nullptr) {
    auto model = std::make_unique<T3DModel>();
    AnyTextureFiles files;
    TNoTextureFiles none;
    TModelLoadResult r =
        textures ? model->LoadFromBytes(bytes, files, textures) : model->LoadFromBytes(bytes, none, nullptr);
    if (result) *result = r;
    return model;
}

}  // namespace kelvarn::test
