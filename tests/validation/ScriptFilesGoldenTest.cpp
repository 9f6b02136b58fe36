// Fixture scripts of the settings, output and file commands (tests/data/script_files/NAME.kvm) run
// on a copy of NAME.asset in the main outline. The desktop's calls must equal NAME.log, the config
// saved afterwards NAME.config.txt, and the asset's files with their bytes NAME.files, byte for byte.
// KELVARN_UPDATE_GOLDEN=1 rewrites the three (read them before committing).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "ScriptTestSupport.h"
#include "shell/Files.h"
#include "shell/Strings.h"

namespace kelvarn::test {
namespace {

namespace fs = std::filesystem;

const std::string kFixtures = std::string(KELVARN_TEST_DATA) + "/script_files";

std::vector<std::string> FixtureNames() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kFixtures))
        if (entry.path().extension() == ".kvm") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Every file below the folder, "relative path: bytes" a line (bytes of text files as they are).
std::string Listing(const std::string& folder) {
    std::vector<std::string> lines;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            lines.push_back(fs::relative(entry.path(), folder).generic_string() + ": " + ReadBytes(entry.path().string()));
    std::sort(lines.begin(), lines.end());
    return JoinLines(lines, "\n") + "\n";
}

class FilesGolden : public ::testing::TestWithParam<std::string> {};

TEST_P(FilesGolden, LogConfigAndFilesMatch) {
    const std::string name = GetParam();
    ScriptBed bed(false);
    const std::string asset = bed.dir / "asset";
    fs::copy(kFixtures + "/" + name + ".asset", asset, fs::copy_options::recursive);
    bed.state.SetAssetPath(asset);
    ASSERT_EQ(bed.main->LoadConfig(asset), "");
    bed.WriteScript(name, ReadBytes(kFixtures + "/" + name + ".kvm"));
    EXPECT_EQ(bed.unit->RunNamedScript(name, false), "");
    const std::string saved = bed.dir / "saved/config.txt";
    ForceDirectories(bed.dir / "saved");
    ASSERT_EQ(bed.main->SaveConfig(saved, false), "");
    // The settings file as the run left it belongs to the files too.
    const std::string files = Listing(asset) + "[kelvarn.ini]\n" + ReadBytes(bed.Program() + "/kelvarn.ini");

    const std::string log = kFixtures + "/" + name + ".log";
    const std::string config = kFixtures + "/" + name + ".config.txt";
    const std::string listing = kFixtures + "/" + name + ".files";
    if (std::getenv("KELVARN_UPDATE_GOLDEN")) {
        WriteBytes(log, bed.host.Log());
        WriteBytes(config, ReadBytes(saved));
        WriteBytes(listing, files);
    }
    EXPECT_EQ(bed.host.Log(), ReadBytes(log));
    EXPECT_EQ(ReadBytes(saved), ReadBytes(config));
    EXPECT_EQ(files, ReadBytes(listing));
}

INSTANTIATE_TEST_SUITE_P(ScriptFiles, FilesGolden, ::testing::ValuesIn(FixtureNames()),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace kelvarn::test
