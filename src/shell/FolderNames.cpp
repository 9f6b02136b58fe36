#include "shell/FolderNames.h"

#include <algorithm>
#include <mutex>
#include <unordered_map>

#include "platform/FileSystemOps.h"
#include "shell/Files.h"
#include "shell/PathText.h"
#include "shell/Text.h"

namespace kelvarn {

namespace {

// Bounds on what the kept listings may hold; past either, all are dropped and listed again on demand.
constexpr std::size_t kMaxFolders = 256;
constexpr std::size_t kMaxNames = 200'000;

struct Kept {
    platform::FolderStamp stamp;
    std::shared_ptr<const TFolderNames::Names> names;
};

struct Cache {
    std::mutex lock;
    std::unordered_map<std::string, Kept> folders;
    std::size_t names = 0;
};

Cache& Shared() {
    static Cache cache;
    return cache;
}

std::shared_ptr<const TFolderNames::Names> KeptNames(const std::string& folder, const platform::FolderStamp& stamp) {
    Cache& cache = Shared();
    std::lock_guard guard(cache.lock);
    const auto it = cache.folders.find(folder);
    if (it == cache.folders.end()) return nullptr;
    if (it->second.stamp == stamp) return it->second.names;
    cache.names -= it->second.names->size();
    cache.folders.erase(it);
    return nullptr;
}

bool AnyKept(const std::string& folder) {
    Cache& cache = Shared();
    std::lock_guard guard(cache.lock);
    return cache.folders.count(folder) != 0;
}

void Keep(const std::string& folder, const platform::FolderStamp& stamp,
          const std::shared_ptr<const TFolderNames::Names>& names) {
    Cache& cache = Shared();
    std::lock_guard guard(cache.lock);
    if (cache.folders.size() >= kMaxFolders || cache.names + names->size() > kMaxNames) {
        cache.folders.clear();
        cache.names = 0;
    }
    if (names->size() > kMaxNames) return;
    auto& kept = cache.folders[folder];
    if (kept.names) cache.names -= kept.names->size();
    kept = {stamp, names};
    cache.names += names->size();
}

}  // namespace

TFolderNames::TFolderNames(std::string_view folder) : folder_(folder.empty() ? "." : NativePath(folder)) {}

void TFolderNames::Look() {
    if (looked_) return;
    looked_ = true;
    stamped_ = platform::ReadFolderStamp(folder_, stamp_);
    if (stamped_) names_ = KeptNames(folder_, stamp_);
}

bool TFolderNames::Settled(std::int64_t now) const {
    return stamped_ && platform::StampSettled(std::max(stamp_.modified, stamp_.changed), now);
}

void TFolderNames::List() {
    // The clock is read before the listing, so a change made while listing counts as recent.
    const std::int64_t now = platform::FileClockNow();
    auto names = std::make_shared<Names>();
    platform::ListFolderNames(folder_, [&names](std::string_view entry) { names->insert(LowerCase(entry)); });
    names_ = names;
    if (Settled(now)) Keep(folder_, stamp_, names_);
}

bool TFolderNames::Holds(std::string_view name) {
    if (name.empty()) return false;
    // A folder listed before is answered from its listing while its stamp holds. Any other is asked
    // for its first name as written, the usual case, which costs one status call and no stamp; from its
    // second name on it is looked at, and listed when its listing can be kept for the checks to come.
    if (!looked_ && (asked_ || AnyKept(folder_))) Look();
    asked_ = true;
    if (!names_) {
        if (!Settled(platform::FileClockNow()) && platform::PathExists(JoinPath(folder_, name, '/'))) return true;
        Look();
        if (!names_) List();
    }
    return names_->count(LowerCase(name)) != 0;
}

}  // namespace kelvarn
