// The text report library on any bytes, saved as a file of each kind it reports on and asked every
// operation: never a crash, and the answers keep their shape.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "platform/TextReportLibrary.h"

namespace {

// A folder of this run's own, removed when the run ends.
struct RunFolder {
    std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("kelvarn-fuzz-text-report-" + std::to_string(::getpid()));
    RunFolder() {
        std::filesystem::create_directories(path);
        std::ofstream(path / "body.tga") << "x";  // one texture a mesh may name is there
    }
    ~RunFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

const std::filesystem::path& Folder() {
    static const RunFolder folder;
    return folder.path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static kelvarn::TextReportLibrary library;
    for (const char* ext : {".im", ".pm", ".kin", ".tga", ".bmp", ".texture", ".jpg"}) {
        const std::string file = (Folder() / (std::string("fuzz") + ext)).string();
        {
            std::ofstream out(file, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        }
        for (int op = -1; op <= 15; ++op) {
            std::vector<std::string> lines;
            const bool ok = library.CallTextLibrary(op, file, lines);
            const bool used = op == 1 || op == 2 || op == 3 || op == 4 || op == 9 || op == 10 || op == 12 || op == 14;
            if (!used && (ok || !lines.empty())) std::abort();
            if (op == 1 && size > 0 && (!ok || lines.empty())) std::abort();  // every file has a dump
            if (op == 14 && ok && lines.size() != 2) std::abort();
            if ((op == 2 || op == 3 || op == 10 || op == 12) && ok && lines.empty()) std::abort();
        }
    }
    return 0;
}
