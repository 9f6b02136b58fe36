// The file reference check: what each kind of tag references, the flags, the report block and the
// real asset folders.
#include <gtest/gtest.h>

#include <filesystem>

#include "ValidationTestSupport.h"
#include "media/CorpusSupport.h"
#include "catalogue/OutlineHooks.h"
#include "media/JpegCodec.h"
#include "support/MeshFileBuilder.h"
#include "validation/FileReferences.h"

namespace kelvarn {
namespace {

using test::MeshFileBuilder;
using test::MeshMaterial;

// The kind chain the tag definitions would give, without loading them.
class FixedKindHooks final : public IOutlineHooks {
public:
    std::string chain;
    std::string KindChain() const override { return chain; }
};

struct FilesBed : test::ValidationBed {
    FixedKindHooks kinds;

    TAssetCheck Check() { return TAssetCheck{state, doc, asset}; }

    std::vector<std::string> References(std::string_view config, bool* meshLibrary = nullptr, bool* aliased = nullptr) {
        Load(config);
        doc.SetHooks(&kinds);
        TReferenceSet references;
        bool library = false, alias = false;
        CollectReferencedFiles(Check(), references, library, alias);
        if (meshLibrary) *meshLibrary = library;
        if (aliased) *aliased = alias;
        return references.Sorted();
    }
};

std::string MeshUsing(std::vector<std::string> textures) {
    MeshMaterial material;
    for (std::string& t : textures) material.Textures.push_back({1, std::move(t), 1});
    return MeshFileBuilder().Info(102).Object(0, material, test::GridGeometry(1, 1)).Bytes();
}

using Refs = std::vector<std::string>;

TEST(FileReferences, EachRuleReferencesItsFiles) {
    const struct {
        const char* what;
        std::vector<std::pair<std::string, std::string>> files;
        std::string config;
        Refs expected;
        std::string chain = {};
    } cases[] = {
        {"a mesh, its texture descriptor and the descriptor's images",
         {{"body.im", MeshUsing({"C:\\work\\body.texture"})}, {"body.texture.txt", "Primary=body.tga\r\nAlpha=body_a.tga\r\n"}},
         "kind \"scenery\"\nmesh-table {\n default {\n  mesh \"body.im\"\n }\n}\n",
         {"body.im", "body.texture.txt", "body.tga", "body_a.tga", "config.txt"}},
        {"a mesh in a sub-folder named with /",
         {{"sub/car.pm", MeshUsing({"car.texture"})}, {"sub/car.texture.txt", "Primary=car.jpg\r\n"}},
         "mesh \"sub/car.pm\"\n",
         {"config.txt", "sub\\car.jpg", "sub\\car.pm", "sub\\car.texture.txt"}},
        {"a missing mesh is referenced but not followed", {}, "mesh \"gone.im\"\n", {"config.txt", "gone.im"}},
        {"a speed-tree mesh keeps its name, with \\", {}, "mesh \"trees/oak.srt\"\n", {"config.txt", "trees\\oak.srt"}},
        {"a level-of-detail file in a sub-folder names meshes beside it",
         {{"lod/train.lm.txt", "version=1.0\r\nmesh(0) { name=\"train_hi.im\" }\r\n"},
          {"lod/train_hi.im", MeshUsing({"paint.texture"})}},
         "mesh \"lod/train.lm\"\n",
         {"config.txt", "lod\\paint.texture.txt", "lod\\train.lm.txt", "lod\\train_hi.im"}},
        {"a texture value in a sub-folder", {{"skins/x.texture.txt", "Primary=x.tga\r\nAlpha=\r\n"}},
         "texture \"skins/x.texture\"\n", {"config.txt", "skins\\x.texture.txt", "skins\\x.tga"}},
        {"a value naming the descriptor itself", {}, "texture \"x.texture.txt\"\n", {"config.txt", "x.texture.txt"}},
        {"text that merely holds .texture names nothing", {}, "description \"the .textures here\"\n", {"config.txt"}},
        {"a ground texture", {}, "kind groundtexture\nasset-filename \"grass\"\n", {"config.txt", "grass.texture.txt"}},
        {"a script without extension", {}, "script \"pjl_trig\"\n", {"config.txt", "pjl_trig.gs"}},
        {"a script with a folder and extension", {}, "script \"scripts/a.gs\"\n", {"config.txt", "scripts\\a.gs"}},
        {"listed extensions, any case", {},
         "image \"Thumb.JPG\"\nhelp \"doc/page.html\"\nsound \"horn.wav\"\nicon \"icon.png\"\n",
         {"config.txt", "doc\\page.html", "horn.wav", "Thumb.JPG"}},
        {"fonts images", {{"font_alpha_numbers/a.tga", ""}, {"font_alpha_numbers/b.BMP", ""}, {"font_alpha_numbers/c.txt", ""}},
         "fonts-path \"font\"\n", {"config.txt", "font_alpha_numbers\\a.tga", "font_alpha_numbers\\b.BMP"}},
        {"track pieces hold their mesh in a folder of their name", {{"ini/ini.pm", ""}},
         "initiator \"ini\"\ndivider \"none\"\n", {"config.txt", "ini\\ini.pm"}},
        {"an old track's file name gives its meshes", {{"rail.im", ""}},
         "kind \"track\"\nasset-filename \"rail\"\n", {"config.txt", "rail.im"}, "USER-TAGS,BASE-ASSET,ITRACK"},
        {"an old track without one uses default.im", {}, "kind \"itrack\"\n", {"config.txt", "default.im"}},
        {"a bogey's animation", {}, "kind \"bogey\"\n", {"anim.kin", "config.txt"}},
    };
    for (const auto& c : cases) {
        FilesBed bed;
        bed.kinds.chain = c.chain;
        for (const auto& [name, bytes] : c.files) bed.File(name, bytes);
        EXPECT_EQ(bed.References(c.config), c.expected) << c.what;
    }
}

TEST(FileReferences, FlagsForAliasAndMeshLibrary) {
    FilesBed bed;
    bool library = false, aliased = false;
    bed.References("alias <kuid:1:2>\nmesh-table {\n default {\n  mesh-asset <kuid:3:4>\n }\n}\n", &library, &aliased);
    EXPECT_TRUE(library);
    EXPECT_TRUE(aliased);
    bed.References("kind scenery\n", &library, &aliased);
    EXPECT_FALSE(library);
    EXPECT_FALSE(aliased);
}

TEST(FileReferences, ReferenceSetIgnoresCaseAndSeparators) {
    TReferenceSet set;
    set.Add("Wood.TGA");
    set.Add("wood.tga");
    set.Add("sub/Bark.tga");
    set.Add("");
    EXPECT_EQ(set.Size(), 2u);
    EXPECT_TRUE(set.Contains("SUB\\bark.TGA"));
    EXPECT_TRUE(set.Contains("sub/bark.tga"));
    EXPECT_EQ(set.Sorted(), (Refs{"sub\\Bark.tga", "Wood.TGA"}));
}

TEST(VerifyFiles, ReportsFlagsMissingAndUnreferencedFilesInOneBlock) {
    FilesBed bed;
    bed.state.SetActiveBuild(35);
    bed.File("scripts/Main.GS");
    bed.File("Thumb.jpg");
    bed.File("spare.tga");
    bed.File("old.texture");
    bed.File("sub/notes.txt");
    bed.Load("alias <kuid:1:2>\nscript \"scripts/main.gs\"\nimage \"thumb.JPG\"\nimage \"Wood.tga\"\nicon \"wood.TGA\"\n"
             "mesh \"gone.im\"\n");
    const TVerifyFilesReport report = VerifyFiles(bed.Check());
    EXPECT_EQ(report.Lines, (Refs{"*This asset is aliased", "*This asset contains compressed texture files",
                                  "*Results may be incorrect or incomplete", "\tMissing Files (2)", "\t\tgone.im",
                                  "\t\tWood.tga", "\tEmpty or Unreadable Files (2)",
                                  "\t\tscripts\\main.gs: *** File is empty ***", "\t\tthumb.JPG: *** File is empty ***",
                                  "\tUnreferenced Files (3)", "\t\told.texture", "\t\tspare.tga",
                                  "\t\tsub\\notes.txt"}));
    EXPECT_EQ(report.Title, "Verify Files (Build 3.5): 6 lines processed");
    EXPECT_EQ(report.LogError, "");
    const std::string log = bed.Log();
    EXPECT_NE(log.find(report.Title), std::string::npos);
    EXPECT_NE(log.find("\tMissing Files (2)\r\n\t\tgone.im\r\n\t\tWood.tga\r\n"), std::string::npos) << log;
}

// A file that is there but cannot serve is as much a fault as one that is missing.
TEST(VerifyFiles, NamedFilesThatAreEmptyOrUnreadableAreFaults) {
    FilesBed bed;
    bed.File("body.im");
    bed.File("thumb.jpg");
    bed.File("text.pm", "just some text, not a mesh");
    bed.File("photo.tga", std::string("\xFF\xD8\xFF\xE0", 4));  // a JPEG's first bytes, cut short
    bed.File("good.im", MeshUsing({}));
    bed.File("notes.htm");  // a kind none of our readers takes: only its size counts
    bed.Load("mesh-table\n{\n  default\n  {\n    mesh \"body.im\"\n  }\n  lod\n  {\n    mesh \"text.pm\"\n  }\n"
             "  good\n  {\n    mesh \"good.im\"\n  }\n}\n"
             "thumbnails\n{\n  0\n  {\n    image \"thumb.jpg\"\n    width 240\n    height 180\n  }\n}\n"
             "icon-texture \"photo.tga\"\nhelp \"notes.htm\"\n");
    const TVerifyFilesReport report = VerifyFiles(bed.Check());
    EXPECT_EQ(report.Unreadable, (Refs{"body.im: *** File is empty ***", "notes.htm: *** File is empty ***",
                                       "photo.tga: Not a readable image", "text.pm: Not a valid mesh file",
                                       "thumb.jpg: *** File is empty ***"}));
    EXPECT_EQ(report.Missing, Refs{});
    EXPECT_NE(bed.Log().find("\tEmpty or Unreadable Files (5)\r\n\t\tbody.im: *** File is empty ***\r\n"), std::string::npos)
        << bed.Log();
}

// A picture whose header reads but that no reader decodes (cut short, or its data damaged) cannot
// serve either; the line names the reader's reason.
TEST(VerifyFiles, NamedPicturesNoReaderDecodesAreListedWithTheReadersReason) {
    FilesBed bed;
    Image32 picture;
    ASSERT_TRUE(picture.Resize(240, 180, 0xFF808080u));
    for (int y = 0; y < 180; ++y)
        for (int x = 0; x < 240; ++x) picture.At(x, y) = 0xFF000000u | static_cast<std::uint32_t>(x * 977 + y * 131);
    const std::string jpeg = EncodeJpeg(picture);
    ASSERT_FALSE(jpeg.empty());
    std::string tga = std::string(18, '\0') + std::string(240 * 180 * 3, '\x40');
    tga[2] = 2;
    tga[12] = static_cast<char>(240);
    tga[14] = static_cast<char>(180);
    tga[16] = 24;
    bed.File("thumbnail.jpg", jpeg.substr(0, jpeg.size() / 2));
    bed.File("closed.jpg", jpeg.substr(0, jpeg.size() / 2) + "\xFF\xD9");
    bed.File("whole.jpg", jpeg);
    bed.File("short.tga", tga.substr(0, tga.size() / 2));
    bed.File("whole.tga", tga);
    bed.Load("thumbnails\n{\n  0\n  {\n    image \"thumbnail.jpg\"\n    width 240\n    height 180\n  }\n}\n"
             "preview \"closed.jpg\"\nicon \"whole.jpg\"\nicon-texture \"short.tga\"\nimage \"whole.tga\"\n");
    const TVerifyFilesReport report = VerifyFiles(bed.Check());
    EXPECT_EQ(report.Unreadable, (Refs{"closed.jpg: Couldn't load JPG", "short.tga: Not a readable image",
                                       "thumbnail.jpg: Couldn't load JPG"}));
    EXPECT_NE(bed.Log().find("\tEmpty or Unreadable Files (3)\r\n\t\tclosed.jpg: Couldn't load JPG\r\n"), std::string::npos)
        << bed.Log();
}

TEST(VerifyFiles, AnAssetOfOnlyItsConfigHasNothingToReport) {
    FilesBed bed;
    bed.state.SetActiveBuild(30);
    bed.Load("kind scenery\n");
    std::vector<std::pair<std::size_t, std::size_t>> steps;
    TAssetCheck check = bed.Check();
    check.Progress = [&steps](std::size_t done, std::size_t total) { steps.emplace_back(done, total); };
    const TVerifyFilesReport report = VerifyFiles(check);
    EXPECT_TRUE(report.Missing.empty());
    EXPECT_TRUE(report.Unreferenced.empty());
    EXPECT_EQ(report.Title, "Verify Files (Build 3.0): 1 lines processed");
    EXPECT_NE(bed.Log().find("Nothing to report"), std::string::npos);
    EXPECT_EQ(steps, (std::vector<std::pair<std::size_t, std::size_t>>{{1, 1}, {0, 0}}));
}

std::string CopyCorpusAsset(const std::string& from, const std::string& to) {
    test::CopyWritable(test::CorpusFile(from), to);
    return to;
}

TEST(VerifyFiles, RealAssets) {
    KELVARN_NEED_CORPUS();
    {
        FilesBed bed;
        bed.asset = CopyCorpusAsset("jos-scanner", bed.dir / "jos");
        ASSERT_EQ(bed.doc.LoadConfig(bed.asset), "");
        const TVerifyFilesReport report = VerifyFiles(bed.Check());
        EXPECT_EQ(report.Missing, Refs{}) << "jos-scanner";
        EXPECT_EQ(report.Unreferenced, Refs{"LICENSE"});
        EXPECT_EQ(report.Unreadable, Refs{}) << "jos-scanner";
    }
    {
        FilesBed bed;
        bed.asset = CopyCorpusAsset("basemap-maker/Assets", bed.dir / "basemap");
        ASSERT_EQ(bed.doc.LoadConfig(bed.asset), "");
        const TVerifyFilesReport report = VerifyFiles(bed.Check());
        EXPECT_EQ(report.Missing, Refs{"basemap.jpg"}) << "basemap-maker";
        EXPECT_EQ(report.Unreferenced, Refs{});
        EXPECT_EQ(report.Unreadable, Refs{}) << "basemap-maker";
    }
    {
        // The same thumbnail cut short as a failed copy leaves it: its header still reads.
        FilesBed bed;
        bed.asset = CopyCorpusAsset("schedule-commands/PermitManagerRule", bed.dir / "permit");
        const std::string thumbnail = bed.asset + "/thumbnail.jpg";
        const std::string bytes = test::ReadBytes(thumbnail);
        test::WriteBytes(thumbnail, bytes.substr(0, bytes.size() * 3 / 4));
        ASSERT_EQ(bed.doc.LoadConfig(bed.asset), "");
        const TVerifyFilesReport report = VerifyFiles(bed.Check());
        EXPECT_EQ(report.Unreadable, Refs{"thumbnail.jpg: Couldn't load JPG"});
    }
}

}  // namespace
}  // namespace kelvarn
