// Fixture scripts (tests/data/script/NAME.kvm) run through the fake desktop; the log of every call
// must equal NAME.log. Lines ";!answer X" of a script queue the desktop's answers and
// ";!setting Section Key Value" sets a setting; to the runner they are comments.
// KELVARN_UPDATE_GOLDEN=1 rewrites the logs (read them before committing).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "ScriptTestSupport.h"
#include "shell/Files.h"
#include "shell/MemIni.h"
#include "shell/Strings.h"

namespace kelvarn::test {
namespace {

namespace fs = std::filesystem;

const std::string kFixtures = std::string(KELVARN_TEST_DATA) + "/script";

std::vector<std::string> FixtureNames() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kFixtures))
        if (entry.path().extension() == ".log") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

class Golden : public ::testing::TestWithParam<std::string> {};

TEST_P(Golden, LogMatches) {
    const std::string name = GetParam();
    ScriptBed bed;
    const std::string asset = bed.SelectAsset("asset", kTestConfig);
    WriteBytes(asset + "/Textures/Tower_Lod.im", "");
    for (const auto& entry : fs::directory_iterator(kFixtures))
        if (entry.path().extension() == ".kvm") bed.WriteScript(entry.path().stem().string(), ReadBytes(entry.path().string()));
    for (const std::string& line : SplitLines(ReadBytes(kFixtures + "/" + name + ".kvm"))) {
        if (StartsWith(line, ";!answer ")) bed.host.answers.push_back(line.substr(9));
        if (StartsWith(line, ";!setting ")) {
            const std::vector<std::string> words = SplitString(line.substr(10), " ");
            ASSERT_EQ(words.size(), 3u) << line;
            bed.state.Settings().WriteString(words[0], words[1], words[2]);
        }
    }
    EXPECT_EQ(bed.unit->RunNamedScript(name, false), "");
    EXPECT_EQ(bed.host.treeDepth, 0);
    const std::string golden = kFixtures + "/" + name + ".log";
    if (std::getenv("KELVARN_UPDATE_GOLDEN")) WriteBytes(golden, bed.host.Log());
    EXPECT_EQ(bed.host.Log(), ReadBytes(golden));
}

INSTANTIATE_TEST_SUITE_P(Script, Golden, ::testing::ValuesIn(FixtureNames()),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace kelvarn::test
