// TTextureView: the frame for ".texture.txt" descriptors. One field per key above the text; changing a
// field rewrites the text and editing the text reads the fields again. The logic is
// TDescriptorEditor's; the frame shows it and forwards the user's changes.
#pragma once

#include <QPlainTextEdit>
#include <array>
#include <functional>

#include "media/ViewerEditors.h"
#include "media/ui/EditedFrame.h"
#include "shell/ui/FramePanel.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QToolButton;

namespace kelvarn {

class TProgramState;

class TTextureView final : public TEditedFrame<TDescriptorEditor> {
public:
    explicit TTextureView(TProgramState& state, QWidget* parent = nullptr);

    // IFrame / IViewerFrame
    QWidget* MainControl() override { return memo_; }

    // Opens a wiki page by name; src/app/ sets it.
    std::function<void(const std::string& page)> OpenHelpPage;

    const TDescriptorEditor& Editor() const { return editor_; }
    QPlainTextEdit* Memo() const { return memo_; }
    QComboBox* Combo(int field) const { return combos_[static_cast<std::size_t>(field)]; }
    QCheckBox* CheckBox(int field) const { return boxes_[static_cast<std::size_t>(field)]; }
    QLabel* HelpLabel(int field) const { return helps_[static_cast<std::size_t>(field)]; }
    QToolButton* Button(const char* name) const;

private:
    void ChangeValues(int field);
    void ChangeCheckBox(int field, bool ticked);
    void MemoChange();
    void ShowFields() override;
    void ShowText() override;
    void ShowState() override;

    std::array<QComboBox*, kDescriptorFields> combos_{};
    std::array<QCheckBox*, kDescriptorFields> boxes_{};  // none for Primary
    std::array<QLabel*, kDescriptorFields> helps_{};     // fields 2..12
    std::vector<std::string> shownImages_;  // what the image combos list
    QPlainTextEdit* memo_;
    bool loading_ = false;  // fields and text are being filled: the handlers do nothing
};

}  // namespace kelvarn
