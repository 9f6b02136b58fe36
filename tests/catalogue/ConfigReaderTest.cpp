#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "catalogue/ConfigReader.h"
#include "catalogue/OutlineNode.h"
#include "shell/Text.h"
#include "ConfigTestSupport.h"

namespace kelvarn {
namespace {

using test::ConfigTestBed;
using test::LoadText;
using test::ReadBytes;
using test::Rows;

const std::string kP = "\xC2\xB6";  // "¶"

// The flat lines of a text, without the framing "config.txt={" and "config.txt=}".
std::vector<std::string> Flat(std::string_view text) {
    TConfigReader reader;
    EXPECT_TRUE(reader.LoadConfigBytes(text, "asset")) << reader.LastError();
    std::vector<std::string> lines = reader.FlatLines();
    if (lines.size() >= 2) lines = std::vector<std::string>(lines.begin() + 1, lines.end() - 1);
    return lines;
}

struct FlatCase {
    const char* what;
    std::string text;
    std::vector<std::string> flat;
};

TEST(ConfigReader, NormalisesLinesIntoTheFlatForm) {
    const FlatCase cases[] = {
        {"tab and blanks", "kind\ttraincar\nkind     traincar\n", {"kind=traincar", "kind=traincar"}},
        {"name and brace on one line", "mesh-table {\n}\n", {"mesh-table={", "mesh-table=}"}},
        {"empty container on one line", "lod { }\n", {"lod={", "lod=}"}},
        {"nested on one line", "a { b { c 1 } }", {"a={", "b={", "c=1  ", "b=}", "a=}"}},
        {"three-line description", "description \"one\ntwo\nthree\"\n",
         {"description=\"one" + kP + "two" + kP + "three\""}},
        {"quotes inside a joined text", "d \"one\nsaid \"hi\" then\nend\"", {"d=\"one" + kP + "said hi then" + kP + "end\""}},
        {"lone quote opens a text", "d \"\nline\"", {"d=\"" + kP + "line\""}},
        {"a pilcrow written in the first line of a text", "d \"a \xC2\xB6 b\nc\"", {"d=\"a " + kP + " b" + kP + "c\""}},
        {"brace in a quoted value", "username \"A {B} C\"", {"username=\"A (B) C\""}},
        {"closing brace in a quoted value is text", "a {\nd \"x}y\"\n}\nkind k", {"a={", "d=\"x)y\"", "a=}", "kind=k"}},
        {"quoted value then the closing brace", "t {\nimage \"x.jpg\" }\nkind scenery",
         {"t={", "image=\"x.jpg\"  ", "t=}", "kind=scenery"}},
        {"compact container", "0 { image \"a.jpg\" width 240 }\nkind x",
         {"0={", "image=\"a.jpg\" width 240  ", "0=}", "kind=x"}},
        {"closing line with a trailing blank", "d \"one\nend.\" \nkind x", {"d=\"one" + kP + "end. \"", "kind=x"}},
        {"a lone quote stays open", "d \"a\" \"b\nc\"\nkind x", {"d=\"a b" + kP + "c\"", "kind=x"}},
        {"bare words", "sound\n{\nhorn.wav\nbell\n}", {"sound={", "horn.wav", "bell", "sound=}"}},
        {"a brace is never a name", "a\n{ b }\n", {"a={", "b", "a=}"}},
        {"a word after a brace is bare", "a { b\n}", {"a={", "b", "a=}"}},
        {"closing brace before a tag", "a {\nb 1\n} kind x", {"a={", "b=1", "a=}", "kind=x"}},
        {"name=value without blanks", "kind=traincar\nempty=", {"kind=traincar", "empty="}},
        {"a tag holding =", "a=b c", {"a=b=c"}},
        {"empty lines dropped", "\n\n  \t \nkind x\n\n", {"kind=x"}},
    };
    for (const auto& c : cases) EXPECT_EQ(Flat(c.text), c.flat) << c.what;
}

TEST(ConfigReader, LineEndsAndByteOrderMark) {
    const std::vector<std::string> expected{"a={", "b=1", "a=}", "d=\"x" + kP + "y\""};
    for (const char* text : {"a {\r\nb 1\r\n}\r\nd \"x\r\ny\"\r\n", "a {\nb 1\n}\nd \"x\ny\"\n", "a {\rb 1\r}\rd \"x\ry\"\r",
                             "\xEF\xBB\xBF" "a {\nb 1\n}\nd \"x\ny\""})
        EXPECT_EQ(Flat(text), expected) << text;

    // Lone CRs only: every line end is found without searching the rest of the file for a LF.
    std::string crOnly;
    for (int i = 0; i < 100000; ++i) crOnly += "t" + std::to_string(i) + " 1\r";
    TConfigReader big;
    ASSERT_TRUE(big.LoadConfigBytes(crOnly, "a"));
    EXPECT_EQ(big.Lines().size(), 100002u);

    TConfigReader reader;
    ASSERT_TRUE(reader.LoadConfigBytes("\xEF\xBB\xBFkind x", "a"));
    EXPECT_EQ(reader.Encoding(), TextEncoding::Utf8Bom);
    // A mark in front of Windows-1252 text is no part of the first name; it still makes the file UTF-8
    // for new text, and the Windows-1252 line keeps its encoding.
    TConfigReader other;
    ASSERT_TRUE(other.LoadConfigBytes("\xEF\xBB\xBFkind caf\xE9", "a"));
    EXPECT_EQ(other.Encoding(), TextEncoding::Utf8Bom);
    EXPECT_TRUE(other.LineIsLatin(1));
    EXPECT_EQ(other.FlatLines()[1], "kind=caf\xC3\xA9");
}

TEST(ConfigReader, TreeTextNamesSoundsAndBareWords) {
    TConfigReader reader;
    ASSERT_TRUE(reader.LoadConfigBytes("kind\ttraincar\nsound {\nhorn.WAV\nbell\nwhistle.mp3\n\"chime.wav\"\n}\nlist {\na.wav\n}\n"
                                       "x=\nsay-wav \"a.wav\"\n",
                                       "asset"));
    std::string text;
    ASSERT_TRUE(reader.ConfigText("asset", text));
    EXPECT_EQ(text,
              "config.txt\r\n\tkind traincar\r\n\tsound\r\n\t\t0 horn.WAV\r\n\t\tbell \"\"\r\n\t\t1 whistle.mp3\r\n"
              "\t\t2 \"chime.wav\"\r\n"
              "\tlist\r\n\t\t0 a.wav\r\n\tx \"\"\r\n\tsay-wav \"a.wav\"\r\n");
}

// The rows of the loaded config's tab-indented text, as Rows gives a tree's.
std::vector<std::string> TextRows(TConfigReader& reader, const std::string& folder) {
    std::string text;
    EXPECT_TRUE(reader.ConfigText(folder, text));
    std::vector<std::string> rows;
    for (const std::string& line : SplitLines(text)) {
        const std::size_t tabs = line.find_first_not_of('\t');
        rows.push_back(std::to_string(tabs) + "|" + line.substr(tabs));
    }
    return rows;
}

// The tree built from the flat list is the tree the tab-indented text describes.
TEST(ConfigReader, BuildTreeMatchesConfigText) {
    const std::filesystem::path fixtures = std::filesystem::path(KELVARN_TEST_DATA) / "config";
    int checked = 0;
    for (const auto& entry : std::filesystem::directory_iterator(fixtures)) {
        TConfigReader reader;
        const std::string folder = entry.path().string();
        ASSERT_TRUE(reader.LoadConfigFile(folder)) << reader.LastError();
        const auto tree = reader.BuildTree();
        EXPECT_EQ(Rows(tree.get()), TextRows(reader, folder)) << folder;
        ++checked;
    }
    EXPECT_GE(checked, 7);
}

// Containers of one to nine tags whose texts have lengths of every size class a text buffer comes
// in, a few beyond the largest, all of one character.
std::string ManySizes(char fill, int variant) {
    std::string text;
    for (int c = 0; c < 40; ++c) {
        text += "container-" + std::to_string(c) + "\r\n{\r\n";
        for (int t = 0; t <= (c + variant) % 9; ++t) {
            const auto length = static_cast<std::size_t>((c * 131 + t * 37 + variant * 53) % 300 + (c % 13 == 0 ? 4100 : 0));
            text += "  tag" + std::to_string(t) + " \"" + std::string(length, fill) + "\"\r\n";
        }
        text += "}\r\n";
    }
    return text;
}

// The memory of dropped trees (nodes, texts, child lists) serves the trees made after them: a tree
// made after many others were dropped holds exactly its own texts and children.
TEST(ConfigReader, ATreeMadeAfterDroppedTreesHoldsOnlyItsOwn) {
    TConfigReader reader;
    for (int round = 0; round < 6; ++round) {
        ASSERT_TRUE(reader.LoadConfigBytes(ManySizes('a', round), "asset")) << reader.LastError();
        std::vector<std::unique_ptr<TOutlineNode>> trees;
        for (int i = 0; i < 8; ++i) trees.push_back(reader.BuildTree());
        if (round % 2) std::reverse(trees.begin(), trees.end());  // dropped in either order
        ASSERT_TRUE(reader.UnloadConfig("asset"));
    }
    for (int variant : {7, 2}) {
        ASSERT_TRUE(reader.LoadConfigBytes(ManySizes('b', variant), "asset")) << reader.LastError();
        const auto tree = reader.BuildTree();
        EXPECT_EQ(Rows(tree.get()), TextRows(reader, "asset")) << variant;
        ASSERT_TRUE(reader.UnloadConfig("asset"));
    }
}

// A node made in the memory of a dropped one starts bare: no flags, origin or children of the one
// before, also after trees that held more text than a thread keeps.
TEST(ConfigReader, NodesMadeAfterDroppedTreesKeepNothingOfThem) {
    std::string latin = "kind \"caf\xC3\xA9\"\r\n";  // UTF-8, so that the lines below keep their encoding
    std::string utf8 = latin;
    for (int i = 0; i < 60; ++i) {
        latin += "box" + std::to_string(i % 3) + " {\r\n  name caf\xE9\r\n}\r\n";
        utf8 += "box" + std::to_string(i % 3) + " {\r\n  name caf\xC3\xA9\r\n}\r\n";
    }
    std::string large;
    for (int i = 0; i < 700; ++i) large += "tag" + std::to_string(i) + " \"" + std::string(3000 + i, 'x') + "\"\r\n";

    TConfigReader reader;
    for (const std::string& text : {latin + large, latin}) {
        ASSERT_TRUE(reader.LoadConfigBytes(text, "asset")) << reader.LastError();
        auto tree = reader.BuildTree();
        int origins = 0;
        WalkRows(tree.get(), [&](TOutlineNode* n, int) {
            origins += n->Origin() != nullptr;
            TOutlineBuilder::SetFlags(*n, kAllNodeFlags);
        });
        EXPECT_EQ(origins, 60);
        tree.reset();
        ASSERT_TRUE(reader.UnloadConfig("asset"));
    }

    ASSERT_TRUE(reader.LoadConfigBytes(utf8 + "long \"" + std::string(5000, 'y') + "\"\r\n", "asset"));
    const auto tree = reader.BuildTree();
    EXPECT_EQ(Rows(tree.get()), TextRows(reader, "asset"));
    WalkRows(tree.get(), [&](TOutlineNode* n, int level) {
        EXPECT_EQ(n->Flags(), 0) << n->Text();
        EXPECT_EQ(n->Origin(), nullptr) << n->Text();
        EXPECT_EQ(n->ChildCount(), level == 0 ? 62u : level == 1 && StartsWith(n->Text(), "box") ? 1u : 0u) << n->Text();
    });
}

TEST(ConfigReader, MissingClosingBracketsAreRepairedOrRefused) {
    test::RecordingMessageSink messages;
    TConfigReader reader(&messages);
    ASSERT_TRUE(reader.LoadConfigBytes("a {\nb {\nc 1\n", "asset"));
    EXPECT_EQ(reader.AddedClosingBrackets(), 2);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0],
              "Config has 2 missing closing brackets.\rPlease check all containers, correct the error \r"
              "and save the file to disc.");
    const std::vector<std::string> expected{"config.txt={", "a={", "b={", "c=1", "b=}", "a=}", "config.txt=}"};
    EXPECT_EQ(reader.FlatLines(), expected);

    // A batch run refuses the file; the reader holds it until the caller unloads.
    TConfigReader batch(&messages);
    batch.ScriptMode = true;
    EXPECT_FALSE(batch.LoadConfigBytes("a {\nb {\nc 1\n", "asset"));
    EXPECT_EQ(batch.LastError(), "Bracket Mismatch");
    EXPECT_EQ(messages.messages.size(), 1u);
    std::string text;
    EXPECT_FALSE(batch.ConfigText("asset", text));
    EXPECT_TRUE(batch.UnloadConfig("asset"));
    EXPECT_TRUE(batch.LoadConfigBytes("kind x", "asset"));
}

TEST(ConfigReader, SurplusClosingBracketMakesABareWordAContainer) {
    TConfigReader reader;
    ASSERT_TRUE(reader.LoadConfigBytes("kind x\nextensions\n  values\n  {\n    a 1\n  }\n}\n", "asset"));
    EXPECT_EQ(reader.AddedHeaders(), 1);
    const std::vector<std::string> expected{"config.txt={", "kind=x",   "extensions={", "values={",
                                            "a=1",          "values=}", "extensions=}", "config.txt=}"};
    EXPECT_EQ(reader.FlatLines(), expected);
}

TEST(ConfigReader, SurplusClosingBracketIsReportedAndLeavesTheConfigModified) {
    const std::string text = "kind x\nextensions\n  values\n  {\n    a 1\n  }\n}\nusername \"u\"\n";
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    LoadText(bed, doc, text);
    ASSERT_EQ(bed.messages.messages.size(), 1u);
    EXPECT_EQ(bed.messages.messages[0],
              "Config has 1 surplus closing brackets: made a container of extensions (line 2).\r"
              "Please check all containers, correct the error \rand save the file to disc.");
    EXPECT_TRUE(doc.Modified());
    EXPECT_EQ(doc.FindNodeByPath("extensions\\values\\a")->Text(), "a 1");

    // A batch refuses the file, as it refuses missing brackets.
    TConfigReader batch;
    batch.ScriptMode = true;
    EXPECT_FALSE(batch.LoadConfigBytes(text, "asset"));
    EXPECT_EQ(batch.LastError(), "Bracket Mismatch");

    // Missing brackets leave it modified too; a sound file does not.
    LoadText(bed, doc, "kind x\na {\nb 1\n");
    EXPECT_TRUE(doc.Modified());
    LoadText(bed, doc, "kind x\na {\nb 1\n}\n");
    EXPECT_FALSE(doc.Modified());
}

TEST(ConfigReader, MultiLineValueKeepsTheBlankThatEndsItsFirstLine) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    LoadText(bed, doc, "kind x\ndescription \"one \ntwo  \nthree\"\n");
    EXPECT_EQ(doc.FindNodeByPath("description")->Text(), "description \"one \xC2\xB6two  \xC2\xB6three\"");
    const std::string saved = doc.ConfigFileText();
    EXPECT_NE(saved.find("\"one \r\ntwo  \r\nthree\""), std::string::npos) << saved;
    // Read back, it is the same text.
    LoadText(bed, doc, saved, "again");
    EXPECT_EQ(doc.ConfigFileText(), saved);
}

TEST(ConfigReader, ASaveTheReaderWouldRefuseIsNotWritten) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    LoadText(bed, doc, "kind x\n");
    const std::string file = bed.dir / "asset/config.txt";
    doc.InsertNode(doc.Root(), 1, "huge \"" + std::string(kMaxConfigBytes, 'x') + "\"", false);
    EXPECT_EQ(doc.SaveConfig(file, false), "Unable to save file: " + file + " (larger than 64 MB)");
    EXPECT_EQ(ReadBytes(file), "kind x\n");
}

TEST(ConfigReader, BadStructureFailsCleanly) {
    std::string deep;
    for (int i = 0; i < 1001; ++i) deep += "a {\n";
    for (int i = 0; i < 1001; ++i) deep += "}\n";
    const struct {
        const char* what;
        std::string text;
        std::string error;
    } cases[] = {
        {"quote open at the end", "a 1\nd \"open\nmore\n", "Unclosed quote: asset/config.txt line 2"},
        {"brace with no name", "{\na 1\n}\n", "Bracket Mismatch: asset/config.txt line 1"},
        {"closing with nothing open", "}\na {\n}\n", "Bracket Mismatch: asset/config.txt line 1"},
        {"surplus with no bare word", "b 1\n}\n", "Bracket Mismatch: asset/config.txt line 2"},
        {"brace after a tag with a value", "kind x\n{\n}\n", "Bracket Mismatch: asset/config.txt line 2"},
        {"nested too deeply", deep, "Config nested too deeply: asset/config.txt line 1001 (more than 1000 levels)"},
    };
    for (const auto& c : cases) {
        TConfigReader reader;
        EXPECT_FALSE(reader.LoadConfigBytes(c.text, "asset")) << c.what;
        EXPECT_EQ(reader.LastError(), c.error) << c.what;
        EXPECT_EQ(reader.LoadedConfigPath(), "") << c.what;
        EXPECT_TRUE(reader.Lines().empty()) << c.what;
        EXPECT_TRUE(reader.LoadConfigBytes("kind x", "asset")) << c.what;  // unloaded, so it loads again
    }
    TConfigReader reader;
    EXPECT_FALSE(reader.LoadConfigBytes(std::string(kMaxConfigBytes + 1, 'a'), "big"));
    EXPECT_EQ(reader.LastError(), "Unable to open file: big/config.txt (larger than 64 MB)");
}

TEST(ConfigReader, StateMachineMessages) {
    ConfigTestBed bed;
    const std::string folder = bed.Asset("one", "kind x\n");
    const std::string other = bed.dir / "two";
    const std::string path = folder + "\\config.txt";
    TConfigReader reader;
    std::string text;

    EXPECT_FALSE(reader.LoadConfigFile(other));
    EXPECT_EQ(reader.LastError(), "File not found: " + other + "/config.txt");
    EXPECT_EQ(reader.LastError(), "");  // handed out once
    EXPECT_FALSE(reader.ConfigText(folder, text));
    EXPECT_EQ(reader.LastError(), "File not loaded: " + folder + "/config.txt");
    EXPECT_FALSE(reader.UnloadConfig(folder));

    ASSERT_TRUE(reader.LoadConfigFile(folder));
    EXPECT_EQ(reader.LoadedConfigPath(), path);
    EXPECT_FALSE(reader.LoadConfigFile(folder));
    EXPECT_EQ(reader.LastError(), "File already loaded: " + folder + "/config.txt");
    EXPECT_FALSE(reader.ConfigText(other, text));
    EXPECT_EQ(reader.LastError(), "Loaded data does not match: " + other + "/config.txt");
    EXPECT_FALSE(reader.ConfigText(folder + "/", text));  // the comparison is exact
    EXPECT_FALSE(reader.UnloadConfig(other));
    EXPECT_TRUE(reader.ConfigText(folder, text));
    EXPECT_EQ(reader.LastError(), "");
    EXPECT_TRUE(reader.UnloadConfig(folder));
    EXPECT_FALSE(reader.UnloadConfig(folder));
    EXPECT_TRUE(reader.LoadConfigFile(folder));
}

TEST(ConfigReader, FindsConfigInAnyCaseAndDecodesWindows1252) {
    TConfigReader reader;
    const std::string folder = std::string(KELVARN_TEST_DATA) + "/config/mixed-case";
    ASSERT_TRUE(reader.LoadConfigFile(folder)) << reader.LastError();
    EXPECT_TRUE(EndsWith(reader.LoadedFile(), "Config.txt"));
    EXPECT_EQ(reader.LoadedConfigPath(), folder + "\\config.txt");

    TConfigReader latin;
    ASSERT_TRUE(latin.LoadConfigFile(std::string(KELVARN_TEST_DATA) + "/config/windows-1252"));
    EXPECT_EQ(latin.Encoding(), TextEncoding::Windows1252);
    EXPECT_EQ(latin.FlatLines()[3], "username=\"Caf\xC3\xA9 de la Gare\"");
}

TEST(ConfigReader, ProtectBraces) {
    const std::pair<const char*, const char*> cases[] = {
        {"plain", "plain"}, {"a { b", "a(b"}, {"a{b}c", "a(b)c"}, {"x } y", "x)y"}, {"{}", "()"}, {" { } ", "() "},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(ProtectBraces(in), out) << in;
    // One pass gives what the four replacements in turn give, for every text of blanks, braces and
    // a letter up to seven long.
    const auto inTurn = [](std::string s) {
        for (const auto& [from, to] : {std::pair{" { ", "("}, {"{", "("}, {" } ", ")"}, {"}", ")"}})
            s = ReplaceAll(s, from, to);
        return s;
    };
    const char letters[] = {' ', '{', '}', 'a'};
    for (int length = 1; length <= 7; ++length) {
        int count = 1;
        for (int i = 0; i < length; ++i) count *= 4;
        for (int n = 0; n < count; ++n) {
            std::string text;
            for (int i = 0, k = n; i < length; ++i, k /= 4) text += letters[k % 4];
            ASSERT_EQ(ProtectBraces(text), inTurn(text)) << "[" << text << "]";
        }
    }
}

// Tabs in the layout split like blanks and are passed over where they stand; a value's own tabs become
// blanks on its first line and stay tabs on the lines a quoted text runs on over.
TEST(ConfigReader, TabsSplitLikeBlanks) {
    const FlatCase cases[] = {
        {"tab inside a value", "kind\t\t\"a\tb\"\n", {"kind=\"a b\""}},
        {"long name then a tab", "a-name-longer-than-sixteen-bytes\t\t1\n", {"a-name-longer-than-sixteen-bytes=1"}},
        {"long name then a blank", "a-name-longer-than-sixteen-bytes 1\n", {"a-name-longer-than-sixteen-bytes=1"}},
        {"blank after a tab", "kind\t \ttraincar\t\n", {"kind=traincar"}},
        {"a bare word between tabs", "sounds\n{\n\thorn.wav\t\n}\n", {"sounds={", "horn.wav", "sounds=}"}},
        {"lone braces between tabs", "a\n\t{\t\nb 1\n \t}\t \n", {"a={", "b=1", "a=}"}},
        {"a tab only in the line after", "a b\n\tc d\n", {"a=b", "c=d"}},
        {"a text over lines", "d\t\"x\ty\nz\tw\"\n", {"d=\"x y" + kP + "z\tw\""}},
        {"name=value then a tab", "kind=traincar\t\n", {"kind=traincar"}},
    };
    for (const auto& c : cases) EXPECT_EQ(Flat(c.text), c.flat) << c.what;
}

// One reader serves file after file: what a repair counted in one config is not carried to the next.
TEST(ConfigReader, OneReaderReadsFileAfterFile) {
    TConfigReader reader;
    ASSERT_TRUE(reader.LoadConfigBytes("extensions\nvalues\n{\na 1\n}\n}\n", "asset"));
    EXPECT_EQ(reader.AddedHeaders(), 1);
    EXPECT_EQ(reader.LastError(), "Bracket Mismatch");
    ASSERT_TRUE(reader.UnloadConfig("asset"));
    ASSERT_TRUE(reader.LoadConfigBytes("a\n{\nb 1\n", "asset"));
    EXPECT_EQ(reader.AddedClosingBrackets(), 1);
    ASSERT_TRUE(reader.UnloadConfig("asset"));
    for (const char* balanced : {"a\n{\nb 1\n}\n", "kind x\n"}) {
        ASSERT_TRUE(reader.LoadConfigBytes(balanced, "asset")) << balanced;
        EXPECT_EQ(reader.LastError(), "") << balanced;
        EXPECT_EQ(reader.AddedHeaders() + reader.AddedClosingBrackets(), 0) << balanced;
        EXPECT_NE(reader.BuildTree(), nullptr) << balanced;
        ASSERT_TRUE(reader.UnloadConfig("asset"));
    }
}

// Lines are read many bytes at a time: braces, tabs, "=", line ends, quotes and characters beyond ASCII
// read alike wherever they fall, so a config shifted by leading blanks reads the same.
TEST(ConfigReader, ReadsAlikeWhereverItsBytesFall) {
    // Each line with its end; the lines of a quoted text run on as they stand and take no blanks.
    struct Line {
        std::string text;
        bool indent;
    };
    const Line lines[] = {
        {"kind\t\"scenery\"\r\n", true},
        {"mesh-table{default{mesh \"a.im\" auto-create 1}}\n", true},
        {"description \"Caf\xC3\xA9 {x}\r\n", true},
        {"second line \xC2\xB6\r", false},
        {"third\" \r\n", false},
        {"username                                \"a\tb\"\n", true},
        {"tags\t\t\t\"one,{two}\"\n", true},
        {"obsolete-table {\n", true},
        {"}\n", true},
        {"category-region=de buildings\n", true},
    };
    const auto text = [&lines](int shift) {
        std::string out(static_cast<std::size_t>(shift), ' ');
        out += "\n";
        for (const Line& l : lines) out += (l.indent ? std::string(static_cast<std::size_t>(shift % 17), ' ') : "") + l.text;
        return out;
    };
    TConfigReader reference;
    ASSERT_TRUE(reference.LoadConfigBytes(text(0), "asset")) << reference.LastError();
    const std::vector<std::string> flat = reference.FlatLines();
    const std::vector<std::string> tokens = reference.Tokens();
    ASSERT_GT(flat.size(), 12u);
    EXPECT_EQ(flat[flat.size() - 2], "category-region=de=buildings");
    for (int shift = 1; shift < 40; ++shift) {
        TConfigReader reader;
        ASSERT_TRUE(reader.LoadConfigBytes(text(shift), "asset")) << shift << ": " << reader.LastError();
        EXPECT_EQ(reader.FlatLines(), flat) << shift;
        EXPECT_EQ(reader.Tokens(), tokens) << shift;
    }
}

}  // namespace
}  // namespace kelvarn
