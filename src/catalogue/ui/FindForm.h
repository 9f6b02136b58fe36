// TFindForm: the non-modal "Find & Replace" window over the main window's outline. It searches the
// node texts for a text and can replace it, one node at a time; the texts used before stay in the
// two lists.
#pragma once

#include <QDialog>
#include <cstddef>

#include "catalogue/FindReplace.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace kelvarn {

class TOutlineView;
class TProgramState;

class TFindForm final : public QDialog {
public:
    TFindForm(TProgramState& state, TOutlineView& outline, QWidget* parent = nullptr);

    // Shown afresh: the selected node's text (none for the root) becomes the find text.
    void FormShow();
    // The buttons' states follow the two texts.
    void TextChange();
    // Find (or F3) and Replace.
    void FindClick(bool replace);
    void CloseClick() { close(); }
    TFindFlags Flags() const;

    QComboBox* FindBox() const { return cbFind_; }
    QComboBox* ReplaceBox() const { return cbReplace_; }
    QCheckBox* ReplaceAllBox() const { return cbReplaceAll_; }
    QCheckBox* CaseSensitiveBox() const { return cbCaseSensitive_; }
    QPushButton* FindButton() const { return bfFind_; }
    QPushButton* ReplaceButton() const { return bfReplace_; }
    QLabel* NotMatched() const { return notMatched_; }
    std::size_t CurrentRow() const { return row_; }

private:
    TProgramState& state_;
    TOutlineView& outline_;
    QComboBox* cbFind_;
    QComboBox* cbReplace_;
    QCheckBox* cbReplaceAll_;
    QCheckBox* cbCaseSensitive_;
    QPushButton* bfFind_;
    QPushButton* bfReplace_;
    QPushButton* bfClose_;
    QLabel* notMatched_;
    std::size_t row_ = 0;
};

}  // namespace kelvarn
