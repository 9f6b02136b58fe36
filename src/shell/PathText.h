// Path texts. Paths in settings, configs and scripts use backslashes, because assets are made on
// Windows; both "\" and "/" count as separators here, and NativePath turns a path into the form the
// file system takes. Paths are never lower-cased on disk.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kelvarn {

bool IsPathSeparator(char c);

// "\" becomes the native separator (on Windows the text is unchanged).
std::string NativePath(std::string_view path);
// A path as a message shows it: every separator the platform's own, so that a folder from the file
// system joined to a name from a script does not show as "/home/me/a\\b/c.txt".
std::string ShownPath(std::string_view path);
std::filesystem::path FsPath(std::string_view path);  // NativePath as a filesystem path (UTF-8)
std::string PathString(const std::filesystem::path& path);  // the UTF-8 text of a filesystem path

std::string ExtractFileName(std::string_view path);  // after the last separator
std::string ExtractFileDir(std::string_view path);   // before the last separator, no trailing one
std::string ExtractFilePath(std::string_view path);  // up to and including the last separator
std::string ExtractFileExt(std::string_view path);   // from the last "." of the name, with the dot
std::string ChangeFileExt(std::string_view path, std::string_view ext);
std::string RemoveFileExt(std::string_view path);

std::string IncludeTrailingSeparator(std::string_view path, char separator = '\\');
std::string ExcludeTrailingSeparator(std::string_view path);
// Joins with exactly one separator between the two parts.
std::string JoinPath(std::string_view folder, std::string_view name, char separator = '\\');

}  // namespace kelvarn
