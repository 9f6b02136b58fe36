// Data Fill's entries from the asset folder: files by kind, and the attachment points of its meshes.
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "media/GridModel.h"
#include "shell/Mesh.h"
#include "shell/PathText.h"
#include "shell/Text.h"

namespace kelvarn {

namespace {

namespace fs = std::filesystem;

struct TFileKind {
    std::string_view filter;
    std::vector<std::string_view> endings;
};

const TFileKind kFileKinds[] = {
    {"Images", {".tga", ".bmp", ".jpg"}},
    {"Meshes", {".im", ".pm", ".lm.txt"}},
    {"Points", {".im", ".pm"}},
    {"Sound Files", {".mp3", ".wav"}},
    {"Textures", {".texture.txt"}},
};

bool HasEnding(const std::string& name, const std::vector<std::string_view>& endings) {
    return std::any_of(endings.begin(), endings.end(), [&](std::string_view e) { return EndsWithText(name, e); });
}

// The files under the folder with one of the endings, as paths relative to it with "\".
std::vector<std::string> FindFiles(const std::string& folder, const std::vector<std::string_view>& endings) {
    std::vector<std::string> found;
    std::error_code error;
    const fs::path root = FsPath(folder);
    fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, error), end;
    for (; !error && it != end; it.increment(error)) {
        if (!it->is_regular_file(error)) continue;
        const std::string relative = ReplaceAll(PathString(it->path().lexically_relative(root)), "/", "\\");
        if (HasEnding(ExtractFileName(relative), endings)) found.push_back(relative);
    }
    return found;
}

std::string ShownName(std::string name) {
    // The text forms of mesh and texture files are listed by the names configs use.
    for (std::string_view ending : {".lm.txt", ".texture.txt"})
        if (EndsWithText(name, ending)) name.resize(name.size() - 4);
    return name;
}

}  // namespace

std::vector<std::string> FillFilterEntries(std::string_view filter, const std::string& assetFolder,
                                           const std::vector<std::string>& dependencyKuids) {
    std::vector<std::string> entries;
    if (filter == "KUIDs") {
        entries = dependencyKuids;
    } else if (!assetFolder.empty()) {
        for (const TFileKind& kind : kFileKinds) {
            if (kind.filter != filter) continue;
            for (const std::string& file : FindFiles(assetFolder, kind.endings)) {
                if (filter != "Points") {
                    entries.push_back(ShownName(file));
                    continue;
                }
                TMesh mesh(JoinPath(assetFolder, file));
                if (!mesh.SetActive(true).empty()) continue;  // a mesh the reader refuses offers no points
                // The path keeps "\", so the first "/" parts mesh and point.
                for (const std::string& point : MeshAttachmentNames(mesh))
                    entries.push_back(file + "/" + ReplaceAllText(point, ":CULL", ""));
            }
        }
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const std::string& a, const std::string& b) { return LowerCase(a) < LowerCase(b); });
    return entries;
}

}  // namespace kelvarn
