#include <gtest/gtest.h>

#include <set>

#include "AssetTestSupport.h"
#include "catalogue/HomeFolders.h"
#include "catalogue/KuidLine.h"
#include "catalogue/KuidMap.h"
#include "shell/Text.h"

namespace kelvarn {
namespace {

TEST(KuidLine, TheTopLevelKuidTagNamesTheAsset) {
    struct Case {
        const char* name;
        const char* config;
        const char* kuid;
    };
    const Case cases[] = {
        {"plain", "kind \"scenery\"\nkuid <kuid:123:456>\n", "<kuid:123:456>"},
        {"quoted capitals", "kuid \"<KUID:ABC:456>\"\n", "<kuid:abc:456>"},
        {"comment after", "kuid <kuid:1:2> ; was <kuid:9:9>\n", "<kuid:1:2>"},
        {"tab separated", "kuid\t\t<kuid:3:4>\r\n", "<kuid:3:4>"},
        {"bogey first", "bogey <kuid:9:9>\nkuid <kuid:1:2>\n", "<kuid:1:2>"},
        {"kuid-table first", "kuid-table {\n  0 <kuid:5:5>\n  kuid <kuid:6:6>\n}\nkuid <kuid:1:2>\n", "<kuid:1:2>"},
        {"nested kuid first", "mesh-table {\n  default {\n    kuid <kuid:7:7>\n  }\n}\nkuid <kuid2:1:2:3>\n", "<kuid2:1:2:3>"},
        {"kuid2", "KUID <KUID2:11:22:3>\n", "<kuid2:11:22:3>"},
        {"brace in a quoted value", "description \"a { b\"\nkuid <kuid:8:8>\n", "<kuid:8:8>"},
        {"multi-line value", "description \"one\nkuid <kuid:9:9> inside\"\nkuid <kuid:1:1>\n", "<kuid:1:1>"},
        {"no top-level kuid", "bogey <kuid:9:9>\nname \"x\"\n", "<kuid:9:9>"},
        {"none", "kind \"scenery\"\nname \"x\"\n", ""},
        {"no closing bracket", "kuid \"<kuid:1:2\"\n", "<kuid:1:2"},
        {"empty", "", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(KuidTextOfConfig(c.config), c.kuid) << c.name;
}

TEST(KuidLine, TheFileReaderStopsAtTheKuidAndCapsWhatItReads) {
    test::TempDir dir;
    // The KUID at the head of a large config, and one behind more than the cap.
    std::string big = "kuid <kuid:1:2>\n";
    big.append(std::size_t(1) << 20, '\n');
    test::WriteBytes(dir / "head.txt", big);
    EXPECT_EQ(ReadKuidText(dir / "head.txt"), "<kuid:1:2>");
    std::string late(kKuidReadCap + 10, 'x');
    late += "\nkuid <kuid:3:4>\n";
    test::WriteBytes(dir / "late.txt", late);
    EXPECT_EQ(ReadKuidText(dir / "late.txt"), "");
    EXPECT_EQ(ReadKuidText(dir / "missing.txt"), "");
    // A line end split across the reader's blocks.
    std::string split(16 * 1024 - 1, ' ');
    split += "\r\nkuid <kuid:5:6>\r\n";
    test::WriteBytes(dir / "split.txt", split);
    EXPECT_EQ(ReadKuidText(dir / "split.txt"), "<kuid:5:6>");
}

// Configs saved in UTF-16 are read as the text they hold, with their mark or without it.
TEST(KuidLine, AConfigInUtf16IsReadAsItsText) {
    test::TempDir dir;
    const std::string text = "kind \"scenery\"\r\nbogey <kuid:9:9>\r\nkuid <KUID:12:34>\r\n";
    for (const TextEncoding encoding : {TextEncoding::Utf16Le, TextEncoding::Utf16Be, TextEncoding::Utf16LeNoMark,
                                        TextEncoding::Utf16BeNoMark}) {
        const std::string bytes = EncodeText(text, encoding);
        EXPECT_EQ(KuidTextOfConfig(bytes), "<kuid:12:34>") << static_cast<int>(encoding);
        test::WriteBytes(dir / "config.txt", bytes);
        EXPECT_EQ(ReadKuidText(dir / "config.txt"), "<kuid:12:34>") << static_cast<int>(encoding);
    }
    // A NUL inside a line of a one-byte file is a byte of that line: the KUID text still starts at its "<".
    EXPECT_EQ(KuidTextOfConfig(std::string("kuid <kuid\x10\0\x04\0:5:5>\n", 20)), std::string("<kuid\x10\0\x04\0:5:5>", 14));
}

TEST(KuidMap, FindsTheNewestVersionWhoseFolderExists) {
    TKuidMap map;
    map.Add("<kuid2:10:20:2>", "/a/v2");
    map.Add("<KUID2:10:20:5>", "/a/v5");
    map.Add("<kuid:10:20>", "/a/plain");
    map.Add("<kuid:10:20>", "/a/plain");  // the same entry once
    map.Add("<kuid2:30:40:127>", "/b/v127");
    EXPECT_EQ(map.Count(), 4u);
    const std::set<std::string> existing = {"/a/v2", "/a/v5", "/a/plain", "/b/v127"};
    auto exists = [&existing](const std::string& f) { return existing.count(f) != 0; };

    struct Case {
        const char* query;
        const char* folder;
    };
    const Case cases[] = {
        {"<kuid:10:20>", "/a/v5"},        // every version from 127 down, then the plain form
        {"<kuid:30:40>", "/b/v127"},      // the newest version there is
        {"<kuid2:10:20:3>", "/a/v5"},     // the newest at or above the version asked
        {"<kuid2:10:20:2>", "/a/v5"},
        {"<kuid2:10:20:6>", ""},
        {"<KUID:10:20>", "/a/v5"},
        {"<kuid:10:21>", ""},
        {"kuid", ""},
    };
    for (const Case& c : cases) {
        std::string folder;
        EXPECT_EQ(FindAssetByKuid(map, c.query, folder, exists), std::string(c.folder) != "") << c.query;
        EXPECT_EQ(folder, c.folder) << c.query;
    }
    // Stale entries are skipped.
    std::set<std::string> onlyPlain = {"/a/plain"};
    std::string folder;
    EXPECT_TRUE(FindAssetByKuid(map, "<kuid:10:20>", folder, [&](const std::string& f) { return onlyPlain.count(f) != 0; }));
    EXPECT_EQ(folder, "/a/plain");
}

TEST(KuidMap, TheFirstExistingFolderInSortedOrderWins) {
    TKuidMap map;
    map.Add("<kuid:1:1>", "/z/later");
    map.Add("<kuid:1:1>", "/A/earlier");
    EXPECT_EQ(map.Find("<kuid:1:1>", [](const std::string&) { return true; }), "/A/earlier");
    EXPECT_EQ(map.Find("<kuid:1:1>", [](const std::string& f) { return f == "/z/later"; }), "/z/later");
    EXPECT_EQ(map.Lines(), (std::vector<std::string>{"<kuid:1:1>=/A/earlier", "<kuid:1:1>=/z/later"}));
}

TEST(KuidMap, TheScanAndTheAutoscanStoreTheSameEntry) {
    test::AssetBed bed;
    const std::string home = bed.dir / "home";
    test::WriteBytes(home + "/scanned/config.txt", "kuid \"<KUID2:12:34:5>\" // comment\n");
    bed.catalogue.AddDirectory(home);
    test::WriteBytes(home + "/later/config.txt", "kuid \"<KUID2:12:34:5>\" // comment\n");
    THomeFolders homes(bed.state, bed.catalogue);
    EXPECT_EQ(homes.AutoscanHomeFolder(home), 1);
    EXPECT_EQ(bed.kuids.Lines(), (std::vector<std::string>{"<kuid2:12:34:5>=" + home + "/later",
                                                           "<kuid2:12:34:5>=" + home + "/scanned"}));
}

}  // namespace
}  // namespace kelvarn
