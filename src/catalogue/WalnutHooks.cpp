#include "catalogue/WalnutHooks.h"

#include "catalogue/OutlineDocument.h"
#include "catalogue/Walnut.h"
#include "shell/Text.h"

namespace kelvarn {

TTagSpec TWalnutHooks::FindSpecNode(std::string_view path, bool& found) { return walnut_.FindSpecNode(path, found); }

void TWalnutHooks::AnalyseKindAndLoadSpec(TOutlineDocument& document) {
    walnut_.LoadTagSpec(walnut_.TagsFileName(), AnalyseKind(document));
}

std::string TWalnutHooks::KindChain() const { return walnut_.KindChain(); }

std::string TWalnutHooks::AnalyseKind(TOutlineDocument& document) {
    return LowerCase(Trim(document.GetValueByPath("kind")));
}

}  // namespace kelvarn
