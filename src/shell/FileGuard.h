// A guard for runs on untrusted input (fuzzing), beside the write fault hook of Files.h: every file
// operation that would change a path (write, copy, rename, delete, folder creation) asks it first.
#pragma once

#include <functional>
#include <string>

namespace kelvarn {

// Given the path (absolute, lexically normalised) an operation would change, returns false to refuse
// it; the operation then fails as a disk would. Unset, everything is allowed.
using FileGuardHook = std::function<bool(const std::string& path)>;
void SetFileGuard(FileGuardHook hook);

}  // namespace kelvarn
