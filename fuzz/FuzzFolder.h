// For fuzz targets whose code under test reads files: a folder of the run's own and the input saved
// in it as the file a check reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <unistd.h>

#include "shell/Files.h"

namespace kelvarn::fuzz {

// Made on first use with one file the inputs may refer to; removed when the run ends.
struct RunFolder {
    std::filesystem::path path;
    RunFolder(std::string_view name, std::string_view file, std::string_view text)
        : path(std::filesystem::temp_directory_path() /
               ("kelvarn-fuzz-" + std::string(name) + "-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(path);
        WriteScratchFile((path / file).string(), text);
    }
    ~RunFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

// The run's folder; a fuzz program has one target, so the first call's arguments make it.
inline const std::filesystem::path& Folder(std::string_view name, std::string_view file, std::string_view text) {
    static const RunFolder folder(name, file, text);
    return folder.path;
}

// A scratch write: the file is written again for the next input. Returns the file's path.
inline std::string WriteInput(const std::filesystem::path& file, const std::uint8_t* data, std::size_t size) {
    const std::string path = file.string();
    WriteScratchFile(path, std::string_view(reinterpret_cast<const char*>(data), size));
    return path;
}

}  // namespace kelvarn::fuzz
