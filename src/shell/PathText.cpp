#include "shell/PathText.h"

namespace kelvarn {

namespace {
std::size_t LastSeparator(std::string_view path) {
    for (std::size_t i = path.size(); i > 0; --i)
        if (IsPathSeparator(path[i - 1])) return i - 1;
    return std::string_view::npos;
}
}  // namespace

bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }

std::string NativePath(std::string_view path) {
    std::string out(path);
#ifndef _WIN32
    for (char& c : out)
        if (c == '\\') c = '/';
#endif
    return out;
}

std::string ShownPath(std::string_view path) {
#ifdef _WIN32
    std::string out(path);
    for (char& c : out)
        if (c == '/') c = '\\';
    return out;
#else
    return NativePath(path);
#endif
}

std::filesystem::path FsPath(std::string_view path) {
    const std::string native = NativePath(path);
    return std::filesystem::path(std::u8string(native.begin(), native.end()));
}

std::string PathString(const std::filesystem::path& path) {
#ifdef _WIN32
    const std::u8string s = path.u8string();
    return std::string(s.begin(), s.end());
#else
    return path.native();  // already the UTF-8 bytes: one copy, not two
#endif
}

std::string ExtractFileName(std::string_view path) {
    const std::size_t sep = LastSeparator(path);
    return std::string(sep == std::string_view::npos ? path : path.substr(sep + 1));
}

std::string ExtractFileDir(std::string_view path) {
    const std::size_t sep = LastSeparator(path);
    if (sep == std::string_view::npos) return {};
    if (sep == 0) return std::string(path.substr(0, 1));  // the root "/"
    return std::string(path.substr(0, sep));
}

std::string ExtractFilePath(std::string_view path) {
    const std::size_t sep = LastSeparator(path);
    return sep == std::string_view::npos ? std::string() : std::string(path.substr(0, sep + 1));
}

std::string ExtractFileExt(std::string_view path) {
    const std::string name = ExtractFileName(path);
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string RemoveFileExt(std::string_view path) {
    const std::string ext = ExtractFileExt(path);
    return std::string(path.substr(0, path.size() - ext.size()));
}

std::string ChangeFileExt(std::string_view path, std::string_view ext) {
    return RemoveFileExt(path) + std::string(ext);
}

std::string IncludeTrailingSeparator(std::string_view path, char separator) {
    std::string out(path);
    if (out.empty() || !IsPathSeparator(out.back())) out.push_back(separator);
    return out;
}

std::string ExcludeTrailingSeparator(std::string_view path) {
    std::string out(path);
    while (out.size() > 1 && IsPathSeparator(out.back())) out.pop_back();
    return out;
}

std::string JoinPath(std::string_view folder, std::string_view name, char separator) {
    std::size_t start = 0;
    while (start < name.size() && IsPathSeparator(name[start])) ++start;
    if (folder.empty()) return std::string(name.substr(start));
    return IncludeTrailingSeparator(folder, separator) + std::string(name.substr(start));
}

}  // namespace kelvarn
