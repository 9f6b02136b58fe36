#include "shell/TextLibrary.h"

#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/Strings.h"
#include "shell/Text.h"
#include "shell/ViewerChoice.h"

namespace kelvarn {

namespace {

constexpr std::size_t kAlertLineLimit = 20;

// Operations the library has never offered: asking for them is refused before the call.
bool KnownOperation(int op) { return op >= 1 && op <= 14; }

}  // namespace

bool CallTextLibrary(TProgramState& state, int op, const std::string& file, std::vector<std::string>& lines) {
    lines.clear();
    if (!state.TextLibrary || !KnownOperation(op)) return false;
    return state.TextLibrary->CallTextLibrary(op, file, lines);
}

void QueryImageSize(TProgramState& state, const std::string& path) {
    std::vector<std::string> lines;
    long long width = 0, height = 0;
    // One line, or lines that are no numbers, measure nothing: the record is zeroed as with none.
    if (!CallTextLibrary(state, toImageSize, path, lines) || lines.size() < 2 ||
        !TryParseInt(Trim(lines[0]), width) || !TryParseInt(Trim(lines[1]), height)) {
        state.ImageSizeInfo = {};
        return;
    }
    const auto relative = AssetRelativePath(path, state.AssetPath());
    state.ImageSizeInfo.Path = relative ? *relative : ReplaceChar(path, '\\', '/');
    state.ImageSizeInfo.Width = static_cast<int>(width);
    state.ImageSizeInfo.Height = static_cast<int>(height);
}

void QueryMeshTextureProblems(TProgramState& state, const std::string& path) {
    std::vector<std::string> lines;
    CallTextLibrary(state, toTextureProblems, path, lines);
    // No answer at all would otherwise leave the previous mesh's problems standing for this one.
    if (lines.empty() || lines.front() == "  none") lines.clear();
    state.TextureProblems = std::move(lines);
}

void TextCallRequest(TProgramState& state, const std::string& text) {
    const std::size_t bar = text.find('|');
    long long op = 0;
    if (bar == std::string::npos || !TryParseInt(Trim(text.substr(0, bar)), op)) return;
    state.ReportLines.clear();
    if (op < 1 || op > 14) return;
    CallTextLibrary(state, static_cast<int>(op), text.substr(bar + 1), state.ReportLines);
}

TTextReportPlan PlanTextReport(int op, const std::string& caption, const std::vector<std::string>& lines) {
    TTextReportPlan plan;
    if (lines.size() > kAlertLineLimit) {
        plan.inViewer = true;
        return plan;
    }
    plan.inImageView = op == toTextureDescriptor || op == toImageSize;
    plan.alertText = UpperCase(caption);
    for (const std::string& line : lines) plan.alertText += "\r\n" + line;
    return plan;
}

TFileHeaderReport FileHeaderReport(const std::string& path) {
    const std::string ext = LowerCase(ExtractFileExt(path));
    if (ext == ".im" || ext == ".pm" || ext == ".kin") return {toFileDump, "Mesh File Data: " + ExtractFileName(path)};
    if (ext == ".tga") return {toTgaHeader, "TGA Header"};
    if (ext == ".bmp") return {toBmpHeader, "BMP Header"};
    return {};
}

}  // namespace kelvarn
