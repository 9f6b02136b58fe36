#include "media/ImageMenuRules.h"

#include <initializer_list>

#include "shell/Text.h"

namespace kelvarn {
namespace {

bool OneOf(const std::string& extension, std::initializer_list<const char*> list) {
    for (const char* e : list)
        if (SameText(extension, e)) return true;
    return false;
}

void Set(std::vector<TMenuItemState>& out, std::initializer_list<const char*> names, bool enabled) {
    for (const char* name : names) {
        TMenuItemState s;
        s.name = name;
        s.enabled = enabled;
        out.push_back(std::move(s));
    }
}

}  // namespace

std::vector<TMenuItemState> ImageViewMenuStates(const TImageMenuFacts& f) {
    std::vector<TMenuItemState> out;
    const bool alpha = f.AlphaKind > 0;
    Set(out, {"mSaveImage", "bSaveImage", "mRevert"}, f.Modified);
    Set(out, {"mImageInfo", "bImageInfo"}, OneOf(f.Extension, {".tga", ".bmp", ".texture"}));
    Set(out, {"mFloatPreview", "bSplash", "mInvertAlpha", "bInvertAlpha", "mMasktoBlend", "bMaskToBlend", "mRemoveAlpha",
              "bRemoveAlpha"},
        alpha);
    Set(out, {"mBlendToMask", "bBlendToMask"}, f.AlphaKind == 2);
    Set(out, {"mMaskfromImage", "bMaskFromImage", "mImportAlpha", "bImportAlpha"}, OneOf(f.Extension, {".tga"}));
    Set(out, {"bNormal"}, OneOf(f.Extension, {".tga", ".bmp"}) && !alpha);
    Set(out, {"mUniform", "bUniform"}, OneOf(f.Extension, {".jpg", ".tga", ".bmp"}) && f.Uniform);
    Set(out, {"bScreenshot"}, !f.Modified);
    // Nothing to resize without a picture; the placeholder is shown, never changed.
    Set(out, {"mResize", "bResize"}, f.Editable);
    for (TMenuItemState& s : out)
        if (s.name == "mFloatPreview") s.checked = f.PreviewVisible;
    return out;
}

}  // namespace kelvarn
