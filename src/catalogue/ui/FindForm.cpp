#include "catalogue/ui/FindForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "catalogue/OutlineDocument.h"
#include "catalogue/ui/OutlineView.h"
#include "shell/ProgramState.h"

namespace kelvarn {

namespace {

std::string Std(const QString& text) { return text.toStdString(); }

// A text is added to its list once.
void Remember(QComboBox& box) {
    const QString text = box.currentText();
    if (text.isEmpty() || box.findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0) return;
    box.addItem(text);
    box.setCurrentText(text);
}

QComboBox* HistoryBox(QWidget* parent, const char* name) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);  // the lists grow only by Remember
    box->setMinimumWidth(260);
    return box;
}

QCheckBox* LeftTextCheck(QWidget* parent, const char* name, const char* caption) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    box->setLayoutDirection(Qt::RightToLeft);  // the caption stands before its box
    return box;
}

}  // namespace

TFindForm::TFindForm(TProgramState& state, TOutlineView& outline, QWidget* parent)
    : QDialog(parent), state_(state), outline_(outline) {
    setObjectName("FindForm");
    setWindowTitle("Find & Replace");
    setModal(false);

    cbFind_ = HistoryBox(this, "cbFind");
    cbReplace_ = HistoryBox(this, "cbReplace");
    auto* findLabel = new QLabel("Find &what:", this);
    findLabel->setBuddy(cbFind_);
    auto* replaceLabel = new QLabel("R&eplace with: ", this);
    replaceLabel->setBuddy(cbReplace_);
    cbReplaceAll_ = LeftTextCheck(this, "cbReplaceAll", "Replace &All:");
    cbCaseSensitive_ = LeftTextCheck(this, "cbCaseSensitive", "&Case Sensitive:");
    bfFind_ = new QPushButton("&Find", this);
    bfFind_->setObjectName("bfFind");
    bfFind_->setDefault(true);
    bfReplace_ = new QPushButton("&Replace", this);
    bfReplace_->setObjectName("bfReplace");
    bfClose_ = new QPushButton("&Close", this);
    bfClose_->setObjectName("bfClose");
    notMatched_ = new QLabel("No Further Matches", this);
    notMatched_->setObjectName("NotMatched");
    notMatched_->hide();

    auto* grid = new QGridLayout(this);
    grid->addWidget(findLabel, 0, 0);
    grid->addWidget(cbFind_, 0, 1, 1, 2);
    grid->addWidget(bfFind_, 0, 3);
    grid->addWidget(replaceLabel, 1, 0);
    grid->addWidget(cbReplace_, 1, 1, 1, 2);
    grid->addWidget(bfReplace_, 1, 3);
    grid->addWidget(cbReplaceAll_, 2, 1);
    grid->addWidget(cbCaseSensitive_, 2, 2);
    grid->addWidget(bfClose_, 2, 3);
    grid->addWidget(notMatched_, 3, 1, 1, 3);

    connect(cbFind_, &QComboBox::editTextChanged, this, [this] { TextChange(); });
    connect(cbReplace_, &QComboBox::editTextChanged, this, [this] { TextChange(); });
    connect(bfFind_, &QPushButton::clicked, this, [this] { FindClick(false); });
    connect(bfReplace_, &QPushButton::clicked, this, [this] { FindClick(true); });
    connect(bfClose_, &QPushButton::clicked, this, [this] { CloseClick(); });
    TextChange();
}

TFindFlags TFindForm::Flags() const {
    TFindFlags flags;
    flags.ignoreCase = !cbCaseSensitive_->isChecked();
    flags.replaceAll = cbReplaceAll_->isChecked();
    return flags;
}

void TFindForm::FormShow() {
    notMatched_->hide();
    const TOutlineNode* node = outline_.Selected();
    const bool root = !node || node == outline_.Document().Root();
    cbFind_->setCurrentText(root ? QString() : QString::fromStdString(node->Text()));
    TextChange();
    cbFind_->setFocus();
    cbFind_->lineEdit()->selectAll();
}

void TFindForm::TextChange() {
    const QString find = cbFind_->currentText();
    const QString replace = cbReplace_->currentText();
    bfFind_->setEnabled(!find.isEmpty());
    bfReplace_->setEnabled(bfFind_->isEnabled() && !replace.isEmpty() && replace != find);
}

void TFindForm::FindClick(bool replace) {
    Remember(replace ? *cbReplace_ : *cbFind_);
    notMatched_->hide();
    const std::string find = Std(cbFind_->currentText());
    if (find.empty()) return;
    TOutlineNode* selected = outline_.Selected();
    // The selection may have gone with a reload; the outcome then names the row's node.
    const TFindOutcome outcome = kelvarn::FindClick(outline_.Document(), selected, row_, find,
                                                    Std(cbReplace_->currentText()), replace, Flags());
    if (outcome.replaced) outline_.MakeVisible(selected);
    if (outcome.select) {
        outline_.Select(outcome.select);
        outline_.MakeVisible(outcome.select);
    }
    if (outcome.notMatched) {
        state_.Messages->Beep();
        notMatched_->show();
    }
}

}  // namespace kelvarn
