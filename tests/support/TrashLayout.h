// Trash tests on whatever file systems the machine has. The desktop's trash for a file depends on where
// the file is: on the home folder's file system it is "$XDG_DATA_HOME/Trash"; on another one it is the
// trash at the top of that file system (".Trash/<uid>" when an administrator made ".Trash", else
// ".Trash-<uid>"). These layouts set HOME and XDG_DATA_HOME for one test and put them back after.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <QString>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "support/TestSupport.h"

namespace kelvarn::test {

class EnvironmentOverride {
public:
    EnvironmentOverride(const char* name, const std::string& value) : name_(name), old_(qgetenv(name)) {
        qputenv(name, QByteArray::fromStdString(value));
    }
    ~EnvironmentOverride() {
        if (old_.isNull()) qunsetenv(name_);
        else qputenv(name_, old_);
    }
    EnvironmentOverride(const EnvironmentOverride&) = delete;
    EnvironmentOverride& operator=(const EnvironmentOverride&) = delete;

private:
    const char* name_;
    QByteArray old_;
};

// The home folder on the files' own file system: the trash is the one in the desktop's data folder.
class TrashBesideHome {
public:
    explicit TrashBesideHome(const TempDir& dir)
        : made_(std::filesystem::create_directories(dir / "home")),
          home_("HOME", dir / "home"),
          data_("XDG_DATA_HOME", dir / "data") {}
    std::string Trashed(const TempDir& dir, const std::string& name) const { return dir / ("data/Trash/files/" + name); }

private:
    bool made_;
    EnvironmentOverride home_, data_;
};

// Files on another file system than the home folder: the temporary folder when it has a file system of
// its own (a tmpfs /tmp, say), with the home folder on the root's; else a folder in /dev/shm, with the
// home folder in the temporary folder. Usable() is false, with the reason, when the machine has
// neither. Whatever went to that file system's trash is removed afterwards.
class TrashOnAnotherDrive {
public:
    explicit TrashOnAnotherDrive(const TempDir& dir) : tag_(std::filesystem::path(dir.Path()).filename().string()) {
        const QString temp = QString::fromStdString(dir.Path());
        if (QStorageInfo(temp).rootPath() != "/") {
            folder_ = dir / "drive";
            home_ = "/";
        } else if (QFileInfo(QStringLiteral("/dev/shm")).isWritable() &&
                   QStorageInfo(QStringLiteral("/dev/shm")).rootPath() != "/") {
            folder_ = "/dev/shm/" + tag_;
            shm_ = true;
            std::filesystem::create_directories(dir / "home");
            home_ = dir / "home";
        } else {
            why_ = "no file system here besides the home folder's";
            return;
        }
        std::filesystem::create_directories(folder_);
        if (QStorageInfo(QString::fromStdString(folder_)) == QStorageInfo(QString::fromStdString(home_))) {
            why_ = "the folders found share the home folder's file system";
            return;
        }
        homeOverride_ = std::make_unique<EnvironmentOverride>("HOME", home_);
        dataOverride_ = std::make_unique<EnvironmentOverride>("XDG_DATA_HOME", dir / "data");
    }
    ~TrashOnAnotherDrive() {
        std::error_code ec;
        for (const std::string& name : names_)
            for (const std::string& trash : Trashes()) {
                std::filesystem::remove_all(trash + "/files/" + name, ec);
                std::filesystem::remove(trash + "/info/" + name + ".trashinfo", ec);
            }
        if (shm_) std::filesystem::remove_all(folder_, ec);
    }
    TrashOnAnotherDrive(const TrashOnAnotherDrive&) = delete;
    TrashOnAnotherDrive& operator=(const TrashOnAnotherDrive&) = delete;

    bool Usable() const { return why_.empty(); }
    const std::string& Why() const { return why_; }
    const std::string& Folder() const { return folder_; }
    // A file name no earlier run left in that trash, which is removed from it afterwards.
    std::string Name(const std::string& stem, const std::string& ext) {
        std::string name = stem + "-" + tag_ + ext;
        names_.push_back(name);
        return name;
    }
    // Where the file called `name` is in the file system's trash; empty when in neither form of it.
    std::string Trashed(const std::string& name) const {
        for (const std::string& trash : Trashes())
            if (std::filesystem::exists(trash + "/files/" + name) && std::filesystem::exists(trash + "/info/" + name + ".trashinfo"))
                return trash + "/files/" + name;
        return {};
    }

private:
    std::vector<std::string> Trashes() const {
        const std::string top = QStorageInfo(QString::fromStdString(folder_)).rootPath().toStdString();
#ifdef _WIN32
        const std::string uid = "0";
#else
        const std::string uid = std::to_string(::getuid());
#endif
        return {top + "/.Trash/" + uid, top + "/.Trash-" + uid};
    }

    std::string tag_, folder_, home_, why_;
    bool shm_ = false;
    std::vector<std::string> names_;
    std::unique_ptr<EnvironmentOverride> homeOverride_, dataOverride_;
};

}  // namespace kelvarn::test
