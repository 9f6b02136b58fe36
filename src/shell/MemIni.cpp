#include "shell/MemIni.h"

#include "platform/FileSystemOps.h"
#include "shell/Files.h"
#include "shell/PathText.h"
#include "shell/TextCodec.h"

namespace kelvarn {

namespace {

constexpr std::uint64_t kMaxSettingsFile = 64ull << 20;
// How long an update waits for another writer of the file to finish: a write takes milliseconds.
constexpr int kLockWaitMs = 5000;
constexpr std::string_view kEncodedMark = "%kv%";
// A byte-order mark read as Windows-1252 (the rest of the file was no UTF-8).
constexpr std::string_view kMarkAs1252 = "\xC3\xAF\xC2\xBB\xC2\xBF";

// The lookup form of a name: SameText holds exactly for names of equal length and equal lower case.
std::string Fold(std::string_view name) { return std::to_string(name.size()) + ":" + LowerCase(name); }

// What a line loses at either end when it is read: blanks and every other control character.
bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

bool IsBlankLine(std::string_view line) {
    for (char c : line)
        if (!IsBlank(c)) return false;
    return true;
}

// One key of one section, as the lookups compare them.
std::string KeyId(std::string_view section, std::string_view key) { return Fold(section) + '\n' + Fold(key); }

bool KeyNeedsEncoding(std::string_view key) {
    return key.empty() || key.front() == ';' || key.front() == '[' || IsBlank(key.front()) || IsBlank(key.back()) ||
           key.find_first_of("=\r\n") != std::string_view::npos || StartsWith(key, kEncodedMark);
}

bool ValueNeedsEncoding(std::string_view value) {
    return (!value.empty() && IsBlank(value.back())) || value.find_first_of("\r\n") != std::string_view::npos ||
           StartsWith(value, kEncodedMark);
}

// A section name is trimmed when read, and a line break would end its header line.
bool SectionNeedsEncoding(std::string_view name) {
    return !name.empty() && (IsBlank(name.front()) || IsBlank(name.back()) || name.find_first_of("\r\n") != std::string_view::npos ||
                             StartsWith(name, kEncodedMark));
}

std::string Encode(std::string_view text) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out(kEncodedMark);
    for (char c : text) {
        if (c == '%' || c == '=' || IsBlank(c)) {
            const auto b = static_cast<unsigned char>(c);
            out += '%';
            out += digits[b >> 4];
            out += digits[b & 15];
        } else {
            out += c;
        }
    }
    return out;
}

// The text of an encoded key or value; any other text as it stands.
std::string Decode(std::string_view text) {
    if (!StartsWith(text, kEncodedMark)) return std::string(text);
    auto hex = [](char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    };
    std::string out;
    for (std::size_t i = kEncodedMark.size(); i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hex(text[i + 1]) >= 0 && hex(text[i + 2]) >= 0) {
            out += static_cast<char>(hex(text[i + 1]) * 16 + hex(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace

void TMemIni::Section::AddEntry(Entry entry) {
    if (!entry.isRaw) keys.emplace(Fold(entry.key), entries.size());
    entries.push_back(std::move(entry));
}

void TMemIni::Section::AddKey(Entry entry) {
    std::size_t at = entries.size();
    while (at > 0 && entries[at - 1].isRaw && IsBlankLine(entries[at - 1].value)) --at;
    if (at == entries.size()) return AddEntry(std::move(entry));
    // Only blank lines follow, and they are not in the index.
    keys.emplace(Fold(entry.key), at);
    entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(at), std::move(entry));
}

void TMemIni::Section::Reindex() {
    keys.clear();
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (!entries[i].isRaw) keys.emplace(Fold(entries[i].key), i);
}

const TMemIni::Entry* TMemIni::Section::Find(std::string_view key) const {
    const auto it = keys.find(Fold(key));
    return it == keys.end() ? nullptr : &entries[it->second];
}

TMemIni::Entry* TMemIni::Section::Find(std::string_view key) {
    const auto it = keys.find(Fold(key));
    return it == keys.end() ? nullptr : &entries[it->second];
}

namespace {

bool IsCommentLine(std::string_view line) { return !line.empty() && (line.front() == ';' || line.front() == '#'); }

// The name of a "[section]" line, which a comment may follow ("[Options] ; mine"); empty for any other
// line.
std::string SectionLineName(std::string_view line) {
    if (line.size() < 3 || line.front() != '[') return {};
    const std::size_t close = line.back() == ']' ? line.size() - 1 : line.rfind(']');
    if (close == std::string_view::npos || close < 2) return {};
    const std::string rest = Trim(line.substr(close + 1));
    if (!rest.empty() && rest.front() != ';') return {};
    return Trim(line.substr(1, close - 1));
}

// Settings text holds "[section]" lines (and "key=value" lines below them), or comments only. Anything
// else, say a picture or a document saved under the name, is not taken: rewriting it would lose it.
bool IsSettingsText(std::string_view text) {
    if (text.find('\0') != std::string_view::npos) return false;  // binary data
    bool hasLines = false;
    for (const std::string& rawLine : SplitLines(text)) {
        const std::string line = Trim(rawLine);
        if (line.empty() || IsCommentLine(line)) continue;
        hasLines = true;
        if (!SectionLineName(line).empty()) return true;
    }
    return !hasLines;
}

}  // namespace

std::string ApplyQuoteRule(std::string_view text) {
    if (text.size() < 2) return std::string(text);
    for (char q : {'"', '\''}) {
        if (text.front() == q && text.back() == q) {
            const std::string_view inner = text.substr(1, text.size() - 2);
            if (inner.find(q) == std::string_view::npos) return std::string(inner);
            return std::string(text);
        }
    }
    return std::string(text);
}

TMemIni::TMemIni(std::string fileName) : fileName_(std::move(fileName)) {
    if (fileName_.empty()) return;
    if (!PathExists(fileName_)) {
        // No file yet: one another writer makes meanwhile is merged with as any change of the file.
        MarkSynced();
        return;
    }
    if (!FileExists(fileName_)) {
        loadError_ = "Unable to read " + fileName_ + ": it is not a file";
        return;
    }
    // The stamp is taken before the file is read: a change made while reading shows as a new stamp.
    RecordStamp(platform::FileClockNow());
    std::string bytes;
    loadError_ = ReadFileBytes(fileName_, bytes, kMaxSettingsFile);
    if (loadError_.empty()) Load(std::move(bytes));
}

void TMemIni::Load(std::string bytes) {
    DecodedText decoded;
    loadError_ = DecodeFileText(fileName_, bytes, decoded);
    if (!loadError_.empty()) return;
    if (!IsSettingsText(decoded.text)) {
        loadError_ = "Unable to read " + fileName_ + ": it holds no [section] and key=value lines";
        return;
    }
    encoding_ = decoded.encoding;
    // A mark before text that is no UTF-8 is still a mark, not three characters of the first line.
    if (encoding_ == TextEncoding::Windows1252 && StartsWith(decoded.text, kMarkAs1252))
        decoded.text.erase(0, kMarkAs1252.size());
    const std::size_t firstEnd = decoded.text.find_first_of("\r\n");
    if (firstEnd != std::string::npos && decoded.text[firstEnd] == '\n') lineEnd_ = "\n";
    syncedBytes_ = std::move(bytes);
    SetText(decoded.text);
    MarkSynced();
}

void TMemIni::SetText(std::string_view text) {
    sections_.clear();
    sectionIndex_.clear();
    Section* current = nullptr;
    // Every line is kept as it stands (blank lines, comments, the spacing of headers and keys): an
    // update writes again only what changed.
    for (const std::string& rawLine : SplitLines(text)) {
        const std::string line = Trim(rawLine);
        const std::string name = SectionLineName(line);
        if (!name.empty()) {
            const std::string decoded = Decode(name);
            if (Section* seen = FindSection(decoded)) {
                // A second header of a section: its keys join the first, its line stays among them.
                current = seen;
                current->AddEntry({"", rawLine, true});
            } else {
                current = &AddSection(decoded);
                current->header = rawLine;
            }
            continue;
        }
        if (!current) {
            // Lines before the first section header belong to a nameless section written first.
            current = &AddSection("");
        }
        const std::size_t eq = line.find('=');
        if (line.empty() || line.front() == ';' || eq == std::string::npos || eq == 0) {
            current->AddEntry({"", rawLine, true});
        } else {
            std::string key = Decode(TrimRight(std::string_view(line).substr(0, eq)));
            std::string value = Decode(line.substr(eq + 1));
            current->fileLines.emplace(Fold(key), FileLine{value, rawLine});
            FileLine own{value, rawLine};
            current->AddEntry({std::move(key), std::move(value), false, std::move(own)});
        }
    }
}

std::string TMemIni::GetText() const { return ComposeText(lineEnd_); }

std::string TMemIni::ComposeText(std::string_view lineEnd) const {
    std::string out;
    bool afterBlank = true;  // at the start, or after a blank line
    const auto put = [&](std::string_view line) {
        out.append(line).append(lineEnd);
        afterBlank = IsBlankLine(line);
    };
    // Lines outside any section can only stand before the first header.
    std::vector<const Section*> order;
    for (const Section& s : sections_)
        if (s.name.empty()) order.insert(order.begin(), &s);
        else order.push_back(&s);
    for (const Section* section : order) {
        const Section& s = *section;
        if (s.name.empty() && s.entries.empty()) continue;
        if (!s.header.empty()) {
            put(s.header);
        } else if (!s.name.empty()) {
            // A section added here stands apart from the one before it.
            if (!afterBlank) put("");
            put("[" + (SectionNeedsEncoding(s.name) ? Encode(s.name) : s.name) + "]");
        }
        for (const Entry& e : s.entries) {
            if (e.isRaw) {
                put(e.value);
                continue;
            }
            if (!e.file.line.empty() && e.file.value == e.value)
                put(e.file.line);
            else if (const auto kept = s.fileLines.find(Fold(e.key)); kept != s.fileLines.end() && kept->second.value == e.value)
                put(kept->second.line);
            else
                put((KeyNeedsEncoding(e.key) ? Encode(e.key) : e.key) + "=" +
                    (ValueNeedsEncoding(e.value) ? Encode(e.value) : e.value));
        }
    }
    return out;
}

const TMemIni::Section* TMemIni::FindSection(std::string_view name) const {
    const auto it = sectionIndex_.find(Fold(name));
    return it == sectionIndex_.end() ? nullptr : &sections_[it->second];
}

TMemIni::Section* TMemIni::FindSection(std::string_view name) {
    const auto it = sectionIndex_.find(Fold(name));
    return it == sectionIndex_.end() ? nullptr : &sections_[it->second];
}

TMemIni::Section& TMemIni::AddSection(std::string name) {
    sectionIndex_.emplace(Fold(name), sections_.size());
    sections_.push_back({std::move(name), {}, {}, {}, {}});
    return sections_.back();
}

void TMemIni::ReindexSections() {
    sectionIndex_.clear();
    for (std::size_t i = 0; i < sections_.size(); ++i) sectionIndex_.emplace(Fold(sections_[i].name), i);
}

const std::string* TMemIni::FindValue(std::string_view section, std::string_view key) const {
    const Section* s = FindSection(section);
    if (!s) return nullptr;
    const Entry* e = s->Find(key);
    return e ? &e->value : nullptr;
}

std::string TMemIni::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
    const std::string* v = FindValue(section, key);
    return ApplyQuoteRule(v ? std::string_view(*v) : def);
}

long long TMemIni::ReadInteger(std::string_view section, std::string_view key, long long def) const {
    const std::string text = ReadString(section, key, "");
    long long value = 0;
    return TryParseInt(text, value) ? value : def;
}

bool TMemIni::ReadBool(std::string_view section, std::string_view key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TMemIni::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    Section* s = FindSection(section);
    if (!s) s = &AddSection(std::string(section));
    if (Entry* e = s->Find(key)) {
        e->value.assign(value);
        return;
    }
    s->AddKey({std::string(key), std::string(value), false});
}

void TMemIni::WriteInteger(std::string_view section, std::string_view key, long long value) {
    WriteString(section, key, std::to_string(value));
}

void TMemIni::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

bool TMemIni::SectionExists(std::string_view section) const { return FindSection(section) != nullptr; }

bool TMemIni::ValueExists(std::string_view section, std::string_view key) const {
    return FindValue(section, key) != nullptr;
}

void TMemIni::ReadSection(std::string_view section, std::vector<std::string>& keys) const {
    keys.clear();
    if (const Section* s = FindSection(section))
        for (const Entry& e : s->entries)
            if (!e.isRaw) keys.push_back(e.key);
}

void TMemIni::ReadSections(std::vector<std::string>& sections) const {
    sections.clear();
    for (const Section& s : sections_)
        if (!s.name.empty()) sections.push_back(s.name);
}

void TMemIni::ReadSectionValues(std::string_view section, std::vector<std::string>& lines) const {
    lines.clear();
    if (const Section* s = FindSection(section))
        for (const Entry& e : s->entries)
            if (!e.isRaw) lines.push_back(e.key + "=" + ApplyQuoteRule(e.value));
}

void TMemIni::ReadRawValues(std::string_view section, std::vector<std::string>& values) const {
    values.clear();
    if (const Section* s = FindSection(section))
        for (const Entry& e : s->entries)
            if (!e.isRaw) values.push_back(e.value);
}

void TMemIni::EraseSection(std::string_view section) {
    for (auto it = sections_.begin(); it != sections_.end(); ++it) {
        if (SameText(it->name, section)) {
            sections_.erase(it);
            ReindexSections();
            return;
        }
    }
}

void TMemIni::DeleteKey(std::string_view section, std::string_view key) {
    Section* s = FindSection(section);
    if (!s) return;
    for (auto it = s->entries.begin(); it != s->entries.end(); ++it) {
        if (!it->isRaw && SameText(it->key, key)) {
            s->entries.erase(it);
            s->Reindex();
            return;
        }
    }
}

void TMemIni::MarkSynced() {
    synced_ = GetText();
    hasSynced_ = true;
}

void TMemIni::RecordStamp(std::int64_t clock) {
    stamp_.known = platform::FileStamp(NativePath(fileName_), stamp_.size, stamp_.time);
    stamp_.clock = clock;
}

// Loads `disk` from the file when it holds what this store has not seen. Its stamp alone answers when
// the file last changed well before the stamp was taken; otherwise its bytes, read once, answer.
bool TMemIni::ReadChangedFile(TMemIni& disk) {
    Stamp now;
    now.clock = platform::FileClockNow();
    now.known = platform::FileStamp(NativePath(fileName_), now.size, now.time);
    if (!now.known) return false;  // gone: nothing to merge
    if (stamp_.known && now.size == stamp_.size && now.time == stamp_.time && platform::StampSettled(now.time, stamp_.clock))
        return false;
    std::string bytes;
    if (!ReadFileBytes(fileName_, bytes, kMaxSettingsFile).empty()) return false;
    if (bytes == syncedBytes_) {
        stamp_ = now;
        return false;
    }
    disk.fileName_ = fileName_;
    disk.stamp_ = now;
    disk.Load(std::move(bytes));
    return !disk.FileProtected();
}

std::vector<TMemIni::OwnWrite> TMemIni::ChangesAgainst(const TMemIni& base) const {
    std::vector<OwnWrite> changes;
    for (const Section& s : sections_)
        for (const Entry& e : s.entries)
            if (!e.isRaw)
                if (const std::string* was = base.FindValue(s.name, e.key); !was || *was != e.value)
                    changes.push_back({s.name, e.key, 0});
    for (const Section& s : base.sections_)
        for (const Entry& e : s.entries)
            if (!e.isRaw && !FindValue(s.name, e.key)) changes.push_back({s.name, e.key, 0});
    return changes;
}

void TMemIni::CopyKeyTo(TMemIni& other, const std::string& section, const std::string& key) const {
    if (const std::string* mine = FindValue(section, key))
        other.WriteString(section, key, *mine);
    else
        other.DeleteKey(section, key);
}

void TMemIni::MergeFromDisk(TMemIni& disk) {
    // The file as it is now is what an update keeps the lines of.
    syncedBytes_ = std::move(disk.syncedBytes_);
    stamp_ = disk.stamp_;
    encoding_ = disk.encoding_;
    std::string diskText = disk.GetText();
    if (diskText == synced_) return;
    // A file older than the one that took a key of this store there is no later change of another
    // writer: it was written before, and its rename overtook this store's. What this store wrote stays.
    if (disk.stamp_.known)
        for (const auto& [id, own] : ownWrites_)
            if (disk.stamp_.time < own.time) CopyKeyTo(disk, own.section, own.key);
    // Another writer (a second copy of the program, or the user's editor) changed the file since it was
    // read: what this store changed since then goes over the disk's text, the rest stays the disk's.
    TMemIni base;
    base.SetText(synced_);
    for (const OwnWrite& change : ChangesAgainst(base)) CopyKeyTo(disk, change.section, change.key);
    // A section this store erased goes when the other writer left nothing of its own in it.
    for (const Section& s : base.sections_)
        if (!FindSection(s.name))
            if (const Section* left = disk.FindSection(s.name); left && left->keys.empty()) disk.EraseSection(s.name);
    sections_ = std::move(disk.sections_);
    sectionIndex_ = std::move(disk.sectionIndex_);
    // From now on this store's own changes are those against the disk's text: should the write fail,
    // a later merge must not take the disk's values merged here for changes of this store.
    synced_ = std::move(diskText);
}

std::string TMemIni::UpdateFile() {
    if (fileName_.empty()) return "The settings have no file name";
    if (FileProtected()) return {};  // never over a file that could not be read
    // Other copies of the program write the file too: none of them may read it between this store's
    // reading and its rename, or the later rename would drop what the earlier one wrote. A lock file
    // that cannot be opened at all leaves the write to meet the folder's refusal itself.
    const std::string lockFile = fileName_ + ".lock";
    const platform::TFileLock lock(NativePath(lockFile), kLockWaitMs);
    if (lock.TimedOut()) return "Unable to save " + fileName_ + ": another program keeps " + lockFile + " locked";
    return WriteLocked();
}

std::string TMemIni::WriteLocked() {
    if (TMemIni disk; hasSynced_ && ReadChangedFile(disk)) MergeFromDisk(disk);
    // What this write changes in the file: the keys this store wrote or deleted since the file was as
    // it knows it.
    std::vector<OwnWrite> changed;
    if (hasSynced_) {
        TMemIni base;
        base.SetText(synced_);
        changed = ChangesAgainst(base);
    }
    TTextDocument document;
    if (!syncedBytes_.empty()) DecodeDocument(syncedBytes_, document);
    std::string text = ComposeText("\n");
    // A file whose last line has no line end keeps it so.
    if (!document.lines.empty() && !document.lines.back().text.empty() && !text.empty()) text.pop_back();
    SetDocumentText(document, text);
    std::string bytes = EncodeDocument(document);
    const std::int64_t clock = platform::FileClockNow();
    if (std::string error = WriteFileAtomic(fileName_, bytes); !error.empty()) return error;
    syncedBytes_ = std::move(bytes);
    RecordStamp(clock);
    MarkSynced();
    for (OwnWrite& own : changed) {
        own.time = stamp_.time;
        ownWrites_[KeyId(own.section, own.key)] = std::move(own);
    }
    return {};
}

void ReadValueList(const TMemIni& ini, std::string_view section, std::vector<std::string>& list) {
    std::vector<std::string> lines;
    ini.ReadSectionValues(section, lines);
    list.clear();
    for (const std::string& line : lines) list.push_back(line.substr(line.find('=') + 1));
}

void ClearSection(TMemIni& ini, std::string_view section) {
    std::vector<std::string> keys;
    ini.ReadSection(section, keys);
    for (const std::string& key : keys) ini.DeleteKey(section, key);
}

void WriteNumberedList(TMemIni& ini, std::string_view section, const std::vector<std::string>& list) {
    ClearSection(ini, section);
    for (std::size_t i = 0; i < list.size(); ++i) ini.WriteString(section, std::to_string(i + 1), list[i]);
}

void WriteNameValueList(TMemIni& ini, std::string_view section, const std::vector<std::string>& list) {
    ClearSection(ini, section);
    for (const std::string& line : list) {
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        ini.WriteString(section, line.substr(0, eq), line.substr(eq + 1));
    }
}

int SectionKeyCount(const TMemIni& ini, std::string_view section) {
    std::vector<std::string> keys;
    ini.ReadSection(section, keys);
    return static_cast<int>(keys.size());
}

}  // namespace kelvarn
