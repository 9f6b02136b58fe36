#include "catalogue/TaggedItems.h"

#include <string>

#include "shell/Text.h"

namespace kelvarn {

bool NameStartsWithChar(std::string_view name, char32_t c) {
    const std::u32string points = ToCodePoints(LowerCase(name));
    if (points.empty()) return false;
    std::string wanted;
    AppendUtf8(wanted, c);
    const std::u32string lowered = ToCodePoints(LowerCase(wanted));
    return !lowered.empty() && points.front() == lowered.front();
}

}  // namespace kelvarn
