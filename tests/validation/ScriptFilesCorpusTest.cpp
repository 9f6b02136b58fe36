// The file commands and the obsolete-tag removal on the real assets of the shared corpus (copied to
// a temporary folder first): an appended config keeps its bytes' form, every real image either makes
// a normal map or is refused by the size rule, and the tag definitions keep what identifies an asset.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "ScriptTestSupport.h"
#include "catalogue/OutlineWiring.h"
#include "shell/Files.h"
#include "shell/PathText.h"
#include "shell/Strings.h"
#include "shell/Text.h"
#include "validation/ObsoleteTags.h"

namespace kelvarn::test {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

const fs::path kCorpus = fs::path(KELVARN_SOURCE_DIR) / ".." / "shared" / "corpus";

std::vector<fs::path> CorpusAssets() {
    std::vector<fs::path> assets;
    std::error_code ec;
    if (!fs::is_directory(kCorpus, ec)) return assets;
    for (auto it = fs::recursive_directory_iterator(kCorpus, ec); it != fs::recursive_directory_iterator(); it.increment(ec))
        if (it->is_regular_file() && it->path().filename() == "config.txt") assets.push_back(it->path().parent_path());
    std::sort(assets.begin(), assets.end());
    return assets;
}

TEST(ScriptFilesCorpus, RealAssets) {
    const std::vector<fs::path> assets = CorpusAssets();
    if (assets.empty()) GTEST_SKIP() << "no corpus at " << kCorpus;
    int images = 0, maps = 0;
    for (const fs::path& source : assets) {
        SCOPED_TRACE(source.string());
        ScriptBed bed(false);
        fs::create_directories(bed.Program() + "/bin");
        fs::copy_file(fs::path(KELVARN_SOURCE_DIR) / "resources/bin/tags.xml", bed.Program() + "/bin/tags.xml");
        TOutlineWiring wiring(bed.state, *bed.main, false);
        const std::string asset = bed.dir / "asset";
        test::CopyWritable(source.string(), asset);
        bed.state.SetAssetPath(asset);
        ASSERT_EQ(bed.main->LoadConfig(asset), "");

        // An append that adds nothing rewrites the same text in the same encoding.
        const std::string before = ReadBytes(asset + "/config.txt");
        bed.Run("-write|append|config.txt\n-write|close");
        const std::string after = ReadBytes(asset + "/config.txt");
        EXPECT_EQ(after.substr(0, 3) == "\xEF\xBB\xBF", before.substr(0, 3) == "\xEF\xBB\xBF");
        EXPECT_EQ(SplitLines(DecodeText(after).text), SplitLines(DecodeText(before).text));

        // Every image of the asset: a normal map, or the size rule's refusal; a load never fails.
        std::vector<std::string> found;
        FindFilesRecursive(asset + "/*.*", "*.tga;*.jpg;*.bmp", found);
        fs::create_directories(asset + "/maps");
        for (const std::string& image : found) {
            const std::string name = ExtractFileName(image);
            if (ContainsText(name, "normal") || ContainsText(name, "art_icon")) continue;
            bed.host.log.clear();
            const std::string relative = image.substr(asset.size() + 1);
            bed.Run("-makenormalmap|" + relative + "|maps/" + std::to_string(images) + ".tga");
            const Lines said = Messages(bed.host);
            ++images;
            if (said.empty()) {
                ++maps;
                EXPECT_GT(FileSize(asset + "/maps/" + std::to_string(images - 1) + ".tga"), 18u) << image;
            } else {
                EXPECT_TRUE(StartsWith(said[0], "Texture size is invalid")) << said[0];
            }
        }

        // A batch's removal of obsolete tags keeps what identifies the asset, and the config saves
        // and loads again.
        bed.state.SetActiveBuild(ParseBuild(bed.main->GetValueByPath("trainz-build")));
        DeleteObsoleteTags(bed.state, bed.host, *bed.main, true);
        EXPECT_NE(bed.main->FindNodeByPath("config.txt\\kuid"), nullptr);
        EXPECT_NE(bed.main->FindNodeByPath("config.txt\\kind"), nullptr);
        ASSERT_EQ(bed.main->SaveConfig(asset + "/config.txt", false), "");
        TOutlineDocument again(bed.state);
        EXPECT_EQ(again.LoadConfig(asset), "");
    }
    EXPECT_GT(images, 0);
    EXPECT_GT(maps, 0);
    std::printf("corpus: %zu assets, %d images, %d normal maps\n", assets.size(), images, maps);
}

}  // namespace
}  // namespace kelvarn::test
