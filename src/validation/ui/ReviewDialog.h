// The review of one asset of a batch: the config as the script left it, read only, with Accept,
// Reject and Abort and the "Preview Next File" box. The editor window does this for the program once
// it exists (it implements IScriptReview); until then this small dialog stands in.
#pragma once

#include <QDialog>
#include <string>

#include "validation/ScriptHost.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace kelvarn {

class IScriptReview {
public:
    virtual ~IScriptReview() = default;
    virtual TReviewResult ReviewAsset(const std::string& caption, const std::string& alert, TOutlineDocument& outline,
                                      bool last, bool& preview) = 0;
};

class TReviewDialog : public QDialog, public IScriptReview {
public:
    explicit TReviewDialog(QWidget* mainWindow = nullptr);

    TReviewResult ReviewAsset(const std::string& caption, const std::string& alert, TOutlineDocument& outline, bool last,
                              bool& preview) override;

    QTreeWidget* Tree() const { return tree_; }
    QLabel* AlertLabel() const { return alert_; }
    QCheckBox* PreviewBox() const { return preview_; }
    QPushButton* AcceptButton() const { return accept_; }
    QPushButton* RejectButton() const { return reject_; }
    QPushButton* AbortButton() const { return abort_; }

private:
    void ShowTree(const TOutlineDocument& outline);

    QWidget* mainWindow_;
    QTreeWidget* tree_;
    QLabel* alert_;
    QCheckBox* preview_;
    QPushButton* accept_;
    QPushButton* reject_;
    QPushButton* abort_;
};

}  // namespace kelvarn
