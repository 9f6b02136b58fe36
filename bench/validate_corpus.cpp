// Validates every config.txt below a folder (our typical assets when none is given) against our
// tags.xml, as the Validate Tags command does on a fresh install: settings as a first start makes
// them, load the config into an outline, load the tag definition of its kind, run VerifyConfig with
// its report logged (into a temporary folder). Prints each finding's text with how often it came
// and where first, then the counts of errors and notices.
// The reference in the same run is reading the same configs into an outline alone.
// Each run writes its report as the day's log, atomically, as the program does.
// Then Delete Obsolete Tags runs once on a temporary copy of each config (nothing asked, so the legacy
// tags stay) and the tags it would delete are counted and named: on working assets that is none.
//   bench_validate_corpus [folder] [N] [--all-findings]
//   N configs, the folder's cycled when it has fewer; --all-findings names every place of a finding,
//   not only the first four
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
#include "shell/Files.h"
#include "shell/PathText.h"
#include "shell/ProgramFolder.h"
#include "shell/ProgramState.h"
#include "shell/SettingsKeys.h"
#include "shell/Text.h"
#include "shell/TrainzBuild.h"
#include "validation/ObsoleteTags.h"
#include "validation/ScriptHost.h"
#include "validation/TagValidation.h"

namespace {

using namespace kelvarn;
using Clock = std::chrono::steady_clock;

constexpr double kMinSeconds = 1.0;  // each measurement repeats its pass until it has run this long
constexpr int kMinRounds = 3;

double Seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

// Runs the two passes over the N configs in turns until both have run long enough, so that a change
// of the machine's load falls on both alike; returns each one's configs per second.
template <typename First, typename Second>
std::pair<double, double> Rates(std::size_t configs, First&& first, Second&& second) {
    double firstSeconds = 0, secondSeconds = 0;
    int rounds = 0;
    while (rounds < kMinRounds || firstSeconds < kMinSeconds || secondSeconds < kMinSeconds) {
        auto start = Clock::now();
        first();
        firstSeconds += Seconds(start);
        start = Clock::now();
        second();
        secondSeconds += Seconds(start);
        ++rounds;
    }
    const double total = static_cast<double>(configs) * rounds;
    return {firstSeconds > 0 ? total / firstSeconds : 0, secondSeconds > 0 ? total / secondSeconds : 0};
}

std::string TemporaryFolder() {
    std::mt19937_64 random(std::random_device{}());
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (;;) {
        const std::filesystem::path p = base / ("kelvarn-validate-" + std::to_string(random() % 1000000000));
        std::error_code ec;
        if (std::filesystem::create_directory(p, ec)) return PathString(p);
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::string folder = KELVARN_TYPICAL_ASSETS;
    std::size_t requested = 0;
    std::vector<std::string> arguments;
    bool allPlaces = false;
    for (int i = 1; i < argc; ++i) allPlaces = allPlaces || std::string(argv[i]) == "--all-findings";
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]).rfind("--", 0) != 0) arguments.emplace_back(argv[i]);  // scripts/bench passes options
    if (!arguments.empty()) folder = arguments[0];
    if (arguments.size() > 1) requested = static_cast<std::size_t>(std::max(0LL, std::atoll(arguments[1].c_str())));

    std::vector<std::string> files;
    FindFilesRecursive(IncludeTrailingSeparator(folder) + "*.*", "config.txt", files);
    std::sort(files.begin(), files.end());
    if (files.empty()) {
        std::printf("no config.txt below %s\nvalidate_corpus: configs=0 failed=0 per_s=0 read_ratio=0\n", folder.c_str());
        return 1;
    }
    const std::size_t count = requested > 0 ? requested : files.size();

    // A program folder of our own: our tags.xml in its bin folder, the log beside it.
    const std::string program = TemporaryFolder();
    TProgramState state;
    if (const std::string error = ForceCopyFile(KELVARN_TAGS_XML, program + "/bin/tags.xml"); !error.empty()) {
        std::printf("%s\n", error.c_str());
        return 1;
    }
    // The settings a first start makes: the program beside its bin folder, nothing else set.
    InitProgramState(state, program + "/kelvarn");
    WriteFirstStartSettings(state);
    const TMemIni& ini = state.Settings();
    std::string error;
    if (!TTagsXml::Load(program + "/bin/tags.xml", error)) {  // parsed once: every load shares it
        std::printf("%s\n", error.c_str());
        return 1;
    }

    TWalnut walnut(state);
    TWalnutHooks hooks(walnut);
    TOutlineDocument validated(state);
    validated.SetHooks(&hooks);
    TOutlineDocument readOnly(state);

    std::size_t failed = 0, lines = 0, problems = 0, errors = 0, notices = 0;
    struct Seen {
        std::size_t count = 0;
        std::vector<std::string> where;  // the first few: asset and node
    };
    std::map<std::string, Seen> findings;
    bool firstRound = true;
    // The asset's own build ("Current Asset"), else the default build of the settings.
    const auto activateBuild = [&](const TOutlineDocument& config) {
        std::string build = config.GetValueByPath("trainz-build");
        state.SetActiveBuild(IsKnownBuild(ini, build) ? ParseBuild(build)
                                                      : ParseBuild(ReadSetting(ini, keys::Build)));
    };
    const auto validate = [&] {
        for (std::size_t i = 0; i < count; ++i) {
            const std::string asset = ExtractFileDir(files[i % files.size()]);
            if (!validated.LoadConfig(asset).empty()) {
                failed += firstRound;
                continue;
            }
            activateBuild(validated);
            const TVerifyReport report = VerifyConfig(state, validated, walnut, asset);
            if (firstRound) {
                failed += !report.LogError.empty();
                lines += validated.LineCount();
                problems += report.Lines != std::vector<std::string>{"\tNo problems found"};
                for (const TVerifyFinding& f : report.Findings) {
                    (f.Error ? errors : notices) += 1;
                    Seen& seen = findings[(f.Error ? "error: " : "notice: ") + f.Message];
                    ++seen.count;
                    if (allPlaces || seen.where.size() < 4) seen.where.push_back(ExtractFileName(asset) + " " + f.Node);
                }
            }
        }
        firstRound = false;
    };
    const auto read = [&] {
        for (std::size_t i = 0; i < count; ++i) readOnly.LoadConfig(ExtractFileDir(files[i % files.size()]));
    };
    const auto [validateRate, readRate] = Rates(count, validate, read);

    std::size_t obsoleteDeleted = 0;
    std::vector<std::string> deletedWhere;  // the first few: asset and node
    {
        SilentScriptHost host;
        TOutlineDocument pruned(state);
        pruned.SetHooks(&hooks);
        const auto rowPaths = [&pruned] {
            std::vector<std::string> paths;
            for (const TOutlineNode* n = pruned.Root(); n; n = n->NextRow()) paths.push_back(pruned.NodePath(n));
            return paths;
        };
        for (std::size_t i = 0; i < files.size(); ++i) {
            const std::string copy = program + "/obsolete/" + std::to_string(i);
            if (!ForceCopyFile(files[i], copy + "/config.txt").empty() || !pruned.LoadConfig(copy).empty()) continue;
            activateBuild(pruned);
            const std::vector<std::string> before = rowPaths();
            DeleteObsoleteTags(state, host, pruned, true);
            const std::vector<std::string> after = rowPaths();
            obsoleteDeleted += before.size() - after.size();
            for (const std::string& path : before)
                if (std::find(after.begin(), after.end(), path) == after.end() && (allPlaces || deletedWhere.size() < 4))
                    deletedWhere.push_back(ExtractFileName(ExtractFileDir(files[i])) + " " + path);
        }
    }
    DeleteFolderTree(program);

    const double ratio = readRate > 0 ? validateRate / readRate : 0;
    std::printf("log folder %s\n", program.c_str());
    std::printf("folder %s: %zu config files, %zu validated per round, %zu config lines, %zu with findings\n",
                folder.c_str(), files.size(), count, lines, problems);
    std::printf("validate %s configs/s; read alone %s configs/s; validate/read %s\n",
                FormatDouble(validateRate, 1).c_str(), FormatDouble(readRate, 1).c_str(),
                FormatDouble(ratio, 3).c_str());
    std::printf("findings (first round):\n");
    for (const auto& [text, seen] : findings) {
        std::printf("  %5zu  %s\n", seen.count, text.c_str());
        for (const std::string& where : seen.where) std::printf("           %s\n", where.c_str());
    }
    std::printf("Delete Obsolete Tags on a copy of each config: %zu tags deleted\n", obsoleteDeleted);
    for (const std::string& where : deletedWhere) std::printf("           %s\n", where.c_str());
    std::printf("validate_corpus: configs=%zu failed=%zu per_s=%s read_ratio=%s errors=%zu notices=%zu "
                "obsolete_deleted=%zu\n",
                count, failed, FormatDouble(validateRate, 1).c_str(), FormatDouble(ratio, 3).c_str(), errors, notices,
                obsoleteDeleted);
    return 0;
}
