#include "shell/Handover.h"

#include <filesystem>

#include "shell/PathText.h"
#include "shell/Text.h"

namespace kelvarn {

namespace {

void PutU32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::uint32_t GetU32(std::string_view in, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(static_cast<unsigned char>(in[at + i])) << (8 * i);
    return v;
}

bool IsAbsoluteFolder(std::string_view path) {
    if (path.empty()) return false;
    if (IsPathSeparator(path.front())) return true;
    return path.size() > 1 && path[1] == ':';  // a drive letter
}

}  // namespace

std::string EncodeHandover(const THandoverMessage& message) {
    std::string text = message.text.substr(0, kMaxHandoverText);
    std::string out(kHandoverMagic);
    PutU32(out, static_cast<std::uint32_t>(message.code));
    PutU32(out, static_cast<std::uint32_t>(text.size()));
    return out + text;
}

THandoverResult DecodeHandover(std::string_view buffer) {
    THandoverResult result;
    const std::size_t magicLength = std::min(buffer.size(), kHandoverMagic.size());
    if (buffer.substr(0, magicLength) != kHandoverMagic.substr(0, magicLength)) {
        result.status = THandoverStatus::Bad;
        result.error = "The hand-over message does not begin with " + std::string(kHandoverMagic);
        return result;
    }
    if (buffer.size() < kHandoverHeaderSize) return result;
    const std::uint32_t length = GetU32(buffer, 8);
    if (length > kMaxHandoverText) {
        result.status = THandoverStatus::Bad;
        result.error = "The hand-over text of " + std::to_string(length) + " bytes is longer than " +
                       std::to_string(kMaxHandoverText);
        return result;
    }
    if (buffer.size() - kHandoverHeaderSize < length) return result;
    result.status = THandoverStatus::Complete;
    result.message.code = static_cast<int>(static_cast<std::int32_t>(GetU32(buffer, 4)));
    result.message.text = std::string(buffer.substr(kHandoverHeaderSize, length));
    result.consumed = kHandoverHeaderSize + length;
    return result;
}

std::string CommandLineFolder(std::string_view folder, std::string_view currentFolder) {
    if (Trim(folder).empty() || IsAbsoluteFolder(folder) || currentFolder.empty()) return std::string(folder);
    return PathString((FsPath(currentFolder) / FsPath(folder)).lexically_normal());
}

std::string HandoverText(const std::vector<std::string>& arguments, std::string_view currentFolder) {
    const std::string first = arguments.size() > 0 ? arguments[0] : std::string();
    std::string second = arguments.size() > 1 ? arguments[1] : std::string();
    if (first == "-CMP") second = CommandLineFolder(second, currentFolder);
    return first + " " + second;
}

std::string HandoverServerName(const std::function<std::string(const std::string&)>& environment) {
    const std::string given = environment("KELVARN_INSTANCE_NAME");
    if (!given.empty()) return given;
    std::string user = environment("USER");
    if (user.empty()) user = environment("USERNAME");
    if (user.empty()) user = "user";
    return "kelvarn-instance-" + user;
}

}  // namespace kelvarn
