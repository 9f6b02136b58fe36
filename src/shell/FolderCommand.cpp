#include "shell/FolderCommand.h"

#include "shell/Files.h"
#include "shell/PathText.h"

namespace kelvarn {

namespace {

// A program path as one quoted argument of an Exec line: inside the quotes '"', '`', '$' and '\' take
// a backslash, then the entry's own string escaping doubles every backslash, and '%' is doubled.
std::string QuoteExecArgument(const std::string& path) {
    std::string quoted = "\"";
    for (char c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        quoted += c;
    }
    quoted += '"';
    std::string escaped;
    for (char c : quoted) {
        if (c == '\\') escaped += "\\\\";
        else if (c == '%') escaped += "%%";
        else if (c == '\n') escaped += "\\n";
        else escaped += c;
    }
    return escaped;
}

}  // namespace

std::string FolderCommandFile(const TEnvironment& environment) {
    std::string dataHome = environment("XDG_DATA_HOME");
    if (dataHome.empty()) dataHome = JoinPath(environment("HOME"), ".local/share", '/');
    return JoinPath(JoinPath(dataHome, "applications", '/'), "kelvarn-open-folder.desktop", '/');
}

bool FolderShellInstalled(const TEnvironment& environment) { return FileExists(FolderCommandFile(environment)); }

std::string FolderCommandEntry(const std::string& programPath) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=" + std::string(kFolderCommandName) + "\n"
           "MimeType=inode/directory;\n"
           "Exec=" + QuoteExecArgument(programPath) + " %f\n"
           "NoDisplay=true\n";
}

std::string InstallFolderShell(const std::string& programPath, const TEnvironment& environment) {
    const std::string file = FolderCommandFile(environment);
    if (!ForceDirectories(ExtractFileDir(file))) return "Unable to create the folder " + ExtractFileDir(file);
    return WriteFileAtomic(file, FolderCommandEntry(programPath));
}

std::string RemoveFolderShell(const TEnvironment& environment) {
    const std::string file = FolderCommandFile(environment);
    if (FileExists(file) && !DeleteFilePath(file)) return "Unable to delete " + file;
    return {};
}

}  // namespace kelvarn
