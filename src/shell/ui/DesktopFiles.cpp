#include "shell/ui/DesktopFiles.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QStandardPaths>
#include <QUrl>

#include "shell/PathText.h"

namespace kelvarn {

namespace {

constexpr const char* kGnomeFiles = "x-special/gnome-copied-files";

}  // namespace

QMimeData* FileListMimeData(const std::vector<std::string>& paths) {
    auto* data = new QMimeData;
    QList<QUrl> urls;
    QByteArray gnome("copy");
    for (const std::string& path : ClipboardFileList(paths)) {
        const QUrl url = QUrl::fromLocalFile(QString::fromStdString(NativePath(path)));
        urls << url;
        gnome += "\n" + url.toEncoded();
    }
    data->setUrls(urls);
    data->setData(kGnomeFiles, gnome);
    return data;
}

std::vector<std::string> LocalFilesOf(const QMimeData* data) {
    std::vector<std::string> files;
    if (!data) return files;
    QList<QUrl> urls = data->urls();
    if (urls.isEmpty() && data->hasFormat(kGnomeFiles)) {
        const QList<QByteArray> lines = data->data(kGnomeFiles).split('\n');
        for (qsizetype i = 1; i < lines.size(); ++i)
            if (!lines[i].trimmed().isEmpty()) urls << QUrl::fromEncoded(lines[i].trimmed());
    }
    for (const QUrl& url : urls)
        if (url.isLocalFile()) files.push_back(url.toLocalFile().toStdString());
    return files;
}

bool TQtFileClipboard::CopyFiles(const std::vector<std::string>& paths) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard || ClipboardFileList(paths).empty()) return false;
    clipboard->setMimeData(FileListMimeData(paths));
    return true;
}

std::vector<std::string> TQtFileClipboard::PasteFiles() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    return clipboard ? LocalFilesOf(clipboard->mimeData()) : std::vector<std::string>();
}

bool TQtFileClipboard::HasFiles() { return !PasteFiles().empty(); }

std::string TQtTrash::MoveToTrash(const std::string& path) {
    const QString native = QString::fromStdString(NativePath(path));
    if (!QFile::exists(native)) return "Not found: " + path;
#if !defined(Q_OS_WIN) && !defined(Q_OS_MACOS)
    // Without the home trash on disc, Qt falls back to "files" and "info" in the working folder.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty() || QDir::isRelativePath(data))
        return "Unable to move " + path + " to the trash: the desktop's data folder is not known";
    const QString trash = data + "/Trash";
    if (!QDir().mkpath(trash + "/files") || !QDir().mkpath(trash + "/info"))
        return "Unable to move " + path + " to the trash: unable to create " + trash.toStdString();
#endif
    if (QFile::moveToTrash(native)) return {};
    return "Unable to move " + path + " to the trash: there is no trash for it here";
}

}  // namespace kelvarn
