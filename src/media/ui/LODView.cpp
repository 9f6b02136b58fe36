#include "media/ui/LODView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleValidator>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include "media/ui/EditedFrame.h"
#include "shell/Colours.h"
#include "shell/ProgramState.h"
#include "shell/ui/Alert.h"
#include "shell/ui/QtServices.h"

namespace kelvarn {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

void SetRed(QWidget* field, bool red, QPalette::ColorRole normalFrom) {
    QPalette p = field->palette();
    p.setColor(QPalette::Base, red ? QColor::fromRgb(kLodLightRed) : QPalette().color(normalFrom));
    field->setPalette(p);
    field->setProperty("lightRed", red);
}

void SetText(QLineEdit* edit, const std::string& text) {
    if (edit->text() != Q(text)) edit->setText(Q(text));
}

}  // namespace

TLODView::TLODView(TProgramState& state, QWidget* parent)
    : TEditedFrame<TLodEditor>("LODView", "Level of Detail", state, parent) {
    AddEditorButtons(*this);
    auto* fields = new QWidget(Body());
    auto* grid = new QGridLayout(fields);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setVerticalSpacing(2);
    auto* numbers = new QDoubleValidator(this);
    numbers->setLocale(QLocale::c());
    numbers->setNotation(QDoubleValidator::StandardNotation);
    int row = 0;
    auto addEdit = [&](const char* name, const char* caption, const char* note) {
        auto* edit = new QLineEdit(fields);
        edit->setObjectName(name);
        edit->setValidator(numbers);
        edit->setPlaceholderText("0.0");
        grid->addWidget(new QLabel(caption, fields), row, 0);
        grid->addWidget(edit, row, 1);
        grid->addWidget(new QLabel(note, fields), row, 2);
        ++row;
        connect(edit, &QLineEdit::textChanged, this, [this] { DataChange(); });
        return edit;
    };
    version_ = addEdit("eVersion", "Version:", "Value should be 1.0");
    offset_ = addEdit("eOffset", "Offset:", "Limits repeated changes of LOD.");
    calcPoint_ = new QComboBox(fields);
    calcPoint_->setObjectName("cbCalcPoint");
    calcPoint_->setEditable(true);  // another word in the file is kept as it is
    calcPoint_->setInsertPolicy(QComboBox::NoInsert);
    calcPoint_->addItems({"center", "near", "far"});
    grid->addWidget(new QLabel("CalcPoint:", fields), row, 0);
    grid->addWidget(calcPoint_, row, 1);
    grid->addWidget(new QLabel("Reference point used for LOD changes.", fields), row, 2);
    ++row;
    connect(calcPoint_, &QComboBox::currentTextChanged, this, [this] { DataChange(); });
    multiplier_ = addEdit("eMultiplier", "Multiplier:", "Value should be 1.0");
    animationCutOff_ = addEdit("eAnimationCutOff", "AnimationCutOff:", "Size at which animation ceases.");
    renderCutOff_ = addEdit("eRenderCutOff", "RenderCutOff:", "Size at which model is not rendered.");
    attachmentCutOff_ = addEdit("eAttachmentCutOff", "AttachmentCutOff:", "Size at which :Cull attachments are hidden.");
    for (int i = 0; i < kLodEditorRows; ++i, ++row) {
        const auto n = static_cast<std::size_t>(i);
        const QString number = QString::number(i + 1);
        rowBoxes_[n] = new QCheckBox("Mesh &" + number + ":", fields);
        rowBoxes_[n]->setObjectName("cbMesh" + number);
        rowPercents_[n] = new QLineEdit(fields);
        rowPercents_[n]->setObjectName("eMesh" + number);
        rowPercents_[n]->setValidator(numbers);
        rowPercents_[n]->setToolTip("% of screen");
        rowPercents_[n]->setPlaceholderText("0.0");
        rowFiles_[n] = new QComboBox(fields);
        rowFiles_[n]->setObjectName("fMesh" + number);
        rowFiles_[n]->setEditable(true);  // a mesh outside the folder's list is kept as named
        rowFiles_[n]->setInsertPolicy(QComboBox::NoInsert);
        auto* percentRow = new QHBoxLayout;
        percentRow->addWidget(rowPercents_[n]);
        percentRow->addWidget(new QLabel("% of screen", fields));
        grid->addWidget(rowBoxes_[n], row, 0);
        grid->addLayout(percentRow, row, 1);
        grid->addWidget(rowFiles_[n], row, 2);
        connect(rowBoxes_[n], &QCheckBox::clicked, this, [this] { DataChange(); });
        connect(rowPercents_[n], &QLineEdit::textChanged, this, [this] { DataChange(); });
        connect(rowFiles_[n], &QComboBox::currentTextChanged, this, [this] { DataChange(); });
    }
    grid->setColumnStretch(2, 1);
    AddScrollingFields(*this, fields);
    memo_ = AddFileMemo(
        *this, [this] { MemoChange(); }, [this] { SaveClick(); }, [this] { Reload(); },
        [this] {
            if (OpenHelpPage) OpenHelpPage("lm.txt");
        });
    Clear();
}

QToolButton* TLODView::Button(const char* name) const { return FrameButton(*this, name); }
QLineEdit* TLODView::Edit(const char* name) const { return findChild<QLineEdit*>(name); }
bool TLODView::IsRed(const QWidget* field) { return field->property("lightRed").toBool(); }

void TLODView::DataChange() {
    if (loading_ || editor_.Path.empty()) return;
    LodFile& f = editor_.Fields;
    f.Version = version_->text().toStdString();
    f.Offset = offset_->text().toStdString();
    f.CalcPoint = calcPoint_->currentText().toStdString();
    f.Multiplier = multiplier_->text().toStdString();
    f.AnimationCutOff = animationCutOff_->text().toStdString();
    f.RenderCutOff = renderCutOff_->text().toStdString();
    f.AttachmentCutOff = attachmentCutOff_->text().toStdString();
    for (std::size_t i = 0; i < static_cast<std::size_t>(kLodEditorRows); ++i) {
        f.Meshes[i].Ticked = rowBoxes_[i]->isChecked();
        f.Meshes[i].Percent = rowPercents_[i]->text().toStdString();
        f.Meshes[i].File = rowFiles_[i]->currentText().toStdString();
    }
    editor_.DataChange();
    ShowText();
}

void TLODView::MemoChange() {
    if (loading_ || editor_.Path.empty()) return;
    editor_.MemoChange(MemoTextToFile(QString::fromStdString(MemoText(*memo_)), editor_.Text));
    ShowFields();
    ShowState();
}

void TLODView::ShowFields() {
    const bool was = loading_;
    loading_ = true;
    const LodFile& f = editor_.Fields;
    SetText(version_, f.Version);
    SetText(offset_, f.Offset);
    if (calcPoint_->currentText() != Q(f.CalcPoint)) calcPoint_->setCurrentText(Q(f.CalcPoint));
    SetText(multiplier_, f.Multiplier);
    SetText(animationCutOff_, f.AnimationCutOff);
    SetText(renderCutOff_, f.RenderCutOff);
    SetText(attachmentCutOff_, f.AttachmentCutOff);
    if (shownMeshFiles_ != editor_.MeshFiles) {
        shownMeshFiles_ = editor_.MeshFiles;
        for (QComboBox* combo : rowFiles_) {
            combo->clear();
            for (const std::string& file : shownMeshFiles_) combo->addItem(Q(file));
        }
    }
    for (std::size_t i = 0; i < static_cast<std::size_t>(kLodEditorRows); ++i) {
        const TLodMeshRow row = i < f.Meshes.size() ? f.Meshes[i] : TLodMeshRow();
        rowBoxes_[i]->setChecked(row.Ticked);
        SetText(rowPercents_[i], row.Percent);
        if (rowFiles_[i]->currentText() != Q(row.File)) rowFiles_[i]->setCurrentText(Q(row.File));
    }
    loading_ = was;
}

void TLODView::ShowText() {
    const bool was = loading_;
    loading_ = true;
    memo_->setPlainText(FileTextToMemo(editor_.Text));
    loading_ = was;
    ShowState();
}

void TLODView::ShowState() {
    QPalette p = memo_->palette();
    p.setColor(QPalette::Text, ToQColor(SchemeColour(&state_.Settings(), editor_.Modified ? skModified : skNormal, true)));
    memo_->setPalette(p);
    Button("bSave")->setEnabled(editor_.Modified);
    Button("bReload")->setEnabled(!editor_.Path.empty());
    const bool shown = !editor_.Path.empty();
    SetRed(version_, shown && editor_.VersionRed(), QPalette::Button);
    SetRed(multiplier_, shown && editor_.MultiplierRed(), QPalette::Button);
    const std::vector<bool> red = editor_.RedRows();
    for (std::size_t i = 0; i < static_cast<std::size_t>(kLodEditorRows); ++i)
        SetRed(rowPercents_[i], i < red.size() && red[i], QPalette::Base);
    if (const std::string alert = shown ? editor_.Alert() : std::string(); !alert.empty())
        Alert()->ShowAlert(alert, true, 0);
    else if (StartsWith(Alert()->Text(), "Not understood, "))
        Alert()->Close();
}

}  // namespace kelvarn
