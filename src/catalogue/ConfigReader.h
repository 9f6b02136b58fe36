// The config.txt reader. It turns an asset's config.txt into a flat list of lines (name=value,
// name={, name=}, or a bare word), checks and repairs the bracket structure, and renders the list as
// the outline's tree: as tab-indented text (ConfigText) or straight as nodes (BuildTree), which give
// the same tree. It is the only reader of config.txt; each outline document owns one.
//
// States: unloaded -> LoadConfigFile/LoadConfigBytes -> loaded -> ConfigText/BuildTree (any number
// of times) -> UnloadConfig -> unloaded. Loading while loaded is refused.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "shell/Text.h"

namespace kelvarn {

class IMessageSink;
class TOutlineNode;
struct TNodeOrigin;
struct TLineCursor;

// No config.txt people make comes near these; they keep a hostile file from taking the machine.
// The byte limit leaves room for the writer's column layout, which can double a large file: a
// save is refused before writing when even that is not enough.
inline constexpr std::uint64_t kMaxConfigBytes = 64ull << 20;
inline constexpr std::string_view kConfigTooLarge = " (larger than 64 MB)";
inline constexpr std::size_t kMaxConfigLines = 1000000;
inline constexpr std::size_t kMaxConfigDepth = 1000;

enum class TConfigLineKind : std::uint8_t {
    Tag,     // name=value
    Bare,    // a word on its own (becomes a tag with an empty quoted value, or a numbered sound)
    Open,    // "{" before the bracket check
    Close,   // "}" before the bracket check
    Header,  // name={: a container opens
    End,     // name=}: it closes
};

// Marks of a Tag line: its value joins several file lines; it may hold a character beyond ASCII.
inline constexpr std::uint8_t kJoinedLine = 1;
inline constexpr std::uint8_t kMayBeBeyondAscii = 2;

struct TConfigLine {
    TConfigLineKind kind = TConfigLineKind::Bare;
    std::uint8_t marks = 0;
    std::uint32_t fileLine = 0;  // where it came from, counted from 1; 0 for lines the reader added
    std::uint32_t nameAt = 0, nameLen = 0;    // into the reader's text store
    std::uint32_t valueAt = 0, valueLen = 0;
};

// Braces inside a name or a value would become structure at the next load: " { " and "{" become
// "(", " } " and "}" become ")". The reader applies it to every value; tag edits and the outline's
// in-place edit apply it to what the user typed.
std::string ProtectBraces(std::string_view text);
// A node text typed or replaced by the user, made safe to write and read back: braces protected, and
// a value that opens a double quote without closing it (which the reader would run on over the
// following lines) closed at its end.
std::string SafeNodeText(std::string_view text);

class TConfigReader {
public:
    // `messages` hears about repaired brackets; null says nothing.
    explicit TConfigReader(IMessageSink* messages = nullptr) : messages_(messages) {}

    // A batch script run over tagged assets: a config with missing closing brackets is refused
    // instead of repaired after a message.
    bool ScriptMode = false;
    void SetMessages(IMessageSink* messages) { messages_ = messages; }

    // Loads the folder's config.txt (found ignoring case). False with the error set on failure.
    bool LoadConfigFile(std::string_view folder);
    // The same for bytes already in memory, loaded as the folder's config.txt.
    bool LoadConfigBytes(std::string_view bytes, std::string_view folder);
    // The tree as tab-indented text, one node per line (CR LF), "config.txt" first at no indent.
    bool ConfigText(std::string_view folder, std::string& text);
    // The same tree as nodes: every container carries the has-children mark; texts are as in
    // ConfigText. Null when nothing complete is loaded.
    std::unique_ptr<TOutlineNode> BuildTree() const;
    bool UnloadConfig(std::string_view folder);
    // The last error, which is then cleared.
    std::string LastError();

    // True (with the error set) when nothing is loaded; false and the error cleared otherwise.
    bool CheckFileLoaded(std::string_view folder);
    // True (with the error set) when the loaded file is not the folder's (exact comparison).
    bool CheckLoadedMatch(std::string_view folder);

    // The loaded file: the folder's config path as loaded, the file actually read (it may be
    // "Config.txt"), the encoding new text goes into it in (UTF-8 with or without a mark, Windows-1252
    // when every line beyond ASCII was and the file has no mark, or UTF-16 with or without its mark),
    // and whether it began with a byte-order mark.
    // Lines that came in another encoding than the file's keep theirs in their nodes' origins.
    const std::string& LoadedConfigPath() const { return loadedPath_; }
    const std::string& LoadedFile() const { return loadedFile_; }
    TextEncoding Encoding() const { return encoding_; }
    bool HasMark() const { return mark_; }
    // Was the file's line (counted from 1) read as Windows-1252?
    bool LineIsLatin(std::uint32_t fileLine) const;
    // Repairs of the last load: "}" lines appended, bare words turned into container headers.
    int AddedClosingBrackets() const { return addedClosing_; }
    int AddedHeaders() const { return addedHeaders_; }

    const std::vector<TConfigLine>& Lines() const { return lines_; }
    std::string_view LineName(const TConfigLine& line) const {
        return std::string_view(store_).substr(line.nameAt, line.nameLen);
    }
    std::string_view LineValue(const TConfigLine& line) const {
        return std::string_view(store_).substr(line.valueAt, line.valueLen);
    }
    // The flat list in its written form: "name=value", "name={", "name=}", bare words.
    std::vector<std::string> FlatLines() const;
    // The loaded file as tokens, to tell whether two files hold the same config: the file's encoding
    // and mark, then each node as its level, its text, and per line of it that is not ASCII whether
    // it was UTF-8 ("u") or Windows-1252 ("w"). Layout (indentation, blanks, line ends) is not in it.
    std::vector<std::string> Tokens() const;

private:
    bool Parse(std::string_view bytes, const std::string& path, const std::string& file);
    bool Tokenise(std::string_view text);
    bool Normalise(std::string_view raw, TLineCursor& cursor);
    bool RepairAndNest();
    void AddWord(std::string_view word, std::uint32_t fileLine, bool high);
    void AddTag(std::string_view name, std::string_view value, bool joined, bool braces, std::uint32_t fileLine,
                bool high);
    void AddLine(TConfigLineKind kind, std::uint32_t fileLine, std::uint32_t nameAt = 0, std::uint32_t nameLen = 0,
                 std::uint32_t valueAt = 0, std::uint32_t valueLen = 0, std::uint8_t marks = 0);
    // Where a name or a value is in the store: in the text being read, or added behind it.
    std::uint32_t Store(std::string_view text);
    bool Fail(std::string message);  // ends unloaded
    void Clear();
    // The node text of a Tag or Bare line; `sounds` numbers bare sound file names. `joins` gets the
    // offsets in the value of the "¶" that joined lines.
    void AppendNodeText(std::string& out, const TConfigLine& line, int& sounds,
                        std::vector<std::uint32_t>* joins = nullptr) const;
    // Room enough for the node text of a Tag or Bare line, as a rule.
    std::size_t NodeTextSize(const TConfigLine& line) const;
    // A node with nothing beyond ASCII, in a file without Windows-1252 lines, never needs an origin.
    bool MayNeedOrigin(const TConfigLine& line) const { return !latin_.empty() || (line.marks & kMayBeBeyondAscii); }
    std::unique_ptr<TNodeOrigin> OriginOf(const TConfigLine& line, const std::string& text,
                                          std::vector<std::uint32_t>& joins) const;

    IMessageSink* messages_;
    std::string loadedPath_;
    std::string loadedFile_;
    std::string error_;
    TextEncoding encoding_ = TextEncoding::Utf8;
    bool mark_ = false;
    std::vector<bool> latin_;  // by file line: read as Windows-1252 (empty when the file is UTF-8)
    bool created_ = false;   // the line list exists
    bool complete_ = false;  // the bracket check ran to its end
    int addedClosing_ = 0;
    int addedHeaders_ = 0;
    std::vector<TConfigLine> lines_;
    std::size_t opens_ = 0, closes_ = 0;  // "{" and "}" lines among them, for the bracket check
    std::string store_;      // the text read, then the names and values the reader made
    std::string_view text_;  // while reading: the text whose copy begins the store
    std::string spaced_;     // work buffer: one file line with its braces spaced
    std::string blanked_;    // work buffer: a value with its tabs made blanks
    std::string combined_;   // work buffer: a value with the part of its tag behind an "="
    std::string joined_;     // work buffer: a value over several file lines
    std::string scratch_;    // work buffer: braces half protected
    std::vector<std::size_t> open_;  // work buffer: the containers open while nesting
    std::vector<std::uint32_t> children_;  // by line: the number of children of a container's header
    // Work buffers of BuildTree, kept from one tree to the next.
    mutable std::vector<TOutlineNode*> parents_;
    mutable std::vector<std::uint32_t> joins_;
};

}  // namespace kelvarn
