// The alpha merge's descriptor rewrite on any text. The bytes before the first NUL name the primary
// and alpha images ("primary|alpha"); the rest is the descriptor. The rewrite keeps every line end,
// leaves a line either as it was or with one name replaced by the merged name, and with no names
// changes nothing.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "validation/TextureRepair.h"

namespace {

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string_view::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    lines.push_back(text.substr(start));
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t nul = input.find('\0');
    const std::string_view names = nul == std::string_view::npos ? std::string_view() : input.substr(0, nul);
    const std::string_view text = nul == std::string_view::npos ? input : input.substr(nul + 1);
    const std::size_t bar = names.find('|');
    const std::string_view primary = names.substr(0, bar);
    const std::string_view alpha = bar == std::string_view::npos ? std::string_view() : names.substr(bar + 1);
    const std::string_view merged = "merged.tga";

    const std::string out = kelvarn::RewriteDescriptorNames(text, primary, alpha, merged);
    const auto before = Lines(text), after = Lines(out);
    if (before.size() != after.size()) std::abort();
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (before[i] == after[i]) continue;
        const bool one = (!primary.empty() && after[i].size() + primary.size() == before[i].size() + merged.size()) ||
                         (!alpha.empty() && after[i].size() + alpha.size() == before[i].size() + merged.size());
        if (!one) std::abort();
    }
    if (primary.empty() && alpha.empty() && out != text) std::abort();
    return 0;
}
