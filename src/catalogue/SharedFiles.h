// Files read once and kept while they stay as they are on disk (the same size and time): tags.xml and
// the option lists of enum and set tags are asked for at every config load and every such tag.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystemOps.h"
#include "shell/Files.h"
#include "shell/PathText.h"

namespace kelvarn {

template <typename T>
class TSharedFiles {
public:
    // Makes the kept form of a file from its bytes; on failure returns null and sets the error.
    using TReader = std::function<std::shared_ptr<const T>(const std::string& bytes, std::string& error)>;

    TSharedFiles(std::size_t capacity, std::uint64_t maxBytes) : capacity_(capacity), maxBytes_(maxBytes) {}

    // The kept form of the file, read again only when the file has changed. A failure is kept the
    // same way, so a bad file is not read again and again; a missing file gives "File not found".
    std::shared_ptr<const T> Get(std::string_view fileName, std::string& error, const TReader& read) {
        error.clear();
        // One look at the file per use: this runs for every tag a check looks up.
        std::uint64_t size = 0;
        std::int64_t time = 0;
        if (!platform::FileStamp(NativePath(fileName), size, time)) {
            error = "File not found: " + std::string(fileName);
            return nullptr;
        }
        {
            std::lock_guard lock(mutex_);
            for (const Entry& e : entries_) {
                if (e.path == fileName && e.size == size && e.time == time) {
                    error = e.error;
                    return e.file;
                }
            }
        }
        std::string bytes;
        Entry entry{std::string(fileName), size, time, nullptr, ReadFileBytes(fileName, bytes, maxBytes_)};
        if (entry.error.empty()) entry.file = read(bytes, entry.error);
        error = entry.error;
        std::lock_guard lock(mutex_);
        std::erase_if(entries_, [&](const Entry& e) { return e.path == entry.path; });
        if (entries_.size() >= capacity_) entries_.erase(entries_.begin());
        entries_.push_back(entry);
        return entry.file;
    }

private:
    struct Entry {
        std::string path;
        std::uint64_t size = 0;
        std::int64_t time = 0;
        std::shared_ptr<const T> file;
        std::string error;
    };

    const std::size_t capacity_;
    const std::uint64_t maxBytes_;
    std::mutex mutex_;
    std::vector<Entry> entries_;  // oldest first
};

}  // namespace kelvarn
