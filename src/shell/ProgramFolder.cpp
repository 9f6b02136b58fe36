#include "shell/ProgramFolder.h"

#include "shell/Backups.h"
#include "shell/Files.h"
#include "shell/MemIni.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/SettingsKeys.h"
#include "shell/WikiPages.h"

namespace kelvarn {

namespace {

// Copies the files of `from` that `to` lacks, keeping everything the user already has.
void SeedMissing(const std::string& from, const std::string& to) {
    std::vector<std::string> files;
    FindFilesRecursive(JoinPath(from, "*.*", '/'), "*.*", files);
    for (const std::string& file : files) {
        const std::string target = JoinPath(to, file.substr(from.size()), '/');
        if (!PathExists(target)) ForceCopyFile(file, target);
    }
}

}  // namespace

std::string ResolveProgramFolder(const std::string& executablePath,
                                 const std::function<std::string(const std::string&)>& environment) {
    const std::string exeFolder = ExtractFileDir(executablePath);
    if (!exeFolder.empty() && IsFolderWritable(exeFolder)) return IncludeTrailingSeparator(exeFolder, '/');

    std::string dataHome = environment("XDG_DATA_HOME");
    if (dataHome.empty()) dataHome = JoinPath(environment("HOME"), ".local/share", '/');
    const std::string folder = JoinPath(dataHome, "kelvarn", '/');
    ForceDirectories(folder);
    // The shipped files (tags.xml, SortOrder.txt, the introduction …) come along: the portable
    // layout's bin folder beside the executable, or an installed program's ../share/kelvarn/bin.
    for (const std::string& shipped : {JoinPath(exeFolder, "bin", '/'), JoinPath(ExtractFileDir(exeFolder), "share/kelvarn/bin", '/')})
        if (!exeFolder.empty() && DirectoryExists(shipped)) {
            SeedMissing(shipped, JoinPath(folder, "bin", '/'));
            break;
        }
    return IncludeTrailingSeparator(folder, '/');
}

void InitProgramState(TProgramState& state, const std::string& executablePath) {
    state.ProgramFile = executablePath;
    state.ProgramFolder = ResolveProgramFolder(executablePath, state.Environment);
    state.OpenSettings(state.ProgramFolder + "kelvarn.ini");
}

void WriteFirstStartSettings(TProgramState& state) {
    // Without builds every asset's trainz-build would be unknown and judged at the default build.
    TMemIni& settings = state.Settings();
    // The day's copy is of the file as the user left it, taken before the program first writes to it.
    if (FileExists(settings.FileName())) IniBackup(state, "yyyymmdd");
    bool wrote = EnsureDefaultBuilds(settings);
    // Help texts name their pages by "$" keys: without them every such link is an error.
    wrote = EnsureDefaultWikiPages(settings) || wrote;
    if (wrote) settings.UpdateFile();
}

std::string ProgramFolderNotice(const TProgramState& state) {
    const std::string exeFolder = IncludeTrailingSeparator(ExtractFileDir(state.ProgramFile), '/');
    if (state.ProgramFolder == exeFolder || FileExists(state.Settings().FileName())) return {};
    if (!IsFolderWritable(state.ProgramFolder))
        return "Kelvarn can write neither to its program folder " + exeFolder + " nor to " + state.ProgramFolder +
               ".\n\nIt starts with its default settings and keeps no settings, logs or backups in this session.";
    return "Kelvarn cannot write to its program folder " + exeFolder + ".\n\nIts settings, logs and backups are kept in " +
           state.ProgramFolder + " instead.";
}

std::string SettingsLoadWarning(const TProgramState& state) {
    const TMemIni& settings = state.Settings();
    if (!settings.FileProtected()) return {};
    return settings.LoadError() + "\n\nKelvarn starts with its default settings and will not change " +
           settings.FileName() + " in this session.";
}

}  // namespace kelvarn
