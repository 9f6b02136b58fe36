// Whether a folder holds an entry of a given name, ignoring case (assets are made on Windows), for many
// names at the cost of at most one listing.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>

#include "platform/FileSystemOps.h"

namespace kelvarn {

// Listings are kept between uses for as long as the folder's stamp shows no change, but only for
// folders whose last change lies further back than the coarsest file-system clock: a change made in
// the same tick as a listing could otherwise leave the stamp as it was.
class TFolderNames {
public:
    explicit TFolderNames(std::string_view folder);

    // True when the folder holds an entry (file or folder) called `name`, ignoring case.
    bool Holds(std::string_view name);

    using Names = std::unordered_set<std::string>;  // lower case

private:
    void Look();  // reads the folder's stamp once, and takes its kept listing when the stamp still holds
    void List();  // lists the folder, and keeps the listing when the folder is settled
    bool Settled(std::int64_t now) const;  // stamped, and last changed long enough before `now`

    std::string folder_;  // native form, "." for none
    platform::FolderStamp stamp_;
    bool stamped_ = false;
    bool looked_ = false;
    bool asked_ = false;
    std::shared_ptr<const Names> names_;
};

}  // namespace kelvarn
