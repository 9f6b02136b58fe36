// Reads every text file below a folder (.txt, .ini, .kvm, .csv, .log: settings, descriptors,
// level-of-detail files, scripts, tables, logs) through the program's text codec, writes it back
// unedited to a temp file and compares the bytes. Names every file that fails, changes or is refused
// as no text; with --utf16 each file is first turned into UTF-16 (with its mark) in memory. MBps is
// reading a file and decoding and encoding it.
//   bench_text_roundtrip [--utf16] [folder]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "shell/Files.h"
#include "shell/PathText.h"
#include "shell/Text.h"
#include "shell/TextCodec.h"

namespace {

using namespace kelvarn;
using Clock = std::chrono::steady_clock;

bool IsTextFileName(const std::string& path) {
    for (std::string_view ending : {".txt", ".ini", ".kvm", ".csv", ".log"})
        if (EndsWithText(path, ending)) return true;
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    std::string folder = ".";
    bool utf16 = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--utf16") utf16 = true;
        else if (arg.rfind("--", 0) != 0) folder = arg;  // scripts/bench passes options
    }
    std::vector<std::string> all, files;
    FindFilesRecursive(IncludeTrailingSeparator(folder) + "*.*", "*.*", all);
    for (const std::string& file : all)
        if (IsTextFileName(file)) files.push_back(file);
    std::sort(files.begin(), files.end());

    std::error_code ec;
    const std::string temp = PathString(std::filesystem::temp_directory_path(ec) / "kelvarn_text_roundtrip.tmp");
    std::size_t failed = 0, changed = 0, refused = 0, bytes = 0;
    double seconds = 0;
    for (const std::string& file : files) {
        const auto read = Clock::now();
        std::string data;
        const std::string readError = ReadFileBytes(file, data);
        seconds += std::chrono::duration<double>(Clock::now() - read).count();
        if (const std::string& error = readError; !error.empty()) {
            std::printf("FAILED %s: %s\n", file.c_str(), error.c_str());
            ++failed;
            continue;
        }
        if (utf16) {
            const DecodedText decoded = DecodeText(data);
            if (decoded.notText.empty()) data = EncodeText(decoded.text, TextEncoding::Utf16Le);
        }
        bytes += data.size();
        const auto start = Clock::now();
        TTextDocument document;
        if (const std::string why = DecodeDocument(data, document); !why.empty()) {
            seconds += std::chrono::duration<double>(Clock::now() - start).count();
            std::printf("REFUSED %s: %s\n", file.c_str(), why.c_str());
            ++refused;
            continue;
        }
        const std::string encoded = EncodeDocument(document);
        seconds += std::chrono::duration<double>(Clock::now() - start).count();
        // Written and read again outside the measure, which is of reading and encoding, not of the disk.
        const std::string error = WriteScratchFile(temp, encoded);
        std::string written;
        if (error.empty()) ReadFileBytes(temp, written);
        if (!error.empty()) {
            std::printf("FAILED %s: %s\n", file.c_str(), error.c_str());
            ++failed;
        } else if (written != data) {
            const auto diff = std::mismatch(data.begin(), data.end(), written.begin(), written.end());
            std::printf("CHANGED %s: from byte %zu\n", file.c_str(), static_cast<std::size_t>(diff.first - data.begin()));
            ++changed;
        }
    }
    std::filesystem::remove(temp, ec);
    const double rate = seconds > 0 ? static_cast<double>(bytes) / 1e6 / seconds : 0;
    std::printf("folder %s%s\n", folder.c_str(), utf16 ? " (as UTF-16)" : "");
    std::printf("text_roundtrip: files=%zu failed=%zu changed=%zu refused=%zu MBps=%s\n", files.size(), failed, changed,
                refused, FormatDouble(rate, 1).c_str());
    return failed || changed ? 1 : 0;
}
