#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "shell/FileGuard.h"
#include "shell/Files.h"
#include <algorithm>

#include "shell/Backups.h"
#include "shell/MemIni.h"
#include "shell/PathText.h"
#include "shell/ProgramFolder.h"
#include "shell/ProgramState.h"
#include "shell/SettingsKeys.h"
#include "shell/TrainzBuild.h"
#include "shell/UserMenus.h"
#include "support/TestSupport.h"
#include "support/TextCodecCases.h"

namespace kelvarn {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

TMemIni IniOf(std::string_view text) {
    TMemIni ini;
    ini.SetText(text);
    return ini;
}

// A settings file as a user writes it by hand: a comment and a blank line before the first section,
// spacing around headers, keys and values, tabs and control characters at line ends, runs of blank
// lines, one line that ends in LF among CR LF lines.
const std::string kHandWritten =
    "; Kelvarn settings, kept by hand\r\n"
    "\r\n"
    "  [Options]  \r\n"
    "Wiki = 1\r\n"
    "\tTooltips=1\t\r\n"
    "   ; indented comment\r\n"
    "Autoplay=0\x1A\r\n"
    "\r\n"
    "\r\n"
    "[ Paths ]\n"
    "Trainz = C:\\Trainz\r\n"
    "Build=2.9\r\n"
    "\x0C\r\n"
    "[Home]\r\n"
    "1=/home/me/assets\r\n"
    "   \r\n"
    "[Tools-Menu]\r\n"
    "1 = Notepad\xC2\xA6\xC2\xA6notepad \"%pfe%\"\xC2\xA6" "1\xC2\xA6" "0\xC2\xA6" "0\xC2\xA6" "0\xC2\xA6\r\n"
    "2=-----\r\n"
    "[Mine]\r\n"
    "note =  hand written  \r\n";

// Runs a command line through the system's command processor; its output goes to `said`.
int RunCommandLine(const std::string& command, const std::string& said) {
    return std::system((command + " > '" + said + "' 2>&1").c_str());
}

TEST(MemIniQuoteRule, EnclosingQuotesGoUnlessAnotherRemainsInside) {
    const TMemIni ini = IniOf(
        "[S]\n"
        "double=\"word\"\n"
        "single='word'\n"
        "inner=\"say \"hi\" now\"\n"
        "lone=\"\n"
        "mixed=\"word'\n"
        "empty=\"\"\n"
        "number=\"5\"\n");
    EXPECT_EQ(ini.ReadString("S", "double", ""), "word");
    EXPECT_EQ(ini.ReadString("S", "single", ""), "word");
    EXPECT_EQ(ini.ReadString("S", "inner", ""), "\"say \"hi\" now\"");
    EXPECT_EQ(ini.ReadString("S", "lone", ""), "\"");
    EXPECT_EQ(ini.ReadString("S", "mixed", ""), "\"word'");
    EXPECT_EQ(ini.ReadString("S", "empty", "x"), "");
    // The rule applies to defaults and to numbers read through it.
    EXPECT_EQ(ini.ReadString("S", "missing", "'dflt'"), "dflt");
    EXPECT_EQ(ini.ReadInteger("S", "number", 0), 5);
    EXPECT_EQ(ini.ReadInteger("S", "missing", 7), 7);
}

TEST(MemIniQuoteRule, SectionValuesArriveUnquoted) {
    const TMemIni ini = IniOf("[S]\na=\"1\"\nb=2\n");
    std::vector<std::string> lines;
    ini.ReadSectionValues("S", lines);
    EXPECT_EQ(lines, (std::vector<std::string>{"a=1", "b=2"}));
    std::vector<std::string> values;
    ReadValueList(ini, "S", values);
    EXPECT_EQ(values, (std::vector<std::string>{"1", "2"}));
}

TEST(MemIniNames, SectionsAndKeysIgnoreCase) {
    TMemIni ini = IniOf("[Wiki]\nURL=http://a\n[wiki]\ndebug=1\n");
    EXPECT_EQ(ini.ReadString("WIKI", "url", ""), "http://a");
    EXPECT_TRUE(ini.ReadBool("wiki", "DEBUG", false));
    std::vector<std::string> sections;
    ini.ReadSections(sections);
    EXPECT_EQ(sections, std::vector<std::string>{"Wiki"});  // one section, whatever the spelling
    ini.WriteString("WiKi", "Url", "http://b");
    EXPECT_EQ(SectionKeyCount(ini, "wiki"), 2);
}

TEST(MemIniValues, BadNumbersAndBooleansGiveTheDefault) {
    const TMemIni ini = IniOf("[O]\nn=abc\nb=yes\nt=1\nz=0\n");
    EXPECT_EQ(ini.ReadInteger("O", "n", 9), 9);
    EXPECT_TRUE(ini.ReadBool("O", "b", true));
    EXPECT_FALSE(ini.ReadBool("O", "b", false));
    EXPECT_TRUE(ini.ReadBool("O", "t", false));
    EXPECT_FALSE(ini.ReadBool("O", "z", true));
}

TEST(MemIniLists, NumberedAndNameValueListsRewriteTheSection) {
    TMemIni ini = IniOf("[Tools-Menu]\n3=c\n7=d\n");
    WriteNumberedList(ini, "Tools-Menu", {"x", "y"});
    std::vector<std::string> lines;
    ini.ReadSectionValues("Tools-Menu", lines);
    EXPECT_EQ(lines, (std::vector<std::string>{"1=x", "2=y"}));

    WriteNumberedList(ini, "Tools-Menu", {});
    EXPECT_EQ(SectionKeyCount(ini, "Tools-Menu"), 0);
    EXPECT_TRUE(ini.SectionExists("Tools-Menu"));  // the header stays

    WriteNameValueList(ini, "KUID-Range", {"a=1", "no equals sign", "b=2=3"});
    ini.ReadSectionValues("KUID-Range", lines);
    EXPECT_EQ(lines, (std::vector<std::string>{"a=1", "b=2=3"}));
}

TEST(MemIniFile, RoundTripKeepsOrderCommentsAndBytes) {
    TempDir dir;
    const std::string file = dir / "kelvarn.ini";
    const std::string original =
        "[Paths]\r\nTrainz=C:\\Trainz\r\nBuild=2.9\r\n\r\n[Options]\r\n; hand-written note\r\nDailyLog=1\r\n";
    WriteBytes(file, original);
    TMemIni ini(file);
    EXPECT_EQ(ini.ReadString("Paths", "Build", ""), "2.9");
    ASSERT_EQ(ini.UpdateFile(), "");
    EXPECT_EQ(ReadBytes(file), original);

    ini.WriteString("Options", "Silent", "1");
    ini.WriteString("Alpha", "k", "v");
    ASSERT_EQ(ini.UpdateFile(), "");
    const TMemIni again(file);
    std::vector<std::string> sections;
    again.ReadSections(sections);
    EXPECT_EQ(sections, (std::vector<std::string>{"Paths", "Options", "Alpha"}));
    std::vector<std::string> keys;
    again.ReadSection("Options", keys);
    EXPECT_EQ(keys, (std::vector<std::string>{"DailyLog", "Silent"}));
}

// A key the file repeats (in another case, or with other spacing) is read as its first line only;
// each line is written back as it stood, and a change goes to the first.
TEST(MemIniFile, ARepeatedKeyKeepsItsOwnLine) {
    const std::string text = "[Paths]\r\nBuild=2.9\r\nbuild=2.9\r\nBUILD = 2.9\r\n";
    TMemIni ini;
    ini.SetText(text);
    EXPECT_EQ(ini.GetText(), text);
    TMemIni again;
    again.SetText(ini.GetText());
    std::vector<std::string> was, now;
    ini.ReadSectionValues("Paths", was);
    again.ReadSectionValues("Paths", now);
    EXPECT_EQ(now, was);
    ini.WriteString("Paths", "Build", "3.5");
    EXPECT_EQ(ini.GetText(), "[Paths]\r\nBuild=3.5\r\nbuild=2.9\r\nBUILD = 2.9\r\n");
}

TEST(MemIniFile, Windows1252FileKeepsItsEncoding) {
    TempDir dir;
    const std::string file = dir / "kelvarn.ini";
    // A tool line with "¦" separators as a Windows program writes it: byte 0xA6.
    WriteBytes(file, "[default]\r\n1=Open\xA6\xA6\"%pfe%\"\xA6" "1\r\n");
    TMemIni ini(file);
    EXPECT_EQ(ini.Encoding(), TextEncoding::Windows1252);
    EXPECT_EQ(ini.ReadString("default", "1", ""), "Open\xC2\xA6\xC2\xA6\"%pfe%\"\xC2\xA6" "1");
    ini.WriteString("Options", "Language", "fr");
    ASSERT_EQ(ini.UpdateFile(), "");
    const std::string bytes = ReadBytes(file);
    EXPECT_NE(bytes.find("1=Open\xA6\xA6"), std::string::npos);
    EXPECT_EQ(bytes.find("\xC2\xA6"), std::string::npos);
}

TEST(MemIniFile, FailedSaveLeavesTheOldFile) {
    TempDir dir;
    const std::string file = dir / "kelvarn.ini";
    WriteBytes(file, "[A]\r\nk=old\r\n");
    TMemIni ini(file);
    ini.WriteString("A", "k", std::string(5000, 'n'));
    SetWriteFaultHook([](const std::string&) { return std::size_t{10}; });
    const std::string error = ini.UpdateFile();
    SetWriteFaultHook(nullptr);
    EXPECT_NE(error, "");
    EXPECT_EQ(ReadBytes(file), "[A]\r\nk=old\r\n");
    std::vector<std::string> leftovers;
    ListEntries(dir / "*.*", leftovers);
    EXPECT_EQ(leftovers.size(), 1u);  // no temporary file stays behind
}

TEST(MemIniFile, MissingFileIsAnEmptyStore) {
    TempDir dir;
    const TMemIni ini(dir / "none.ini");
    EXPECT_EQ(ini.ReadString("Options", "Language", "x"), "x");
    EXPECT_EQ(ini.LoadError(), "");
}

TEST(MemIniFile, KeysAndValuesALineCannotCarryReadBackExactly) {
    TempDir dir;
    const std::string file = dir / "install.ini";
    const std::vector<std::string> keys = {
        "C:\\Trainz\\a=b",  "/home/u/a=b/c", ";looks like a comment", "[looks like a header]", "[x",
        " leading blank",   "trailing blank ", "two\nlines", "cr\r\nlf", "%kv%already marked", "",
        "100% done",        "\x01" "control first", "plain"};
    const std::vector<std::string> values = {"one\ntwo", "\r\n", "%kv%x", "a=b", " x", "\"quoted\"", "ends in a tab\t"};
    {
        TMemIni ini(file);
        for (std::size_t i = 0; i < keys.size(); ++i) ini.WriteString("Installed", keys[i], "v" + std::to_string(i));
        for (std::size_t i = 0; i < values.size(); ++i) ini.WriteString("Values", std::to_string(i), values[i]);
        ini.WriteString("Other", "after", "still here");
        ASSERT_EQ(ini.UpdateFile(), "");
    }
    const TMemIni again(file);
    std::vector<std::string> read;
    again.ReadSection("Installed", read);
    EXPECT_EQ(read, keys);
    for (std::size_t i = 0; i < keys.size(); ++i)
        EXPECT_EQ(again.ReadString("Installed", keys[i], "missing"), "v" + std::to_string(i)) << keys[i];
    EXPECT_EQ(again.ReadString("Values", "0", ""), "one\ntwo");
    EXPECT_EQ(again.ReadString("Values", "1", ""), "\r\n");
    EXPECT_EQ(again.ReadString("Values", "2", ""), "%kv%x");
    EXPECT_EQ(again.ReadString("Values", "3", ""), "a=b");
    EXPECT_EQ(again.ReadString("Values", "4", ""), " x");
    EXPECT_EQ(again.ReadString("Values", "5", ""), "quoted");  // the quote rule still applies
    EXPECT_EQ(again.ReadString("Values", "6", ""), "ends in a tab\t");
    EXPECT_EQ(again.ReadString("Other", "after", ""), "still here");
    std::vector<std::string> sections;
    again.ReadSections(sections);
    EXPECT_EQ(sections, (std::vector<std::string>{"Installed", "Values", "Other"}));
    // Lines that need nothing are written as they stand.
    EXPECT_NE(ReadBytes(file).find("\r\nplain=v13\r\n"), std::string::npos);
}

TEST(MemIniFile, SectionNamesALineCannotCarryReadBackExactly) {
    TempDir dir;
    const std::string file = dir / "kelvarn.ini";
    const std::vector<std::string> names = {" padded ", "two\nlines", "%kv%marked", "tab\t", "plain", "[x", "x]"};
    {
        TMemIni ini(file);
        for (const std::string& name : names) ini.WriteString(name, "key", name);
        ASSERT_EQ(ini.UpdateFile(), "");
    }
    const TMemIni again(file);
    std::vector<std::string> sections;
    again.ReadSections(sections);
    EXPECT_EQ(sections, names);
    for (const std::string& name : names) EXPECT_EQ(again.ReadString(name, "key", "missing"), name);
    EXPECT_NE(ReadBytes(file).find("\r\n[plain]\r\n"), std::string::npos);
}

TEST(MemIniFile, TwoWritersOnOneFileKeepEachOthersKeysAndHandEdits) {
    TempDir dir;
    const std::string file = dir / "kelvarn.ini";
    WriteBytes(file, "[Options]\r\nWiki=1\r\nTooltips=1\r\n[Home]\r\n1=C:\\a\r\n2=C:\\b\r\n");
    TMemIni first(file), second(file);
    first.WriteString("Options", "Wiki", "0");
    first.WriteString("Paths", "Build", "3.5");
    ASSERT_EQ(first.UpdateFile(), "");
    second.WriteString("Options", "Tooltips", "0");
    second.DeleteKey("Home", "2");
    ASSERT_EQ(second.UpdateFile(), "");
    // The user edits the file by hand while both run.
    std::string text = ReadBytes(file);
    text.replace(text.find("1=C:\\a"), 6, "1=C:\\z");
    WriteBytes(file, text + "[Mine]\r\nnote=hand\r\n");
    first.WriteString("Options", "Autoplay", "1");
    ASSERT_EQ(first.UpdateFile(), "");

    const TMemIni result(file);
    EXPECT_EQ(result.ReadString("Options", "Wiki", ""), "0");
    EXPECT_EQ(result.ReadString("Options", "Tooltips", ""), "0");
    EXPECT_EQ(result.ReadString("Options", "Autoplay", ""), "1");
    EXPECT_EQ(result.ReadString("Paths", "Build", ""), "3.5");
    EXPECT_EQ(result.ReadString("Home", "1", ""), "C:\\z");
    EXPECT_FALSE(result.ValueExists("Home", "2"));
    EXPECT_EQ(result.ReadString("Mine", "note", ""), "hand");
    // The store that wrote last holds what it wrote.
    EXPECT_EQ(first.ReadString("Options", "Tooltips", ""), "0");
}

// Settings of Windows-1252 and UTF-8 lines with mixed line ends (a file edited by hand in two
// editors): an update writes the changed and new lines only, every other line keeps its bytes.
TEST(MemIniFile, AChangeInAMixedFileKeepsEveryOtherLinesBytes) {
    TempDir dir;
    const std::string file = dir / "kelvarn.ini";
    WriteBytes(file, "[Home]\r\n1=C:\\Caf\xE9\r\n2=C:\\na\xC3\xAFve\n\r\n[Options]\r\nLanguage=fr\r\nNote=d\xE9j\xE0\r\n");
    TMemIni ini(file);
    EXPECT_EQ(ini.ReadString("Home", "1", ""), "C:\\Caf\xC3\xA9");
    ini.WriteString("Options", "Language", "d\xC3\xA9");
    ini.WriteString("Home", "1", "C:\\Cr\xC3\xA8me");  // a Windows-1252 line stays one
    ini.WriteString("Options", "Added", "\xC3\xBC");
    ASSERT_EQ(ini.UpdateFile(), "");
    EXPECT_EQ(ReadBytes(file), "[Home]\r\n1=C:\\Cr\xE8me\r\n2=C:\\na\xC3\xAFve\n\r\n[Options]\r\nLanguage=d\xC3\xA9\r\n"
                               "Note=d\xE9j\xE0\r\nAdded=\xC3\xBC\r\n");
    const TMemIni again(file);
    EXPECT_EQ(again.ReadString("Home", "1", ""), "C:\\Cr\xC3\xA8me");
    EXPECT_EQ(again.ReadString("Options", "Note", ""), "d\xC3\xA9j\xC3\xA0");
}

// Another writer's change is seen by the file's size or time, and also when it kept both: a change made
// within a coarse file-system tick of the last read leaves the time as it was.
TEST(MemIniFile, AnotherWritersChangeIsSeenWhateverItsStamp) {
    namespace fs = std::filesystem;
    TempDir dir;
    const std::string file = dir / "kelvarn.ini";
    WriteBytes(file, "[Options]\r\nWiki=1\r\n");
    const fs::file_time_type recent = fs::last_write_time(file);
    TMemIni ini(file);
    WriteBytes(file, "[Options]\r\nWiki=0\r\n");  // same size
    fs::last_write_time(file, recent);
    ini.WriteString("Options", "Tooltips", "1");
    ASSERT_EQ(ini.UpdateFile(), "");
    EXPECT_EQ(ReadBytes(file), "[Options]\r\nWiki=0\r\nTooltips=1\r\n");

    // A file last changed long before it was read: a new time tells, and the same bytes change nothing.
    WriteBytes(file, "[Options]\r\nWiki=1\r\n");
    fs::last_write_time(file, recent - std::chrono::hours(1));
    TMemIni old(file);
    WriteBytes(file, "[Options]\r\nWiki=2\r\n");
    old.WriteString("Options", "Tooltips", "0");
    ASSERT_EQ(old.UpdateFile(), "");
    EXPECT_EQ(ReadBytes(file), "[Options]\r\nWiki=2\r\nTooltips=0\r\n");
    old.WriteString("Options", "Tooltips", "1");
    ASSERT_EQ(old.UpdateFile(), "");
    EXPECT_EQ(ReadBytes(file), "[Options]\r\nWiki=2\r\nTooltips=1\r\n");
}

// A write that failed after a merge leaves the disk's values as the base: a later merge does not take
// them for this store's own changes and put them over the other writer's newer ones.
TEST(MemIniFile, AFailedWriteAfterAMergeKeepsTheNewerDiskValues) {
    TempDir dir;
    const std::string file = dir / "kelvarn.ini";
    WriteBytes(file, "[Options]\r\nWiki=0\r\n");
    TMemIni ini(file);
    WriteBytes(file, "[Options]\r\nWiki=1\r\n");
    ini.WriteString("Options", "Tooltips", "1");
    SetWriteFaultHook([](const std::string&) { return std::size_t{0}; });
    EXPECT_NE(ini.UpdateFile(), "");
    SetWriteFaultHook(nullptr);
    WriteBytes(file, "[Options]\r\nWiki=22\r\n");
    ASSERT_EQ(ini.UpdateFile(), "");
    const TMemIni result(file);
    EXPECT_EQ(result.ReadString("Options", "Wiki", ""), "22");
    EXPECT_EQ(result.ReadString("Options", "Tooltips", ""), "1");
}

TEST(MemIniFile, ASettingsFileMarkedReadOnlyIsNotReplaced) {
    namespace fs = std::filesystem;
    TempDir dir;
    const std::string file = dir / "kelvarn.ini";
    WriteBytes(file, "[Options]\r\nWiki=1\r\n");
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read);
    TMemIni ini(file);
    ini.WriteString("Options", "Wiki", "0");
    const std::string error = ini.UpdateFile();
    EXPECT_NE(error.find("read-only"), std::string::npos) << error;
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(ReadBytes(file), "[Options]\r\nWiki=1\r\n");
}

// An update keeps every line it did not change byte for byte: also blank lines, comments, headers,
// spacing and control characters, and a last line without a line end.
TEST(MemIniFile, AHandWrittenFileKeepsEveryUntouchedLineThroughAnUpdate) {
    TempDir dir;
    const std::string file = dir / "kelvarn.ini";
    const std::string original = kHandWritten + "last=line";
    WriteBytes(file, original);
    TMemIni ini(file);
    EXPECT_EQ(ini.ReadString("Paths", "Build", ""), "2.9");
    EXPECT_FALSE(ini.ReadBool("Options", "Autoplay", true));
    ini.WriteString("Options", "Tooltips", "1");  // the value it has: no change
    // The menus are read as the main window reads them: a numbered section is written again in place.
    std::string menuError = "not flushed";
    EXPECT_EQ(ReadUserMenus(ini, &menuError).tools.items.size(), 2u);
    EXPECT_EQ(menuError, "not flushed");
    ASSERT_EQ(ini.UpdateFile(), "");
    EXPECT_EQ(ReadBytes(file), original);

    ini.WriteString("Options", "Wiki", "0");
    ini.WriteString("Paths", "KeepBackups", "3");
    ini.WriteString("Mine", "added", "x");
    ini.WriteString("New", "k", "v");
    ASSERT_EQ(ini.UpdateFile(), "");
    // Only the changed line and the new ones differ.
    std::string updated = original;
    updated.replace(updated.find("Wiki = 1"), 8, "Wiki=0");
    updated.insert(updated.find("\x0C\r\n[Home]"), "KeepBackups=3\r\n");
    updated += "\r\nadded=x\r\n\r\n[New]\r\nk=v";
    EXPECT_EQ(ReadBytes(file), updated);

    // The same through a merge with a hand edit made meanwhile.
    WriteBytes(file, updated + "\r\n; and a note\r\n");
    ini.WriteString("Home", "1", "/data");
    ASSERT_EQ(ini.UpdateFile(), "");
    std::string merged = updated + "\r\n; and a note\r\n";
    merged.replace(merged.find("1=/home/me/assets"), 17, "1=/data");
    EXPECT_EQ(ReadBytes(file), merged);
}

// A copy of the program that read the file before this store's keys reached it, and renamed its own
// file over it afterwards (a writer that takes no lock): its file is older than the one this store
// wrote, so those keys are neither deleted nor put back by it. A later file is taken as it stands.
TEST(MemIniFile, AnOlderFileThatOvertookThisStoresWriteTakesNothingOfIt) {
    namespace fs = std::filesystem;
    TempDir dir;
    const std::string file = dir / "kelvarn.ini";
    WriteBytes(file, "[Race]\r\na1=1\r\nb0=0\r\n");
    TMemIni ini(file);
    ini.WriteString("Race", "b1", "1");
    ini.WriteString("Race", "b0", "changed");
    ASSERT_EQ(ini.UpdateFile(), "");
    const auto written = fs::last_write_time(file);
    WriteBytes(file, "[Race]\r\na1=1\r\nb0=0\r\na2=2\r\n");
    fs::last_write_time(file, written - std::chrono::seconds(1));
    ini.WriteString("Race", "b2", "2");
    ASSERT_EQ(ini.UpdateFile(), "");
    EXPECT_EQ(ReadBytes(file), "[Race]\r\na1=1\r\nb0=changed\r\na2=2\r\nb1=1\r\nb2=2\r\n");
    EXPECT_EQ(ini.ReadString("Race", "b1", ""), "1");

    WriteBytes(file, "[Race]\r\na1=1\r\nb0=again\r\na2=2\r\nb2=2\r\n");
    fs::last_write_time(file, fs::last_write_time(file) + std::chrono::seconds(2));
    ini.WriteString("Race", "b3", "3");
    ASSERT_EQ(ini.UpdateFile(), "");
    EXPECT_EQ(ReadBytes(file), "[Race]\r\na1=1\r\nb0=again\r\na2=2\r\nb2=2\r\nb3=3\r\n");
    EXPECT_FALSE(ini.ValueExists("Race", "b1"));
}

// Two copies of the program on one settings file, each writing keys of its own one update at a time:
// every key of both reaches the file.
TEST(MemIniFile, TwoProcessesWritingAtOnceKeepEveryKey) {
    TempDir dir;
    const std::string file = dir / "kelvarn.ini";
    WriteBytes(file, "[Options]\r\nWiki=1\r\n");
    constexpr int kKeys = 300;
    int results[2] = {-1, -1};
    const auto run = [&](int which) {
        const std::string prefix = which == 0 ? "a" : "b";
        results[which] = RunCommandLine("'" + std::string(KELVARN_SETTINGS_WRITER) + "' race '" + file + "' " + prefix +
                                            " " + std::to_string(kKeys),
                                        dir / (prefix + ".txt"));
    };
    std::thread first(run, 0), second(run, 1);
    first.join();
    second.join();
    EXPECT_EQ(results[0], 0) << ReadBytes(dir / "a.txt");
    EXPECT_EQ(results[1], 0) << ReadBytes(dir / "b.txt");
    const TMemIni result(file);
    EXPECT_EQ(SectionKeyCount(result, "Race"), 2 * kKeys);
    int missing = 0;
    for (int i = 1; i <= kKeys; ++i)
        for (const char* prefix : {"a", "b"})
            if (result.ReadString("Race", prefix + std::to_string(i), "") != std::to_string(i)) ++missing;
    EXPECT_EQ(missing, 0);
    EXPECT_EQ(result.ReadString("Options", "Wiki", ""), "1");
    EXPECT_FALSE(FileExists(file + ".lock"));  // the lock file goes with the last lock
}

#ifndef _WIN32
// Another user's settings file in a folder anyone may write (a shared program folder): a rename there
// would go through, so the update refuses it itself, naming the file, and the file stays as it was,
// that user's.
TEST(MemIniFile, AFileTheUserMayNotWriteIsRefusedAndKept) {
    namespace fs = std::filesystem;
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root: to make a file of another user and update it as a user (nobody) who may not write it";
    const std::string asNobody = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    TempDir dir;
    if (RunCommandLine(asNobody + "true", dir / "probe.txt") != 0)
        GTEST_SKIP() << "setpriv cannot run a program as nobody here: " << ReadBytes(dir / "probe.txt");
    fs::permissions(dir.Path(), fs::perms::all);  // anyone may write, no sticky bit
    const std::string file = dir / "kelvarn.ini";
    const std::string writer = dir / "SettingsWriter";
    fs::copy_file(KELVARN_SETTINGS_WRITER, writer);
    fs::permissions(writer, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec);
    WriteBytes(file, "[Options]\r\nWiki=1\r\n");
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
    if (RunCommandLine(asNobody + "test -r '" + file + "'", dir / "probe.txt") != 0)
        GTEST_SKIP() << "nobody cannot reach the temporary folder " << dir.Path();

    const int result = RunCommandLine(asNobody + "'" + writer + "' set '" + file + "' Options Wiki 0", dir / "said.txt");
    const std::string said = ReadBytes(dir / "said.txt");
    EXPECT_NE(result, 0) << said;
    EXPECT_NE(said.find("Unable to save " + file + ": you have no permission to write to it"), std::string::npos) << said;
    EXPECT_EQ(ReadBytes(file), "[Options]\r\nWiki=1\r\n");
    struct stat status;
    ASSERT_EQ(::stat(file.c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, 0u);
}
#endif

TEST(MemIniFile, AMarkBeforeWindows1252TextStillReadsTheFirstSection) {
    TempDir dir;
    const std::string file = dir / "kelvarn.ini";
    WriteBytes(file, "\xEF\xBB\xBF[Options]\r\nName=caf\xE9\r\n[Paths]\r\nKeepBackups=3\r\n");
    const TMemIni ini(file);
    EXPECT_EQ(ini.LoadError(), "");
    EXPECT_EQ(ini.Encoding(), TextEncoding::Utf8Bom);
    EXPECT_EQ(ini.ReadString("Options", "Name", ""), "caf\xC3\xA9");
    EXPECT_EQ(ini.ReadInteger("Paths", "KeepBackups", 0), 3);
}

TEST(MemIniFile, ManySectionsAndKeysKeepFirstComeLookups) {
    std::string text;
    for (int i = 0; i < 2000; ++i) text += "[S" + std::to_string(i) + "]\nk=" + std::to_string(i) + "\n";
    text += "[s5]\nk=late\nK=later\nother=1\n";  // the same section again, in another case
    TMemIni ini = IniOf(text);
    EXPECT_EQ(ini.ReadString("S5", "k", ""), "5");
    EXPECT_EQ(ini.ReadString("s1999", "K", ""), "1999");
    EXPECT_EQ(ini.ReadString("S5", "other", ""), "1");
    ini.DeleteKey("S5", "k");
    EXPECT_EQ(ini.ReadString("S5", "k", ""), "late");  // the next line of that key
    ini.EraseSection("S3");
    EXPECT_FALSE(ini.SectionExists("S3"));
    EXPECT_EQ(ini.ReadString("S4", "k", ""), "4");
    ini.WriteString("S3", "k", "new");
    EXPECT_EQ(ini.ReadString("s3", "k", ""), "new");
    std::vector<std::string> sections;
    ini.ReadSections(sections);
    EXPECT_EQ(sections.size(), 2000u);
    EXPECT_EQ(sections.back(), "S3");
}

TEST(MemIniFile, AFileThatCannotBeReadIsNeverWritten) {
    namespace fs = std::filesystem;
    TempDir dir;
    // Too large to be settings (a sparse file: nothing is really written), and a folder of that name.
    const std::string large = dir / "large/kelvarn.ini";
    WriteBytes(large, "[Options]\r\nTooltips=1\r\n");
    fs::resize_file(large, (64ull << 20) + 1);
    const auto stamp = fs::last_write_time(large);
    ForceDirectories(dir / "folder/kelvarn.ini");

    for (const std::string& file : {large, dir / "folder/kelvarn.ini"}) {
        TMemIni ini(file);
        EXPECT_NE(ini.LoadError(), "") << file;
        EXPECT_TRUE(ini.FileProtected());
        EXPECT_EQ(ini.ReadString("Options", "Tooltips", "dflt"), "dflt");  // defaults
        ini.WriteString("Options", "Tooltips", "0");
        EXPECT_EQ(ini.UpdateFile(), "");  // nothing written, nothing to report again
    }
    EXPECT_EQ(fs::file_size(large), (64ull << 20) + 1);
    EXPECT_EQ(fs::last_write_time(large), stamp);
    EXPECT_TRUE(DirectoryExists(dir / "folder/kelvarn.ini"));
    std::vector<std::string> entries;
    ListEntries(dir / "large/*", entries);
    EXPECT_EQ(entries.size(), 1u);
}

// Settings in every encoding of the program's table are read, and written back in that encoding.
TEST(MemIniFile, EveryEncodingIsReadAndKept) {
    for (const test::TextCase& c : test::TextCases()) {
        if (c.bytes.empty()) continue;
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string file = dir / "kelvarn.ini";
        // The table's first line "kind ..." as a setting: "[S]" before it and "=" in it.
        const DecodedText decoded = DecodeText(c.bytes);
        std::string text = decoded.text;
        text.replace(text.find(' '), 1, "=");
        WriteBytes(file, EncodeText("[S]\r\n" + text, decoded.encoding, {}));
        TMemIni ini(file);
        ASSERT_EQ(ini.LoadError(), "");
        EXPECT_EQ(ini.Encoding(), c.encoding);
        const std::string shownValue = c.shown.substr(5, c.shown.find('\n') - 5);
        EXPECT_EQ(ini.ReadString("S", "kind", ""), shownValue);
        ini.WriteString("S", "other", "1");
        ASSERT_EQ(ini.UpdateFile(), "");
        const TMemIni again(file);
        EXPECT_EQ(again.Encoding(), ini.Encoding());
        EXPECT_EQ(again.ReadString("S", "kind", ""), shownValue);
    }
}

// A file that is no text (NUL bytes, broken UTF-16) is unreadable settings: defaults, never written,
// and the start-up neither rewrites it nor copies it.
TEST(MemIniFile, SettingsThatAreNoTextAreNeverWritten) {
    for (const std::string& bytes : test::NotTextCases()) {
        TempDir dir;
        const std::string file = dir / "kelvarn.ini";
        WriteBytes(file, bytes);
        TProgramState state;
        InitProgramState(state, dir.Path() + "/kelvarn");
        EXPECT_NE(state.Settings().LoadError().find("not a text file"), std::string::npos);
        WriteFirstStartSettings(state);
        EXPECT_EQ(ReadBytes(file), bytes);
        EXPECT_FALSE(DirectoryExists(dir / "backup"));
    }
}

// The day's copy holds the settings as the user left them, before the first start adds the builds.
TEST(SettingsKeyTable, TheDaysCopyIsTakenBeforeTheFirstWrite) {
    TempDir dir;
    WriteBytes(dir / "kelvarn.ini", "[Options]\r\nTooltips=0\r\n");
    TProgramState state;
    InitProgramState(state, dir.Path() + "/kelvarn");
    WriteFirstStartSettings(state);
    std::vector<std::string> copies;
    ListEntries(dir / "backup/*.ini", copies);
    ASSERT_EQ(copies.size(), 1u);
    const std::string copy = ReadBytes(dir / ("backup/" + ExtractFileName(copies[0])));
    EXPECT_NE(copy.find("Tooltips=0"), std::string::npos);
    EXPECT_EQ(copy.find("[Builds]"), std::string::npos);
    EXPECT_NE(ReadBytes(dir / "kelvarn.ini").find("[Builds]"), std::string::npos);
}

// Start-up's writes (its first save before the day's copy, the builds a first start adds) leave every
// line of a hand-written file as it was, and the day's copy holds it byte for byte.
TEST(SettingsKeyTable, StartUpKeepsEveryLineOfAHandWrittenFile) {
    TempDir dir;
    WriteBytes(dir / "kelvarn.ini", kHandWritten);
    test::FakeClock clock;
    TProgramState state;
    state.Clock = &clock;
    InitProgramState(state, dir.Path() + "/kelvarn");
    WriteFirstStartSettings(state);
    EXPECT_EQ(ReadBytes(dir / "backup/Kelvarn(20110304).ini"), kHandWritten);
    const std::string started = ReadBytes(dir / "kelvarn.ini");
    EXPECT_EQ(started.substr(0, kHandWritten.size()), kHandWritten);
    EXPECT_NE(started.find("\r\n\r\n[Builds]\r\n"), std::string::npos);

    // The next day's start: the copy is taken after the first save, which changes nothing.
    clock.Set(2011, 3, 5);
    TProgramState next;
    next.Clock = &clock;
    InitProgramState(next, dir.Path() + "/kelvarn");
    WriteFirstStartSettings(next);
    EXPECT_EQ(IniBackup(next, "yyyymmdd"), "");
    EXPECT_EQ(ReadBytes(dir / "kelvarn.ini"), started);
    EXPECT_EQ(ReadBytes(dir / "backup/Kelvarn(20110305).ini"), started);
}

// A file under the settings' name that is no settings text is neither taken nor overwritten.
TEST(MemIniFile, AFileThatIsNoSettingsTextIsNeverWritten) {
    TempDir dir;
    const std::string cases[] = {std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR[x]\r\n", 20), "Dear Sir,\r\nplease find attached\r\n",
                                 "Tooltips=0\r\n"};
    for (const std::string& bytes : cases) {
        WriteBytes(dir / "kelvarn.ini", bytes);
        TMemIni ini(dir / "kelvarn.ini");
        EXPECT_NE(ini.LoadError(), "") << bytes;
        EXPECT_TRUE(ini.FileProtected());
        ini.WriteString("Options", "Tooltips", "1");
        EXPECT_EQ(ini.UpdateFile(), "");
        EXPECT_EQ(ReadBytes(dir / "kelvarn.ini"), bytes);
    }
    for (const std::string bytes : {"", "\r\n \r\n", "; a comment\r\n[Options]\r\n"}) {
        WriteBytes(dir / "kelvarn.ini", bytes);
        EXPECT_EQ(TMemIni(dir / "kelvarn.ini").LoadError(), "") << bytes;
    }
}

// Comments are settings text: a file of comments only is read (and written to), and a section line
// with a comment after it names its section.
TEST(MemIniFile, CommentsAndACommentedSectionLineAreRead) {
    TempDir dir;
    WriteBytes(dir / "kelvarn.ini", "; my settings\r\n# kept by hand\r\n");
    {
        TMemIni ini(dir / "kelvarn.ini");
        EXPECT_EQ(ini.LoadError(), "");
        EXPECT_FALSE(ini.FileProtected());
        ini.WriteString("Options", "Tooltips", "0");
        EXPECT_EQ(ini.UpdateFile(), "");
        const std::string written = ReadBytes(dir / "kelvarn.ini");
        EXPECT_NE(written.find("; my settings"), std::string::npos) << written;
        EXPECT_NE(written.find("Tooltips=0"), std::string::npos) << written;
    }
    WriteBytes(dir / "kelvarn.ini", "[Options] ; mine\r\nTooltips=0\r\n");
    TMemIni ini(dir / "kelvarn.ini");
    EXPECT_EQ(ini.LoadError(), "");
    EXPECT_EQ(ini.ReadString("Options", "Tooltips", "1"), "0");
    EXPECT_FALSE(ini.SectionExists("Options] ; mine"));
}

TEST(SettingsKeyTable, DefaultsOfAnEmptyFile) {
    const TMemIni ini;
    EXPECT_EQ(ReadSettingInt(ini, keys::NextCloneID), 8000);
    EXPECT_EQ(ReadSettingInt(ini, keys::Shadows), 0);
    EXPECT_EQ(ReadSetting(ini, keys::ColourComment), "#800000,#FFFFFF");
    // The folder goes to the desktop's default program: there is no Explorer with switches here.
    EXPECT_EQ(ReadSetting(ini, keys::Explorer), "\xC2\xA6\xC2\xA6\"%p%\"\xC2\xA6" "1\xC2\xA6" "0\xC2\xA6" "0\xC2\xA6" "0\xC2\xA6");
}

TEST(SettingsKeyTable, EmptyBuildsSectionGetsTheBuiltInList) {
    TMemIni ini;
    EXPECT_TRUE(EnsureDefaultBuilds(ini));
    EXPECT_EQ(SectionKeyCount(ini, "Builds"), 40);
    EXPECT_EQ(ini.ReadString("Builds", "3.0", ""), "2009-SP1");
    // Published builds go on after 3.8: every tenth up to 5.6, in order.
    std::vector<std::string> keys;
    ini.ReadSection("Builds", keys);
    for (int tenths = 38; tenths <= 56; ++tenths)
        EXPECT_NE(std::find(keys.begin(), keys.end(), std::to_string(tenths / 10) + "." + std::to_string(tenths % 10)),
                  keys.end()) << tenths;
    EXPECT_EQ(keys.back(), "5.6");
    EXPECT_FALSE(EnsureDefaultBuilds(ini));
}

// A first start writes the built-in builds into the settings file; a later start keeps the user's.
TEST(SettingsKeyTable, FirstStartWritesTheBuilds) {
    test::TempDir dir;
    TProgramState state;
    InitProgramState(state, dir.Path() + "/kelvarn");
    EXPECT_FALSE(FileExists(dir / "kelvarn.ini")) << "an instance that hands over writes nothing";
    WriteFirstStartSettings(state);
    EXPECT_NE(test::ReadBytes(dir / "kelvarn.ini").find("5.6=TRS22-SP5"), std::string::npos);
    std::string build = "4.60";
    EXPECT_TRUE(IsKnownBuild(state.Settings(), build));
    EXPECT_EQ(build, "4.6");

    test::WriteBytes(dir / "kelvarn.ini", "[Builds]\r\n9.9=mine\r\n");
    TProgramState again;
    InitProgramState(again, dir.Path() + "/kelvarn");
    WriteFirstStartSettings(again);
    EXPECT_EQ(SectionKeyCount(again.Settings(), "Builds"), 1);
}

// A program folder the user may not write: the settings go to the per-user folder, the shipped files
// come along, and the first start says where everything now lives.
TEST(ProgramFolder, AReadOnlyProgramFolderMovesWithItsShippedFiles) {
    test::TempDir dir;
    const std::string program = dir / "program";
    WriteBytes(program + "/bin/tags.xml", "<tags/>");
    WriteBytes(program + "/bin/introduction.txt", "Welcome");
    SetFileGuard([program](const std::string& path) { return path.rfind(program + "/", 0) != 0; });
    TProgramState state;
    state.Environment = [&dir](const std::string& name) { return name == "XDG_DATA_HOME" ? dir / "data" : std::string(); };
    InitProgramState(state, program + "/kelvarn");
    const std::string notice = ProgramFolderNotice(state);
    WriteFirstStartSettings(state);
    SetFileGuard(nullptr);

    EXPECT_EQ(state.ProgramFolder, dir / "data/kelvarn/");
    EXPECT_EQ(ReadBytes(dir / "data/kelvarn/bin/tags.xml"), "<tags/>");
    EXPECT_EQ(ReadBytes(dir / "data/kelvarn/bin/introduction.txt"), "Welcome");
    EXPECT_TRUE(FileExists(dir / "data/kelvarn/kelvarn.ini"));
    EXPECT_FALSE(FileExists(program + "/kelvarn.ini"));
    EXPECT_NE(notice.find(dir / "data/kelvarn/"), std::string::npos) << notice;
    EXPECT_EQ(ProgramFolderNotice(state), "");  // said once, at the first start there
}

// Neither folder may be written: the first start says so plainly, and a failed save of the settings
// names the settings file, not a temporary file of ours.
TEST(ProgramFolder, NeitherFolderWritableIsSaidPlainly) {
    test::TempDir dir;
    const std::string program = dir / "program";
    WriteBytes(program + "/bin/tags.xml", "<tags/>");
    SetFileGuard([&dir](const std::string& path) { return path.rfind(dir.Path() + "/", 0) != 0; });
    TProgramState state;
    state.Environment = [&dir](const std::string& name) { return name == "XDG_DATA_HOME" ? dir / "data" : std::string(); };
    InitProgramState(state, program + "/kelvarn");
    const std::string notice = ProgramFolderNotice(state);
    WriteFirstStartSettings(state);
    const std::string error = state.Settings().UpdateFile();
    SetFileGuard(nullptr);

    EXPECT_NE(notice.find("neither"), std::string::npos) << notice;
    EXPECT_NE(notice.find(program), std::string::npos) << notice;
    EXPECT_EQ(notice.find("are kept in"), std::string::npos) << notice;
    EXPECT_NE(error.find(state.Settings().FileName()), std::string::npos) << error;
    EXPECT_EQ(error.find(".kvtmp"), std::string::npos) << error;
}

struct VersionCase {
    const char* version;
    bool atLeast_1_10;
};

class ToolVersion : public ::testing::TestWithParam<VersionCase> {};

TEST_P(ToolVersion, ComparesMajorAndMinorAsNumbers) {
    TempDir dir;
    const std::string exe = dir / "DuskCaster.exe";
    if (GetParam().version) WriteBytes(dir / "DuskCaster.ini", std::string("[Program]\r\nVersion=") + GetParam().version + "\r\n");
    else WriteBytes(dir / "DuskCaster.ini", "[Program]\r\nName=x\r\n");
    EXPECT_EQ(ToolVersionAtLeast(exe, 1, 10), GetParam().atLeast_1_10) << (GetParam().version ? GetParam().version : "(none)");
}

INSTANTIATE_TEST_SUITE_P(Versions, ToolVersion,
                         ::testing::Values(VersionCase{"1.10", true}, VersionCase{"2.12", true},
                                           VersionCase{"2.0", true}, VersionCase{"1.9", false},
                                           VersionCase{"1,11", true}, VersionCase{"0.99", false},
                                           VersionCase{"1", false}, VersionCase{nullptr, false}),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(ToolVersionFile, MissingIniRefuses) {
    TempDir dir;
    EXPECT_FALSE(ToolVersionAtLeast(dir / "none.exe", 1, 0));
}

}  // namespace
}  // namespace kelvarn
