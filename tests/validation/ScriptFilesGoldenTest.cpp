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
#include "shell/Text.h"

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

// batch/batch.kvm runs over copies of batch/a1..a3 while batch/main is the main window's asset. What
// the desktop was asked, the batch's report and the tools started must equal batch/batch.log; every
// file of the four assets afterwards batch/batch.files (the main asset untouched).
TEST(FilesGoldenBatch, EachAssetOfABatchIsTheOneItsLinesActOn) {
    const std::string fixtures = kFixtures + "/batch";
    ScriptBed bed(false);
    const std::string assets = bed.dir / "assets";
    fs::create_directories(assets);
    for (const char* name : {"main", "a1", "a2", "a3"})
        fs::copy(fixtures + "/" + name, assets + "/" + name, fs::copy_options::recursive);
    const std::string main = assets + "/main";
    bed.state.SetAssetPath(main);
    bed.state.SetAssetFileName("main.im");
    ASSERT_EQ(bed.main->LoadConfig(main), "");
    bed.state.SetAssetKuid(bed.main->GetValueByPath("config.txt\\kuid"));
    const std::string bar(kBrokenBar);
    bed.state.Settings().WriteString("BatchTool", "1", "Notes" + bar + bar + "%bin%\\tool.exe %pfe%" + bar + "1" + bar +
                                                           "0" + bar + "0" + bar + "0" + bar);
    WriteBytes(bed.Program() + "/bin/tool.exe", "");
    bed.unit->FolderList = {assets + "/a1", assets + "/a2", assets + "/a3"};
    bed.unit->RunOnTaggedAssets("batch", SplitLines(ReadBytes(fixtures + "/batch.kvm")));
    // The main window's asset keeps its own macros after the batch.
    EXPECT_EQ(bed.state.CurrentKuid, "500");

    std::vector<std::string> lines = bed.host.log;
    lines.push_back("[report]");
    for (const std::string& line : bed.unit->OutputList) lines.push_back(line);
    lines.push_back("[tools]");
    for (const ProcessRequest& run : bed.runner.runs)
        lines.push_back(run.program + " " + JoinLines(run.arguments, " "));
    std::string log = ReplaceAll(JoinLines(lines, "\n") + "\n", bed.dir.Path(), "<tmp>");
    const std::string files = ReplaceAll(Listing(assets), bed.dir.Path(), "<tmp>");
    if (std::getenv("KELVARN_UPDATE_GOLDEN")) {
        WriteBytes(fixtures + "/batch.log", log);
        WriteBytes(fixtures + "/batch.files", files);
    }
    EXPECT_EQ(log, ReadBytes(fixtures + "/batch.log"));
    EXPECT_EQ(files, ReadBytes(fixtures + "/batch.files"));
}

}  // namespace
}  // namespace kelvarn::test
