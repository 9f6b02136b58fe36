// The clipboard's file lists and the trash, done with Qt. A file list goes on the clipboard as
// "text/uri-list" and in the form GNOME's file manager pastes ("x-special/gnome-copied-files");
// only local files are taken from it.
#pragma once

#include "shell/DesktopFiles.h"

class QMimeData;

namespace kelvarn {

class TQtFileClipboard final : public IFileClipboard {
public:
    bool CopyFiles(const std::vector<std::string>& paths) override;
    std::vector<std::string> PasteFiles() override;
    bool HasFiles() override;
};

class TQtTrash final : public ITrash {
public:
    std::string MoveToTrash(const std::string& path) override;
};

// The file list a drag or the clipboard carries, as mime data, and back (local files only).
QMimeData* FileListMimeData(const std::vector<std::string>& paths);
std::vector<std::string> LocalFilesOf(const QMimeData* data);

}  // namespace kelvarn
