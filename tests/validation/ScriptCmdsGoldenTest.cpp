// Fixture scripts of the tag edit and memory commands (tests/data/script_cmds/NAME.kvm) run on a copy
// of NAME.asset in the main outline. The desktop's calls and the outline's reveal and expand requests
// must equal NAME.log, and the config saved afterwards must equal NAME.config.txt byte for byte.
// KELVARN_UPDATE_GOLDEN=1 rewrites both (read them before committing).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "ScriptTestSupport.h"
#include "catalogue/OutlineHooks.h"
#include "shell/Files.h"
#include "shell/Strings.h"

namespace kelvarn::test {
namespace {

namespace fs = std::filesystem;

const std::string kFixtures = std::string(KELVARN_TEST_DATA) + "/script_cmds";

std::vector<std::string> FixtureNames() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kFixtures))
        if (entry.path().extension() == ".kvm") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Logs the view requests into the host's log, where they fall among its calls.
class TRequestLog final : public IOutlineObserver {
public:
    TRequestLog(FakeScriptHost& host, TOutlineDocument& doc) : host_(host), doc_(doc) {}
    void MakeVisible(const TOutlineNode* node) override { host_.Note("reveal " + doc_.NodePath(node)); }
    void ExpandNode(const TOutlineNode* node, bool all) override {
        host_.Note(std::string(all ? "expand all " : "expand ") + doc_.NodePath(node));
    }

private:
    FakeScriptHost& host_;
    TOutlineDocument& doc_;
};

class CmdsGolden : public ::testing::TestWithParam<std::string> {};

TEST_P(CmdsGolden, LogAndConfigMatch) {
    const std::string name = GetParam();
    ScriptBed bed(false);
    const std::string asset = bed.dir / "asset";
    fs::copy(kFixtures + "/" + name + ".asset", asset, fs::copy_options::recursive);
    bed.state.SetAssetPath(asset);
    ASSERT_EQ(bed.main->LoadConfig(asset), "");
    TRequestLog requests(bed.host, *bed.main);
    bed.main->SetObserver(&requests);
    bed.WriteScript(name, ReadBytes(kFixtures + "/" + name + ".kvm"));
    for (const std::string& line : SplitLines(ReadBytes(kFixtures + "/" + name + ".kvm")))
        if (StartsWith(line, ";!answer ")) bed.host.answers.push_back(line.substr(9));
    EXPECT_EQ(bed.unit->RunNamedScript(name, false), "");
    bed.main->SetObserver(nullptr);
    const std::string saved = bed.dir / "saved/config.txt";
    ForceDirectories(bed.dir / "saved");
    ASSERT_EQ(bed.main->SaveConfig(saved, false), "");

    const std::string log = kFixtures + "/" + name + ".log";
    const std::string config = kFixtures + "/" + name + ".config.txt";
    if (std::getenv("KELVARN_UPDATE_GOLDEN")) {
        WriteBytes(log, bed.host.Log());
        WriteBytes(config, ReadBytes(saved));
    }
    EXPECT_EQ(bed.host.Log(), ReadBytes(log));
    EXPECT_EQ(ReadBytes(saved), ReadBytes(config));
}

INSTANTIATE_TEST_SUITE_P(ScriptCmds, CmdsGolden, ::testing::ValuesIn(FixtureNames()),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace kelvarn::test
