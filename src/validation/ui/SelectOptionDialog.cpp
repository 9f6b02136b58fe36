#include "validation/ui/SelectOptionDialog.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace kelvarn {

TSelectOptionDialog::TSelectOptionDialog(QWidget* mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      mainWindow_(mainWindow) {
    setObjectName("ScriptUnit");
    setWindowTitle("Select Option");
    resize(300, 300);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    // Both lists fill the client area; the one a command needs is brought to the front.
    pages_ = new QStackedWidget(this);
    optionList_ = new QGroupBox(this);
    optionList_->setObjectName("OptionList");
    auto* scroll = new QScrollArea(optionList_);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* radios = new QWidget(scroll);
    optionLayout_ = new QVBoxLayout(radios);
    // Tight rows, so that a dozen options fit the dialog; more scroll.
    optionLayout_->setSpacing(0);
    optionLayout_->setContentsMargins(2, 0, 2, 0);
    optionLayout_->addStretch(1);
    scroll->setWidget(radios);
    auto* optionBox = new QVBoxLayout(optionList_);
    optionBox->setContentsMargins(4, 4, 4, 4);
    optionBox->addWidget(scroll);
    options_ = new QButtonGroup(this);
    pages_->addWidget(optionList_);

    selectionPanel_ = new QGroupBox(this);
    selectionPanel_->setObjectName("SelectionPanel");
    selectionList_ = new QListWidget(selectionPanel_);
    selectionList_->setObjectName("SelectionList");
    auto* selectionBox = new QVBoxLayout(selectionPanel_);
    selectionBox->setContentsMargins(4, 4, 4, 4);
    selectionBox->addWidget(selectionList_);
    pages_->addWidget(selectionPanel_);
    layout->addWidget(pages_, 1);

    auto* panel = new QWidget(this);
    panel->setObjectName("ButtonPanel");
    auto* buttons = new QHBoxLayout(panel);
    buttons->addStretch(1);
    ok_ = new QPushButton("OK", panel);
    ok_->setObjectName("bOK");
    ok_->setDefault(true);
    cancel_ = new QPushButton("Cancel", panel);
    cancel_->setObjectName("bCancel");
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    layout->addWidget(panel);
    connect(ok_, &QPushButton::clicked, this, [this] { ButtonClick(ok_); });
    connect(cancel_, &QPushButton::clicked, this, [this] { ButtonClick(cancel_); });
}

void TSelectOptionDialog::ButtonClick(QAbstractButton* button) {
    if (button == cancel_) {
        options_->setExclusive(false);
        for (QAbstractButton* b : options_->buttons()) b->setChecked(false);
        options_->setExclusive(true);
        for (int i = 0; i < selectionList_->count(); ++i) selectionList_->item(i)->setCheckState(Qt::Unchecked);
        reject();
    } else {
        accept();
    }
}

int TSelectOptionDialog::OptionIndex() const {
    const QList<QAbstractButton*> buttons = options_->buttons();
    for (int i = 0; i < buttons.size(); ++i)
        if (buttons[i]->isChecked()) return i;
    return -1;
}

void TSelectOptionDialog::Prepare(const std::string& caption, QWidget* front) {
    setWindowTitle(QString::fromStdString(caption));
    pages_->setCurrentWidget(front);
    if (mainWindow_) {
        QRect r = frameGeometry();
        r.moveCenter(mainWindow_->frameGeometry().center());
        move(r.topLeft());
    }
    ok_->setFocus();
}

int TSelectOptionDialog::ChooseOne(const std::string& caption, const std::vector<std::string>& items) {
    for (QAbstractButton* b : options_->buttons()) {
        options_->removeButton(b);
        delete b;
    }
    for (std::size_t i = 0; i < items.size(); ++i) {
        auto* radio = new QRadioButton(QString::fromStdString(items[i]), optionList_);
        options_->addButton(radio);
        optionLayout_->insertWidget(optionLayout_->count() - 1, radio);
    }
    if (!items.empty()) options_->buttons().front()->setChecked(true);
    Prepare(caption, optionList_);
    // Closing the window or Escape counts as Cancel.
    return exec() == QDialog::Accepted ? OptionIndex() : -1;
}

bool TSelectOptionDialog::ChooseMany(const std::string& caption, const std::vector<std::string>& items,
                                     std::vector<bool>& checked) {
    selectionList_->clear();
    for (const std::string& item : items) {
        auto* row = new QListWidgetItem(QString::fromStdString(item), selectionList_);
        row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        row->setCheckState(Qt::Unchecked);
    }
    selectionList_->setCurrentRow(-1);
    Prepare(caption, selectionPanel_);
    const bool accepted = exec() == QDialog::Accepted;
    checked.assign(items.size(), false);
    for (int i = 0; i < selectionList_->count(); ++i) checked[static_cast<std::size_t>(i)] = selectionList_->item(i)->checkState() == Qt::Checked;
    return accepted;
}

}  // namespace kelvarn
