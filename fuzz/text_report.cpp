// The text report library on any bytes, saved as a file of each kind it reports on and asked every
// operation: never a crash, and the answers keep their shape.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzFolder.h"
#include "media/TextReportLibrary.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static kelvarn::TextReportLibrary library;
    // One texture a mesh may name is there.
    const auto& folder = kelvarn::fuzz::Folder("text-report", "body.tga", "x");
    for (const char* ext : {".im", ".pm", ".kin", ".tga", ".bmp", ".texture", ".jpg"}) {
        const std::string file = kelvarn::fuzz::WriteInput(folder / (std::string("fuzz") + ext), data, size);
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
