// Every edit keeps what it was not asked to change, on every real config: names as written, values
// as they were, and no tag that nobody asked for. Each edit runs on a fresh load and is undone again.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "shell/Files.h"
#include "shell/PathText.h"
#include "support/EditCorpus.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {

using editcorpus::TTally;

const std::string kCorpus = std::string(KELVARN_SOURCE_DIR) + "/../shared/corpus";

// A program folder holding our tags.xml, for the tag definitions and Delete Obsolete Tags.
std::string ProgramFolder(const test::TempDir& dir) {
    const std::string program =
        editcorpus::MakeProgramFolder(dir.Path(), std::string(KELVARN_SOURCE_DIR) + "/resources/bin/tags.xml");
    EXPECT_NE(program, "");
    return program;
}

TEST(EditCorpus, EveryEditOfAFixtureKeepsWhatItWasNotAskedToChange) {
    test::TempDir dir;
    const std::string program = ProgramFolder(dir);
    test::WriteBytes(dir / "asset/config.txt",
                     "kuid <kuid:1:2>\r\nkind \"scenery\"\r\nUserName \"Mixed Case\"\r\n"
                     "kuid-table\r\n{\r\n  PermitManagerRule <kuid:30:1>\r\n  0 <kuid:9:9>\r\n}\r\n"
                     "string-table\r\n{\r\n  HelloWorld \"see <kuid:5:5> there\"\r\n}\r\n"
                     "description \"first \r\nsecond\"\r\nfog-density 0.12345\r\n;Hidden \"x\"\r\n"
                     "mesh-table\r\n{\r\n  Default\r\n  {\r\n    Mesh \"a.im\"\r\n    auto-create 1\r\n  }\r\n}\r\n");
    TTally tally;
    editcorpus::RunEdits(program, dir / "asset", true, tally);
    EXPECT_GT(tally.ops, 8u);
    EXPECT_EQ(tally.failed, 0u);
    EXPECT_EQ(tally.names, 0u) << tally.Report();
    EXPECT_EQ(tally.values, 0u) << tally.Report();
    EXPECT_EQ(tally.added, 0u) << tally.Report();
}

TEST(EditCorpus, EveryEditOfEveryRealConfigKeepsWhatItWasNotAskedToChange) {
    if (!std::filesystem::is_directory(kCorpus)) GTEST_SKIP() << "no corpus at " << kCorpus;
    test::TempDir dir;
    const std::string program = ProgramFolder(dir);
    const std::vector<std::string> copies = editcorpus::CopyEachConfig(kCorpus, dir / "copies");
    ASSERT_FALSE(copies.empty());
    TTally tally;
    for (const std::string& copy : copies) editcorpus::RunEdits(program, copy, true, tally);
    EXPECT_GT(tally.ops, copies.size() * 5);
    EXPECT_EQ(tally.failed, 0u) << tally.Report();
    EXPECT_EQ(tally.names, 0u) << tally.Report();
    EXPECT_EQ(tally.values, 0u) << tally.Report();
    EXPECT_EQ(tally.added, 0u) << tally.Report();
}

}  // namespace
}  // namespace kelvarn
