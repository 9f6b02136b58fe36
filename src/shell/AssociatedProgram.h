// The desktop's default program for a file type ("%assoc%"), read from the freedesktop.org MIME
// database and mimeapps.list files without starting any process.
#pragma once

#include <functional>
#include <string>

namespace kelvarn {

using EnvironmentLookup = std::function<std::string(const std::string&)>;

// The full path of the program associated with the file name's type; empty when unknown.
std::string AssociatedProgram(const std::string& fileName);
std::string AssociatedProgram(const std::string& fileName, const EnvironmentLookup& environment);

}  // namespace kelvarn
