// TMemIni: the settings file held in memory. Section and key names compare without regard to case,
// sections and keys keep their file order, and nothing reaches the disk before UpdateFile.
// A key or value that a plain "key=value" line cannot carry (a key with "=", one that begins with ";"
// or "[", a line break in either, a blank or control character where reading trims it) is written as
// "%kv%" followed by its text with "%", "=", blanks and control characters as "%XX", and reads back
// exactly; every other line is written as it stands. A section name with a line break, a blank at
// either end or that mark at its start is written encoded the same way.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "shell/Text.h"

namespace kelvarn {

class TMemIni {
public:
    TMemIni() = default;
    // Loads the file when it exists; a missing or unreadable file gives an empty store.
    explicit TMemIni(std::string fileName);

    const std::string& FileName() const { return fileName_; }
    void SetFileName(std::string fileName) { fileName_ = std::move(fileName); }
    // The message of the failed load, empty when the file loaded or did not exist. A file that is
    // there but could not be read (too large, not readable, not a file) may hold what the user made:
    // the store then never writes it, and UpdateFile does nothing (the owner says so once).
    const std::string& LoadError() const { return loadError_; }
    bool FileProtected() const { return !loadError_.empty(); }

    // Replaces the contents with the text of an ini file (already decoded).
    void SetText(std::string_view text);
    // The file's text as UpdateFile writes it (before encoding).
    std::string GetText() const;

    // The read with the quote rule: a value of at least two characters enclosed in double quotes loses
    // them unless another double quote remains inside; then the same with single quotes. The rule also
    // applies to the default.
    std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
    long long ReadInteger(std::string_view section, std::string_view key, long long def) const;
    bool ReadBool(std::string_view section, std::string_view key, bool def) const;
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, long long value);
    void WriteBool(std::string_view section, std::string_view key, bool value);

    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;
    // Key names of a section, in file order.
    void ReadSection(std::string_view section, std::vector<std::string>& keys) const;
    void ReadSections(std::vector<std::string>& sections) const;
    // "key=value" lines in file order, each value read through ReadString.
    void ReadSectionValues(std::string_view section, std::vector<std::string>& lines) const;
    // The values of a section in file order, as they stand (no quote rule): a list rewritten from
    // them keeps every value's quotes.
    void ReadRawValues(std::string_view section, std::vector<std::string>& values) const;
    void EraseSection(std::string_view section);
    void DeleteKey(std::string_view section, std::string_view key);

    // Writes the whole store atomically. Each line that did not change keeps the bytes it had (its
    // text with every blank and control character, its encoding, also a Windows-1252 line in a UTF-8
    // file, and its line end), and so do blank lines, comments and section headers; changed and new
    // lines are written in the file's encoding as the text codec does for any edit, a new key after
    // the last line of its section that is not blank. When the file changed on disk since it was read
    // or written here (its size or time differ, or it changed too shortly before that for its time to
    // tell), it is read again first and the keys this store did not change (or delete) since then keep
    // the disk's values, so a second writer's keys and hand edits stay; but a file older than the one
    // this store last wrote a key with (a write that overtook it) does not take that key away or back.
    // Writers take a lock beside the file ("<file>.lock") from that reading to the rename, so that two
    // copies of the program never replace each other's changes. A file the user marked read-only or
    // may not write is not replaced. Returns an empty text on success, else the reason; the old file
    // then stays as it was.
    std::string UpdateFile();

    TextEncoding Encoding() const { return encoding_; }

private:
    // A key's line as the file had it, and the value it reads as.
    struct FileLine {
        std::string value;
        std::string line;
    };
    struct Entry {
        std::string key;    // empty for a line that is not "key=value" (kept as it stands)
        std::string value;  // the raw line when `key` is empty
        bool isRaw = false;
        // The entry's own line, when read from the file: a key the file repeats (in another case, or
        // with other spacing) is written as its own line, not as the first one's.
        FileLine file{};
    };
    // Names are looked up through an index, so that loading and reading stay linear in the size of
    // the file however many sections and keys it has.
    using Index = std::unordered_map<std::string, std::size_t>;
    struct Section {
        std::string name;
        std::vector<Entry> entries;
        Index keys;          // folded key -> first entry with that key
        std::string header;  // the header line as the file had it; empty for a section added here
        // Folded key -> its line in the file: a key that holds the value it had there is written as
        // that line, also after it was deleted and written again (a list rewritten in place).
        std::unordered_map<std::string, FileLine> fileLines;
        void AddEntry(Entry entry);
        // A new key: after the last line that is not blank, so that blank lines stay between sections.
        void AddKey(Entry entry);
        void Reindex();
        const Entry* Find(std::string_view key) const;
        Entry* Find(std::string_view key);
    };

    const Section* FindSection(std::string_view name) const;
    Section* FindSection(std::string_view name);
    Section& AddSection(std::string name);
    void ReindexSections();
    const std::string* FindValue(std::string_view section, std::string_view key) const;
    std::string ComposeText(std::string_view lineEnd) const;
    void MarkSynced();
    void RecordStamp(std::int64_t clock);
    void Load(std::string bytes);  // the file's bytes, or the load error
    bool ReadChangedFile(TMemIni& disk);
    void MergeFromDisk(TMemIni& disk);
    std::string WriteLocked();
    struct OwnWrite;
    // The keys whose value (or presence) here differs from `base`'s, in this store's order, the
    // deleted ones last.
    std::vector<OwnWrite> ChangesAgainst(const TMemIni& base) const;
    // Puts this store's value of a key, or its absence, into `other`.
    void CopyKeyTo(TMemIni& other, const std::string& section, const std::string& key) const;

    std::string fileName_;
    std::string loadError_;
    std::vector<Section> sections_;
    Index sectionIndex_;
    TextEncoding encoding_ = TextEncoding::Utf8;
    std::string lineEnd_ = "\r\n";
    // The text of the file as this store last read or wrote it: what a merge compares both sides with.
    std::string synced_;
    bool hasSynced_ = false;
    // The file's bytes as last read or written here: the lines an update keeps as they were.
    std::string syncedBytes_;
    // The file's size and time when it was last read or written here, and the clock then (in the file
    // system's ticks): while they stand, no other writer changed it.
    struct Stamp {
        std::uint64_t size = 0;
        std::int64_t time = 0;
        std::int64_t clock = 0;
        bool known = false;
    };
    Stamp stamp_;
    // The keys this store wrote (or deleted), each with the time of the file that took it there.
    struct OwnWrite {
        std::string section, key;
        std::int64_t time = 0;
    };
    std::map<std::string, OwnWrite> ownWrites_;  // by section and key, folded
};

// The quote rule on its own.
std::string ApplyQuoteRule(std::string_view text);

// Section helpers shared by every unit.
void ReadValueList(const TMemIni& ini, std::string_view section, std::vector<std::string>& list);
void ClearSection(TMemIni& ini, std::string_view section);
void WriteNumberedList(TMemIni& ini, std::string_view section, const std::vector<std::string>& list);
// Lines without "=" are skipped.
void WriteNameValueList(TMemIni& ini, std::string_view section, const std::vector<std::string>& list);
int SectionKeyCount(const TMemIni& ini, std::string_view section);

}  // namespace kelvarn
