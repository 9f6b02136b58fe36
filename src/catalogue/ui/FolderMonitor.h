// The two folder monitors of the asset list, on QFileSystemWatcher (which watches single folders, so
// sub-folders are added here as they appear).
//
// The file monitor watches the current asset folder and every folder below it; changes coalesce into
// one refresh of the file list. The asset monitor watches the asset monitor model's folder set; each
// change is reported for its root once the events have been quiet for `delay` milliseconds.
#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <functional>
#include <map>
#include <set>
#include <string>

#include "catalogue/HomeFolders.h"

namespace kelvarn {

class TFileMonitor final : public QObject {
public:
    explicit TFileMonitor(int delay, QObject* parent = nullptr);
    // Watches the folder and its sub-folders; an empty or missing folder watches nothing.
    void Watch(const std::string& folder);
    void Stop();
    const std::string& Folder() const { return root_; }
    QStringList Watched() const { return watcher_.directories(); }
    std::function<void()> OnChange;
    // A folder that could not be watched.
    std::function<void(const std::string& message)> OnError;

private:
    void AddTree(const QString& folder, int depth);

    QFileSystemWatcher watcher_;
    QTimer timer_;
    std::string root_;
};

class TAssetMonitor final : public QObject {
public:
    TAssetMonitor(TAssetMonitorModel& model, int delay, QObject* parent = nullptr);
    // AssetMonitorChange with an empty text: the set is rebuilt from the list and the home folders.
    void Rebuild();
    // AssetMonitorChange with a folder: its parent joins the watched set.
    void AddFolder(const std::string& folder);
    // Watches the model's present watch set.
    void Apply();
    void Stop();
    QStringList Watched() const { return watcher_.directories(); }
    // A change of a root; false when it could not be handled now (a scan runs): it is tried again.
    std::function<bool(const std::string& root)> OnChange;
    std::function<void(const std::string& message)> OnError;

private:
    void Fire();

    TAssetMonitorModel& model_;
    QFileSystemWatcher watcher_;
    QTimer timer_;
    std::map<QString, std::string> roots_;
    std::set<std::string> pending_;
    bool errorShown_ = false;
};

}  // namespace kelvarn
