#include "catalogue/UtilityRunner.h"

#include <bit>
#include <cctype>
#include <cstring>
#include <limits>

#if defined(__SSE2__) || defined(_M_X64) || defined(_M_AMD64)
#include <emmintrin.h>
#define KELVARN_KUID_SSE2 1
#endif

#include "catalogue/KuidMap.h"
#include "shell/CommandBus.h"
#include "shell/Files.h"
#include "shell/Macros.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/ReportLog.h"
#include "shell/RunCommand.h"
#include "shell/SettingsKeys.h"
#include "shell/Text.h"

namespace kelvarn {

std::string TUtilityItem::Field(std::size_t number) const {
    return number >= 1 && number <= fields.size() ? fields[number - 1] : std::string();
}

std::optional<TUtilityItem> ParseOutputLine(std::string_view line) {
    if (line.empty() || line.front() != '+') return std::nullopt;
    const std::string text = ReplaceAll(line, "/", "\\");
    TUtilityItem item;
    item.fields = SplitString(text, " : ");
    item.fields.front().erase(0, std::min<std::size_t>(2, item.fields.front().size()));
    return item;
}

TLetter StatusLetter(std::string_view letters, char upper) {
    const char lower = static_cast<char>(upper - 'A' + 'a');
    if (letters.find(upper) != std::string_view::npos) return TLetter::Yes;
    if (letters.find(lower) != std::string_view::npos) return TLetter::No;
    return TLetter::Absent;
}

namespace {

// Digits at `at`, with a "-" before them or none, that fit 32 bits; `at` moves past them.
bool ReadDigits(std::string_view text, std::size_t& at, std::int32_t& value) {
    const bool negative = at < text.size() && text[at] == '-';
    if (negative) ++at;
    const std::size_t digits = at;
    long long v = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9' && at - digits < 11; ++at) v = v * 10 + (text[at] - '0');
    if (negative) v = -v;
    if (at == digits || at - digits > 10 || v < std::numeric_limits<std::int32_t>::min() ||
        v > std::numeric_limits<std::int32_t>::max())
        return false;
    value = static_cast<std::int32_t>(v);
    return true;
}

// The whole text as such digits.
bool ParseInt32(std::string_view text, std::int32_t& value) {
    std::size_t at = 0;
    return ReadDigits(text, at, value) && at == text.size();
}

// The first field of a KUID, any case: "kuid" or "kuid2". (Text beyond ASCII is lower-cased as
// everywhere, where a sign may become a letter of the word.)
bool IsKuidWord(std::string_view field, std::string_view word) {
    for (char c : field)
        if (static_cast<unsigned char>(c) >= 0x80) return LowerCase(field) == word;
    if (field.size() != word.size()) return false;
    for (std::size_t i = 0; i < field.size(); ++i)
        if ((field[i] >= 'A' && field[i] <= 'Z' ? field[i] + 32 : field[i]) != word[i]) return false;
    return true;
}

std::string PlainKuid(const TKuidParts& k) {
    return "<kuid:" + std::to_string(k.user) + ":" + std::to_string(k.number) + ">";
}

// Digits up to `stop` at `at`, read as ParseInt32 reads them; false when there are none, another
// character comes first, or they do not fit.
bool ReadField(std::string_view text, std::size_t& at, char stop, std::int32_t& value) {
    if (!ReadDigits(text, at, value) || at >= text.size() || text[at] != stop) return false;
    ++at;
    return true;
}

// The usual form, "<kuid:" or "<kuid2:" in ASCII and digits in every field, read in one pass; null
// for anything else, which the general reading below then decides on.
std::optional<TKuidParts> ParseUsualKuid(std::string_view text) {
    if (text.size() < 9 || text[0] != '<' || (text[1] | 0x20) != 'k' || (text[2] | 0x20) != 'u' ||
        (text[3] | 0x20) != 'i' || (text[4] | 0x20) != 'd')
        return std::nullopt;
    const bool two = text[5] == '2';
    std::size_t at = two ? 6 : 5;
    if (text[at++] != ':') return std::nullopt;
    TKuidParts k;
    if (!ReadField(text, at, ':', k.user)) return std::nullopt;
    if (two) {
        std::int32_t version = 0;
        if (!ReadField(text, at, ':', k.number) || !ReadField(text, at, '>', version) || at != text.size() ||
            version < 0 || version > kNewestKuidVersion)
            return std::nullopt;
        k.version = version;
    } else if (!ReadField(text, at, '>', k.number) || at != text.size()) {
        return std::nullopt;
    }
    if (k.number < 0) return std::nullopt;
    return k;
}

}  // namespace

// Whole runs of digits and colons are looked at at once, so that numbers of any length cost no
// mispredicted branch.
bool IsUsualKuidText(std::string_view v) {
    if (v.size() < 10 || v.size() > 32 || v[0] != '<' || v.back() != '>' || (v[1] | 0x20) != 'k' ||
        (v[2] | 0x20) != 'u' || (v[3] | 0x20) != 'i' || (v[4] | 0x20) != 'd')
        return false;
    const bool two = v[5] == '2';
    const std::size_t first = two ? 7 : 6;
    if (v[first - 1] != ':') return false;
    const std::size_t length = v.size() - 1 - first;  // "U:N" or "U:N:V", at most 25 bytes
    const char* const body = v.data() + first;
    // Bit i of each mark: body[i] is a digit, a colon. The text's last 16 bytes are read where they
    // stand, and its first 16 when the body runs past them; only a text shorter than 16 is copied.
    const auto marks = [](const char* at, std::uint32_t& digits, std::uint32_t& colons) {
#ifdef KELVARN_KUID_SSE2
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        const __m128i offset = _mm_sub_epi8(x, _mm_set1_epi8('0'));
        digits = static_cast<std::uint32_t>(
            _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(offset, _mm_set1_epi8(9)), offset)));
        colons = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, _mm_set1_epi8(':'))));
#else
        digits = colons = 0;
        for (unsigned i = 0; i < 16; ++i) {
            digits |= std::uint32_t{static_cast<unsigned char>(at[i] - '0') < 10} << i;
            colons |= std::uint32_t{at[i] == ':'} << i;
        }
#endif
    };
    std::uint32_t digits = 0, colons = 0;
    if (v.size() < 16) {
        char copy[16] = {};
        std::memcpy(copy, body, length);
        marks(copy, digits, colons);
    } else {
        // The last 16 bytes end with ">", one past the body: body[i] is their bit i + shift.
        std::uint32_t d, c;
        marks(v.data() + v.size() - 16, d, c);
        const int shift = 15 - static_cast<int>(length);
        if (shift >= 0) {
            digits = d >> shift;
            colons = c >> shift;
        } else {
            digits = d << -shift;
            colons = c << -shift;
            std::uint32_t dl, cl;
            marks(body, dl, cl);  // length >= 16 here, so these 16 bytes are the text's
            digits |= dl;
            colons |= cl;
        }
    }
    const std::uint32_t within = (std::uint32_t{1} << length) - 1;
    digits &= within;
    colons &= within;
    // One colon, or two for the versioned form (counted without a library call).
    const std::uint32_t afterFirst = colons & (colons - 1);
    const std::uint32_t beyond = two ? afterFirst & (afterFirst - 1) : afterFirst;
    if ((digits | colons) != within || colons == 0 || (two && afterFirst == 0) || beyond != 0) return false;
    const auto userEnd = static_cast<std::size_t>(std::countr_zero(colons));
    const std::size_t numberEnd = two ? static_cast<std::size_t>(std::countr_zero(afterFirst)) : length;
    if (userEnd < 1 || userEnd > 9 || numberEnd - userEnd < 2 || numberEnd - userEnd > 10) return false;
    if (!two) return true;
    const std::size_t versionDigits = length - numberEnd - 1;
    if (versionDigits < 1 || versionDigits > 3) return false;
    int version = 0;
    for (std::size_t i = numberEnd + 1; i < length; ++i) version = version * 10 + (body[i] - '0');
    return version <= kNewestKuidVersion;
}

bool IsKuidText(std::string_view text) { return IsUsualKuidText(text) || ParseKuid(text).has_value(); }

std::optional<TKuidParts> ParseKuid(std::string_view raw) {
    // Read where it stands: list edits check thousands of rows at a time.
    std::string_view text = TrimView(raw);
    if (std::optional<TKuidParts> usual = ParseUsualKuid(text)) return usual;
    if (text.size() < 2 || text.front() != '<' || text.back() != '>') return std::nullopt;
    text = text.substr(1, text.size() - 2);
    std::string_view parts[4];
    std::size_t count = 0;
    for (std::size_t from = 0;;) {
        if (count == 4) return std::nullopt;
        const std::size_t colon = text.find(':', from);
        parts[count++] = text.substr(from, colon == std::string_view::npos ? std::string_view::npos : colon - from);
        if (colon == std::string_view::npos) break;
        from = colon + 1;
    }
    TKuidParts k;
    if (count == 3 && IsKuidWord(parts[0], "kuid")) {
    } else if (count == 4 && IsKuidWord(parts[0], "kuid2")) {
        std::int32_t version = 0;
        if (!ParseInt32(parts[3], version) || version < 0 || version > kNewestKuidVersion) return std::nullopt;
        k.version = version;
    } else {
        return std::nullopt;
    }
    if (!ParseInt32(parts[1], k.user) || !ParseInt32(parts[2], k.number) || k.number < 0) return std::nullopt;
    return k;
}

bool CompareKuids(std::string_view a, std::string_view b) {
    const std::optional<TKuidParts> ka = ParseKuid(a), kb = ParseKuid(b);
    return ka && kb && ka->user == kb->user && ka->number == kb->number;
}

std::vector<std::string> StatusLookupLines(const TKuidParts& k) {
    std::vector<std::string> lines{"status " + PlainKuid(k)};
    const std::string head = "status <kuid2:" + std::to_string(k.user) + ":" + std::to_string(k.number) + ":";
    for (int v = 1; v <= kNewestKuidVersion; ++v) lines.push_back(head + std::to_string(v) + ">");
    return lines;
}

std::optional<TUtilityItem> FindInstalled(const std::vector<std::string>& output, std::string_view kuid) {
    for (auto line = output.rbegin(); line != output.rend(); ++line) {
        std::optional<TUtilityItem> item = ParseOutputLine(*line);
        if (item && StatusLetter(item->Field(2), 'I') == TLetter::Yes && CompareKuids(item->Field(1), kuid)) return item;
    }
    return std::nullopt;
}

std::vector<std::string> AssetDetailsLines(const TUtilityItem& item) {
    std::vector<std::string> lines{"Latest Installed Version: " + item.Field(1), "Username: " + item.Field(4),
                                   "Category: " + item.Field(3), ""};
    struct Row {
        char letter;
        const char* yes;
        const char* no;
    };
    static const Row rows[] = {{'E', "Open for editing", "Not open for editing"},
                               {'I', "Locally installed", "Not locally installed"},
                               {'D', "Available on DLS", "Not available on DLS"},
                               {'L', "Locally modified", "Not locally modified"},
                               {'M', "Missing dependencies", "All dependencies installed"},
                               {'F', "Faulty", "Error free"}};
    const std::string letters = item.Field(2);
    for (const Row& row : rows) {
        const TLetter state = StatusLetter(letters, row.letter);
        if (state != TLetter::Absent) lines.push_back(std::string("- ") + (state == TLetter::Yes ? row.yes : row.no));
    }
    return lines;
}

TKuidRangeBatch KuidRangeBatch(const std::vector<std::string>& ranges) {
    TKuidRangeBatch batch;
    struct Range {
        std::string name;
        std::int32_t value = 0;
        bool valid = false;
    };
    std::vector<Range> entries;
    std::int32_t defaultValue = 1;
    for (const std::string& line : ranges) {
        const std::size_t eq = line.find('=');
        Range r;
        r.name = line.substr(0, eq);
        const std::string value = eq == std::string::npos ? std::string() : Trim(line.substr(eq + 1));
        r.valid = ParseInt32(value, r.value);
        if (SameText(Trim(r.name), "default") && r.valid) defaultValue = r.value;
        entries.push_back(std::move(r));
    }
    if (defaultValue == 1) {
        batch.error = "A default range must be specified";
        return batch;
    }
    for (const Range& r : entries) {
        if (!r.valid) {
            batch.error = "Ranges must be integer values";
            return batch;
        }
    }
    auto before = [](std::int32_t v) { return std::to_string(static_cast<long long>(v) - 1); };
    for (const Range& r : entries) {
        batch.lines.push_back("setnextcontentid \"" + before(r.value) + "\"");
        batch.lines.push_back("echo \"" + r.name + ": \"");
        batch.lines.push_back("generatekuid");
    }
    batch.lines.push_back("setnextcontentid \"" + before(defaultValue) + "\"");
    return batch;
}

std::vector<std::string> GeneratedKuidLines(const std::vector<std::string>& output) {
    std::string joined;
    for (const std::string& line : output) {
        if (line.empty() || StartsWith(line, "OK")) continue;
        joined += line;
    }
    // Each generated KUID goes on the line of the name echoed before it, after a tab.
    std::string text;
    std::size_t at = 0;
    while (at < joined.size()) {
        const std::size_t open = FindText(joined, "<kuid", at);
        if (open == std::string::npos) {
            text += joined.substr(at);
            break;
        }
        text += joined.substr(at, open - at);
        const std::size_t close = joined.find('>', open);
        const std::optional<TKuidParts> k =
            close == std::string::npos ? std::nullopt : ParseKuid(std::string_view(joined).substr(open, close - open + 1));
        if (!k) {
            text += joined.substr(open, 5);
            at = open + 5;
            continue;
        }
        text += "\t";
        text += k->version > 0 ? "<kuid2:" + std::to_string(k->user) + ":" + std::to_string(k->number) + ":" +
                                     std::to_string(k->version) + ">"
                               : PlainKuid(*k);
        at = close + 1;
    }
    std::vector<std::string> lines;
    std::string current;
    for (char c : text) {
        current.push_back(c);
        if (c == '>') {
            lines.push_back(std::move(current));
            current.clear();
        }
    }
    if (!current.empty()) lines.push_back(std::move(current));
    return lines;
}

int CountTextureGroups(const std::vector<std::string>& output) {
    int count = 0;
    for (const std::string& line : output) {
        const std::string trimmed = TrimLeft(line);
        if (StartsWithText(trimmed, "kind") && ContainsText(trimmed, "texture-group")) ++count;
    }
    return count;
}

TUtilityRunner::TUtilityRunner(TProgramState& state) : state_(state) {}

std::string TUtilityRunner::UtilityProgram() const {
    const std::string expanded = ExpandMacros(state_, "%trainz%\\bin\\TrainzUtil.exe");
    const std::string found = ResolvePathIgnoreCase(expanded);
    return NativePath(found.empty() ? expanded : found);
}

std::string TUtilityRunner::BatchFile() const { return ExpandMacros(state_, "%bin%\\trainzutil.batch"); }

void TUtilityRunner::TzuRequest(int job, std::string_view argument) {
    if (running_) {
        state_.Messages->Beep();
        return;
    }
    if (job < 0 || job >= 8) {
        state_.Messages->ShowMessage("Error in TZU");
        return;
    }
    switch (job) {
        case tjOpenForEditing:
        case tjCommit:
        case tjRevert:
        case tjAssetDetails: kuid_ = std::string(argument); break;
        case tjTextureGroups: text_ = std::string(argument); break;
        case tjCategorySearch: search_ = std::string(argument); break;
        default: break;
    }
    if (SetBusyCursor) SetBusyCursor(true);
    pending_ = job;
    if (StartTimer) StartTimer();
}

void TUtilityRunner::TimerFire() {
    if (running_) return;
    const int job = pending_;
    pending_ = 0;
    running_ = true;
    // The cursor comes back and the next request is taken whatever the job did.
    struct Restore {
        TUtilityRunner& r;
        ~Restore() {
            r.running_ = false;
            if (r.SetBusyCursor) r.SetBusyCursor(false);
        }
    } restore{*this};
    RunJob(job);
}

void TUtilityRunner::RunJob(int job) {
    switch (job) {
        case tjNothing: state_.Messages->ShowMessage("Nothing"); break;
        case tjOpenForEditing: OpenForEditing(); break;
        case tjCommit: SingleCommand("commit"); break;
        case tjRevert: SingleCommand("revert"); break;
        case tjTextureGroups: TextureGroups(); break;
        case tjAssetDetails: AssetDetails(); break;
        case tjCategorySearch: CategorySearch(); break;
        case tjGenerateKuids: GenerateKuids(); break;
        default: state_.Messages->ShowMessage("Error"); break;
    }
}

void TUtilityRunner::Alert(const std::string& text) { state_.SendCommand(ccAlert, text); }

bool TUtilityRunner::Run(const std::vector<std::string>& arguments, std::string_view shown, std::vector<std::string>& output) {
    TRunSwitches switches;
    switches.defaultProgramFallback = false;
    switches.timeLimitSeconds = TimeLimitSeconds;
    switches.cancelFails = true;
    output.clear();
    return RunArguments(state_, "", arguments, shown, &output, 1, 0, switches);
}

bool TUtilityRunner::RunWord(std::string_view word, std::string_view argument, std::vector<std::string>& output) {
    const std::string program = UtilityProgram();
    const std::string shown = "\"" + program + "\" " + std::string(word) + " \"" + std::string(argument) + "\"";
    return Run({program, std::string(word), std::string(argument)}, shown, output);
}

bool TUtilityRunner::RunBatch(const std::vector<std::string>& lines, std::vector<std::string>& output) {
    const std::string file = BatchFile();
    if (std::string error = WriteTextFile(file, JoinLines(lines, "\r\n"), TextEncoding::Windows1252); !error.empty()) {
        state_.Messages->ShowMessage(error, "", MessageKind::Error);
        return false;
    }
    const std::string program = UtilityProgram();
    const std::string argument = "@" + NativePath(file);
    return Run({program, argument}, "\"" + program + "\" \"" + argument + "\"", output);
}

std::optional<TUtilityItem> TUtilityRunner::StatusLookup(bool reportNoItems) {
    const std::optional<TKuidParts> kuid = ParseKuid(kuid_);
    if (!kuid) {
        Alert("Asset not locally available: " + kuid_);
        return std::nullopt;
    }
    std::vector<std::string> output;
    if (!RunBatch(StatusLookupLines(*kuid), output)) return std::nullopt;
    if (std::optional<TUtilityItem> item = FindInstalled(output, kuid_)) return item;
    bool anyItem = false;
    for (const std::string& line : output) anyItem = anyItem || ParseOutputLine(line).has_value();
    Alert(!anyItem && reportNoItems ? std::string("Asset not installed") : "Asset not locally available: " + kuid_);
    return std::nullopt;
}

void TUtilityRunner::OpenForEditing() {
    const std::optional<TUtilityItem> installed = StatusLookup(false);
    if (!installed) return;
    std::vector<std::string> output;
    if (!RunWord("edit", installed->Field(1), output)) return;
    const std::optional<TUtilityItem> item = output.empty() ? std::nullopt : ParseOutputLine(output.front());
    const std::string folder = item ? item->Field(2) : std::string();
    if (folder.empty() || !OpenAssetFolder || !OpenAssetFolder(folder)) Alert("Asset not found: " + kuid_);
}

void TUtilityRunner::SingleCommand(const char* word) {
    if (!ParseKuid(kuid_)) {
        Alert("Asset not locally available: " + kuid_);
        return;
    }
    std::vector<std::string> output;
    RunWord(word, kuid_, output);
}

void TUtilityRunner::TextureGroups() {
    std::vector<std::string> output;
    if (!RunWord("searchbycategory", "JO|TX;NEV", output)) return;
    std::vector<std::string> batch;
    for (const std::string& line : output) {
        const std::optional<TUtilityItem> item = ParseOutputLine(line);
        if (item && StartsWithText(item->Field(2), "<kuid")) batch.push_back("printconfig " + item->Field(2));
    }
    int count = 0;
    if (!batch.empty()) {
        if (!RunBatch(batch, output)) return;
        count = CountTextureGroups(output);
    }
    Alert("texture-group assets: " + std::to_string(count));
}

void TUtilityRunner::AssetDetails() {
    const std::optional<TUtilityItem> item = StatusLookup(true);
    if (!item) return;
    search_ = item->Field(3);
    if (state_.Viewer) state_.Viewer->ShowReportText("Asset Details", AssetDetailsLines(*item));
}

void TUtilityRunner::CategorySearch() {
    const DateTime start = state_.Clock->Now();
    const std::string search = search_;
    std::vector<std::string> output;
    if (!RunWord("searchbycategory", search, output)) return;
    std::vector<std::string> batch;
    for (const std::string& line : output) {
        const std::optional<TUtilityItem> item = ParseOutputLine(line);
        if (item && ContainsText(item->Field(2), "<kuid")) batch.push_back("status " + item->Field(2));
    }
    std::vector<std::string> found;
    if (!batch.empty()) {
        if (!RunBatch(batch, output)) return;
        for (const std::string& line : output)
            if (const std::optional<TUtilityItem> item = ParseOutputLine(line)) found.push_back(item->Field(1) + "\t" + item->Field(4));
    }
    const std::string title = "Searching: " + search + ", " + std::to_string(found.size()) + " Item(s) found";
    AddToLog(state_, "", title, found, start);
}

void TUtilityRunner::GenerateKuids() {
    std::vector<std::string> ranges;
    state_.Settings().ReadSectionValues(sections::KuidRange, ranges);
    const TKuidRangeBatch batch = KuidRangeBatch(ranges);
    if (!batch.error.empty()) {
        state_.Messages->ShowMessage(batch.error, "", MessageKind::Error);
        return;
    }
    std::vector<std::string> output;
    if (!RunBatch(batch.lines, output)) return;
    if (state_.Viewer) state_.Viewer->ShowReportText("Auto Generated KUID", GeneratedKuidLines(output));
}

}  // namespace kelvarn
