// TLODView: the frame for level-of-detail files (".lm.txt"). The settings and up to six mesh rows as
// fields above the text; changing a field rewrites the text, editing the text reads the fields again.
// The logic is TLodEditor's; the frame shows it and forwards the user's changes.
#pragma once

#include <QPlainTextEdit>
#include <array>
#include <functional>

#include "media/ViewerEditors.h"
#include "shell/ui/FramePanel.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QToolButton;

namespace kelvarn {

class TProgramState;

// The colour of a field out of order or off its standard value.
inline constexpr QRgb kLodLightRed = 0xFFFF9797;

class TLODView final : public TViewerFrame<IViewerFrame> {
public:
    explicit TLODView(TProgramState& state, QWidget* parent = nullptr);

    // IFrame / IViewerFrame
    void Clear() override;
    bool CloseQuery() override;
    void QuerySave() override;
    QWidget* MainControl() override { return memo_; }
    std::string ShownFile() const override { return editor_.Path; }
    std::string LoadFile(const std::string& path, int mode) override;
    std::string SaveFile(const std::string& path) override;
    bool Modified() const override { return editor_.Modified; }

    std::string Save();  // sends 235
    void SaveClick();
    void Reload();

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
    void ShowFields();
    void ShowText();
    void ShowState();

    TProgramState& state_;
    TLodEditor editor_;
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
    bool held_ = false;
};

}  // namespace kelvarn
