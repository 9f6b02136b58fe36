// TLODView: the frame for level-of-detail files (".lm.txt"). The settings and up to six mesh rows as
// fields above the text; changing a field rewrites the text, editing the text reads the fields again.
// The logic is TLodEditor's; the frame shows it and forwards the user's changes.
#pragma once

#include <QPlainTextEdit>
#include <array>
#include <functional>

#include "media/ViewerEditors.h"
#include "media/ui/EditedFrame.h"
#include "shell/ui/FramePanel.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QToolButton;

namespace kelvarn {

class TProgramState;

// The colour of a field out of order or off its standard value.
inline constexpr QRgb kLodLightRed = 0xFFFF9797;

class TLODView final : public TEditedFrame<TLodEditor> {
public:
    explicit TLODView(TProgramState& state, QWidget* parent = nullptr);

    // IFrame / IViewerFrame
    QWidget* MainControl() override { return memo_; }

    std::function<void(const std::string& page)> OpenHelpPage;

    const TLodEditor& Editor() const { return editor_; }
    QPlainTextEdit* Memo() const { return memo_; }
    QLineEdit* Edit(const char* name) const;
    QComboBox* CalcPoint() const { return calcPoint_; }
    QCheckBox* RowBox(int row) const { return rowBoxes_[static_cast<std::size_t>(row)]; }
    QLineEdit* RowPercent(int row) const { return rowPercents_[static_cast<std::size_t>(row)]; }
    QComboBox* RowFile(int row) const { return rowFiles_[static_cast<std::size_t>(row)]; }
    QToolButton* Button(const char* name) const;
    // Is a field shown light red?
    static bool IsRed(const QWidget* field);

private:
    void DataChange();
    void MemoChange();
    void ShowFields() override;
    void ShowText() override;
    void ShowState() override;

    QLineEdit* version_;
    QLineEdit* offset_;
    QComboBox* calcPoint_;
    QLineEdit* multiplier_;
    QLineEdit* animationCutOff_;
    QLineEdit* renderCutOff_;
    QLineEdit* attachmentCutOff_;
    std::array<QCheckBox*, kLodEditorRows> rowBoxes_{};
    std::array<QLineEdit*, kLodEditorRows> rowPercents_{};
    std::array<QComboBox*, kLodEditorRows> rowFiles_{};
    std::vector<std::string> shownMeshFiles_;
    QPlainTextEdit* memo_;
    bool loading_ = false;
};

}  // namespace kelvarn
