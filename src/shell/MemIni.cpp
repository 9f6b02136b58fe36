#include "shell/MemIni.h"

#include "shell/Files.h"

namespace kelvarn {

namespace {
constexpr std::uint64_t kMaxSettingsFile = 64ull << 20;
}

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
    if (!FileExists(fileName_)) return;
    DecodedText decoded;
    loadError_ = ReadTextFile(fileName_, decoded, kMaxSettingsFile);
    if (!loadError_.empty()) return;
    encoding_ = decoded.encoding;
    const std::size_t firstEnd = decoded.text.find_first_of("\r\n");
    if (firstEnd != std::string::npos && decoded.text[firstEnd] == '\n') lineEnd_ = "\n";
    SetText(decoded.text);
}

void TMemIni::SetText(std::string_view text) {
    sections_.clear();
    Section* current = nullptr;
    for (const std::string& rawLine : SplitLines(text)) {
        const std::string line = Trim(rawLine);
        if (line.empty()) continue;
        const std::string name =
            line.size() > 2 && line.front() == '[' && line.back() == ']' ? Trim(std::string_view(line).substr(1, line.size() - 2)) : std::string();
        if (!name.empty()) {
            current = FindSection(name);
            if (!current) {
                sections_.push_back({name, {}});
                current = &sections_.back();
            }
            continue;
        }
        if (!current) {
            // Lines before the first section header belong to a nameless section written first.
            sections_.push_back({"", {}});
            current = &sections_.back();
        }
        const std::size_t eq = line.find('=');
        if (line.front() == ';' || eq == std::string::npos || eq == 0) {
            current->entries.push_back({"", line, true});
        } else {
            current->entries.push_back({TrimRight(std::string_view(line).substr(0, eq)), line.substr(eq + 1), false});
        }
    }
}

std::string TMemIni::GetText() const {
    std::string out;
    bool first = true;
    // Lines outside any section can only stand before the first header.
    std::vector<const Section*> order;
    for (const Section& s : sections_)
        if (s.name.empty()) order.insert(order.begin(), &s);
        else order.push_back(&s);
    for (const Section* section : order) {
        const Section& s = *section;
        if (s.name.empty() && s.entries.empty()) continue;
        if (!first) out += lineEnd_;
        first = false;
        if (!s.name.empty()) out += "[" + s.name + "]" + lineEnd_;
        for (const Entry& e : s.entries) out += (e.isRaw ? e.value : e.key + "=" + e.value) + lineEnd_;
    }
    return out;
}

const TMemIni::Section* TMemIni::FindSection(std::string_view name) const {
    for (const Section& s : sections_)
        if (SameText(s.name, name)) return &s;
    return nullptr;
}

TMemIni::Section* TMemIni::FindSection(std::string_view name) {
    for (Section& s : sections_)
        if (SameText(s.name, name)) return &s;
    return nullptr;
}

const std::string* TMemIni::FindValue(std::string_view section, std::string_view key) const {
    const Section* s = FindSection(section);
    if (!s) return nullptr;
    for (const Entry& e : s->entries)
        if (!e.isRaw && SameText(e.key, key)) return &e.value;
    return nullptr;
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
    if (!s) {
        sections_.push_back({std::string(section), {}});
        s = &sections_.back();
    }
    for (Entry& e : s->entries) {
        if (!e.isRaw && SameText(e.key, key)) {
            e.value.assign(value);
            return;
        }
    }
    s->entries.push_back({std::string(key), std::string(value), false});
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

void TMemIni::EraseSection(std::string_view section) {
    for (auto it = sections_.begin(); it != sections_.end(); ++it) {
        if (SameText(it->name, section)) {
            sections_.erase(it);
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
            return;
        }
    }
}

std::string TMemIni::UpdateFile() {
    if (fileName_.empty()) return "The settings have no file name";
    return WriteTextFile(fileName_, GetText(), encoding_);
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
