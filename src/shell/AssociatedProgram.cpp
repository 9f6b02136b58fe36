#include "shell/AssociatedProgram.h"

#include <cstdlib>
#include <vector>

#include "shell/Files.h"
#include "shell/MemIni.h"
#include "shell/PathText.h"
#include "shell/Text.h"

namespace kelvarn {

namespace {

constexpr std::uint64_t kMaxDatabaseFile = 16ull << 20;

std::vector<std::string> SplitList(const std::string& text, char sep) {
    std::vector<std::string> out;
    for (std::string& piece : SplitString(text, std::string(1, sep)))
        if (!piece.empty()) out.push_back(std::move(piece));
    return out;
}

struct XdgDirs {
    std::vector<std::string> data;    // data home first
    std::vector<std::string> config;  // config home first
    std::vector<std::string> path;
};

XdgDirs ReadDirs(const EnvironmentLookup& env) {
    XdgDirs dirs;
    const std::string home = env("HOME");
    std::string dataHome = env("XDG_DATA_HOME");
    if (dataHome.empty() && !home.empty()) dataHome = home + "/.local/share";
    std::string configHome = env("XDG_CONFIG_HOME");
    if (configHome.empty() && !home.empty()) configHome = home + "/.config";
    std::string dataDirs = env("XDG_DATA_DIRS");
    if (dataDirs.empty()) dataDirs = "/usr/local/share:/usr/share";
    std::string configDirs = env("XDG_CONFIG_DIRS");
    if (configDirs.empty()) configDirs = "/etc/xdg";
    if (!dataHome.empty()) dirs.data.push_back(dataHome);
    for (auto& d : SplitList(dataDirs, ':')) dirs.data.push_back(d);
    if (!configHome.empty()) dirs.config.push_back(configHome);
    for (auto& d : SplitList(configDirs, ':')) dirs.config.push_back(d);
    dirs.path = SplitList(env("PATH"), ':');
    return dirs;
}

// The MIME type whose glob matches the name best (highest weight, then longest pattern).
std::string MimeTypeOf(const std::string& fileName, const XdgDirs& dirs) {
    const std::string lowered = LowerCase(fileName);
    std::string best;
    long long bestWeight = -1;
    std::size_t bestLength = 0;
    for (const std::string& dir : dirs.data) {
        DecodedText globs;
        if (!ReadTextFile(dir + "/mime/globs2", globs, kMaxDatabaseFile).empty()) continue;
        for (const std::string& line : SplitLines(globs.text)) {
            if (line.empty() || line[0] == '#') continue;
            const auto fields = SplitString(line, ":");
            if (fields.size() < 3) continue;
            long long weight = 0;
            if (!TryParseInt(fields[0], weight)) continue;
            if (!MaskMatches(fields[2], lowered)) continue;
            if (weight > bestWeight || (weight == bestWeight && fields[2].size() > bestLength)) {
                best = fields[1];
                bestWeight = weight;
                bestLength = fields[2].size();
            }
        }
    }
    return best;
}

std::vector<std::string> DefaultApplications(const std::string& mime, const XdgDirs& dirs) {
    std::vector<std::string> files;
    for (const auto& d : dirs.config) files.push_back(d + "/mimeapps.list");
    for (const auto& d : dirs.data) {
        files.push_back(d + "/applications/mimeapps.list");
        files.push_back(d + "/applications/defaults.list");
    }
    std::vector<std::string> apps;
    for (const std::string& file : files) {
        if (!FileExists(file) || FileSize(file) > kMaxDatabaseFile) continue;
        const TMemIni ini(file);
        for (auto& app : SplitList(ini.ReadString("Default Applications", mime, ""), ';')) apps.push_back(app);
    }
    return apps;
}

// The program of a desktop entry's Exec line, found on the PATH when it is a bare name.
std::string ProgramOfDesktopEntry(const std::string& desktopId, const XdgDirs& dirs) {
    for (const std::string& dir : dirs.data) {
        const std::string file = dir + "/applications/" + desktopId;
        if (!FileExists(file) || FileSize(file) > kMaxDatabaseFile) continue;
        const TMemIni ini(file);
        std::string exec = Trim(ini.ReadString("Desktop Entry", "Exec", ""));
        if (exec.empty()) continue;
        std::string program;
        if (exec[0] == '"') {
            const auto close = exec.find('"', 1);
            program = exec.substr(1, close == std::string::npos ? std::string::npos : close - 1);
        } else {
            program = exec.substr(0, exec.find(' '));
        }
        if (program.empty()) continue;
        if (program[0] == '/') return FileExists(program) ? program : std::string();
        for (const std::string& p : dirs.path)
            if (FileExists(p + "/" + program)) return p + "/" + program;
    }
    return {};
}

}  // namespace

std::string AssociatedProgram(const std::string& fileName, const EnvironmentLookup& environment) {
    const std::string name = ExtractFileName(fileName);
    if (name.empty()) return {};
    const XdgDirs dirs = ReadDirs(environment);
    const std::string mime = MimeTypeOf(name, dirs);
    if (mime.empty()) return {};
    for (const std::string& app : DefaultApplications(mime, dirs)) {
        std::string program = ProgramOfDesktopEntry(app, dirs);
        if (!program.empty()) return program;
    }
    return {};
}

std::string AssociatedProgram(const std::string& fileName) {
    return AssociatedProgram(fileName, [](const std::string& n) {
        const char* v = std::getenv(n.c_str());
        return v ? std::string(v) : std::string();
    });
}

}  // namespace kelvarn
