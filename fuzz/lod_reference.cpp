// A level-of-detail text on any bytes: the mesh it names never keeps a ";" or a double quote and never
// has more characters than the text.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "catalogue/TagPickers.h"
#include "shell/Text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const kelvarn::DecodedText text = kelvarn::DecodeText(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::string name = kelvarn::LodMeshName(text.text);
    if (name.find(';') != std::string::npos || name.find('"') != std::string::npos) std::abort();
    if (name.size() > text.text.size()) std::abort();
    if (!name.empty() && !kelvarn::ContainsText(text.text, "name=")) std::abort();
    return 0;
}
