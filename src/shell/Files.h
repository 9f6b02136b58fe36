// File access. Every function takes paths as texts (backslashes allowed) and goes through NativePath.
// Operations return a message text: empty on success, else what went wrong, naming the file.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/Text.h"

namespace kelvarn {

inline constexpr std::uint64_t kMaxFileRead = 512ull << 20;  // no outside file we read is larger

bool FileExists(std::string_view path);       // a file (not a folder)
bool DirectoryExists(std::string_view path);  // a folder
bool PathExists(std::string_view path);
// Whether the path names an entry of any kind, a symbolic link that names nothing included.
bool EntryExists(std::string_view path);
// The path a symbolic link leads to, followed through every link; the path itself when it is none.
std::string FollowLinkPath(std::string_view path);
std::uint64_t FileSize(std::string_view path);  // 0 when missing

// Reads a whole file; refuses files larger than `cap`.
std::string ReadFileBytes(std::string_view path, std::string& bytes, std::uint64_t cap = kMaxFileRead);
// Reads and decodes a text file; a file that is not text (NUL bytes, broken UTF-16) is refused.
std::string ReadTextFile(std::string_view path, DecodedText& text, std::uint64_t cap = kMaxFileRead);
// Decodes bytes read from `path` as ReadTextFile does, with its message for bytes that are not text.
std::string DecodeFileText(std::string_view path, std::string_view bytes, DecodedText& text);
// The message for a file whose bytes are not text, and why.
std::string NotTextError(std::string_view path, std::string_view why);

// Writes beside the target, flushes to the disk and renames over it: a failure leaves the old file.
// The new file keeps the old one's permission bits; a symbolic link is followed, so the file it names
// is replaced and the link stays. A file the user marked read-only, or one the user may not write (say
// another user's), is refused and stays as it is.
std::string WriteFileAtomic(std::string_view path, std::string_view bytes);
// The same for a new file: an existing target is never replaced (the write then fails, the target as
// it was).
std::string WriteFileNoReplace(std::string_view path, std::string_view bytes);
// A working file that only this session reads back (undo snapshots, which the start-up purge deletes
// anyway): written straight, not flushed to the disk; a failed write removes it.
std::string WriteScratchFile(std::string_view path, std::string_view bytes);
std::string WriteTextFile(std::string_view path, std::string_view utf8, TextEncoding encoding);

// Adds bytes at the end of a file, creating it when missing. For the program's own records (the report
// log): a failure may cost the new text, nothing of the user's.
std::string AppendToFile(std::string_view path, std::string_view bytes);

// Copies a file through streams into a temporary file beside the target and renames it over the
// target (keeping its permission bits and following a link, as WriteFileAtomic). Copying a file onto
// itself is refused. The program's one file-copy routine.
std::string StreamCopyFile(std::string_view source, std::string_view target);
// The same, but an existing target is never replaced: the copy then fails. A link at the target's
// name, even one that names nothing, is an existing target: a new file is never made through it.
std::string CopyFileNoReplace(std::string_view source, std::string_view target);
inline std::string CopyFileStreamed(std::string_view source, std::string_view target) {
    return StreamCopyFile(source, target);
}
// Copies into a folder under the source's own name.
std::string CopyFileToFolder(std::string_view source, std::string_view folder);
// Creates the target's folders, then copies.
std::string ForceCopyFile(std::string_view source, std::string_view target);
// What a folder copy does with the symbolic links inside the folder.
enum class FolderLinks {
    // Copied as links (to files, folders or nothing), never followed: a backup and its restore give
    // back the folder as it stood.
    Keep,
    // Followed: a link to a file gives a file with its content, a link to a folder a folder with its
    // content, so that the copy shares nothing with its source. A link that names nothing, loops, or
    // leads back into a folder being copied (or into the copy) is refused, naming it.
    Follow,
};
// Copies a folder with everything in it; the target must not exist yet, and nothing is written
// outside it. An entry that cannot be copied is an error.
std::string CopyFolder(std::string_view source, std::string_view target, FolderLinks links);

// Renames only when the target does not exist.
std::string RenameNoReplace(std::string_view from, std::string_view to);
std::string RenameReplace(std::string_view from, std::string_view to);
bool DeleteFilePath(std::string_view path);
bool DeleteFolderTree(std::string_view path);
// The same for a tree the program set aside: folders marked read-only inside it (copies of read-only
// media) are made writable first. Links are removed, never followed. False when anything stays.
bool ForceDeleteFolderTree(std::string_view path);
bool ForceDirectories(std::string_view path);
bool IsFolderWritable(std::string_view folder);

// The entry of `folder` called `name`, found ignoring case when the exact name is missing (assets are
// made on Windows). Returns the full path, or empty when there is none.
std::string FindFileIgnoreCase(std::string_view folder, std::string_view name);
// The existing path that `path` names, each component matched ignoring case; empty when none.
std::string ResolvePathIgnoreCase(std::string_view path);
// The regular file that `path` names, found ignoring case as assets name their files; empty when
// there is none (or it is a folder).
std::string ExistingFile(std::string_view path);

// A DOS mask as directory listings use it: "*" and "*.*" match everything, else "*" and "?" wildcards
// compared ignoring case.
bool MaskMatches(std::string_view mask, std::string_view name);

// Folder searches. `folderMask` is a folder followed by "\*.*" (or any mask); names beginning with "."
// are skipped; results are full paths, in name order within each folder. Directory links are not
// followed.
void FindFilesRecursive(std::string_view folderMask, std::string_view patternList,
                        std::vector<std::string>& result);
void FindFiles(std::string_view folderMask, std::string_view patternList, std::vector<std::string>& result,
               bool recurse);
int CountFiles(std::string_view folder, std::string_view patternList);
// Does `name` match a pattern list such as "*.htm*;*.im"? (the matching rule of the searches above)
bool MatchesPatternList(std::string_view name, std::string_view patternList);

void ListEntries(std::string_view mask, std::vector<std::string>& list);
void ListEntriesOfKind(std::string_view mask, std::vector<std::string>& list, bool folders);

// The byte at offset 16 (a TGA header's pixel depth); 0 for a missing or too short file.
int TgaPixelDepth(std::string_view path);

// Test hook for the write path: given the target path, returns how many bytes may be written before
// the write fails, or npos for no fault. Only tests set it.
using WriteFaultHook = std::function<std::size_t(const std::string& path)>;
void SetWriteFaultHook(WriteFaultHook hook);

}  // namespace kelvarn
