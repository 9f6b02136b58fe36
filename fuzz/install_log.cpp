// Any Install.Log through the install drag's candidate selection: every value is read or counts as
// never installed, and a folder is a candidate exactly when its newest file is later than that.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/HomeFolders.h"
#include "shell/MemIni.h"
#include "shell/Text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kelvarn::TMemIni log;
    log.SetText(kelvarn::DecodeText(std::string_view(reinterpret_cast<const char*>(data), size)).text);
    std::vector<std::string> folders;
    log.ReadSection("Installed", folders);
    folders.push_back("/not/in/the/log");
    // Files as new as the middle of 2011 in local seconds, or older than every readable value.
    const std::int64_t newest = kelvarn::DateTime{2011, 6, 1, 12, 0, 0, 0}.TotalMilliseconds() / 1000;
    const auto candidates = kelvarn::SelectInstallCandidates(log, folders, [&](const std::string& f) {
        return f.size() % 2 ? newest : std::int64_t(0);
    });
    std::size_t expected = 0;
    for (const std::string& folder : folders) {
        const std::int64_t installed = kelvarn::InstalledIn(log, folder);
        const auto parsed = kelvarn::ParseInstalled(log.ReadString("Installed", folder, ""));
        if (installed != parsed.value_or(0)) std::abort();
        if (parsed && kelvarn::FormatInstalled(kelvarn::DateTime::FromMilliseconds(*parsed * 1000)) !=
                          kelvarn::Trim(log.ReadString("Installed", folder, "")))
            std::abort();
        expected += (folder.size() % 2 ? newest : 0) > installed;
    }
    if (candidates.size() != expected) std::abort();
    return 0;
}
