// The single-instance hand-over: a second start sends its command line to the running instance over
// a local socket as one frame, and waits for the one-frame acknowledgement. The frame:
//   "KVH1", the code (32-bit little-endian), the text length (32-bit little-endian), the text bytes.
// The decoder reads whatever arrives on the socket, so it checks every field before use.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvarn {

inline constexpr std::string_view kHandoverMagic = "KVH1";
inline constexpr std::size_t kHandoverHeaderSize = 12;
inline constexpr std::uint32_t kMaxHandoverText = 64 * 1024;  // two command-line arguments
inline constexpr int kHandoverAckCode = 0;

struct THandoverMessage {
    int code = 0;
    std::string text;
};

std::string EncodeHandover(const THandoverMessage& message);

enum class THandoverStatus { NeedMore, Complete, Bad };
struct THandoverResult {
    THandoverStatus status = THandoverStatus::NeedMore;
    THandoverMessage message;  // Complete: the frame read
    std::size_t consumed = 0;  // Complete: bytes the frame took
    std::string error;         // Bad: what is wrong
};
// Reads one frame from the front of `buffer`.
THandoverResult DecodeHandover(std::string_view buffer);

// A folder named on a command line, made absolute against `currentFolder` (the working folder of the
// program it was given to) when it is relative: the asset paths and the "%p%" of every tool follow
// from it, and a tool that starts in a folder of its own would take a relative one as its own.
std::string CommandLineFolder(std::string_view folder, std::string_view currentFolder);

// The text the second instance sends: first argument + " " + second argument (each empty when
// absent). After "-CMP" a relative folder is made absolute against the second instance's own
// folder, since the first instance runs elsewhere.
std::string HandoverText(const std::vector<std::string>& arguments, std::string_view currentFolder);

// The local socket's name: the environment's KELVARN_INSTANCE_NAME when set (tests), else one name
// per user.
std::string HandoverServerName(const std::function<std::string(const std::string&)>& environment);

}  // namespace kelvarn
