// The review of a batch's assets in the editor window: its Accept/Reject page over the editor's own
// outline, which the batch loads each asset into.
#pragma once

#include "validation/ui/ScriptReview.h"

namespace kelvarn {

class TEditor;

class TEditorReview final : public IScriptReview {
public:
    explicit TEditorReview(TEditor& editor) : editor_(editor) {}
    TReviewResult ReviewAsset(const std::string& caption, const std::string& alert, TOutlineDocument& outline, bool last,
                              bool& preview) override;

private:
    TEditor& editor_;
};

}  // namespace kelvarn
