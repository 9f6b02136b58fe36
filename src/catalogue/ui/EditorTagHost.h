// The tag edits' desktop: the editor window's tag pages and the colour selector, as EditTag and the
// tag insertion ask for them.
#pragma once

#include "catalogue/TagEditing.h"

#include <functional>

namespace kelvarn {

class TEditor;
class TProgramState;

class TEditorTagHost final : public ITagEditorHost {
public:
    TEditorTagHost(TProgramState& state, TEditor& editor) : state_(state), editor_(editor) {}

    bool EditRecord(TTagSpec& record, std::vector<std::string>& csvList, bool& gridModified) override;
    std::optional<std::string> EditColour(const std::string& format, const std::string& caption,
                                          const std::string& value) override;
    void RefreshTrainzBuild(const std::string& reason) override {
        if (TrainzBuild) TrainzBuild(reason);
    }

    // The outline's trainz-build refresh.
    std::function<void(const std::string& reason)> TrainzBuild;

private:
    TProgramState& state_;
    TEditor& editor_;
};

}  // namespace kelvarn
