// Checks a library of assets without changing it: for every asset folder (one holding a config.txt)
// below the folder, load its config and the tag definition of its kind, then run Verify Files (its log
// goes to a temporary folder) and the texture repair, mode "all", report-only, both in script mode. Prints each asset's
// report line count and each failure, then checks that no file of the library changed.
// The reference in the same run reads what the checks read, once: the config, the folder listing,
// every image through the image facade, and every mesh, descriptor and ".lm.txt".
//   bench_check_corpus <folder>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "catalogue/OutlineDocument.h"
#include "catalogue/TagsXml.h"
#include "catalogue/Walnut.h"
#include "catalogue/WalnutHooks.h"
#include "media/StrellImage.h"
#include "media/Textures.h"
#include "shell/Files.h"
#include "shell/PathText.h"
#include "shell/ProgramFolder.h"
#include "shell/ProgramState.h"
#include "shell/Text.h"
#include "validation/AssetCheck.h"
#include "validation/FileReferences.h"
#include "validation/TextureRepair.h"

namespace {

using namespace kelvarn;
using Clock = std::chrono::steady_clock;

constexpr double kMinSeconds = 1.0;
constexpr int kMinRounds = 3;

double Seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

std::string TemporaryFolder() {
    std::mt19937_64 random(std::random_device{}());
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (;;) {
        const std::filesystem::path p = base / ("kelvarn-check-" + std::to_string(random() % 1000000000));
        std::error_code ec;
        if (std::filesystem::create_directory(p, ec)) return PathString(p);
    }
}

// Every file below the folder with its size and time, to prove the checks changed nothing.
std::map<std::string, std::pair<std::uintmax_t, std::filesystem::file_time_type>> Stamps(const std::string& folder) {
    std::map<std::string, std::pair<std::uintmax_t, std::filesystem::file_time_type>> stamps;
    std::vector<std::string> files;
    FindFilesRecursive(JoinPath(folder, "*.*"), "*.*", files);
    std::error_code ec;
    for (const std::string& f : files)
        stamps[f] = {std::filesystem::file_size(FsPath(f), ec), std::filesystem::last_write_time(FsPath(f), ec)};
    return stamps;
}

std::size_t CountLines(const std::string& report) {
    return report.empty() ? 0 : SplitString(report, "\r\n\t").size();
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]).rfind("--", 0) != 0) arguments.emplace_back(argv[i]);
    if (arguments.empty()) {
        std::printf("usage: bench_check_corpus <folder>\ncheck_corpus: assets=0 failed=0 per_s=0\n");
        return 2;
    }
    const std::string folder = ExcludeTrailingSeparator(arguments[0]);
    std::vector<std::string> configs;
    FindFilesRecursive(JoinPath(folder, "*.*"), "config.txt", configs);
    std::sort(configs.begin(), configs.end());
    std::vector<std::string> assets;
    for (const std::string& c : configs)
        if (SameText(ExtractFileName(c), "config.txt")) assets.push_back(ExtractFileDir(c));

    const std::string program = TemporaryFolder();
    TProgramState state;
    if (const std::string error = ForceCopyFile(KELVARN_TAGS_XML, program + "/bin/tags.xml"); !error.empty()) {
        std::printf("%s\ncheck_corpus: assets=0 failed=0 per_s=0\n", error.c_str());
        return 1;
    }
    InitProgramState(state, program + "/kelvarn");
    WriteFirstStartSettings(state);
    std::string error;
    if (!TTagsXml::Load(program + "/bin/tags.xml", error)) {  // parsed once: every load shares it
        std::printf("%s\ncheck_corpus: assets=0 failed=0 per_s=0\n", error.c_str());
        return 1;
    }
    const auto before = Stamps(folder);

    TWalnut walnut(state);
    TWalnutHooks hooks(walnut);
    TOutlineDocument config(state);
    config.SetHooks(&hooks);
    config.ScriptMode = true;
    TOutlineDocument readOnly(state);
    readOnly.ScriptMode = true;
    TTextures library(state);
    TStrellImage facade(library);

    std::size_t failed = 0;
    std::vector<std::string> lines;
    double configSeconds = 0, verifySeconds = 0, repairSeconds = 0;  // where the checks' time goes
    bool firstRound = true;
    const auto check = [&] {
        for (const std::string& asset : assets) {
            std::string line = ExtractFileName(asset) + ": ";
            bool ok = true;
            try {
                auto phase = Clock::now();
                const std::string loadError = config.LoadConfig(asset);
                configSeconds += Seconds(phase);
                if (const std::string& e = loadError; !e.empty()) {
                    ok = false;
                    line += "config unreadable: " + e;
                } else if (!DirectoryExists(asset)) {
                    ok = false;
                    line += "folder unreadable";
                } else {
                    const TAssetCheck check{state, config, asset, true};
                    phase = Clock::now();
                    const TVerifyFilesReport files = VerifyFiles(check);
                    verifySeconds += Seconds(phase);
                    if (!files.LogError.empty()) {
                        ok = false;
                        line += "log unwritable: " + files.LogError + "; ";
                    }
                    phase = Clock::now();
                    const std::string report = RepairTextures(check, "all", true);
                    repairSeconds += Seconds(phase);
                    line += "verify files " + std::to_string(files.Lines.size()) + " lines, repair textures " +
                            std::to_string(CountLines(report)) + " lines";
                }
            } catch (const std::exception& e) {
                ok = false;
                line += std::string("threw: ") + e.what();
            }
            if (firstRound) {
                failed += !ok;
                lines.push_back((ok ? "  " : "  FAILED ") + line);
            }
        }
        firstRound = false;
    };
    const auto reference = [&] {
        for (const std::string& asset : assets) {
            readOnly.LoadConfig(asset);
            std::vector<std::string> files;
            FindFilesRecursive(JoinPath(asset, "*.*"), "*.*", files);
            for (const std::string& f : files) {
                const std::string name = LowerCase(ExtractFileName(f));
                if (EndsWith(name, ".tga") || EndsWith(name, ".bmp") || EndsWith(name, ".jpg")) {
                    Image32 bitmap;
                    int alpha = 0, compression = 0, bits = 0;
                    facade.LoadImage(f, bitmap, alpha, compression, bits);
                    library.FreeImage();
                } else if (EndsWith(name, ".im") || EndsWith(name, ".pm") || EndsWith(name, ".texture.txt") ||
                           EndsWith(name, ".lm.txt")) {
                    std::string bytes;
                    ReadFileBytes(f, bytes);
                }
            }
        }
    };

    double checkSeconds = 0, referenceSeconds = 0;
    int rounds = 0;
    while (!assets.empty() && (rounds < kMinRounds || checkSeconds < kMinSeconds || referenceSeconds < kMinSeconds)) {
        auto start = Clock::now();
        check();
        checkSeconds += Seconds(start);
        start = Clock::now();
        reference();
        referenceSeconds += Seconds(start);
        ++rounds;
    }
    const double total = static_cast<double>(assets.size()) * rounds;
    const double perSecond = checkSeconds > 0 ? total / checkSeconds : 0;
    const double referencePerSecond = referenceSeconds > 0 ? total / referenceSeconds : 0;
    const double ratio = perSecond > 0 ? referencePerSecond / perSecond : 0;

    for (const std::string& line : lines) std::printf("%s\n", line.c_str());
    const auto after = Stamps(folder);
    if (after != before) {
        ++failed;
        std::printf("  FAILED the library changed during the checks\n");
    }
    DeleteFolderTree(program);
    std::printf("check_corpus_phases: config=%s verify_files=%s repair_textures=%s (seconds)\n",
                FormatDouble(configSeconds, 3).c_str(), FormatDouble(verifySeconds, 3).c_str(),
                FormatDouble(repairSeconds, 3).c_str());
    std::printf("check_corpus_reference: per_s=%s ratio=%s\n", FormatDouble(referencePerSecond, 1).c_str(),
                FormatDouble(ratio, 3).c_str());
    std::printf("check_corpus: assets=%zu failed=%zu per_s=%s\n", assets.size(), failed,
                FormatDouble(perSecond, 1).c_str());
    return failed == 0 ? 0 : 1;
}
