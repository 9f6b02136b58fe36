#include "media/ui/TextureView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include "media/ui/EditedFrame.h"
#include "shell/Colours.h"
#include "shell/ProgramState.h"
#include "shell/ui/QtServices.h"

namespace kelvarn {

namespace {

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

void FillImages(QComboBox* combo, const std::vector<std::string>& images) {
    combo->clear();
    for (const std::string& image : images) combo->addItem(Q(image));
}

}  // namespace

TTextureView::TTextureView(TProgramState& state, QWidget* parent)
    : TEditedFrame<TDescriptorEditor>("TextureView", "Texture", state, parent) {
    AddEditorButtons(*this);
    auto* fields = new QWidget(Body());
    auto* grid = new QGridLayout(fields);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setVerticalSpacing(2);
    const auto keys = DescriptorKeys();
    for (int field = 0; field < kDescriptorFields; ++field) {
        const auto i = static_cast<std::size_t>(field);
        const QString name = Q(keys[i].Name);
        if (field == 0) {
            grid->addWidget(new QLabel("Primary:", fields), field, 0);
        } else {
            auto* box = new QCheckBox(name + ":", fields);
            box->setObjectName("x" + name);
            box->setProperty("tag", field);
            grid->addWidget(box, field, 0);
            boxes_[i] = box;
            connect(box, &QCheckBox::clicked, this, [this, field](bool ticked) { ChangeCheckBox(field, ticked); });
        }
        auto* combo = new QComboBox(fields);
        combo->setObjectName("cb" + name);
        combo->setProperty("tag", field);
        combos_[i] = combo;
        if (field < 2) {
            // Free text allowed: a name that is not in the folder is kept as it is.
            combo->setEditable(true);
            combo->setInsertPolicy(QComboBox::NoInsert);
            grid->addWidget(combo, field, 1, 1, 2);
            connect(combo, &QComboBox::currentTextChanged, this, [this, field] { ChangeValues(field); });
        } else {
            combo->addItem("-");
            for (std::string_view value : keys[i].Values) combo->addItem(Q(value));
            grid->addWidget(combo, field, 1);
            auto* help = new QLabel(fields);
            help->setObjectName("h" + name);
            helps_[i] = help;
            grid->addWidget(help, field, 2);
            connect(combo, &QComboBox::currentIndexChanged, this, [this, field] { ChangeValues(field); });
        }
    }
    grid->setColumnStretch(2, 1);
    AddScrollingFields(*this, fields);
    memo_ = AddFileMemo(
        *this, [this] { MemoChange(); }, [this] { SaveClick(); }, [this] { Reload(); },
        [this] {
            if (OpenHelpPage) OpenHelpPage("texture.txt");
        });
    Clear();
}

QToolButton* TTextureView::Button(const char* name) const { return FrameButton(*this, name); }

void TTextureView::ChangeValues(int field) {
    if (loading_ || editor_.Path.empty()) return;
    QComboBox* combo = Combo(field);
    editor_.ChangeValue(field, combo->currentText().toStdString());
    ShowFields();
    ShowText();
}

void TTextureView::ChangeCheckBox(int field, bool ticked) {
    if (loading_ || editor_.Path.empty()) return;
    editor_.ChangeCheckBox(field, ticked);
    ShowFields();
    ShowText();
}

void TTextureView::MemoChange() {
    if (loading_ || editor_.Path.empty()) return;
    editor_.MemoChange(MemoTextToFile(QString::fromStdString(MemoText(*memo_)), editor_.Text));
    ShowFields();
    ShowState();
}

void TTextureView::ShowFields() {
    const bool was = loading_;
    loading_ = true;
    const TextureDescriptor& d = editor_.Fields;
    if (shownImages_ != editor_.Images) {
        shownImages_ = editor_.Images;
        for (int field : {0, 1}) FillImages(Combo(field), shownImages_);
    }
    for (int field : {0, 1}) {
        const QString text = Q(field == 0 ? d.Primary : d.Alpha);
        if (Combo(field)->currentText() != text) Combo(field)->setCurrentText(text);
    }
    CheckBox(1)->setChecked(d.IsSet(1));
    for (int field = 2; field < kDescriptorFields; ++field) {
        const int item = d.Items[static_cast<std::size_t>(field)];
        Combo(field)->setCurrentIndex(item);
        CheckBox(field)->setChecked(item >= 1);
        HelpLabel(field)->setText(Q(DescriptorHelpText(field, item)));
    }
    loading_ = was;
}

void TTextureView::ShowText() {
    const bool was = loading_;
    loading_ = true;
    memo_->setPlainText(FileTextToMemo(editor_.Text));
    loading_ = was;
    ShowState();
}

void TTextureView::ShowState() {
    QPalette p = memo_->palette();
    p.setColor(QPalette::Text, ToQColor(SchemeColour(&state_.Settings(), editor_.Modified ? skModified : skNormal, true)));
    memo_->setPalette(p);
    Button("bSave")->setEnabled(editor_.SaveEnabled());
    Button("bReload")->setEnabled(!editor_.Path.empty());
    if (editor_.Path.empty()) return;
    if (const std::string alert = editor_.Alert(); !alert.empty())
        Alert()->ShowAlert(alert, true, 0);
    else if (Alert()->Text() == "Primary texture must be defined")
        Alert()->Close();
}

}  // namespace kelvarn
