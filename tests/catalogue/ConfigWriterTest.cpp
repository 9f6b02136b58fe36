#include <gtest/gtest.h>

#include <filesystem>

#include "catalogue/ConfigReader.h"
#include "catalogue/ConfigWriter.h"
#include "catalogue/OutlineDocument.h"
#include "ConfigTestSupport.h"
#include "shell/Files.h"

namespace kelvarn {
namespace {

using test::ConfigTestBed;
using test::LoadText;

std::string Pad(std::size_t n) { return std::string(n, ' '); }

// The written text of a config read from `text`.
std::string Written(std::string_view text, const std::function<void(TOutlineDocument&)>& edit = {}) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    LoadText(bed, doc, text);
    if (edit) edit(doc);
    return doc.ConfigFileText();
}

TEST(ConfigWriter, Layout) {
    const std::string name40(40, 'n');
    const struct {
        const char* what;
        std::string text;
        std::function<void(TOutlineDocument&)> edit;
        std::string written;
    } cases[] = {
        {"value in column 43", "kind x\nabcdefghij 12\n", {}, "kind" + Pad(38) + "x\r\nabcdefghij" + Pad(32) + "12\r\n"},
        {"long name at level 3", "kind x\na\n{\nb\n{\n" + name40 + " 1\n}\n}\n", {},
         "kind" + Pad(38) + "x\r\na {\r\n  b {\r\n    " + name40 + " 1\r\n  }\r\n}\r\n"},
        {"empty value", "kind x\nsolo 1\n",
         [](TOutlineDocument& d) { d.EditNodeText(d.FindNodeByPath("solo"), "solo "); },
         "kind" + Pad(38) + "x\r\nsolo\r\n"},
        {"empty container", "kind x\nbox\n{\n  sub\n  {\n  }\n}\n", {},
         "kind" + Pad(38) + "x\r\nbox {\r\n  sub {\r\n  }\r\n}\r\n"},
        {"two line joins", "kind x\nd \"one\ntwo\nthree\"\n", {},
         "kind" + Pad(38) + "x\r\nd" + Pad(41) + "\"one\r\ntwo\r\nthree\"\r\n"},
        {"closing lines at the end", "kind x\na {\nb {\nc {\nd 1\n}\n}\n}\n", {},
         "kind" + Pad(38) + "x\r\na {\r\n  b {\r\n    c {\r\n      d" + Pad(35) + "1\r\n    }\r\n  }\r\n}\r\n"},
        {"comments left out", "kind x\n;gone 1\nkept 1\n",
         [](TOutlineDocument& d) { d.ToggleMark(d.FindNodeByPath("kept"), tmComment, false); },
         "kind" + Pad(38) + "x\r\n"},
        {"names as written", "Kind x\nMeshTable\n{\n  Mesh \"a\"\n}\n", {},
         "Kind" + Pad(38) + "x\r\nMeshTable {\r\n  Mesh" + Pad(36) + "\"a\"\r\n}\r\n"},
        {"comment-marked container with an unmarked child", "kind x\nbox\n{\n  in 1\n}\nafter 1\n",
         [](TOutlineDocument& d) {
             d.ToggleMark(d.FindNodeByPath("box"), tmComment, false);
             d.SetNodeFlags(d.FindNodeByPath("box\\in"), 0, nfComment);
         },
         "kind" + Pad(38) + "x\r\nafter" + Pad(37) + "1\r\n"},
        {"container whose children are all comments", "kind x\nbox\n{\n  ;in 1\n}\nafter 1\n", {},
         "kind" + Pad(38) + "x\r\nbox {\r\n}\r\nafter" + Pad(37) + "1\r\n"},
        {"a pilcrow outside a joined text stays", "kind x\nv a\xC2\xB6" "b\nq \"a\" \xC2\xB6\n", {},
         "kind" + Pad(38) + "x\r\nv" + Pad(41) + "a\xC2\xB6" "b\r\nq" + Pad(41) + "\"a\" \xC2\xB6\r\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(Written(c.text, c.edit), c.written) << c.what;
}

// Copies of the fixtures: load, save, load, save. The first save settles the layout; the second
// must give the same bytes and the same tree.
TEST(ConfigWriter, FixturesRoundTripStably) {
    const std::filesystem::path fixtures = std::filesystem::path(KELVARN_TEST_DATA) / "config";
    int checked = 0;
    for (const auto& entry : std::filesystem::directory_iterator(fixtures)) {
        ConfigTestBed bed;
        const std::string folder = bed.dir / entry.path().filename().string();
        std::filesystem::copy(entry.path(), folder);
        TOutlineDocument doc(bed.state);
        ASSERT_EQ(doc.LoadConfig(folder), "") << folder;
        const std::string file = doc.ConfigFile();
        ASSERT_EQ(doc.SaveConfig(folder + "\\config.txt", true), "") << folder;
        const std::string first = test::ReadBytes(file);
        const std::vector<std::string> rows = test::Rows(doc.Root());
        ASSERT_EQ(doc.SaveConfig(folder + "\\config.txt", true), "") << folder;
        EXPECT_EQ(test::ReadBytes(file), first) << folder;
        EXPECT_EQ(test::Rows(doc.Root()), rows) << folder;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 1)
            << "one file, written in place: " << folder;
        ++checked;
    }
    EXPECT_GE(checked, 7);
}

TEST(ConfigWriter, EncodingsSurvive) {
    const struct {
        const char* what;
        std::string bytes;
        std::string expected;
    } cases[] = {
        {"Windows-1252", "kind x\nname \"caf\xE9\"\n", "kind" + Pad(38) + "x\r\nname" + Pad(38) + "\"caf\xE9\"\r\n"},
        {"UTF-8", "kind x\nname \"sch\xC3\xB6n\"\n", "kind" + Pad(38) + "x\r\nname" + Pad(38) + "\"sch\xC3\xB6n\"\r\n"},
        {"UTF-8 with a mark", "\xEF\xBB\xBFkind x\n", "\xEF\xBB\xBFkind" + Pad(38) + "x\r\n"},
    };
    for (const auto& c : cases) {
        ConfigTestBed bed;
        TOutlineDocument doc(bed.state);
        const std::string folder = bed.Asset("a", c.bytes);
        ASSERT_EQ(doc.LoadConfig(folder), "");
        ASSERT_EQ(doc.SaveConfig(folder + "\\config.txt", false), "");
        EXPECT_EQ(test::ReadBytes(folder + "/config.txt"), c.expected) << c.what;
    }
}

// What is written must read back as the same text, whatever the encoding the file came in.
TEST(ConfigWriter, EncodingThatReadsBack) {
    const struct {
        const char* what;
        std::string text;  // of the one node
        TextEncoding encoding;
        std::string bytes;
    } cases[] = {
        {"Latin text stays Windows-1252", "v caf\xC3\xA9", TextEncoding::Windows1252, "v" + Pad(41) + "caf\xE9\r\n"},
        {"ASCII", "kind x", TextEncoding::Windows1252, "kind" + Pad(38) + "x\r\n"},
        {"Windows-1252 bytes that look like UTF-8", "v \xC3\x83\xC2\xA9", TextEncoding::Windows1252,
         "v" + Pad(41) + "\xC3\x83\xC2\xA9\r\n"},
        {"Windows-1252 bytes that look like a mark", "\xC3\xAF\xC2\xBB\xC2\xBFx \xC3\xA9", TextEncoding::Windows1252,
         "\xC3\xAF\xC2\xBB\xC2\xBFx" + Pad(38) + "\xC3\xA9\r\n"},
        {"a character Windows-1252 lacks", "v \xE2\x82\xAC \xE2\x84\xA2 \xC5\x81", TextEncoding::Windows1252,
         "v" + Pad(41) + "\xE2\x82\xAC \xE2\x84\xA2 \xC5\x81\r\n"},
        {"UTF-8 text beginning with a mark", "\xEF\xBB\xBFx 1", TextEncoding::Utf8,
         "\xEF\xBB\xBF\xEF\xBB\xBFx" + Pad(40) + "1\r\n"},
        {"UTF-8 with a mark", "x 1", TextEncoding::Utf8Bom, "\xEF\xBB\xBFx" + Pad(41) + "1\r\n"},
        {"UTF-16", "x \xC3\xA9", TextEncoding::Utf16Le,
         "\xFF\xFE" + Utf8ToUtf16("x" + Pad(41) + "\xC3\xA9\r\n", false)},
    };
    for (const auto& c : cases) {
        TOutlineNode root("config.txt");
        TOutlineBuilder::Append(root, c.text, 0, false);
        const std::string bytes = WriteConfigBytes(&root, c.encoding, false);
        EXPECT_EQ(bytes, c.bytes) << c.what;
        TConfigReader reader;
        ASSERT_TRUE(reader.LoadConfigBytes(bytes, "a")) << c.what;
        EXPECT_EQ(reader.BuildTree()->Child(0)->Text(), c.text) << c.what;
    }
}

TEST(ConfigWriter, SaveClearsUndoAndTellsTheMainWindow) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    const std::string folder = bed.Asset("a", "kind x\n", "CONFIG.TXT");
    ASSERT_EQ(doc.LoadConfig(folder), "");
    doc.PushUndo();
    doc.SetTagByPath("\\n", "1");
    ASSERT_EQ(doc.SaveConfig(folder + "\\config.txt", false), "");
    EXPECT_FALSE(doc.Modified());
    EXPECT_FALSE(doc.CanUndo());
    EXPECT_FALSE(FileExists(doc.UndoStack().FileName(0)));
    EXPECT_EQ(bed.bus.sent.back().first, kOutlineCommandStates);
    EXPECT_EQ(bed.Sent(ccFileSaved), 1);
    for (const auto& [code, text] : bed.bus.sent) {
        if (code == ccFileSaved) {
            EXPECT_EQ(text, folder + "\\CONFIG.TXT");
        }
    }
    EXPECT_FALSE(FileExists(folder + "/config.txt"));
    EXPECT_EQ(test::ReadBytes(folder + "/CONFIG.TXT"), "kind" + Pad(38) + "x\r\nn" + Pad(41) + "\"1\"\r\n");
}

TEST(ConfigWriter, FailedSaveLosesNothing) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    const std::string original = "kind x\nusername \"Before\"\n";
    const std::string folder = bed.Asset("a", original);
    ASSERT_EQ(doc.LoadConfig(folder), "");
    doc.PushUndo();
    doc.SetTagByPath("\\username", "After");
    const std::string tree = doc.ConfigFileText();
    const auto sentBefore = bed.bus.sent.size();
    SetWriteFaultHook([](const std::string& path) {
        return EndsWith(path, "config.txt") ? std::size_t{20} : std::string::npos;
    });
    const std::string error = doc.SaveConfig(folder + "\\config.txt", true);
    SetWriteFaultHook(nullptr);
    EXPECT_TRUE(ContainsStr(error, "config.txt")) << error;
    EXPECT_EQ(test::ReadBytes(folder + "/config.txt"), original);
    EXPECT_EQ(doc.ConfigFileText(), tree);
    EXPECT_TRUE(doc.Modified());
    EXPECT_TRUE(doc.CanUndo());
    EXPECT_TRUE(FileExists(doc.UndoStack().FileName(0)));
    EXPECT_EQ(bed.bus.sent.size(), sentBefore);  // no 235, nothing refreshed
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 1);
}

}  // namespace
}  // namespace kelvarn
