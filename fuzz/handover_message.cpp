// The single-instance hand-over decoder on any bytes that reach the socket: it must answer
// NeedMore, Complete or Bad without reading past the buffer, and a complete frame must encode back to
// the bytes it took.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "shell/Handover.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string buffer(reinterpret_cast<const char*>(data), size);
    std::string_view rest = buffer;
    for (int frames = 0; frames < 64 && !rest.empty(); ++frames) {
        const kelvarn::THandoverResult r = kelvarn::DecodeHandover(rest);
        if (r.status != kelvarn::THandoverStatus::Complete) {
            if (r.status == kelvarn::THandoverStatus::Bad && r.error.empty()) std::abort();
            break;
        }
        if (r.consumed == 0 || r.consumed > rest.size()) std::abort();
        if (r.message.text.size() > kelvarn::kMaxHandoverText) std::abort();
        if (kelvarn::EncodeHandover(r.message) != rest.substr(0, r.consumed)) std::abort();
        rest.remove_prefix(r.consumed);
    }
    return 0;
}
