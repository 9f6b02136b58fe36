#include "catalogue/OutlineWiring.h"

#include "catalogue/OutlineDocument.h"

namespace kelvarn {

TOutlineWiring::TOutlineWiring(TProgramState& state, TOutlineDocument& document, bool shown)
    : document_(document), walnut_(state), hooks_(state, walnut_) {
    walnut_.SetPublishing(shown);
    hooks_.ShowsKind = shown;
    document_.SetHooks(&hooks_);
}

TOutlineWiring::~TOutlineWiring() { document_.SetHooks(nullptr); }

}  // namespace kelvarn
