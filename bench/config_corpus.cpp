// Reads every config.txt below a folder (the test fixtures when none is given), writes each in
// memory, reads that text again and writes it again. Names every file that fails to load, every one
// whose first write holds other tokens than the file (names, values, encodings: an unedited save
// may change only the layout) and every one whose second write differs from its first, and measures reading (file to tree) and writing
// (tree to text) against a plain byte copy of the same files (read into memory, copied once).
//   bench_config_corpus [--utf16] [folder]
// --utf16 runs all of it on UTF-16 copies of the folder's configs, little- and big-endian with their
// marks, made in a temporary folder that is removed afterwards.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/ConfigReader.h"
#include "catalogue/ConfigWriter.h"
#include "catalogue/OutlineNode.h"
#include "shell/Files.h"
#include "shell/PathText.h"
#include "shell/Text.h"
#include "shell/TextCodec.h"

namespace {

using namespace kelvarn;
using Clock = std::chrono::steady_clock;

constexpr double kMinSeconds = 1.0;  // each measurement repeats until it has run this long
constexpr int kMinRounds = 3;

double Seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

// The line (counted from 1) where two texts first differ.
std::size_t FirstDifferentLine(const std::string& a, const std::string& b) {
    const auto diff = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    return 1 + static_cast<std::size_t>(std::count(a.begin(), diff.first, '\n'));
}

struct Loaded {
    std::string path;
    std::unique_ptr<TOutlineNode> tree;
    TextEncoding encoding = TextEncoding::Utf8;
    bool mark = false;
};

// The first token where two token lists differ, for the report.
std::string FirstDifference(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    const auto diff = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    const std::string was = diff.first == a.end() ? "(end)" : *diff.first;
    const std::string now = diff.second == b.end() ? "(end)" : *diff.second;
    return "token " + std::to_string(diff.first - a.begin() + 1) + " was [" + was + "], is [" + now + "]";
}

// The texts between double quotes, in file order, as the file holds them: line breaks as LF, braces as
// the reader protects them, empty texts left out. The reader's own tokens have already dropped what
// it lost, so an unedited save is judged against the file's own text, decoded as the reader decodes
// it (in UTF-16 every byte of a line end is followed or preceded by a NUL).
std::vector<std::string> QuotedTexts(std::string_view bytes) {
    std::string storage;
    const std::string_view text = DecodeTextView(bytes, storage).text;
    std::vector<std::string> out;
    std::string current;
    bool inside = false, lineStart = true;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        // A comment line is left out of the written file, its quoted texts with it.
        if (!inside && lineStart && c == ';') {
            while (i + 1 < text.size() && text[i + 1] != '\r' && text[i + 1] != '\n') ++i;
            continue;
        }
        if (!inside) lineStart = c == '\r' || c == '\n' || (lineStart && (c == ' ' || c == '\t'));
        if (c == '"') {
            if (inside && !current.empty()) out.push_back(current);
            current.clear();
            inside = !inside;
        } else if (inside && c == '\r') {
            if (i + 1 >= text.size() || text[i + 1] != '\n') current.push_back('\n');
        } else if (inside) {
            current.push_back(c == '{' ? '(' : c == '}' ? ')' : c);
        }
    }
    return out;
}

// The tokens an unedited save must keep: a comment node (";" in the file) and everything below it are
// left out by the writer on purpose.
std::vector<std::string> WrittenTokens(std::vector<std::string> tokens) {
    std::vector<std::string> kept;
    long skipBelow = -1;  // the depth of the comment whose subtree is being left out
    for (std::string& token : tokens) {
        const std::size_t bar = token.find('|');
        if (bar == std::string::npos) {  // the encoding
            kept.push_back(std::move(token));
            continue;
        }
        const long depth = std::stol(token.substr(0, bar));
        if (skipBelow >= 0 && depth > skipBelow) continue;
        skipBelow = -1;
        if (token.compare(bar + 1, 1, ";") == 0) {
            skipBelow = depth;
            continue;
        }
        kept.push_back(std::move(token));
    }
    return kept;
}

// Repeats a pass over all files until enough time has gone by; returns seconds per pass.
template <typename Pass>
double Measure(Pass&& pass) {
    int rounds = 0;
    const auto start = Clock::now();
    do {
        pass();
        ++rounds;
    } while (rounds < kMinRounds || Seconds(start) < kMinSeconds);
    return Seconds(start) / rounds;
}

// Copies of every config below `folder` in UTF-16, little- and big-endian with their marks, under
// `copies` (emptied first): copies/<n>-le/config.txt and copies/<n>-be/config.txt. A config that
// cannot be read is named and counted in `unreadable`, and the rest go on; false when a copy cannot
// be written.
bool MakeUtf16Copies(const std::vector<std::string>& files, const std::string& copies, std::size_t& unreadable) {
    std::error_code ec;
    std::filesystem::remove_all(FsPath(copies), ec);
    for (std::size_t i = 0; i < files.size(); ++i) {
        std::string bytes;
        if (const std::string error = ReadFileBytes(files[i], bytes, kMaxConfigBytes); !error.empty()) {
            std::printf("FAILED %s: %s\n", files[i].c_str(), error.c_str());
            ++unreadable;
            continue;
        }
        const DecodedText decoded = DecodeText(bytes);
        for (const auto& [suffix, encoding] : {std::pair{"-le", TextEncoding::Utf16Le}, std::pair{"-be", TextEncoding::Utf16Be}}) {
            const std::string folder = copies + "/" + std::to_string(i) + suffix;
            if (!ForceDirectories(folder) || !WriteScratchFile(folder + "/config.txt", EncodeText(decoded.text, encoding)).empty())
                return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::string folder = KELVARN_CONFIG_FIXTURES;
    bool utf16 = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--utf16") utf16 = true;
        else if (arg.rfind("--", 0) != 0) folder = arg;  // scripts/bench passes options
    }

    std::vector<std::string> files;
    FindFilesRecursive(IncludeTrailingSeparator(folder) + "*.*", "config.txt", files);
    std::sort(files.begin(), files.end());
    std::string copies;
    std::size_t unreadable = 0;
    if (utf16) {
        copies = PathString(std::filesystem::temp_directory_path() / "kelvarn-config-corpus-utf16");
        if (!MakeUtf16Copies(files, copies, unreadable)) {
            std::printf("config_corpus: unable to make UTF-16 copies in %s\n", copies.c_str());
            return 1;
        }
        std::printf("UTF-16 copies of the configs of %s\n", folder.c_str());
        folder = copies;
        files.clear();
        FindFilesRecursive(IncludeTrailingSeparator(folder) + "*.*", "config.txt", files);
        std::sort(files.begin(), files.end());
    }

    // Correctness: load, write, read back, write again.
    std::size_t failed = unreadable, unstable = 0, changed = 0, bytes = 0;
    std::vector<Loaded> loaded;
    for (const std::string& file : files) {
        std::string data;
        if (const std::string error = ReadFileBytes(file, data, kMaxConfigBytes); !error.empty()) {
            std::printf("FAILED %s: %s\n", file.c_str(), error.c_str());
            ++failed;
            continue;
        }
        bytes += data.size();
        TConfigReader reader;
        if (!reader.LoadConfigBytes(data, ExtractFileDir(file))) {
            std::printf("FAILED %s: %s\n", file.c_str(), reader.LastError().c_str());
            ++failed;
            continue;
        }
        Loaded item{file, reader.BuildTree(), reader.Encoding(), reader.HasMark()};
        const std::string first = WriteConfigBytes(item.tree.get(), item.encoding, item.mark);
        TConfigReader again;
        if (!again.LoadConfigBytes(first, ExtractFileDir(file))) {
            std::printf("UNSTABLE %s: its written text does not load: %s\n", file.c_str(), again.LastError().c_str());
            ++unstable;
        } else {
            if (const std::vector<std::string> was = WrittenTokens(reader.Tokens()); again.Tokens() != was) {
                std::printf("CHANGED %s: %s\n", file.c_str(), FirstDifference(was, again.Tokens()).c_str());
                ++changed;
            } else if (const std::vector<std::string> was = QuotedTexts(data), now = QuotedTexts(first);
                       was != now) {
                std::printf("CHANGED %s: quoted %s\n", file.c_str(), FirstDifference(was, now).c_str());
                ++changed;
            }
            const std::string second = WriteConfigBytes(again.BuildTree().get(), again.Encoding(), again.HasMark());
            if (second != first) {
                std::printf("UNSTABLE %s: the second write differs from line %zu\n", file.c_str(),
                            FirstDifferentLine(first, second));
                ++unstable;
            }
        }
        loaded.push_back(std::move(item));
    }

    // Speed, warm: a byte copy of every file, reading every file into a tree, writing every tree.
    std::size_t loadedBytes = 0;
    for (const Loaded& l : loaded) loadedBytes += FileSize(l.path);
    std::size_t sink = 0;
    const double copySeconds = Measure([&] {
        for (const Loaded& l : loaded) {
            std::string data, copy;
            ReadFileBytes(l.path, data, kMaxConfigBytes);
            copy.resize(data.size());
            std::copy(data.begin(), data.end(), copy.begin());
            sink += copy.size();
        }
    });
    // One reader serves every file, as an outline's reader serves every asset it shows.
    TConfigReader reader;
    const double readSeconds = Measure([&] {
        for (const Loaded& l : loaded) {
            std::string data;
            ReadFileBytes(l.path, data, kMaxConfigBytes);
            reader.LoadConfigBytes(data, "bench");
            sink += reader.BuildTree()->ChildCount();
            reader.UnloadConfig("bench");
        }
    });
    const double writeSeconds = Measure([&] {
        for (const Loaded& l : loaded) sink += WriteConfigBytes(l.tree.get(), l.encoding, l.mark).size();
    });

    const double mb = static_cast<double>(loadedBytes) / 1e6;
    const double readRate = readSeconds > 0 ? mb / readSeconds : 0;
    const double writeRate = writeSeconds > 0 ? mb / writeSeconds : 0;
    const double copyRate = copySeconds > 0 ? mb / copySeconds : 0;
    const double ratio = copyRate > 0 ? readRate / copyRate : 0;
    std::printf("folder %s (checksum %zu)\n", folder.c_str(), sink % 10);
    std::printf("files %zu, %s MB; read %s MB/s, write %s MB/s, byte copy %s MB/s, read/copy %s\n", files.size(),
                FormatDouble(static_cast<double>(bytes) / 1e6, 3).c_str(), FormatDouble(readRate, 1).c_str(),
                FormatDouble(writeRate, 1).c_str(), FormatDouble(copyRate, 1).c_str(), FormatDouble(ratio, 3).c_str());
    std::printf("config_corpus: files=%zu failed=%zu unstable=%zu changed=%zu read_MBps=%s write_MBps=%s copy_ratio=%s\n",
                files.size(), failed, unstable, changed, FormatDouble(readRate, 1).c_str(), FormatDouble(writeRate, 1).c_str(),
                FormatDouble(ratio, 3).c_str());
    if (!copies.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(FsPath(copies), ec);
    }
    return 0;
}
