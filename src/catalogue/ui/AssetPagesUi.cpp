#include "catalogue/ui/AssetPagesUi.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QToolButton>
#include <filesystem>

#include "shell/Macros.h"
#include "shell/ProgramState.h"
#include "shell/Text.h"
#include "shell/ui/XEdit.h"

namespace kelvarn {

namespace {

QString Qs(const std::string& text) { return QString::fromStdString(text); }
std::string Str(const QString& text) { return text.toStdString(); }

std::string WithSeparator(const std::string& folder) {
    return folder.empty() ? folder : PageTarget(folder, "");
}

}  // namespace

TAssetPageBase::TAssetPageBase(TProgramState& state, QWidget* parent) : QWidget(parent), state_(state) {
    auto* form = new QFormLayout(this);
    form->setContentsMargins(8, 8, 8, 8);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
}

void TAssetPageBase::AddRow(const char* label, QWidget* field) {
    auto* caption = new QLabel(QString::fromUtf8(label), this);
    caption->setBuddy(field);
    static_cast<QFormLayout*>(layout())->addRow(caption, field);
}

TXEdit* TAssetPageBase::LineEdit(TCharType type) {
    auto* edit = new TXEdit(this);
    edit->SetCharType(type);
    return edit;
}

namespace {

// A lower-case field: typed letters are lowered before the character filter sees them.
class TLowerCaseEdit final : public TXEdit {
public:
    using TXEdit::TXEdit;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        const QString lower = event->text().toLower();
        if (lower == event->text()) return TXEdit::keyPressEvent(event);
        QKeyEvent lowered(event->type(), event->key(), event->modifiers(), lower, event->isAutoRepeat(),
                          static_cast<ushort>(event->count()));
        TXEdit::keyPressEvent(&lowered);
        event->setAccepted(lowered.isAccepted());
    }
};

}  // namespace

// The KUID field takes KUID characters and keeps them in lower case (pasted text too).
TXEdit* TAssetPageBase::KuidEdit() {
    TXEdit* edit = new TLowerCaseEdit(this);
    edit->SetCharType(ctKuid);
    connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& text) {
        const QString lower = text.toLower();
        if (lower == text) return;
        const int at = edit->cursorPosition();
        edit->setText(lower);
        edit->setCursorPosition(at);
    });
    return edit;
}

TLocationRow TAssetPageBase::LocationRow() {
    TLocationRow row;
    auto* holder = new QWidget(this);
    auto* line = new QHBoxLayout(holder);
    line->setContentsMargins(0, 0, 0, 0);
    row.edit = new TXEdit(holder);
    row.select = new QToolButton(holder);
    row.select->setText("...");
    row.select->setToolTip("Select Path");
    line->addWidget(row.edit, 1);
    line->addWidget(row.select);
    AddRow("&Location:", holder);
    static_cast<QLabel*>(static_cast<QFormLayout*>(layout())->labelForField(holder))->setBuddy(row.edit);
    return row;
}

void TAssetPageBase::SelectLocation(TXEdit* location) {
    const std::string title = "Select Clone Location";
    const std::string start = Str(location->text());
    const std::string chosen = ChooseFolder ? ChooseFolder(title, start)
                                            : Str(QFileDialog::getExistingDirectory(this, Qs(title), Qs(start)));
    if (!chosen.empty()) location->setText(Qs(WithSeparator(chosen)));
}

void TAssetPageBase::CompleteKuid(TXEdit* kuid) {
    const std::string text = Str(kuid->text());
    const std::string completed = NewKuidExit(text, state_.UserKuidId);
    if (completed != text) kuid->setText(Qs(completed));
}

void TAssetPageBase::Report(const TPageCheck& check) {
    check_ = check;
    if (CheckChanged) CheckChanged(check);
}

std::string TAssetPageBase::Backup() const { return BackupFolderPath(state_); }

// --- new asset

TNewAssetEditor::TNewAssetEditor(TProgramState& state, QWidget* parent) : TAssetPageBase(state, parent) {
    setObjectName("NewAssetEditor");
    newKUID = KuidEdit();
    newKUID->setObjectName("newKUID");
    AddRow("&Kuid:", newKUID);
    newKind = new QComboBox(this);
    newKind->setObjectName("newKind");
    AddRow("&Asset Kind:", newKind);
    const TLocationRow location = LocationRow();
    newLocation = location.edit;
    newLocation->setObjectName("newLocation");
    newSelect = location.select;
    newSelect->setObjectName("newSelect");
    newFoldername = LineEdit(ctFilePath);
    newFoldername->setObjectName("newFoldername");
    AddRow("Folder &Name:", newFoldername);

    for (TXEdit* edit : {newKUID, newLocation, newFoldername})
        connect(edit, &QLineEdit::textChanged, this, [this] { NewDataChange(); });
    connect(newKind, &QComboBox::currentIndexChanged, this, [this] { NewDataChange(); });
    connect(newKUID, &QLineEdit::editingFinished, this, [this] { NewKuidExit(); });
    connect(newSelect, &QToolButton::clicked, this, [this] { NewPathSelect(); });
}

void TNewAssetEditor::SetFields(const TNewAssetFields& fields) {
    filling_ = true;
    const QString kind = newKind->currentText();
    newKind->clear();
    for (const std::string& k : fields.kinds) newKind->addItem(Qs(k));
    newKind->setCurrentIndex(newKind->findText(kind));
    newLocation->setText(Qs(fields.location));
    newFoldername->setText(Qs(fields.folderName));
    filling_ = false;
    NewDataChange();
}

TNewAssetFields TNewAssetEditor::Fields() const {
    TNewAssetFields f;
    for (int i = 0; i < newKind->count(); ++i) f.kinds.push_back(Str(newKind->itemText(i)));
    f.kuid = Str(newKUID->text());
    f.kind = newKind->currentIndex() >= 0 ? Str(newKind->currentText()) : std::string();
    f.location = Str(newLocation->text());
    f.folderName = Str(newFoldername->text());
    return f;
}

void TNewAssetEditor::NewDataChange() {
    if (!filling_) Report(NewPageCheck(Fields(), Backup()));
}

void TNewAssetEditor::NewKuidExit() { CompleteKuid(newKUID); }

void TNewAssetEditor::NewPathSelect() { SelectLocation(newLocation); }

// --- clone

TCloneEditor::TCloneEditor(TProgramState& state, QWidget* parent) : TAssetPageBase(state, parent) {
    setObjectName("CloneEditor");
    cloneKUID = KuidEdit();
    cloneKUID->setObjectName("cloneKUID");
    AddRow("&Kuid:", cloneKUID);
    cloneUsername = LineEdit(ctStandard);
    cloneUsername->setObjectName("cloneUsername");
    AddRow("&Username:", cloneUsername);
    const TLocationRow location = LocationRow();
    cloneLocation = location.edit;
    cloneLocation->setObjectName("cloneLocation");
    cloneSelect = location.select;
    cloneSelect->setObjectName("cloneSelect");
    cloneName = LineEdit(ctFilePath);
    cloneName->setObjectName("cloneName");
    AddRow("Folder &Name:", cloneName);
    cloneDescription = new QPlainTextEdit(this);
    cloneDescription->setObjectName("cloneDescription");
    cloneDescription->setPlainText("CLONE OF <OLD \nKUID> \nDescription");
    AddRow("&Description:", cloneDescription);

    for (TXEdit* edit : {cloneKUID, cloneUsername, cloneLocation, cloneName})
        connect(edit, &QLineEdit::textChanged, this, [this] { CloneDataChange(); });
    connect(cloneDescription, &QPlainTextEdit::textChanged, this, [this] { CloneDataChange(); });
    connect(cloneKUID, &QLineEdit::editingFinished, this, [this] { CloneKUIDExit(); });
    connect(cloneSelect, &QToolButton::clicked, this, [this] { ClonePathSelect(); });
}

void TCloneEditor::SetFields(const TCloneFields& fields) {
    filling_ = true;
    cloneKUID->setText(Qs(fields.kuid));
    cloneUsername->setText(Qs(fields.username));
    cloneLocation->setText(Qs(fields.location));
    cloneName->setText(Qs(fields.name));
    cloneDescription->setPlainText(Qs(ReplaceAll(fields.description, kPilcrow, "\n")));
    filling_ = false;
    CloneDataChange();
}

TCloneFields TCloneEditor::Fields() const {
    TCloneFields f;
    f.kuid = Str(cloneKUID->text());
    f.username = Str(cloneUsername->text());
    f.location = Str(cloneLocation->text());
    f.name = Str(cloneName->text());
    f.description = Str(cloneDescription->toPlainText());
    return f;
}

void TCloneEditor::CloneDataChange() {
    if (!filling_) Report(ClonePageCheck(Fields(), Backup(), Source));
}

void TCloneEditor::CloneKUIDExit() { CompleteKuid(cloneKUID); }

void TCloneEditor::ClonePathSelect() { SelectLocation(cloneLocation); }

}  // namespace kelvarn
