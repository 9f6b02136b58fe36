#include "catalogue/SourceList.h"

#include "catalogue/OutlineDocument.h"
#include "catalogue/SharedFiles.h"
#include "catalogue/TagsXml.h"
#include "catalogue/Walnut.h"
#include "shell/Macros.h"
#include "shell/ProgramState.h"
#include "shell/Text.h"

namespace kelvarn {

namespace {
constexpr std::size_t kSharedSourceFiles = 16;
}  // namespace

bool GetSourceList(const TProgramState& state, const TOutlineDocument* document, std::string_view source,
                   std::vector<std::string>& list, const TTagsXml* tags) {
    list.clear();
    if (source.empty()) return false;
    const std::string_view rest = source.substr(1);
    switch (source.front()) {
        case '$':
            if (tags)
                tags->ListChildElements(rest, list);
            else
                TWalnut::ListChildElements(ExpandMacros(state, "%bin%\\tags.xml"), rest, list);
            break;
        case '%': {
            // The region and era lists are read by every validation: kept until they change.
            static TSharedFiles<std::vector<std::string>> files(kSharedSourceFiles, kMaxSourceFileBytes);
            std::string error;
            const auto lines = files.Get(ExpandMacros(state, source), error, [](const std::string& bytes, std::string&) {
                return std::make_shared<const std::vector<std::string>>(SplitLines(DecodeText(bytes).text));
            });
            if (lines) list = *lines;
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
