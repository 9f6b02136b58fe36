#include "validation/ui/ReviewDialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <vector>

#include "catalogue/OutlineDocument.h"
#include "catalogue/OutlineNode.h"

namespace kelvarn {

namespace {
// The dialog's results: Accept, Reject, Abort.
constexpr int kAccept = 1, kReject = 2, kAbort = 3;
}  // namespace

TReviewDialog::TReviewDialog(QWidget* mainWindow) : QDialog(mainWindow), mainWindow_(mainWindow) {
    setObjectName("Editor");
    resize(640, 640);
    auto* layout = new QVBoxLayout(this);
    tree_ = new QTreeWidget(this);
    tree_->setObjectName("Outline");
    tree_->setHeaderHidden(true);
    tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(tree_, 1);
    alert_ = new QLabel(this);
    alert_->setObjectName("Alert");
    alert_->setWordWrap(true);
    alert_->setFrameShape(QFrame::Panel);
    layout->addWidget(alert_);

    auto* panel = new QWidget(this);
    panel->setObjectName("ButtonPanel");
    auto* buttons = new QHBoxLayout(panel);
    preview_ = new QCheckBox("Preview Next File", panel);
    preview_->setObjectName("cbPreview");
    buttons->addWidget(preview_);
    buttons->addStretch(1);
    accept_ = new QPushButton("Accept", panel);
    accept_->setObjectName("bOK");
    accept_->setDefault(true);
    reject_ = new QPushButton("Reject", panel);
    reject_->setObjectName("bCancel");
    abort_ = new QPushButton("Abort", panel);
    abort_->setObjectName("bAbort");
    for (QPushButton* b : {accept_, reject_, abort_}) buttons->addWidget(b);
    layout->addWidget(panel);
    connect(accept_, &QPushButton::clicked, this, [this] { done(kAccept); });
    connect(reject_, &QPushButton::clicked, this, [this] { done(kReject); });
    connect(abort_, &QPushButton::clicked, this, [this] { done(kAbort); });
}

void TReviewDialog::ShowTree(const TOutlineDocument& outline) {
    tree_->clear();
    if (!outline.Root()) return;
    std::vector<QTreeWidgetItem*> path;  // the items from the root down to the last one made
    WalkRows(outline.Root(), [&](TOutlineNode* node, int level) {
        const QString text = QString::fromStdString(node->Text());
        QTreeWidgetItem* item = level == 0 ? new QTreeWidgetItem(tree_, QStringList{text})
                                           : new QTreeWidgetItem(path[static_cast<std::size_t>(level - 1)], QStringList{text});
        if (node->HasFlag(nfModified)) {
            QFont bold = item->font(0);
            bold.setBold(true);
            item->setFont(0, bold);
        }
        path.resize(static_cast<std::size_t>(level));
        path.push_back(item);
    });
    tree_->expandAll();
}

TReviewResult TReviewDialog::ReviewAsset(const std::string& caption, const std::string& alert, TOutlineDocument& outline,
                                         bool last, bool& preview) {
    setWindowTitle(QString::fromStdString(caption));
    QString note = QString::fromStdString(alert).trimmed();
    alert_->setText(note);
    alert_->setVisible(!note.isEmpty());
    ShowTree(outline);
    preview_->setChecked(preview);
    preview_->setVisible(!last);  // there is no next file to preview
    if (mainWindow_) {
        QRect r = frameGeometry();
        r.moveCenter(mainWindow_->frameGeometry().center());
        move(r.topLeft());
    }
    const int result = exec();
    preview = preview_->isChecked();
    if (result == kAccept) return TReviewResult::Accept;
    return result == kAbort ? TReviewResult::Abort : TReviewResult::Reject;
}

}  // namespace kelvarn
