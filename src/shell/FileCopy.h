// Copies and rewrites that choose how much they cost the disk. Implemented with the other file
// services in Files.cpp; kept apart so that the few callers that choose include only this.
#pragma once

#include <string>
#include <string_view>

namespace kelvarn {

// Whether a copy is flushed to the disk before it takes its name. `Always` for anything that must
// survive a crash on its own (backups, restores: what Files.h's copies do); `WhenReplacing` for a copy
// into a new name whose source stays, where a crash can cost only the copy: a copy that replaces a
// file is still flushed.
enum class CopyFlush { Always, WhenReplacing };

// CopyFileNoReplace and ForceCopyFile (Files.h) with the choice.
std::string CopyFileNoReplace(std::string_view source, std::string_view target, CopyFlush flush);
std::string ForceCopyFile(std::string_view source, std::string_view target, CopyFlush flush);

// Makes the file hold exactly `bytes`, written straight into the existing file when there is one (a
// new file costs more to make than an old one to overwrite), not flushed to the disk. For the
// program's own records, as AppendToFile.
std::string OverwriteFile(std::string_view path, std::string_view bytes);

}  // namespace kelvarn
