// The review of one asset of a batch: the config as the script left it, read only, with Accept,
// Reject and Abort and the "Preview Next File" box. The editor window gives it (src/app/ adapts its
// review page to this interface).
#pragma once

#include <string>

#include "validation/ScriptHost.h"

namespace kelvarn {

class IScriptReview {
public:
    virtual ~IScriptReview() = default;
    // `last`: no asset follows, so the preview box has nothing to preview. `preview` is the box's
    // state before and after.
    virtual TReviewResult ReviewAsset(const std::string& caption, const std::string& alert, TOutlineDocument& outline,
                                      bool last, bool& preview) = 0;
};

}  // namespace kelvarn
