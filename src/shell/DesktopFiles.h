// The desktop's file services that core reaches through interfaces: the clipboard's file lists (what
// a file manager copies and pastes) and the trash, where deleted user files go so that a wrong click
// can be undone. The Qt side implements them; tests give fakes.
#pragma once

#include <string>
#include <vector>

namespace kelvarn {

class IFileClipboard {
public:
    virtual ~IFileClipboard() = default;
    // Puts the paths on the clipboard as a file list; false when the clipboard refused them.
    virtual bool CopyFiles(const std::vector<std::string>& paths) = 0;
    // The local files of the clipboard's file list; empty when it holds none.
    virtual std::vector<std::string> PasteFiles() = 0;
    virtual bool HasFiles() = 0;
};

class ITrash {
public:
    virtual ~ITrash() = default;
    // Moves a file or a folder to the trash. Returns an error text naming it, empty on success; on
    // failure the path is left where it was.
    virtual std::string MoveToTrash(const std::string& path) = 0;
};

// The paths as the clipboard takes them: each without its trailing separator, empty ones dropped.
std::vector<std::string> ClipboardFileList(const std::vector<std::string>& paths);

}  // namespace kelvarn
