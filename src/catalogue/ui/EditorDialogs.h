// A small stand-in for the editor window's one-line input and text page: the same calls, plain Qt
// dialogs. The editor window replaces it when it is built.
#pragma once

#include "catalogue/EditorDialogs.h"

class QWidget;

namespace kelvarn {

class TProgramState;

class TSimpleEditorDialogs final : public IEditorDialogs {
public:
    TSimpleEditorDialogs(const TProgramState& state, QWidget* parent) : state_(state), parent_(parent) {}
    std::optional<std::string> InputLine(const std::string& caption, const std::string& prompt,
                                         const std::string& value, const std::string& shownPath) override;
    void ShowText(int size, int flags, const std::vector<std::string>& lines, const std::string& caption) override;

private:
    const TProgramState& state_;
    QWidget* parent_;
};

}  // namespace kelvarn
