// The sandbox of the fuzz targets that run program routines on untrusted input: a temporary root of
// their own with a program folder and a Trainz data folder holding a region list, a program state whose
// processes, environment and settings go nowhere, and a file guard that refuses every change outside
// the root.
#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

#include "shell/FileGuard.h"
#include "shell/Files.h"
#include "shell/ProcessRunner.h"
#include "shell/ProgramState.h"

namespace kelvarn::fuzz {

// Tools and user programs the routines start: nothing runs, each answers as a program that printed
// nothing.
class NoProcesses final : public IProcessRunner {
public:
    ProcessResult Run(const ProcessRequest&) override {
        ProcessResult r;
        r.started = true;
        return r;
    }
    bool OpenWithDefault(const std::string&) override { return false; }
};

struct Sandbox {
    NoProcesses processes;
    TProgramState state;
    std::string root;

    explicit Sandbox(const std::string& prefix)
        : root((std::filesystem::temp_directory_path() /
                ("kelvarn-fuzz-" + prefix + "-" + std::to_string(std::random_device()())))
                   .string()) {
        std::filesystem::create_directories(root + "/program");
        state.ProgramFolder = root + "/program/";
        // The process's own environment, settings file and files outside the root stay untouched
        // whatever the input says.
        state.Runner = &processes;
        state.Environment = [](const std::string&) { return std::string(); };
        state.SetEnvironment = [](const std::string&, const std::string&) { return true; };
        state.OpenSettings(root + "/program/kelvarn.ini");
        SetFileGuard([prefix = std::filesystem::path(root).lexically_normal().string() + "/"](const std::string& path) {
            return path.compare(0, prefix.size(), prefix) == 0;
        });
        // %tetdata% names a folder with a region list.
        state.Paths.Trainz = root + "/trainz";
        state.Settings().WriteString("Paths", "TETData", "data");
        ForceDirectories(root + "/trainz/data");
        WriteFileAtomic(root + "/trainz/data/category-region.txt", "00\r\nAU\r\nGB\r\n");
    }
    ~Sandbox() {
        SetFileGuard(nullptr);
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;
};

}  // namespace kelvarn::fuzz
