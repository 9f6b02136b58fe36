// What a check of an asset's files works on: the program state (messages, clock, the log), the
// config outline, the asset folder, whether a batch runs (script mode) and where progress goes. The
// main window passes its outline and the current asset; a batch passes the script unit's context.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace kelvarn {

class TOutlineDocument;
class TProgramState;

struct TAssetCheck {
    TProgramState& State;
    TOutlineDocument& Document;
    std::string AssetFolder;
    bool ScriptMode = false;
    // Called with (done, total) as the check walks; unset when nobody shows a gauge. Total 0 ends it.
    std::function<void(std::size_t done, std::size_t total)> Progress = {};
    // Lets pending input in; false once the user pressed Escape. Unset when nobody can stop the check.
    std::function<bool()> Poll = {};

    void Step(std::size_t done, std::size_t total) const {
        if (Progress) Progress(done, total);
    }
    bool KeepGoing() const { return !Poll || Poll(); }
};

}  // namespace kelvarn
