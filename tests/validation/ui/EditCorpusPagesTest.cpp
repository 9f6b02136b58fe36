// Edit Tag on every tag of real configs through the editor window's own pages, confirmed untouched
// with OK and with Enter: nothing changes, not a set's order nor a number's digits. Each edit runs on
// a fresh load and is undone again.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/EditCorpusPages.h"
#include "support/QtTestSupport.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {

using editcorpus::TTally;

// Runs every edit on each asset, Edit Tag through the pages; the tally of all.
TTally EditThroughThePages(const test::TempDir& dir, const std::vector<std::string>& assets) {
    test::TestApp();
    TTally tally;
    const std::string program =
        editcorpus::MakeProgramFolder(dir.Path(), std::string(KELVARN_SOURCE_DIR) + "/resources/bin/tags.xml");
    EXPECT_NE(program, "");
    const std::vector<editcorpus::TEditTagStep> pages = {editcorpus::PagesEditTag(false, tally),
                                                         editcorpus::PagesEditTag(true, tally)};
    for (const std::string& asset : assets) editcorpus::RunEdits(program, asset, true, tally, nullptr, pages);
    EXPECT_GT(tally.ops, assets.size() * 5);
    EXPECT_EQ(tally.failed, 0u) << tally.Report();
    return tally;
}

TEST(EditCorpusPages, UntouchedPagesOfAFixtureChangeNothing) {
    test::TempDir dir;
    test::WriteBytes(dir / "asset/config.txt",
                     "kuid <kuid:1:2>\r\nkind \"scenery\"\r\nusername \"Mixed Case\"\r\ntrainz-build 3.5\r\n"
                     "category-era \"2000s;1950s\"\r\ncategory-keyword \"trees;Bush\"\r\n"
                     "description \"first \r\nsecond\"\r\nlight 1\r\nfog-density 0.12345\r\n"
                     "mesh-table\r\n{\r\n  Default\r\n  {\r\n    mesh \"a.im\"\r\n    auto-create 1\r\n  }\r\n}\r\n");
    const TTally tally = EditThroughThePages(dir, {dir / "asset"});
    EXPECT_EQ(tally.names + tally.values + tally.added, 0u) << tally.Report();
}

TEST(EditCorpusPages, UntouchedPagesOfEveryRealConfigChangeNothing) {
    const std::string corpus = std::string(KELVARN_SOURCE_DIR) + "/../shared/corpus";
    if (!std::filesystem::is_directory(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
    test::TempDir dir;
    const std::vector<std::string> copies = editcorpus::CopyEachConfig(corpus, dir / "copies");
    ASSERT_FALSE(copies.empty());
    const TTally tally = EditThroughThePages(dir, copies);
    EXPECT_EQ(tally.names + tally.values + tally.added, 0u) << tally.Report();
}

}  // namespace
}  // namespace kelvarn
