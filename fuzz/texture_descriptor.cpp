// The descriptor reader on any bytes: parsing, the save rule, the help lookups, and a write-back that
// must read as the same model.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "media/TextureDescriptor.h"
#include "shell/Text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20)) return 0;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const kelvarn::DecodedText decoded = kelvarn::DecodeText(bytes);
    const kelvarn::TextureDescriptor d = kelvarn::TextureDescriptor::Parse(decoded.text);
    kelvarn::DescriptorCanSave(decoded.text);
    for (int field = 0; field < kelvarn::kDescriptorFields; ++field) {
        kelvarn::DescriptorHelpText(field, d.Items[static_cast<std::size_t>(field)]);
        d.Value(field);
    }
    const std::string written = d.Write();
    const kelvarn::TextureDescriptor again = kelvarn::TextureDescriptor::Parse(written);
    if (!(again == d)) std::abort();
    if (again.Write() != written) std::abort();
    if (!d.Primary.empty() && !kelvarn::DescriptorCanSave(written)) std::abort();
    return 0;
}
