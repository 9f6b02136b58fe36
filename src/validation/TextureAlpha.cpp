// Mode "alpha": a descriptor's separate alpha image is merged into a 32-bit TGA of its primary, and
// the descriptor then names that TGA twice.
#include "shell/Files.h"
#include "shell/PathText.h"
#include "shell/Text.h"
#include "validation/TextureRepairWork.h"

namespace kelvarn {

namespace {

// Replaces the first occurrence of `from` (ignoring case) in the value part of a line.
std::string ReplaceInValue(std::string_view line, std::size_t eq, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(line);
    const std::size_t at = FindText(line, from, eq + 1);
    if (at == std::string_view::npos) return std::string(line);
    return std::string(line.substr(0, at)) + std::string(to) + std::string(line.substr(at + from.size()));
}

struct TMerge {
    std::string Descriptor;
    std::string Folder;
    std::string Primary, Alpha;  // lower case, as the descriptor names them
    std::string Target;          // the TGA to write
    std::string Merged;          // its name as the descriptor will hold it
};

// The merged picture, or the line that says why there is none.
std::string MergePictures(TRepairRun& run, const TMerge& m, Image32& merged) {
    Image32 alpha;
    int kind = 0;
    if (!run.LoadBitmap(run.Resolve(m.Folder, m.Primary), merged, kind) ||
        !run.LoadBitmap(run.Resolve(m.Folder, m.Alpha), alpha, kind))
        return "Unable to load images: " + m.Primary + ", " + m.Alpha;
    if (merged.Width != alpha.Width || merged.Height != alpha.Height)
        return "Alpha and primary images are not the same size: " + m.Primary + ", " + m.Alpha;
    for (std::size_t i = 0; i < merged.Pixels.size(); ++i)
        merged.Pixels[i] = (merged.Pixels[i] & 0x00FFFFFFu) | (std::uint32_t{IntensityOf(alpha.Pixels[i])} << 24);
    merged.Depth = 32;
    return {};
}

// Writes the TGA and then the descriptor; the line to report, empty when both were written.
std::string WriteMerge(TRepairRun& run, const TMerge& m, Image32& merged) {
    for (const std::string* path : {&m.Target, &m.Descriptor})
        if (std::string error = run.PrepareChange(*path); !error.empty()) return error;
    DecodedText text;
    if (!ReadTextFile(m.Descriptor, text).empty()) return "Unable to process file: " + m.Descriptor;
    if (!run.Facade.SaveTGA(m.Target, merged, 1)) return "Unable to save file: " + m.Merged;
    const std::string rewritten = RewriteDescriptorNames(text.text, m.Primary, m.Alpha, m.Merged);
    if (!WriteTextFile(m.Descriptor, rewritten, text.encoding).empty()) return "Unable to save file: " + m.Descriptor;
    return {};
}

// Both images must exist; each missing one goes to the missing list and the merge ends quietly.
std::string MergeAlphaIntoTga(TRepairRun& run, TMerge& m) {
    bool missing = false;
    for (const std::string* name : {&m.Primary, &m.Alpha}) {
        const std::string path = run.Resolve(m.Folder, *name);
        if (!FileExists(path)) {
            run.AddMissing(path);
            missing = true;
        }
    }
    if (missing) return {};
    m.Merged = ChangeFileExt(m.Primary, ".tga");
    m.Target = run.Resolve(m.Folder, m.Merged);
    // A name that leads out of the asset is never written.
    if (!run.InsideAsset(m.Target)) return "Unable to process file: " + m.Merged;
    Image32 merged;
    if (std::string line = MergePictures(run, m, merged); !line.empty()) return line;
    if (run.ReportOnly()) return {};
    return WriteMerge(run, m, merged);
}

}  // namespace

std::string RewriteDescriptorNames(std::string_view text, std::string_view primary, std::string_view alpha,
                                   std::string_view merged) {
    std::string out;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        end = end == std::string_view::npos ? text.size() : end + 1;
        std::string_view line = text.substr(start, end - start);
        std::size_t body = line.size();
        while (body > 0 && (line[body - 1] == '\n' || line[body - 1] == '\r')) --body;
        const std::string_view content = line.substr(0, body);
        const std::size_t eq = content.find('=');
        std::string changed(content);
        if (eq != std::string_view::npos) {
            const std::string key = LowerCase(Trim(content.substr(0, eq)));
            if (key == "primary") changed = ReplaceInValue(content, eq, primary, merged);
            else if (key == "alpha") changed = ReplaceInValue(content, eq, alpha, merged);
        }
        out += changed;
        out += line.substr(body);
        start = end;
    }
    return out;
}

void CheckAlphaImages(TRepairRun& run, std::vector<std::string>& lines) {
    const std::vector<std::string> descriptors = run.FilesBelow({".texture.txt"});
    for (std::size_t i = 0; i < descriptors.size(); ++i) {
        run.Progress(i, descriptors.size());
        const TDescriptorImages images = ReadDescriptorImages(descriptors[i]);
        TMerge m{descriptors[i], ExtractFileDir(descriptors[i]), LowerCase(images.Primary), LowerCase(images.Alpha),
                 {}, {}};
        if (m.Primary.empty() || m.Alpha.empty() || m.Primary == m.Alpha) continue;
        if (std::string line = MergeAlphaIntoTga(run, m); !line.empty()) lines.push_back(line);
    }
}

}  // namespace kelvarn
