// The KUID line reader on any bytes as a config.txt: it never fails, and what it gives is empty or a
// lower-case text from a "<" on, holding no line break.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "catalogue/KuidLine.h"
#include "shell/Text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string kuid = kelvarn::KuidTextOfConfig(bytes);
    if (!kuid.empty() && kuid.front() != '<') std::abort();
    if (kuid.find_first_of("\r\n") != std::string::npos) std::abort();
    if (kuid != kelvarn::LowerCase(kuid)) std::abort();
    if (!kelvarn::IsValidUtf8(kuid)) std::abort();
    return 0;
}
