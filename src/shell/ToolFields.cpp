#include "shell/ToolFields.h"

#include "shell/Strings.h"
#include "shell/Text.h"

namespace kelvarn {

std::string TToolSpec::Field(int number) const {
    if (number < 1 || number > static_cast<int>(fields.size())) return {};
    return fields[static_cast<std::size_t>(number - 1)];
}

TToolSpec ParseToolSpec(std::string_view spec) {
    const std::string blanked = ReplaceAll(spec, kPilcrow, " ");
    TTokens tokens;
    const int count = SplitByCharSet(blanked, tokens, kBrokenBar);
    TToolSpec tool;
    for (int i = 0; i < count && i < kMaxTokens - 1; ++i) tool.fields.push_back(tokens[static_cast<std::size_t>(i)]);
    return tool;
}

}  // namespace kelvarn
