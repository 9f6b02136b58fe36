#include "shell/Files.h"

#include "shell/FileCopy.h"
#include "shell/FileGuard.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <random>

#include "platform/FileSystemOps.h"
#include "shell/PathText.h"
#include "shell/Strings.h"

namespace kelvarn {

namespace fs = std::filesystem;

namespace {

WriteFaultHook& FaultHook() {
    static WriteFaultHook hook;
    return hook;
}

FileGuardHook& Guard() {
    static FileGuardHook hook;
    return hook;
}

// True when the guard refuses to let `p` change.
bool Refused(const fs::path& p) { return Guard() && !Guard()(PathString(fs::absolute(p).lexically_normal())); }

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f) std::fclose(f);
    }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

FilePtr OpenFile(const fs::path& p, const char* mode) {
#ifdef _WIN32
    std::wstring wmode(mode, mode + std::char_traits<char>::length(mode));
    return FilePtr(_wfopen(p.c_str(), wmode.c_str()));
#else
    return FilePtr(std::fopen(p.c_str(), mode));
#endif
}

// A name beside the target that no other writer uses.
fs::path TempPathBeside(const fs::path& target) {
    static std::atomic<unsigned> counter{0};
    static const unsigned seed = std::random_device{}();
    const auto tick = std::chrono::steady_clock::now().time_since_epoch().count();
    // Short, so that a target whose name is near the length limit still has a temporary sibling.
    char name[40];
    std::snprintf(name, sizeof name, ".kvtmp-%08x%04x", seed ^ static_cast<unsigned>(tick), counter++ & 0xFFFFu);
    return target.parent_path() / name;
}

std::string Describe(const std::error_code& ec) { return ec.message(); }

// The file a write to `target` is meant for: a symbolic link is followed to the file it names, so
// the replacement lands there and the link stays a link.
fs::path FollowLinks(const fs::path& target) {
    fs::path p = target;
    std::error_code ec;
    for (int hops = 0; hops < 40 && fs::is_symlink(fs::symlink_status(p, ec)); ++hops) {
        const fs::path next = fs::read_symlink(p, ec);
        if (ec) break;
        p = next.is_absolute() ? next : p.parent_path() / next;
    }
    return p;
}

// The replacing file takes the permission bits of the file it replaces (a new file keeps the default).
void KeepPermissions(const fs::path& replacement, const fs::path& target) {
    std::error_code ec;
    const fs::file_status old = fs::status(target, ec);
    if (ec || !fs::is_regular_file(old)) return;
    fs::permissions(replacement, old.permissions(), fs::perm_options::replace, ec);
}

// Writes `bytes`, of which the test fault hook may let only a part reach the file (where the disk
// "fills"); `written` is what was written. False on any failure, the injected one included.
bool WriteThroughHook(std::FILE* f, std::string_view bytes, const std::string& shown, std::size_t& written) {
    std::size_t allowed = std::string::npos;
    if (FaultHook()) allowed = FaultHook()(shown);
    written = std::min(allowed, bytes.size());
    const bool ok = written == 0 || std::fwrite(bytes.data(), 1, written, f) == written;
    return ok && allowed >= bytes.size();
}

// Writes `bytes` to a new temporary file beside `target`, flushed to the disk. Returns its path in
// `tmp`; on failure the temporary file is gone.
std::string WriteTemp(const fs::path& target, std::string_view bytes, fs::path& tmp) {
    const std::string shown = PathString(target);
    tmp = TempPathBeside(target);
    // The message names the user's file: the temporary beside it is ours, and is gone again.
    if (Refused(target)) return "Unable to save " + shown + ": refused";
    FilePtr f = OpenFile(tmp, "wb");
    if (!f) return "Unable to save " + shown + ": no file can be made in " + PathString(target.parent_path());
    std::size_t n = 0;
    bool ok = WriteThroughHook(f.get(), bytes, shown, n);
    if (ok) ok = platform::SyncFile(f.get());
    f.reset();
    if (!ok) {
        std::error_code ec;
        fs::remove(tmp, ec);
        return "Unable to write " + shown + ": the disk refused the data";
    }
    return {};
}

// Writes straight into the file, without a temporary and without waiting for the disk; for files that
// are the program's own working records. Honours the test fault hook.
std::string WriteDirect(const fs::path& target, std::string_view bytes, const char* mode) {
    const std::string shown = PathString(target);
    if (Refused(target)) return "Unable to open " + shown + " for writing: refused";
    FilePtr f = OpenFile(target, mode);
    if (!f) return "Unable to open " + shown + " for writing";
    std::size_t n = 0;
    bool ok = WriteThroughHook(f.get(), bytes, shown, n);
    ok = std::fclose(f.release()) == 0 && ok;
    if (!ok) return "Unable to write " + shown + ": the disk refused the data";
    return {};
}

// By lower-cased name, then by the name itself. The keys are made once per entry: a folder of
// thousands of files would otherwise build them again in every comparison.
void SortByName(std::vector<fs::directory_entry>& entries) {
    struct Keyed {
        std::string lower;
        fs::path name;
        std::size_t index;
    };
    std::vector<Keyed> keys;
    keys.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        fs::path name = entries[i].path().filename();
        keys.push_back({LowerCase(PathString(name)), std::move(name), i});
    }
    std::sort(keys.begin(), keys.end(), [](const Keyed& a, const Keyed& b) {
        return a.lower != b.lower ? a.lower < b.lower : a.name < b.name;
    });
    std::vector<fs::directory_entry> sorted;
    sorted.reserve(entries.size());
    for (const Keyed& k : keys) sorted.push_back(std::move(entries[k.index]));
    entries = std::move(sorted);
}

std::vector<fs::directory_entry> ReadFolder(const fs::path& folder) {
    std::vector<fs::directory_entry> entries;
    std::error_code ec;
    fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
    if (ec) return entries;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) break;
        entries.push_back(*it);
    }
    SortByName(entries);
    return entries;
}

bool IsRealFolder(const fs::directory_entry& e) {
    std::error_code ec;
    return e.is_directory(ec) && !e.is_symlink(ec);
}

// Splits "folder\mask" into the folder and the mask.
void SplitMask(std::string_view folderMask, std::string& folder, std::string& mask) {
    folder = ExtractFileDir(folderMask);
    mask = ExtractFileName(folderMask);
    if (folder.empty() && !folderMask.empty() && IsPathSeparator(folderMask.front())) folder = "/";
}

// A folder's entry as the searches need it: its full path (text), where its name starts, its kind,
// and the key it sorts by. Made straight from the directory listing: no extra path objects per entry.
struct FolderItem {
    enum Kind { kFile, kFolder, kLinkToFolder };
    std::string path;
    std::size_t nameAt = 0;
    std::string lower;  // the name in lower case; empty when the name is its own lower case
    Kind kind = kFile;
    fs::path folder;  // for a folder only: where the search goes next

    std::string_view Name() const { return std::string_view(path).substr(nameAt); }
    std::string_view Key() const { return lower.empty() ? Name() : std::string_view(lower); }
};

// Where the last part of a native path starts ("\\" is a character of a name outside Windows).
std::size_t NameStart(std::string_view path) {
#ifdef _WIN32
    const std::size_t sep = path.find_last_of("\\/");
#else
    const std::size_t sep = path.rfind('/');
#endif
    return sep == std::string_view::npos ? 0 : sep + 1;
}

bool IsLowerAscii(std::string_view name) {
    for (char c : name)
        if ((c >= 'A' && c <= 'Z') || static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// The entries of a folder sorted as ReadFolder sorts them: by lower-cased name, then by name.
std::vector<FolderItem> ReadFolderItems(const fs::path& folder) {
    std::vector<FolderItem> items;
    std::error_code ec;
    fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
    if (ec) return items;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) break;
        FolderItem item;
        item.path = PathString(it->path());
        item.nameAt = NameStart(item.path);
        if (const std::string_view name = item.Name(); !IsLowerAscii(name)) item.lower = LowerCase(name);
        // The kind comes with the listing on most file systems (these two calls use it); only a link
        // needs a look at its target.
        if (it->is_directory(ec)) {
            if (it->is_symlink(ec)) {
                item.kind = FolderItem::kLinkToFolder;
            } else {
                item.kind = FolderItem::kFolder;
                item.folder = it->path();
            }
        }
        items.push_back(std::move(item));
    }
    // All paths share the folder, so comparing them compares the names.
    std::sort(items.begin(), items.end(), [](const FolderItem& a, const FolderItem& b) {
        const int byKey = a.Key().compare(b.Key());
        return byKey != 0 ? byKey < 0 : a.path < b.path;
    });
    return items;
}

void FindFilesIn(const fs::path& folder, std::string_view patternList, std::vector<std::string>& result,
                 bool recurse, int depth) {
    if (depth > 64) return;  // guards against pathological nesting
    for (FolderItem& item : ReadFolderItems(folder)) {
        const std::string_view name = item.Name();
        if (name.empty() || name[0] == '.') continue;
        if (item.kind == FolderItem::kFolder) {
            if (recurse) {
                FindFilesIn(item.folder, patternList, result, recurse, depth + 1);
                continue;
            }
        } else if (item.kind == FolderItem::kLinkToFolder) {
            continue;  // a link to a folder is neither searched nor listed
        }
        if (MatchesPatternList(name, patternList)) result.push_back(std::move(item.path));
    }
}

}  // namespace

void SetWriteFaultHook(WriteFaultHook hook) { FaultHook() = std::move(hook); }

void SetFileGuard(FileGuardHook hook) { Guard() = std::move(hook); }

bool FileExists(std::string_view path) {
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(FsPath(path), ec);
}

bool DirectoryExists(std::string_view path) {
    std::error_code ec;
    return !path.empty() && fs::is_directory(FsPath(path), ec);
}

bool PathExists(std::string_view path) {
    std::error_code ec;
    return !path.empty() && fs::exists(FsPath(path), ec);
}

bool EntryExists(std::string_view path) {
    std::error_code ec;
    return !path.empty() && fs::exists(fs::symlink_status(FsPath(path), ec));
}

std::string FollowLinkPath(std::string_view path) { return PathString(FollowLinks(FsPath(path))); }

std::uint64_t FileSize(std::string_view path) {
    std::error_code ec;
    const auto n = fs::file_size(FsPath(path), ec);
    return ec ? 0 : n;
}

std::string ReadFileBytes(std::string_view path, std::string& bytes, std::uint64_t cap) {
    // Scans and batches read thousands of small files: the quick way first, and the checks below, which
    // say what is wrong, only when it did not read the file.
    if (platform::ReadWholeFile(NativePath(path), bytes, cap)) return {};
    const fs::path p = FsPath(path);
    std::error_code ec;
    if (!fs::is_regular_file(p, ec)) return "File not found: " + ShownPath(path);
    const auto size = fs::file_size(p, ec);
    if (ec) return "Unable to read " + ShownPath(path) + ": " + Describe(ec);
    if (size > cap)
        return "File too large: " + ShownPath(path) + " (" + std::to_string(size) + " bytes, at most " +
               std::to_string(cap) + ")";
    FilePtr f = OpenFile(p, "rb");
    if (!f) return "Unable to open " + ShownPath(path);
    bytes.resize(static_cast<std::size_t>(size));
    const std::size_t got = size ? std::fread(bytes.data(), 1, bytes.size(), f.get()) : 0;
    if (got != bytes.size()) {
        // The file changed under us; keep what is there, as far as the cap allows.
        bytes.resize(got);
        if (std::ferror(f.get())) return "Unable to read " + ShownPath(path);
    }
    return {};
}

std::string ReadTextFile(std::string_view path, DecodedText& text, std::uint64_t cap) {
    std::string bytes;
    std::string error = ReadFileBytes(path, bytes, cap);
    if (!error.empty()) {
        text = {};
        return error;
    }
    return DecodeFileText(path, bytes, text);
}

std::string NotTextError(std::string_view path, std::string_view why) {
    return "Unable to read " + ShownPath(path) + ": it is not a text file (" + std::string(why) + ")";
}

std::string DecodeFileText(std::string_view path, std::string_view bytes, DecodedText& text) {
    text = DecodeText(bytes);
    if (!text.notText.empty()) {
        std::string error = NotTextError(path, text.notText);
        text = {};
        return error;
    }
    return {};
}

std::string WriteFileAtomic(std::string_view path, std::string_view bytes) {
    const fs::path target = FollowLinks(FsPath(path));
    std::error_code ec;
    if (fs::is_directory(target, ec)) return "Unable to write " + ShownPath(path) + ": it is a folder";
    // The user marked the file read-only: replacing it (a rename needs no write permission on the file)
    // would go round that.
    const fs::file_status status = fs::status(target, ec);
    if (!ec && fs::is_regular_file(status) && (status.permissions() & fs::perms::owner_write) == fs::perms::none)
        return "Unable to save " + ShownPath(path) + ": the file is read-only";
    // Nor may a file the user has no right to write be replaced because its folder lets anyone rename
    // (another user's file in a shared folder): the replacement would take this user as its owner.
    if (!ec && fs::is_regular_file(status) && !platform::MayWriteFile(PathString(target)))
        return "Unable to save " + ShownPath(path) + ": you have no permission to write to it";
    fs::path tmp;
    std::string error = WriteTemp(target, bytes, tmp);
    if (!error.empty()) return error;
    KeepPermissions(tmp, target);
    fs::rename(tmp, target, ec);
    if (ec) {
        fs::remove(tmp, ec);
        return "Unable to save " + ShownPath(path) + ": " + Describe(ec);
    }
    return {};
}

std::string WriteFileNoReplace(std::string_view path, std::string_view bytes) {
    const fs::path target = FsPath(path);
    fs::path tmp;
    if (std::string error = WriteTemp(target, bytes, tmp); !error.empty()) return error;
    if (std::string error = platform::RenameNoReplace(PathString(tmp), PathString(target)); !error.empty()) {
        std::error_code ec;
        fs::remove(tmp, ec);
        return "Unable to save " + ShownPath(path) + ": " + error;
    }
    return {};
}

std::string WriteScratchFile(std::string_view path, std::string_view bytes) {
    const fs::path target = FsPath(path);
    std::string error = WriteDirect(target, bytes, "wb");
    if (!error.empty()) {
        std::error_code ec;
        fs::remove(target, ec);
    }
    return error;
}

std::string WriteTextFile(std::string_view path, std::string_view utf8, TextEncoding encoding) {
    return WriteFileAtomic(path, EncodeText(utf8, encoding));
}

std::string AppendToFile(std::string_view path, std::string_view bytes) {
    return WriteDirect(FsPath(path), bytes, "ab");
}

std::string OverwriteFile(std::string_view path, std::string_view bytes) {
    const fs::path target = FsPath(path);
    const std::string shown = PathString(target);
    if (Refused(target)) return "Unable to open " + shown + " for writing: refused";
    // Cutting a file to nothing and writing it again makes some file systems flush it on close;
    // overwriting, then cutting off what is left of the old text, does not.
    FilePtr f = OpenFile(target, "r+b");
    if (!f) f = OpenFile(target, "wb");
    if (!f) return "Unable to open " + shown + " for writing";
    std::size_t n = 0;
    bool ok = WriteThroughHook(f.get(), bytes, shown, n);
    ok = platform::TruncateFile(f.get(), ok ? n : 0) && ok;
    ok = std::fclose(f.release()) == 0 && ok;
    if (!ok) return "Unable to write " + shown + ": the disk refused the data";
    return {};
}

namespace {

std::string CopyStreamed(std::string_view source, std::string_view target, bool replace, CopyFlush flush) {
    const fs::path from = FsPath(source);
    // A replacing copy lands in the file a link names, as a save does; a new file is made under the
    // name itself, so a link there (even one naming nothing) counts as the existing target.
    const fs::path to = replace ? FollowLinks(FsPath(target)) : FsPath(target);
    std::error_code ec;
    const fs::file_status targetStatus = fs::symlink_status(to, ec);
    const bool targetExists = fs::exists(targetStatus);
    if (!replace && targetExists)
        return "Unable to copy " + ShownPath(source) + ": " + ShownPath(target) + " exists";
    if (!fs::is_regular_file(from, ec)) return "File not found: " + ShownPath(source);
    if (targetExists && fs::equivalent(from, to, ec)) return "Unable to copy " + ShownPath(source) + " onto itself";
    FilePtr in = OpenFile(from, "rb");
    if (!in) return "Unable to open " + ShownPath(source);
    const fs::path tmp = TempPathBeside(to);
    if (Refused(to)) return "Unable to create " + ShownPath(target) + ": refused";
    FilePtr out = OpenFile(tmp, "wb");
    if (!out) return "Unable to create " + ShownPath(target);
    std::uint64_t allowed = std::numeric_limits<std::uint64_t>::max();
    if (FaultHook()) allowed = std::min<std::uint64_t>(allowed, FaultHook()(PathString(to)));
    std::uint64_t written = 0;
    bool ok = platform::CopyFileBytes(in.get(), out.get(), allowed, written);
    // The data reaches the disk before the copy takes the target's name, so that a crash never leaves a
    // half-written file under it. A new file whose source stays may skip this where the caller says so:
    // a crash then costs only the copy.
    if (ok) ok = flush == CopyFlush::Always || targetExists ? platform::SyncFile(out.get()) : std::fflush(out.get()) == 0;
    if (ok) ok = std::fclose(out.release()) == 0;
    out.reset();
    in.reset();
    if (!ok) {
        fs::remove(tmp, ec);
        return "Unable to copy " + ShownPath(source) + " to " + ShownPath(target);
    }
    if (!replace) {
        if (std::string error = platform::RenameNoReplace(PathString(tmp), PathString(to)); !error.empty()) {
            fs::remove(tmp, ec);
            return "Unable to copy " + ShownPath(source) + " to " + ShownPath(target) + ": " + error;
        }
        return {};
    }
    if (targetExists && fs::is_regular_file(targetStatus))
        fs::permissions(tmp, targetStatus.permissions(), fs::perm_options::replace, ec);
    fs::rename(tmp, to, ec);
    if (ec) {
        fs::remove(tmp, ec);
        return "Unable to copy " + ShownPath(source) + " to " + ShownPath(target) + ": " + Describe(ec);
    }
    return {};
}

}  // namespace

std::string StreamCopyFile(std::string_view source, std::string_view target) {
    return CopyStreamed(source, target, true, CopyFlush::Always);
}

std::string CopyFileNoReplace(std::string_view source, std::string_view target) {
    return CopyStreamed(source, target, false, CopyFlush::Always);
}

std::string CopyFileNoReplace(std::string_view source, std::string_view target, CopyFlush flush) {
    return CopyStreamed(source, target, false, flush);
}

std::string CopyFileToFolder(std::string_view source, std::string_view folder) {
    return StreamCopyFile(source, JoinPath(folder, ExtractFileName(source), '/'));
}

std::string ForceCopyFile(std::string_view source, std::string_view target) {
    return ForceCopyFile(source, target, CopyFlush::Always);
}

std::string ForceCopyFile(std::string_view source, std::string_view target, CopyFlush flush) {
    const std::string folder = ExtractFileDir(NativePath(target));
    if (!folder.empty() && !ForceDirectories(folder)) return "Unable to create the folder " + ShownPath(folder);
    return CopyStreamed(source, target, true, flush);
}

namespace {

// Whether `inner` is `outer` or lies inside it (both canonical).
bool IsWithin(const fs::path& inner, const fs::path& outer) {
    if (outer.empty()) return false;
    auto i = inner.begin();
    for (auto o = outer.begin(); o != outer.end(); ++o, ++i)
        if (i == inner.end() || *i != *o) return false;
    return true;
}

struct FolderCopy {
    FolderLinks links;
    fs::path root;                // the copy itself (canonical): nothing followed may lead into it
    std::vector<fs::path> open;   // the folders being copied, outermost first (canonical)
};

std::string CopyFolderInto(const fs::path& from, const fs::path& to, FolderCopy& copy);

// A followed link: the content of what it names.
std::string CopyLinked(const fs::path& link, const fs::path& dest, FolderCopy& copy) {
    const std::string shown = PathString(link);
    std::error_code ec;
    const fs::file_status status = fs::status(link, ec);
    if (ec == std::errc::too_many_symbolic_link_levels) return "Unable to copy the link " + shown + ": it leads round in a loop";
    if (!fs::exists(status)) return "Unable to copy the link " + shown + ": it names nothing";
    if (fs::is_regular_file(status)) return CopyFileNoReplace(shown, PathString(dest));
    if (!fs::is_directory(status)) return "Unable to copy " + shown + ": it is no file, folder or link";
    const fs::path named = fs::canonical(link, ec);
    if (ec) return "Unable to copy the link " + shown + ": " + Describe(ec);
    for (const fs::path& folder : copy.open)
        if (IsWithin(folder, named)) return "Unable to copy the link " + shown + ": it leads back into a folder that holds it";
    if (IsWithin(copy.root, named) || IsWithin(named, copy.root))
        return "Unable to copy the link " + shown + ": it leads into the copy";
    if (Refused(dest)) return "Unable to create the folder " + PathString(dest) + ": refused";
    fs::create_directory(dest, ec);
    if (ec) return "Unable to create the folder " + PathString(dest) + ": " + Describe(ec);
    copy.open.push_back(named);
    std::string error = CopyFolderInto(link, dest, copy);
    copy.open.pop_back();
    return error;
}

std::string CopyFolderInto(const fs::path& from, const fs::path& to, FolderCopy& copy) {
    std::error_code ec;
    for (const auto& e : ReadFolder(from)) {
        const fs::path dest = to / e.path().filename();
        std::string error;
        if (e.is_symlink(ec) && copy.links == FolderLinks::Follow) {
            error = CopyLinked(e.path(), dest, copy);
        } else if (e.is_symlink(ec)) {
            // A link is copied as the link it is, never followed: it may name a place outside the
            // folder, loop, or name nothing, and the copy must hold it all the same.
            const fs::path linked = fs::read_symlink(e.path(), ec);
            if (!ec) {
                if (Refused(dest)) ec = std::make_error_code(std::errc::permission_denied);
                else fs::create_symlink(linked, dest, ec);
            }
            if (ec) error = "Unable to copy the link " + PathString(e.path()) + ": " + Describe(ec);
        } else if (IsRealFolder(e)) {
            if (Refused(dest)) {
                error = "Unable to create the folder " + PathString(dest) + ": refused";
            } else if (fs::create_directory(dest, ec); ec) {
                error = "Unable to create the folder " + PathString(dest) + ": " + Describe(ec);
            } else {
                // Only a followed link can lead back into a folder: only then is the way down kept.
                const bool follow = copy.links == FolderLinks::Follow;
                if (follow) copy.open.push_back(fs::canonical(e.path(), ec));
                error = CopyFolderInto(e.path(), dest, copy);
                if (follow) copy.open.pop_back();
            }
        } else if (e.is_regular_file(ec)) {
            // Every name is new in a new folder: nothing is replaced, nor written through a link.
            error = CopyFileNoReplace(PathString(e.path()), PathString(dest));
        } else {
            error = "Unable to copy " + PathString(e.path()) + ": it is no file, folder or link";
        }
        if (!error.empty()) return error;
    }
    return {};
}

}  // namespace

std::string CopyFolder(std::string_view source, std::string_view target, FolderLinks links) {
    const fs::path from = FsPath(source);
    const fs::path to = FsPath(target);
    std::error_code ec;
    if (!fs::is_directory(from, ec)) return "Folder not found: " + ShownPath(source);
    if (fs::exists(fs::symlink_status(to, ec))) return "Unable to copy " + ShownPath(source) + ": " + ShownPath(target) + " exists";
    if (Refused(to)) return "Unable to create the folder " + ShownPath(target) + ": refused";
    fs::create_directories(to, ec);
    if (ec) return "Unable to create the folder " + ShownPath(target) + ": " + Describe(ec);
    FolderCopy copy{links, fs::canonical(to, ec), {fs::canonical(from, ec)}};
    return CopyFolderInto(from, to, copy);
}

std::string RenameNoReplace(std::string_view from, std::string_view to) {
    if (Refused(FsPath(from)) || Refused(FsPath(to))) return "Unable to rename " + ShownPath(from) + ": refused";
    const std::string error = platform::RenameNoReplace(NativePath(from), NativePath(to));
    if (error.empty()) return {};
    return "Unable to rename " + ShownPath(from) + " to " + ShownPath(to) + ": " + error;
}

std::string RenameReplace(std::string_view from, std::string_view to) {
    if (Refused(FsPath(from)) || Refused(FsPath(to))) return "Unable to rename " + ShownPath(from) + ": refused";
    std::error_code ec;
    fs::rename(FsPath(from), FsPath(to), ec);
    if (!ec) return {};
    return "Unable to rename " + ShownPath(from) + " to " + ShownPath(to) + ": " + Describe(ec);
}

bool DeleteFilePath(std::string_view path) {
    std::error_code ec;
    const fs::path p = FsPath(path);
    if (Refused(p) || fs::is_directory(fs::symlink_status(p, ec))) return false;
    return fs::remove(p, ec) && !ec;
}

bool DeleteFolderTree(std::string_view path) {
    if (Refused(FsPath(path))) return false;
    std::error_code ec;
    fs::remove_all(FsPath(path), ec);
    return !ec;
}

namespace {

// Removes an entry and, for a real folder, everything in it, made writable first. Goes on past an
// entry that stays, so that as little as possible is left.
bool RemoveTree(const fs::path& p) {
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(p, ec);  // a link is removed, never followed
    if (!fs::exists(status)) return !ec || ec == std::errc::no_such_file_or_directory;
    if (Refused(p)) return false;
    if (fs::is_directory(status)) {
        constexpr fs::perms kNeeded = fs::perms::owner_all;
        if ((status.permissions() & kNeeded) != kNeeded) fs::permissions(p, kNeeded, fs::perm_options::add, ec);
        bool all = true;
        for (const auto& e : ReadFolder(p)) all = RemoveTree(e.path()) && all;
        if (!all) return false;
    }
    return fs::remove(p, ec) && !ec;
}

}  // namespace

bool ForceDeleteFolderTree(std::string_view path) { return RemoveTree(FsPath(path)); }

bool ForceDirectories(std::string_view path) {
    std::error_code ec;
    const fs::path p = FsPath(path);
    if (fs::is_directory(p, ec)) return true;
    if (Refused(p)) return false;
    fs::create_directories(p, ec);
    return fs::is_directory(p, ec);
}

bool IsFolderWritable(std::string_view folder) {
    const fs::path probe = TempPathBeside(FsPath(folder) / ".kelvarn-probe");
    if (Refused(probe)) return false;
    FilePtr f = OpenFile(probe, "wb");
    if (!f) return false;
    f.reset();
    std::error_code ec;
    fs::remove(probe, ec);
    return true;
}

std::string FindFileIgnoreCase(std::string_view folder, std::string_view name) {
    if (name.empty()) return {};
    const fs::path dir = FsPath(folder);
    std::error_code ec;
    const fs::path exact = dir / FsPath(name);
    if (fs::exists(exact, ec)) return PathString(exact);
    for (const auto& e : ReadFolder(dir))
        if (SameText(PathString(e.path().filename()), name)) return PathString(e.path());
    return {};
}

std::string ResolvePathIgnoreCase(std::string_view path) {
    const fs::path p = FsPath(path);
    std::error_code ec;
    if (p.empty()) return {};
    if (fs::exists(p, ec)) return PathString(p);
    fs::path current = p.has_root_path() ? p.root_path() : fs::path(".");
    bool first = true;
    for (const auto& part : p.relative_path()) {
        const std::string piece = PathString(part);
        if (piece.empty()) continue;
        fs::path next = (first && !p.has_root_path()) ? part : current / part;
        first = false;
        if (!fs::exists(next, ec)) {
            const std::string found = FindFileIgnoreCase(PathString(current), piece);
            if (found.empty()) return {};
            next = FsPath(found);
        }
        current = next;
    }
    return PathString(current);
}

std::string ExistingFile(std::string_view path) {
    if (FileExists(path)) return NativePath(path);
    const std::string resolved = ResolvePathIgnoreCase(path);
    return !resolved.empty() && FileExists(resolved) ? resolved : std::string();
}

bool MaskMatches(std::string_view mask, std::string_view name) {
    if (mask == "*" || mask == "*.*") return true;
    return WildcardMatch(LowerCase(mask), LowerCase(name));
}

bool MatchesPatternList(std::string_view name, std::string_view patternList) {
    if (patternList == "*.*") return true;
    const std::string lowered = LowerCase(name);
    bool anyPiece = false;
    std::string piece;
    auto test = [&](const std::string& p) {
        if (p.empty()) return false;
        anyPiece = true;
        // The piece must sit at the end of the name, or one character before it ("*.htm*" also takes
        // ".html"); the last occurrence decides.
        const std::size_t pos = lowered.rfind(p);
        if (pos == std::string::npos) return false;
        return pos + p.size() + 1 >= lowered.size();
    };
    for (char c : LowerCase(patternList)) {
        if (c == '*' || c == ';') {
            if (test(piece)) return true;
            piece.clear();
        } else {
            piece.push_back(c);
        }
    }
    if (test(piece)) return true;
    return !anyPiece;  // "*" alone takes everything, like "*.*"
}

void FindFilesRecursive(std::string_view folderMask, std::string_view patternList,
                        std::vector<std::string>& result) {
    FindFiles(folderMask, patternList, result, true);
}

void FindFiles(std::string_view folderMask, std::string_view patternList, std::vector<std::string>& result,
               bool recurse) {
    std::string folder, mask;
    SplitMask(NativePath(folderMask), folder, mask);
    FindFilesIn(FsPath(folder), patternList, result, recurse, 0);
}

int CountFiles(std::string_view folder, std::string_view patternList) {
    std::vector<std::string> found;
    FindFilesRecursive(JoinPath(folder, "*.*"), patternList, found);
    return static_cast<int>(found.size());
}

void ListEntries(std::string_view mask, std::vector<std::string>& list) {
    std::string folder, pattern;
    SplitMask(NativePath(mask), folder, pattern);
    for (const auto& e : ReadFolder(FsPath(folder)))
        if (MaskMatches(pattern, PathString(e.path().filename()))) list.push_back(PathString(e.path()));
}

void ListEntriesOfKind(std::string_view mask, std::vector<std::string>& list, bool folders) {
    std::string folder, pattern;
    SplitMask(NativePath(mask), folder, pattern);
    std::error_code ec;
    for (const auto& e : ReadFolder(FsPath(folder))) {
        if (e.is_directory(ec) != folders) continue;
        if (MaskMatches(pattern, PathString(e.path().filename()))) list.push_back(PathString(e.path()));
    }
}

int TgaPixelDepth(std::string_view path) {
    FilePtr f = OpenFile(FsPath(path), "rb");
    if (!f) return 0;
    unsigned char header[17];
    if (std::fread(header, 1, sizeof header, f.get()) != sizeof header) return 0;
    return header[16];
}

}  // namespace kelvarn
