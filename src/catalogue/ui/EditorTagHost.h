// The tag edits' desktop: the editor window's tag pages, its chooser and the colour selector, as
// EditTag and the tag insertion ask for them.
#pragma once

#include <functional>

#include "catalogue/TagEditing.h"
#include "catalogue/TagInsertion.h"

namespace kelvarn {

class TEditor;
class TOutlineDocument;
class TProgramState;

class TEditorTagHost final : public ITagEditorHost, public ITagChooser {
public:
    TEditorTagHost(TProgramState& state, TEditor& editor, TOutlineDocument& document)
        : state_(state), editor_(editor), document_(document) {}

    // ITagEditorHost
    bool EditRecord(TTagSpec& record, std::vector<std::string>& csvList, bool& gridModified) override;
    std::optional<std::string> EditColour(const std::string& format, const std::string& caption,
                                          const std::string& value) override;
    void RefreshTrainzBuild(const std::string& reason) override {
        if (TrainzBuild) TrainzBuild(reason);
    }
    // ITagChooser
    bool ChooseTag(const std::string& caption, const TOutlineNode* container, const std::vector<std::string>& names,
                   TTagSpec& record, std::vector<std::string>& csvList) override;
    std::optional<std::string> AskTagName(const std::string& caption, const std::string& proposal) override;

    // The outline's trainz-build refresh.
    std::function<void(const std::string& reason)> TrainzBuild;

private:
    TProgramState& state_;
    TEditor& editor_;
    TOutlineDocument& document_;
};

}  // namespace kelvarn
