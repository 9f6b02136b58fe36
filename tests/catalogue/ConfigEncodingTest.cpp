// Real configs opened and saved without an edit: every line keeps its encoding, every name its
// spelling, and a "¶" of the text stays a character. Checked on files we make and on every config of
// the real corpus, token by token against the file as it was.
#include <gtest/gtest.h>

#include <filesystem>

#include "catalogue/ConfigReader.h"
#include "catalogue/ConfigWriter.h"
#include "catalogue/OutlineDocument.h"
#include "ConfigTestSupport.h"
#include "shell/Files.h"
#include "shell/Text.h"
#include "support/TextCodecCases.h"

namespace kelvarn {
namespace {

using test::ConfigTestBed;

std::string Pad(std::size_t n) { return std::string(n, ' '); }
// One line in the writer's layout, so that an unedited save must give the same bytes.
std::string Line(std::string_view name, std::string_view value, std::size_t indent = 0) {
    return Pad(indent) + std::string(name) + Pad(42 - indent - CharCount(name)) + std::string(value) + "\r\n";
}

// Loads the bytes as an asset, saves without an edit, and returns what was written.
std::string Resaved(std::string_view bytes, TOutlineDocument* keep = nullptr, ConfigTestBed* bedIn = nullptr) {
    ConfigTestBed local;
    ConfigTestBed& bed = bedIn ? *bedIn : local;
    TOutlineDocument own(bed.state);
    TOutlineDocument& doc = keep ? *keep : own;
    const std::string folder = bed.Asset("asset", bytes);
    EXPECT_EQ(doc.LoadConfig(folder), "");
    EXPECT_FALSE(doc.Modified());
    EXPECT_EQ(doc.SaveConfig(folder + "\\config.txt", false), "");
    return test::ReadBytes(folder + "/config.txt");
}

const std::string kDescription = "html_description_lib_remove";
const std::string kKanji = "\"\xE6\xB6\x88\xE5\x8E\xBB\"";  // "消去": its UTF-8 holds the byte 0xB6

TEST(ConfigEncoding, EachLineKeepsItsEncoding) {
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"UTF-8 with one Windows-1252 line",
         Line("kind", "\"library\"") + Line("username", "\"caf\xC3\xA9\"") + Line("username-fr", "\"caf\xE9\"") +
             Line(kDescription, kKanji)},
        {"Windows-1252 with one UTF-8 line",
         Line("kind", "\"library\"") + Line("username", "\"caf\xE9\"") + Line("description", "\"\xE0 la gare\"") +
             Line(kDescription, kKanji)},
        {"a text over lines of both encodings",
         Line("kind", "\"library\"") + Line("description", "\"sch\xC3\xB6n") + "d\xE9j\xE0\r\n" + "\xC3\xBC" "ber\"\r\n"},
        {"the mark stays, also before Windows-1252 lines",
         "\xEF\xBB\xBF" + Line("kind", "\"library\"") + Line("username", "\"caf\xE9\"") + Line(kDescription, kKanji)},
        {"Windows-1252 throughout, with a mark", "\xEF\xBB\xBF" + Line("kind", "\"library\"") + Line("username", "\"caf\xE9\"")},
        {"containers and names in Windows-1252",
         Line("kind", "\"library\"") + "string-table {\r\n" + Line("Caf\xC3\xA9", "\"a\"", 2) + Line("Gar\xE9", "\"b\"", 2) +
             "}\r\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(Resaved(c.bytes), c.bytes) << c.what;
}

TEST(ConfigEncoding, NewTextGoesOutInTheFilesEncoding) {
    // A mixed file takes new text in UTF-8; a Windows-1252 file in Windows-1252 while it fits.
    for (const bool latinFile : {false, true}) {
        ConfigTestBed bed;
        TOutlineDocument doc(bed.state);
        const std::string folder =
            bed.Asset("asset", Line("kind", "\"library\"") + Line("a", "\"caf\xE9\"") +
                                   (latinFile ? "" : Line("b", "\"sch\xC3\xB6n\"")));
        ASSERT_EQ(doc.LoadConfig(folder), "");
        doc.SetTagByPath("config.txt\\c", "d\xC3\xA9j\xC3\xA0");
        doc.SetTagByPath("config.txt\\d", "\xE2\x9C\x93");  // no Windows-1252 byte for it
        const std::string bytes = doc.ConfigFileBytes();
        EXPECT_NE(bytes.find(Line("a", "\"caf\xE9\"")), std::string::npos) << latinFile;
        EXPECT_NE(bytes.find(Line("c", latinFile ? "\"d\xE9j\xE0\"" : "\"d\xC3\xA9j\xC3\xA0\"")), std::string::npos)
            << latinFile;
        EXPECT_NE(bytes.find(Line("d", "\"\xE2\x9C\x93\"")), std::string::npos) << latinFile;
        // An edited line leaves the encoding it came in.
        doc.SetTagByPath("config.txt\\a", "caf\xC3\xA9!");
        EXPECT_NE(doc.ConfigFileBytes().find(Line("a", latinFile ? "\"caf\xE9!\"" : "\"caf\xC3\xA9!\"")), std::string::npos)
            << latinFile;
    }
}

// An undo snapshot holds texts only; the restored nodes still go out as they came in.
TEST(ConfigEncoding, UndoKeepsTheEncodingOfUneditedLines) {
    const std::string bytes = Line("kind", "\"library\"") + Line("a", "\"caf\xE9\"") + Line("b", "\"sch\xC3\xB6n\"") +
                              Line("c", "\"one\xC2\xB6two\"");
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    ASSERT_EQ(doc.LoadConfig(bed.Asset("asset", bytes)), "");
    ASSERT_EQ(doc.PushUndo(), "");
    doc.DeleteByPath("a", false);
    doc.SetTagByPath("config.txt\\c", "other");
    ASSERT_TRUE(doc.UndoLastChange());
    EXPECT_EQ(doc.ConfigFileBytes(), bytes);
}

// A first line whose Windows-1252 bytes would begin the file like a byte-order mark ("þÿ" is the
// mark of UTF-16) goes out in UTF-8, so that the file reads back as the same text.
TEST(ConfigEncoding, AFirstLineThatLooksLikeAMarkIsWrittenInUtf8) {
    for (const char* mark : {"\xFE\xFF", "\xFF\xFE", "\xEF\xBB\xBF"}) {
        const std::string name = mark;
        ConfigTestBed bed;
        TOutlineDocument doc(bed.state);
        ASSERT_EQ(doc.LoadConfig(bed.Asset("asset", ";gone\r\n" + name + "x 1\r\nkind \"caf\xE9\"\r\n")), "");
        const std::string bytes = doc.ConfigFileBytes();
        TConfigReader reader;
        ASSERT_TRUE(reader.LoadConfigBytes(bytes, "a")) << reader.LastError();
        // "\xEF\xBB\xBF" is valid UTF-8 (a no-break space of zero width) and stays that.
        EXPECT_EQ(reader.FlatLines()[1], (IsValidUtf8(name) ? name : Windows1252ToUtf8(name)) + "x=1");
        EXPECT_NE(bytes.find("\"caf\xE9\""), std::string::npos) << "the other lines stay Windows-1252";
    }
}

TEST(ConfigEncoding, Utf16IsReadAndWrittenBackAsUtf16) {
    const std::string text = Line("kind", "\"library\"") + Line("username", "\"\xE6\xB6\x88 caf\xC3\xA9 \xF0\x9F\x9A\x82\"");
    for (const bool bigEndian : {false, true}) {
        const std::string bytes = (bigEndian ? "\xFE\xFF" : "\xFF\xFE") + Utf8ToUtf16(text, bigEndian);
        ConfigTestBed bed;
        TOutlineDocument doc(bed.state);
        EXPECT_EQ(Resaved(bytes, &doc, &bed), bytes) << bigEndian;
        EXPECT_EQ(doc.GetValueByPath("username"), "\xE6\xB6\x88 caf\xC3\xA9 \xF0\x9F\x9A\x82");
        EXPECT_TRUE(bed.messages.messages.empty()) << "a kind was found, nothing to say";
    }
    // What cannot be written back as it was is refused, saying why.
    for (const std::string& bad : {std::string("\xFF\xFEk\0i", 5), std::string("\xFF\xFE\x00\xD8k\0", 6)}) {
        TConfigReader reader;
        EXPECT_FALSE(reader.LoadConfigBytes(bad, "asset"));
        EXPECT_NE(reader.LastError().find("not valid UTF-16"), std::string::npos);
    }
}

// The program's table of encodings, as configs in the writer's layout: each reads its text, comes back
// unedited byte for byte, and an edit changes only the edited line. (The writer's layout ends every
// line with CR LF, so the table's other line ends are not in it.)
TEST(ConfigEncoding, EveryEncodingReadsAndComesBack) {
    const std::string kind = Line("kind", "\"library\""), caf = Line("username", "\"caf\xC3\xA9\"");
    const std::string latin = Line("username", "\"caf\xE9\""), done = Line("category", "\"done\"");
    const std::string utf8Edit = Line("category", "\"done \xC3\xA9\""), latinEdit = Line("category", "\"done \xE9\"");
    const std::string mark = "\xEF\xBB\xBF", le = "\xFF\xFE", be = "\xFE\xFF";
    const auto utf16 = [](const std::string& text, bool bigEndian) { return Utf8ToUtf16(text, bigEndian); };
    const struct {
        const char* what;
        std::string bytes, edited;
    } cases[] = {
        {"UTF-8", kind + caf + done, kind + caf + utf8Edit},
        {"UTF-8 with its mark", mark + kind + caf + done, mark + kind + caf + utf8Edit},
        {"Windows-1252", kind + latin + done, kind + latin + latinEdit},
        {"mixed lines", kind + caf + latin + done, kind + caf + latin + utf8Edit},
        {"Windows-1252 lines with a mark: new text in UTF-8", mark + kind + latin + done, mark + kind + latin + utf8Edit},
        {"UTF-16 LE", le + utf16(kind + caf + done, false), le + utf16(kind + caf + utf8Edit, false)},
        {"UTF-16 BE", be + utf16(kind + caf + done, true), be + utf16(kind + caf + utf8Edit, true)},
        {"UTF-16 LE without a mark", utf16(kind + caf + done, false), utf16(kind + caf + utf8Edit, false)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ConfigTestBed bed;
        TOutlineDocument doc(bed.state);
        EXPECT_EQ(Resaved(c.bytes, &doc, &bed), c.bytes);
        EXPECT_EQ(doc.GetValueByPath("kind"), "library");
        doc.SetTagByPath("config.txt\\category", "done \xC3\xA9");
        EXPECT_EQ(doc.ConfigFileBytes(), c.edited);
    }
    for (const std::string& bytes : test::NotTextCases()) {
        TConfigReader reader;
        EXPECT_FALSE(reader.LoadConfigBytes(bytes, "asset"));
        EXPECT_NE(reader.LastError().find("Unable to open file"), std::string::npos);
    }
}

TEST(ConfigEncoding, OnlyTheReadersJoinsBreakLines) {
    const std::string p = "\xC2\xB6";
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"a pilcrow in a one-line text", Line("kind", "\"x\"") + Line("description", "\"one" + p + "two\"")},
        {"a pilcrow in a text over lines", Line("kind", "\"x\"") + Line("description", "\"a " + p + " b") + "c" + p + "\"\r\n"},
        {"the Windows-1252 pilcrow byte", Line("kind", "\"x\"") + Line("description", "\"one\xB6two\"")},
    };
    for (const auto& c : cases) EXPECT_EQ(Resaved(c.bytes), c.bytes) << c.what;
}

TEST(ConfigEncoding, NamesKeepTheirSpellingAndAreFoundInAnyCase) {
    const std::string bytes = Line("Kind", "\"library\"") + "string-table {\r\n" +
                              Line("KuidParseErrorText", "\"Bad KUID\"", 2) + "}\r\n" + "Kuid-Table {\r\n" +
                              Line("TheScript", "<kuid:1:2>", 2) + "}\r\n";
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    EXPECT_EQ(Resaved(bytes, &doc, &bed), bytes);
    EXPECT_EQ(doc.GetValueByPath("string-table\\kuidparseerrortext"), "Bad KUID");
    EXPECT_NE(doc.FindChildByName(doc.Root(), "kind"), nullptr);
    EXPECT_TRUE(bed.messages.messages.empty());
}

TEST(ConfigEncoding, AConfigWithoutKindIsNotChangedByViewingIt) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    const std::string bytes = Line("username", "\"no kind\"");
    EXPECT_EQ(Resaved(bytes, &doc, &bed), bytes);
    EXPECT_EQ(doc.FindChildByName(doc.Root(), "kind"), nullptr);
    EXPECT_EQ(bed.messages.messages.size(), 1u) << "the alert still says why it cannot be validated";
}

// Every config of the real corpus: the first save holds the tokens of the file (names, values and
// the encoding of each line), and a second save gives the first one's bytes.
TEST(ConfigEncoding, RealConfigsSaveToTheSameTokens) {
    const std::filesystem::path corpus = std::filesystem::path(KELVARN_SOURCE_DIR) / ".." / "shared" / "corpus";
    if (!std::filesystem::is_directory(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
    int checked = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(corpus)) {
        if (!entry.is_regular_file() || !SameText(entry.path().filename().string(), "config.txt")) continue;
        const std::string original = test::ReadBytes(entry.path().string());
        ConfigTestBed bed;
        TOutlineDocument doc(bed.state);
        const std::string folder = bed.Asset("asset", original);
        ASSERT_EQ(doc.LoadConfig(folder), "") << entry.path();
        EXPECT_FALSE(doc.Modified()) << entry.path();
        ASSERT_EQ(doc.SaveConfig(folder + "\\config.txt", false), "") << entry.path();
        const std::string first = test::ReadBytes(folder + "/config.txt");

        TConfigReader before, after;
        ASSERT_TRUE(before.LoadConfigBytes(original, "a")) << entry.path();
        ASSERT_TRUE(after.LoadConfigBytes(first, "a")) << entry.path();
        const std::vector<std::string> was = before.Tokens(), now = after.Tokens();
        EXPECT_GT(was.size(), 3u) << entry.path();
        EXPECT_EQ(now, was) << entry.path();

        ASSERT_EQ(doc.LoadConfig(folder), "");
        ASSERT_EQ(doc.SaveConfig(folder + "\\config.txt", false), "");
        EXPECT_EQ(test::ReadBytes(folder + "/config.txt"), first) << entry.path();
        ++checked;
    }
    EXPECT_GE(checked, 12);
}

}  // namespace
}  // namespace kelvarn
