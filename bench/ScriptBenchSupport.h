// What the script benchmarks share: the clock, a host that never asks (preview is off) and holds the
// program's two outlines, a scratch root of their own under the temp folder, and the asset count
// taken from the command line.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

#include "validation/ScriptHost.h"

namespace kelvarn::bench {

using Clock = std::chrono::steady_clock;

inline double Seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

// No reviews; the two outlines of the program (a bench that needs no editor leaves it unset).
class BenchHost final : public SilentScriptHost {
public:
    TOutlineDocument* main = nullptr;
    TOutlineDocument* editor = nullptr;
    TOutlineDocument* MainOutline() override { return main; }
    TOutlineDocument* EditorOutline() override { return editor; }
};

// A random name, so that runs side by side do not share files.
inline std::string TempRoot(const std::string& name) {
    return (std::filesystem::temp_directory_path() /
            ("kelvarn-bench-" + name + "-" + std::to_string(std::random_device()())))
        .string();
}

inline void ClearFolder(const std::string& folder) {
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    std::filesystem::create_directories(folder, ec);
}

// The last argument that is not an option, at least 1; otherwise fallback.
inline int AssetCount(int argc, char** argv, int fallback) {
    int count = fallback;
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]).rfind("--", 0) != 0) count = std::max(1, std::atoi(argv[i]));
    return count;
}

}  // namespace kelvarn::bench
