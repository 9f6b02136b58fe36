#include "media/LodFile.h"

#include <algorithm>

#include "shell/Files.h"

namespace kelvarn {
namespace {

constexpr std::uint64_t kMaxLodBytes = 1ull << 20;

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

std::string CutAt(std::string_view text, std::string_view stops) {
    const std::size_t at = text.find_first_of(stops);
    return Trim(at == std::string_view::npos ? text : text.substr(0, at));
}

// The line's value by the first rule that applies: quoted text, "=" up to ";", the second word.
std::string LineValue(std::string_view line, std::size_t keyEnd) {
    const std::size_t q1 = line.find('"');
    const std::size_t q2 = q1 == std::string_view::npos ? q1 : line.find('"', q1 + 1);
    if (q2 != std::string_view::npos) return std::string(line.substr(q1 + 1, q2 - q1 - 1));
    if (const std::size_t eq = line.find('='); eq != std::string_view::npos)
        return CutAt(line.substr(eq + 1), ";");
    std::string_view rest = line.substr(keyEnd);
    const std::size_t start = rest.find_first_not_of(" \t");
    if (start == std::string_view::npos) return {};
    rest.remove_prefix(start);
    return std::string(rest.substr(0, rest.find_first_of(" \t")));
}

double PercentValue(const std::string& text) {
    double v = 0;
    return TryParseDouble(text, v) ? v : 0.0;
}

std::string OrZero(const std::string& text) { return text.empty() ? std::string("0.0") : text; }

}  // namespace

std::vector<std::string> LodFile::DefaultLines() {
    return {"version 1.0",           "offset = 0.01;",        "calcPoint = center;",
            "multiplier = 1.0;",     "animationCutOff = 0.00;", "renderCutOff = 0.00;",
            "attachmentCutOff = 0.00;"};
}

namespace {

// The file's statements: a line's text split after each ";" and at each brace outside double
// quotes, so that a block reads the same on one line as over three.
std::vector<std::string> Statements(const std::vector<std::string>& lines) {
    std::vector<std::string> out;
    for (const std::string& line : lines) {
        std::string current;
        bool quoted = false;
        auto flush = [&] {
            if (!Trim(current).empty()) out.push_back(Trim(current));
            current.clear();
        };
        for (char c : line) {
            if (c == '"') quoted = !quoted;
            if (!quoted && (c == '{' || c == '}')) {
                flush();
                continue;
            }
            current += c;
            if (!quoted && c == ';') flush();
        }
        flush();
    }
    return out;
}

}  // namespace

LodFile LodFile::Parse(std::string_view text) {
    std::vector<std::string> lines = SplitLines(text);
    if (Trim(text).empty()) lines = DefaultLines();
    LodFile lod;
    for (const std::string& line : Statements(lines)) {
        std::size_t keyEnd = 0;
        while (keyEnd < line.size() && IsLetter(line[keyEnd])) ++keyEnd;
        const std::string key = LowerCase(std::string_view(line).substr(0, keyEnd));
        // A value never holds a double quote, and a setting (written unquoted) never a ";" or a brace:
        // what the writer puts back must read as the same text.
        const std::string value = CutAt(LineValue(line, keyEnd), "\"");
        const std::string setting = CutAt(value, ";{}");
        if (key == "version") lod.Version = CutAt(setting, " \t=");
        else if (key == "offset") lod.Offset = setting;
        else if (key == "calcpoint") lod.CalcPoint = setting;
        else if (key == "multiplier") lod.Multiplier = setting;
        else if (key == "animationcutoff") lod.AnimationCutOff = setting;
        else if (key == "rendercutoff") lod.RenderCutOff = setting;
        else if (key == "attachmentcutoff") lod.AttachmentCutOff = setting;
        else if (key == "mesh") lod.Meshes.push_back({value, {}, false});
        else if (key == "name" && !lod.Meshes.empty()) {
            lod.Meshes.back().File = value;
            lod.Meshes.back().Ticked = true;
        } else {
            lod.Unread.push_back(line);
        }
    }
    return lod;
}

std::vector<std::string> LodFile::Lines() const {
    std::vector<std::string> lines = {
        "version " + OrZero(Version),
        "offset = " + OrZero(Offset) + ";",
        "calcPoint = " + CalcPoint + ";",
        "multiplier = " + OrZero(Multiplier) + ";",
        "animationCutOff = " + OrZero(AnimationCutOff) + ";",
        "renderCutOff = " + OrZero(RenderCutOff) + ";",
        "attachmentCutOff = " + OrZero(AttachmentCutOff) + ";",
        "",
    };
    const std::size_t rows = std::min<std::size_t>(Meshes.size(), kLodEditorRows);
    std::vector<std::string> percents;
    for (std::size_t i = 0; i < rows; ++i) percents.push_back(Meshes[i].Percent);
    const std::vector<bool> red = CheckMeshOrder(percents);
    for (std::size_t i = 0; i < rows; ++i) {
        const TLodMeshRow& row = Meshes[i];
        if (!row.Ticked || red[i] || row.File.empty()) continue;
        lines.push_back("mesh(\"" + OrZero(row.Percent) + "\") {");
        lines.push_back("  name=\"" + row.File + "\";");
        lines.push_back("}");
    }
    // Rows past the editor's six cannot be changed there: they go back as the file had them.
    for (std::size_t i = rows; i < Meshes.size(); ++i) {
        const TLodMeshRow& row = Meshes[i];
        lines.push_back("mesh(\"" + row.Percent + "\") {");
        if (row.Ticked) lines.push_back("  name=\"" + row.File + "\";");
        lines.push_back("}");
    }
    return lines;
}

std::string LodFile::Write() const { return JoinLines(Lines(), "\r\n"); }

std::vector<std::string> LodFile::MeshNames() const {
    std::vector<std::string> names;
    for (const TLodMeshRow& row : Meshes)
        if (!row.File.empty()) names.push_back(row.File);
    return names;
}

std::string LodFile::FirstMeshName() const {
    const std::vector<std::string> names = MeshNames();
    return names.empty() ? std::string() : names.front();
}

std::string LodFile::LastMeshName() const {
    const std::vector<std::string> names = MeshNames();
    return names.empty() ? std::string() : names.back();
}

std::vector<bool> CheckMeshOrder(const std::vector<std::string>& percents) {
    std::vector<bool> red(percents.size(), false);
    for (std::size_t i = 1; i < percents.size(); ++i)
        if (PercentValue(percents[i]) <= PercentValue(percents[i - 1])) {
            std::fill(red.begin() + static_cast<std::ptrdiff_t>(i), red.end(), true);
            break;
        }
    return red;
}

std::string ReadLodFile(std::string_view path, LodFile& lod, DecodedText* text) {
    DecodedText decoded;
    if (std::string error = ReadTextFile(path, decoded, kMaxLodBytes); !error.empty()) return error;
    lod = LodFile::Parse(decoded.text);
    if (text) *text = std::move(decoded);
    return {};
}

}  // namespace kelvarn
