// The groundplane rewrite on any template bytes, and the reader on any default mesh: the input is the
// template (as long as its own length field says, else the first half) followed by the traincar's
// mesh, whose last eight bytes give the two point coordinates. A rewrite that succeeds changes exactly
// the eight values and nothing else; a refused one changes nothing.
#include <cstdint>
#include <cstring>
#include <string>

#include "shell/Mesh.h"
#include "validation/TableBuilders.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelvarn;
    if (size > (1u << 20)) return 0;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::size_t split = size / 2;
    if (size >= 8 && bytes.compare(0, 4, "JIRF") == 0) {
        std::uint32_t length = 0;
        std::memcpy(&length, data + 4, 4);
        if (length <= size - 8) split = length + 8;
    }
    const std::string templateBytes = bytes.substr(0, split);
    float back = -3, front = 4;
    if (size >= 16) {
        std::memcpy(&back, data + size - 8, 4);
        std::memcpy(&front, data + size - 4, 4);
    }
    std::string patched = templateBytes;
    if (PatchGroundplaneMesh(patched, back, front).empty()) {
        if (patched.size() != templateBytes.size()) __builtin_trap();
        for (std::size_t i = 0; i < patched.size(); ++i) {
            const bool value = i >= kGroundplaneFirstOffset && (i - kGroundplaneFirstOffset) % kGroundplaneStride < 4 &&
                               i < kGroundplaneFirstOffset + kGroundplaneStride * kGroundplaneValues;
            if (!value && patched[i] != templateBytes[i]) __builtin_trap();
        }
    } else if (patched != templateBytes) {
        __builtin_trap();  // a refused template is left as it was
    }
    TMesh mesh("fuzz.im");
    if (mesh.LoadBytes(bytes.substr(split)).empty()) MeshAttachmentNames(mesh);
    return 0;
}
