#include "catalogue/SourceList.h"

#include "catalogue/OutlineDocument.h"
#include "catalogue/Walnut.h"
#include "shell/Files.h"
#include "shell/Macros.h"
#include "shell/ProgramState.h"
#include "shell/Text.h"

namespace kelvarn {

bool GetSourceList(const TProgramState& state, const TOutlineDocument* document, std::string_view source,
                   std::vector<std::string>& list) {
    list.clear();
    if (source.empty()) return false;
    const std::string_view rest = source.substr(1);
    switch (source.front()) {
        case '$':
            TWalnut::ListChildElements(ExpandMacros(state, "%bin%\\tags.xml"), rest, list);
            break;
        case '%': {
            const std::string file = ExpandMacros(state, source);
            DecodedText text;
            if (FileExists(file) && ReadTextFile(file, text, kMaxSourceFileBytes).empty()) list = SplitLines(text.text);
            break;
        }
        case '+':
            if (document) document->ListChildNames(rest, list);
            break;
        case '@':
            state.Settings().ReadSectionValues(rest, list);
            break;
        default:
            break;
    }
    return !list.empty();
}

}  // namespace kelvarn
