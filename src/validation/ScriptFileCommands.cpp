#include "validation/ScriptFileCommands.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <unordered_set>
#include <vector>

#include "media/AudioFile.h"
#include "media/NormalMaps.h"
#include "media/StockImages.h"
#include "media/StrellImage.h"
#include "shell/Backups.h"
#include "shell/FileCopy.h"
#include "shell/Files.h"
#include "shell/Image32.h"
#include "shell/Macros.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/Strings.h"
#include "shell/Text.h"
#include "validation/ScriptHost.h"
#include "validation/ScriptLists.h"
#include "validation/ScriptSettingsCommands.h"
#include "validation/ScriptUnit.h"
#include "validation/TextureRepair.h"

namespace kelvarn {

namespace {

namespace fs = std::filesystem;

// "/" read as "\\" and double backslashes reduced to one (a folder joined to a name that began with
// one).
std::string Backslashed(const std::string& path) {
    std::string reduced;
    for (char ch : path) {
        const char c = ch == '/' ? '\\' : ch;
        if (c != '\\' || reduced.empty() || reduced.back() != '\\') reduced.push_back(c);
    }
    return reduced;
}

// A script path as a full path: relative ones lie below the asset folder. An absolute one is taken
// as written (its own separators keep it absolute).
std::string InAsset(const std::string& assetFolder, const std::string& path) {
    if (IsAbsoluteScriptPath(path)) return path;
    std::string relative = Backslashed(path);
    while (!relative.empty() && relative.front() == '\\') relative.erase(0, 1);
    return ExcludeTrailingSeparator(assetFolder) + "\\" + relative;
}

bool HasWildcards(std::string_view text) { return text.find_first_of("*?") != std::string_view::npos; }

// The existing file or folder a path names (ignoring case), or the path itself when there is none.
std::string Existing(const std::string& path) {
    const std::string found = ResolvePathIgnoreCase(path);
    return found.empty() ? path : found;
}

fs::path Canonical(const std::string& path) {
    std::error_code ec;
    fs::path p = fs::weakly_canonical(fs::path(NativePath(path)), ec);
    return ec ? fs::path(NativePath(path)).lexically_normal() : p;
}

// Does `path` lie in `folder` or below it (the folder itself included)?
bool LiesIn(const std::string& path, const std::string& folder) {
    const fs::path p = Canonical(path);
    const fs::path f = Canonical(folder);
    auto pi = p.begin();
    for (auto fi = f.begin(); fi != f.end(); ++fi, ++pi) {
        if (fi->empty()) continue;  // a trailing separator
        if (pi == p.end() || *pi != *fi) return false;
    }
    return true;
}

bool SamePlace(const std::string& a, const std::string& b) { return Canonical(a) == Canonical(b); }

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return fs::equivalent(fs::path(NativePath(a)), fs::path(NativePath(b)), ec) && !ec;
}

// --- -copyfile

std::string CopyFile(ScriptCall& c) {
    const std::string& source = c.p[1];
    const std::string& destination = c.p[2];
    if (HasWildcards(ExtractFileName(destination))) return ".Wildcards not permitted in destination filenames";
    if (HasWildcards(ExtractFilePath(source))) return ".Wildcards not permitted in source folder specifications";
    if (!IsAbsoluteScriptPath(source) || !IsAbsoluteScriptPath(destination))
        if (std::string none = NoAssetFolderMessage(c.assetFolder); !none.empty()) return none;
    TProgramState& state = c.unit.State();

    const std::string sourceName = ExtractFileName(source);
    const std::string sourceFolder = ExtractFilePath(source).empty() ? c.assetFolder : InAsset(c.assetFolder, ExtractFilePath(source));
    const std::string targetFolder =
        ExtractFilePath(destination).empty() ? c.assetFolder : InAsset(c.assetFolder, ExtractFilePath(destination));
    if (HasWildcards(sourceName)) return CopyMatchingFiles(state, sourceFolder, sourceName, targetFolder);
    if (sourceName.empty()) return ".Source file not specified";

    const std::string from = JoinPath(ExcludeTrailingSeparator(sourceFolder), sourceName);
    const std::string targetName = ExtractFileName(destination).empty() ? sourceName : ExtractFileName(destination);
    const std::string to = JoinPath(ExcludeTrailingSeparator(Existing(targetFolder)), targetName);
    const std::string realFrom = ResolvePathIgnoreCase(from);
    if (realFrom.empty() || !FileExists(realFrom)) return ".Source file not found: " + ShownPath(from);
    const std::string realTo = ResolvePathIgnoreCase(to);
    if (!realTo.empty() && SameFile(realFrom, realTo)) return ".Source and destination are the same file";
    if (!realTo.empty()) return "Destination file already exists: " + ShownPath(to);
    if (!CopyFileNoReplace(realFrom, to, CopyFlush::WhenReplacing).empty()) return ".File copy failed: " + targetName;
    return {};
}

// --- -copyfromasset

std::string CopyFromAsset(ScriptCall& c) {
    const std::string& source = c.unit.AssetFoundFolder;
    if (source.empty()) return ".Source asset not specified";
    if (std::string none = NoAssetFolderMessage(c.assetFolder); !none.empty()) return none;
    TProgramState& state = c.unit.State();
    std::vector<std::string> files;
    if (!ListAssetFiles(state, source, c.p[1], files)) return ".No Matches for: " + c.p[1];
    const std::string sourceRoot = ExcludeTrailingSeparator(source);
    const std::string targetRoot = ExcludeTrailingSeparator(c.assetFolder);
    for (const std::string& file : files) {
        if (!StartsWith(file, sourceRoot)) continue;
        const std::string relative = file.substr(sourceRoot.size());
        const std::string target = Existing(targetRoot + relative);
        // The asset's own file is kept in the backups before the other asset's copy replaces it.
        if (FileExists(target))
            if (std::string error = BackupFile(state, target); !error.empty()) return ".File copy failed: " + ShownPath(target) + ": " + error;
        if (!ForceCopyFile(file, target, CopyFlush::WhenReplacing).empty()) return ".File copy failed: " + ShownPath(file);
    }
    return {};
}

// --- -deletefiles

std::string DeleteFiles(ScriptCall& c) {
    if (std::string none = NoAssetFolderMessage(c.assetFolder); !none.empty()) return none;
    TProgramState& state = c.unit.State();
    const std::string pattern = Trim(c.p[1]);
    // Nothing named, or the asset folder itself: deleting "every file below" would wipe the asset.
    const std::string full = InAsset(c.assetFolder, pattern);
    if (Backslashed(pattern).empty() || Backslashed(pattern) == "\\" || SamePlace(full, c.assetFolder))
        return ".Delete: no files specified";
    if (!LiesIn(full, c.assetFolder)) return ".Delete: specified file(s) not in target asset folder";

    std::vector<std::string> files;
    const std::string folder = Existing(full);
    if (EndsWith(Backslashed(pattern), "\\") || DirectoryExists(folder)) {
        if (!DirectoryExists(folder)) return ".Folder not found: " + ShownPath(full);
        FindFilesRecursive(JoinPath(folder, "*.*"), "*", files);
    } else {
        ListAssetFiles(state, c.assetFolder, pattern, files);
    }
    std::string kept;
    for (const std::string& file : files) {
        if (!LiesIn(file, c.assetFolder)) continue;
        if (std::string error = BackupFile(state, file); !error.empty()) {
            kept += "\r\n\t" + ShownPath(file) + ": " + error;
            continue;
        }
        if (!DeleteFilePath(file)) kept += "\r\n\t" + ShownPath(file) + ": not deleted";
    }
    if (!kept.empty()) return "Delete: file(s) kept:" + kept;
    if (!files.empty()) c.unit.RefreshAfterRun = true;
    return {};
}

// --- backups

std::string BackupAsset(ScriptCall& c) {
    const std::string folder = c.p[1].empty() ? c.assetFolder : c.p[1];
    const std::string real = ResolvePathIgnoreCase(folder);
    if (folder.empty() || real.empty() || !DirectoryExists(real) || FindFileIgnoreCase(real, "config.txt").empty())
        return ".Asset Folder not found, or not a valid asset: " + ShownPath(folder);
    return BackupFolder(c.unit.State(), real);
}

std::string BackupFiles(ScriptCall& c) {
    if (std::string none = NoAssetFolderMessage(c.assetFolder); !none.empty()) return none;
    TProgramState& state = c.unit.State();
    std::vector<std::string> files;
    if (!ListAssetFiles(state, c.assetFolder, c.p[1], files)) return "No Matches for: " + c.p[1];
    std::string message;
    for (const std::string& file : files) {
        if (!LiesIn(file, c.assetFolder)) {
            message = ".Backup: specified file(s) not in target asset folder";
            continue;
        }
        if (std::string error = BackupFile(state, file); !error.empty()) message = error;
    }
    return message;
}

std::string RepairWavesCommand(ScriptCall& c) { return RepairWaves(c.unit.State(), c.host, c.assetFolder); }

// --- images

std::string MakeTga(ScriptCall& c) {
    std::string name = c.p[1];
    if (!ContainsText(name, ".tga")) name += ".tga";
    const std::string fileName = LowerCase(ExtractFileName(name));
    if (std::find(StockTextureNames.begin(), StockTextureNames.end(), fileName) == StockTextureNames.end()) return {};
    if (std::string none = NoAssetFolderMessage(c.assetFolder); !none.empty()) return none;
    const std::string folder = InAsset(c.assetFolder, ExtractFilePath(name));
    const std::string real = ResolvePathIgnoreCase(folder);
    if (real.empty() || !DirectoryExists(real)) return ".Path does not exist: " + ShownPath(ExcludeTrailingSeparator(folder));
    // "RED.TGA" is the red stock texture already.
    if (!FindFileIgnoreCase(real, fileName).empty()) return ".File already exists: " + ExtractFileName(name);
    std::string message;
    MakeStockTga(NativePath(real), fileName, message);
    if (!message.empty()) return message;
    c.unit.RefreshAfterRun = true;
    return {};
}

std::string MakeNormalMapCommand(ScriptCall& c) {
    if (std::string none = NoAssetFolderMessage(c.assetFolder); !none.empty()) return none;
    TProgramState& state = c.unit.State();
    const std::string source = c.p[1].empty() ? state.MacroAssetPathFile() : InAsset(c.assetFolder, c.p[1]);
    const std::string real = ResolvePathIgnoreCase(source);
    if (real.empty() || !FileExists(real)) return ".File not found: " + ShownPath(source);
    const std::string name = LowerCase(ExtractFileName(source));
    if (ContainsText(name, "normal")) return ".File may already be a normal map: " + ShownPath(source);
    if (ContainsText(name, "art_icon")) return ".File is an art icon: " + ShownPath(source);
    const std::string target =
        c.p[2].empty() ? RemoveFileExt(source) + "-normal.tga" : InAsset(c.assetFolder, c.p[2]);
    if (!ResolvePathIgnoreCase(target).empty()) return ".File already exists: " + ShownPath(target);
    // Only a real image extension: no extension, or a piece of one (".bm"), is no image.
    const std::string ext = LowerCase(ExtractFileExt(source));
    if (ext != ".tga" && ext != ".bmp" && ext != ".jpg") return ".Source file is not an image: " + ShownPath(source);

    TTextures library(state);
    TStrellImage images(library);
    Image32 bitmap;
    int alphaKind = 0, compression = 0, bits = 0;
    const bool loaded = images.LoadImage(real, bitmap, alphaKind, compression, bits);
    images.TextureCommand(tcFreeImage, 0, "", library.Info);
    if (!loaded || bitmap.Width <= 0 || bitmap.Height <= 0) return ".Unable to load image: " + ShownPath(source);
    if (TextureSizeProblem(bitmap.Width, bitmap.Height)) return ".Texture size is invalid: " + ShownPath(source);
    CreateNormalMap(bitmap);
    if (!images.SaveTGA(NativePath(target), bitmap, 1)) return "Unable to save " + ShownPath(target);
    c.unit.RefreshAfterRun = true;
    return {};
}

std::string RepairTexturesCommand(ScriptCall& c) {
    if (std::string none = NoAssetFolderMessage(c.assetFolder); !none.empty()) return none;
    const TTextureRepairContext context{c.unit.State(), c.config, ExcludeTrailingSeparator(c.assetFolder),
                                        c.unit.ScriptMode(), false, {}};
    return RepairTextures(context, c.p[1]);
}

}  // namespace

std::string CopyMatchingFiles(TProgramState& state, const std::string& sourceFolder, const std::string& pattern,
                              const std::string& targetFolder) {
    const std::string target = Existing(ExcludeTrailingSeparator(targetFolder));
    if (!DirectoryExists(target)) return ".Directory not found: " + ShownPath(targetFolder);
    const std::string source = Existing(ExcludeTrailingSeparator(sourceFolder));
    std::vector<std::string> files;
    // An absolute pattern: the source folder's own files, not its sub-folders'.
    const std::string absolute = PathString(fs::absolute(fs::path(NativePath(source))));
    if (!ListAssetFiles(state, source, absolute + "/" + pattern, files))
        return ".No files matching: " + pattern;
    // The target's names, lower-cased, read once: looking each file up in the folder again would
    // read the whole folder per file. Each copy joins them, so "A.tga" then "a.tga" is one file.
    std::vector<std::string> present;
    ListEntries(JoinPath(target, "*"), present);
    std::unordered_set<std::string> taken;
    for (const std::string& entry : present) taken.insert(LowerCase(ExtractFileName(entry)));
    std::string lines;
    for (const std::string& file : files) {
        const std::string name = ExtractFileName(file);
        if (!taken.insert(LowerCase(name)).second) {
            lines += "\r\n\tDestination file already exists: " + name;
        } else if (!CopyFileNoReplace(file, JoinPath(target, name), CopyFlush::WhenReplacing).empty()) {
            taken.erase(LowerCase(name));
            lines += "\r\n\tFile copy failed: " + name;
        }
    }
    return lines.empty() ? std::string() : "." + lines.substr(3);
}

std::string RepairWaves(TProgramState& state, ScriptHost& host, const std::string& assetFolder) {
    if (std::string none = NoAssetFolderMessage(assetFolder); !none.empty()) return none;
    std::vector<std::string> sounds;
    FindFilesRecursive(JoinPath(assetFolder, "*.*"), "*.wav;*.mp3", sounds);
    std::string message;
    bool notices = true;  // every result only informs
    for (const std::string& sound : sounds) {
        host.ShowStatus(stPanel2, "Processing Audio: " + ShownPath(sound));
        std::string result = BackupFile(state, sound);
        if (result.empty()) result = RepairAudioFile(NativePath(sound));
        if (result.empty()) continue;
        // A notice's mark belongs to the whole message, not to a line inside it.
        const bool notice = result[0] == '.';
        notices = notices && notice;
        message += "\r\n\t" + (notice ? result.substr(1) : result);
    }
    host.ShowStatus(stPanel2, "");
    const std::size_t start = message.find_first_not_of("\t\r\n");
    if (start == std::string::npos) return {};
    return (notices ? "." : "") + message.substr(start);
}

void RegisterFileCommands(TScriptCommands& commands) {
    commands.Register(12, CopyFile);
    commands.Register(13, CopyFromAsset);
    commands.Register(14, DeleteFiles);
    commands.Register(23, MakeTga);
    commands.Register(24, MakeNormalMapCommand);
    commands.Register(44, RepairWavesCommand);
    commands.Register(46, BackupAsset);
    commands.Register(47, BackupFiles);
    commands.Register(51, RepairTexturesCommand);
}

}  // namespace kelvarn
