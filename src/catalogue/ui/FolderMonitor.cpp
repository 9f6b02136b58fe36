#include "catalogue/ui/FolderMonitor.h"

#include <QDir>
#include <QFileInfo>

#include "shell/Files.h"
#include "shell/PathText.h"

namespace kelvarn {

namespace {

constexpr int kMaxWatchDepth = 32;

QString Qs(const std::string& text) { return QString::fromStdString(NativePath(text)); }

}  // namespace

TFileMonitor::TFileMonitor(int delay, QObject* parent) : QObject(parent) {
    timer_.setSingleShot(true);
    timer_.setInterval(delay);
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (OnChange) OnChange();
    });
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this](const QString& path) {
        // New sub-folders are watched too; the change itself is one refresh after the events settle.
        if (QFileInfo::exists(path)) AddTree(path, 0);
        timer_.start();
    });
}

void TFileMonitor::Stop() {
    timer_.stop();
    if (!watcher_.directories().isEmpty()) watcher_.removePaths(watcher_.directories());
    root_.clear();
}

void TFileMonitor::Watch(const std::string& folder) {
    if (folder.empty() || !DirectoryExists(folder)) return;
    Stop();
    root_ = folder;
    AddTree(Qs(folder), 0);
    if (!watcher_.directories().contains(QDir::cleanPath(Qs(folder))) && !watcher_.directories().contains(Qs(folder)) &&
        OnError)
        OnError("File Notify Exception: unable to watch " + folder);
}

void TFileMonitor::AddTree(const QString& folder, int depth) {
    if (depth > kMaxWatchDepth) return;
    if (!watcher_.directories().contains(folder)) watcher_.addPath(folder);
    const QFileInfoList subs = QDir(folder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo& sub : subs) AddTree(sub.filePath(), depth + 1);
}

TAssetMonitor::TAssetMonitor(TAssetMonitorModel& model, int delay, QObject* parent) : QObject(parent), model_(model) {
    timer_.setSingleShot(true);
    timer_.setInterval(delay);
    connect(&timer_, &QTimer::timeout, this, [this] { Fire(); });
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this](const QString& path) {
        const auto root = roots_.find(path);
        pending_.insert(root != roots_.end() ? root->second : path.toStdString());
        timer_.start();  // a new event restarts the wait, so a folder being copied has time to fill
    });
}

void TAssetMonitor::Rebuild() {
    model_.Rebuild();
    Apply();
}

void TAssetMonitor::AddFolder(const std::string& folder) {
    if (!model_.AddParentOf(folder)) return;
    const std::string parent = ExtractFileDir(ListFolder(folder));
    const QString path = Qs(parent);
    if (!DirectoryExists(parent) || watcher_.directories().contains(path)) return;
    roots_[path] = parent;
    if (!watcher_.addPath(path) && OnError && !errorShown_) {
        errorShown_ = true;
        OnError("AssetMonitorChange: unable to watch " + parent);
    }
}

void TAssetMonitor::Apply() {
    roots_.clear();
    QStringList paths;
    for (const TAssetMonitorModel::TWatch& watch : model_.WatchSet()) {
        const QString path = Qs(watch.path);
        if (roots_.count(path)) continue;
        roots_[path] = watch.root;
        paths << path;
    }
    const QStringList old = watcher_.directories();
    QStringList gone, added;
    for (const QString& p : old)
        if (!roots_.count(p)) gone << p;
    for (const QString& p : paths)
        if (!old.contains(p)) added << p;
    if (!gone.isEmpty()) watcher_.removePaths(gone);
    if (added.isEmpty()) return;
    const QStringList failed = watcher_.addPaths(added);
    if (!failed.isEmpty() && OnError && !errorShown_) {
        errorShown_ = true;  // once a run: a full watch table would say so at every rebuild
        OnError("AssetMonitorChange: unable to watch " + std::to_string(failed.size()) + " folder(s), among them " +
                failed.front().toStdString());
    }
}

void TAssetMonitor::Stop() {
    timer_.stop();
    pending_.clear();
    if (!watcher_.directories().isEmpty()) watcher_.removePaths(watcher_.directories());
    roots_.clear();
}

void TAssetMonitor::Fire() {
    std::set<std::string> roots;
    roots.swap(pending_);
    bool retry = false;
    for (const std::string& root : roots)
        if (OnChange && !OnChange(root)) {
            pending_.insert(root);
            retry = true;
        }
    if (retry) {
        timer_.start();
        return;
    }
    // Sub-folders that appeared (or got their config.txt) change what is watched.
    Apply();
}

}  // namespace kelvarn
