// The editor window's tag pages: each page editor fills its controls from the tag's value and the
// rules of TagEditorPages.h, and OK turns the shown page's fields back into the record.
#include <QAbstractItemView>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QToolButton>
#include <algorithm>

#include "catalogue/TagEditing.h"
#include "catalogue/WikiHelp.h"
#include "catalogue/ui/Editor.h"
#include "media/GridModel.h"
#include "shell/MessageSink.h"
#include "shell/ProgramState.h"
#include "shell/SettingsKeys.h"
#include "shell/Strings.h"
#include "shell/Text.h"
#include "shell/ui/ColourBox.h"
#include "shell/ui/Frames.h"
#include "shell/ui/XEdit.h"

namespace kelvarn {

namespace {

QString Qs(const std::string& text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }
std::string Ss(const QString& text) { return text.toStdString(); }

constexpr std::array<int, kEditorSections> kDefaultWidths = {-1, -1, -1, -1, -1};

std::string Language(const TProgramState& state) { return ReadSetting(state.Settings(), keys::Language); }

double ParsedOr(const std::string& text, double fallback) {
    double value = 0;
    return TryParseDouble(Trim(text), value) ? value : fallback;
}

void SetupSpin(QDoubleSpinBox* spin, const TNumberSetup& s, const std::string& start) {
    const QSignalBlocker block(spin);
    spin->setDecimals(s.isInt ? 0 : s.decimals);
    if (s.limited) spin->setRange(s.min, s.max);
    else spin->setRange(-1e12, 1e12);
    spin->setSingleStep(s.step);
    spin->setValue(ParsedOr(start, 0));
}

}  // namespace

// --- the enum combo

void TEnumCombo::showPopup() {
    if (!open_) {
        open_ = true;
        if (BeforePopup) BeforePopup();
    }
    QComboBox::showPopup();
}

void TEnumCombo::hidePopup() {
    QComboBox::hidePopup();
    if (open_) {
        open_ = false;
        if (AfterPopup) AfterPopup();
    }
}

void TEnumCombo::keyPressEvent(QKeyEvent* event) {
    if (!open_ && (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)) {
        showPopup();
        return;
    }
    if (open_ && (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Delete)) return;
    QComboBox::keyPressEvent(event);
}

// --- wiring of the page controls

void TEditor::ConnectPages() {
    // Bool: the check box writes the field; keys in the field set it and the box follows.
    connect(StringCheck, &QCheckBox::clicked, this, [this](bool checked) {
        if (plan_.page == TEditorPage::Bool) StringValue->setText(checked ? "1" : "0");
    });
    StringValue->installEventFilter(this);
    // A bare number in the KUID field is completed when the field is left.
    connect(StringValue, &QLineEdit::editingFinished, this, [this] {
        if (plan_.page != TEditorPage::String || plan_.charClass != ctKuid) return;
        const std::string done = CompleteKuid(Ss(StringValue->text()), ReadSetting(state_.Settings(), keys::UserID),
                                              state_.CurrentKuid);
        if (done != Ss(StringValue->text())) StringValue->setText(Qs(done));
    });
    // Enum: the value's entry leaves the list while it is open; a chosen entry comes back cleaned.
    EnumCombo->BeforePopup = [this] {
        const QSignalBlocker block(EnumCombo);
        enumCurrent_ = Ss(EnumCombo->currentText());
        if (EnumCombo->count() > 0) EnumCombo->removeItem(0);
        EnumCombo->setCurrentIndex(-1);
    };
    EnumCombo->AfterPopup = [this] {
        const QSignalBlocker block(EnumCombo);
        // Closed without a choice: the value stays what it was.
        EnumCombo->insertItem(0, Qs(enumCurrent_));
        EnumCombo->setCurrentIndex(0);
    };
    connect(EnumCombo, &QComboBox::activated, this, [this](int index) {
        if (index < 0) return;
        enumCurrent_ = CleanEntry(TagTypeOf(Record), Ss(EnumCombo->itemText(index)), Record.Ext);
    });
    // Set: checking builds the value; Ctrl+I, Ctrl+T and Ctrl+U invert, check and uncheck all.
    connect(SCheck, &QListWidget::itemChanged, this, [this] { SetChecksChange(); });
    SCheck->installEventFilter(this);
    connect(SetValue, &QLineEdit::textEdited, this, [this] {
        if (!filling_) setChanged_ = true;
    });
    // Numbers: a change by the user is what OK takes, and so is a number typed, even one that reads
    // as the value shown (0.12 typed where 0.12345 shows as 0.12); the step label's clicks change
    // the step.
    connect(NumberValue, &QDoubleSpinBox::valueChanged, this, [this] {
        if (!filling_) numberChanged_ = NumberValue->value() != numberFilled_;
    });
    connect(NumberValue->findChild<QLineEdit*>(), &QLineEdit::textEdited, this, [this] {
        if (!filling_) numberTyped_ = true;
    });
    for (std::size_t i = 0; i < NListElement.size(); ++i) {
        QDoubleSpinBox* spin = NListElement[i];
        connect(spin, &QDoubleSpinBox::valueChanged, this, [this] {
            if (filling_) return;
            NListChange();
        });
        connect(spin->findChild<QLineEdit*>(), &QLineEdit::textEdited, this, [this, i] {
            if (filling_) return;
            if (i < nlistTyped_.size()) nlistTyped_[i] = true;
            NListChange();
        });
    }
    NumberStep->installEventFilter(this);
    LabelE0_1->installEventFilter(this);
    connect(IDCombo, &QComboBox::activated, this, [this] {
        if (ShownPage(esA) == epCombo) IDComboChange();
    });
    connect(ColourButton, &QPushButton::clicked, this, [this] { EditColour(); });
}

bool TEditor::eventFilter(QObject* watched, QEvent* event) {
    if (PageEvent(watched, event)) return true;
    return QDialog::eventFilter(watched, event);
}

bool TEditor::PageEvent(QObject* watched, QEvent* event) {
    if (watched == StringValue && event->type() == QEvent::KeyPress && plan_.page == TEditorPage::Bool) {
        auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        if (text.size() != 1 || !(text[0].isDigit() || text[0] == ' ')) return false;
        const std::string value = BoolFieldKey(Ss(StringValue->text()), char32_t(text[0].unicode()));
        StringValue->setText(Qs(value));
        StringCheck->setChecked(value == "1");
        return true;
    }
    if (watched == SCheck && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!(key->modifiers() & Qt::ControlModifier)) return false;
        const int k = key->key();
        if (k != Qt::Key_I && k != Qt::Key_T && k != Qt::Key_U) return false;
        {
            const QSignalBlocker block(SCheck);
            for (int i = 0; i < SCheck->count(); ++i) {
                QListWidgetItem* item = SCheck->item(i);
                const bool on = k == Qt::Key_T || (k == Qt::Key_I && item->checkState() != Qt::Checked);
                item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
            }
        }
        SetChecksChange();
        return true;
    }
    if ((watched == NumberStep || watched == LabelE0_1) && event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton && mouse->button() != Qt::RightButton) return false;
        SetStep(StepAfterClick(number_.step, mouse->button() == Qt::LeftButton, number_.isInt));
        return true;
    }
    return false;
}

// --- the shared steps

void TEditor::BeginPage(int size, const std::string& name) {
    filling_ = true;
    ResetEditor(size);
    ShowTagLabel(name, plan_.translation);
    TagValue->setText(Qs(name));
    if (IDCombo->findText(Qs(name)) < 0) IDCombo->addItem(Qs(name));
    IDCombo->setCurrentIndex(IDCombo->findText(Qs(name)));
    // The status line: a user tag's definition among the config's extensions, else the help text.
    std::string status = HelpDescription(Record.Help);
    if (status.empty()) status = Record.Path;
    if (plan_.page == TEditorPage::UserTag || plan_.page == TEditorPage::UserTable)
        if (std::string definition = TagDefinition ? TagDefinition(name) : std::string(); !definition.empty())
            status = definition;
    HelpLabel->setText(Qs(status));
}

void TEditor::EndPage(int size, const std::array<int, kEditorSections>& pages, QWidget* focus) {
    // Section A is as wide as the tag's name needs, at least its default.
    std::array<int, kEditorSections> widths = kDefaultWidths;
    if (pages[esA] == epLabel) widths[esA] = std::max(100, QFontMetrics(PLabel->font()).horizontalAdvance(PLabel->text()) + 16);
    ArrangeSections(pages, widths);
    bEditHelp->show();
    if (plan_.translation) {
        for (QWidget* w : std::initializer_list<QWidget*>{TranslateLabel, TranslateValue, BigTranslateLabel, BigTranslateValue})
            w->show();
    }
    // A positive size places the window at the mouse; a negative one leaves it where it is.
    if (size > 0) PositionAtCursor(40, 40, focus);
    else focus_ = focus;
    filling_ = false;
}

void TEditor::TagEditor(const std::string& path, const std::string& name, const std::string& value) {
    Record.Path = path;
    Record.Name = name;
    Record.Value = value;
    ResetEditor(-1);
    IDCombo->clear();
    EditPath = path;
    plan_ = ChoosePage(Record, Language(state_));
    OpenPlan(plan_.size, name, value);
    EditPath = path;
}

void TEditor::OpenPlan(int size, const std::string& name, const std::string& value) {
    numberChanged_ = nlistChanged_ = numberTyped_ = setChanged_ = false;
    nlistTyped_.assign(NListElement.size(), false);
    const std::string keepPath = EditPath;
    switch (plan_.page) {
        case TEditorPage::Message:
            ShowNotEditable(size, plan_.message);
            ShowTagLabel(name, false);
            break;
        case TEditorPage::List: EditList(size, name); break;
        case TEditorPage::UserTable: EditUserTable(size, name); break;
        case TEditorPage::UserTag: EditUserTag(size, name, value); break;
        case TEditorPage::Memo: EditMemo(size, name, value); break;
        case TEditorPage::String: EditString(size, name, value, plan_.charClass); break;
        case TEditorPage::Bool: EditBool(size, name, value); break;
        case TEditorPage::Enum: EditEnum(size, name, value); break;
        case TEditorPage::Set: EditSet(size, name, value); break;
        case TEditorPage::Number: EditNumber(size, name, value); break;
        case TEditorPage::NumberList: EditNumberList(size, name, value); break;
    }
    EditPath = keepPath;
}

// --- the page editors

void TEditor::EditString(int size, const std::string& name, const std::string& value, TCharType charClass) {
    BeginPage(size, name);
    StringValue->SetCharType(charClass);
    StringValue->setText(Qs(value));
    TranslateValue->setText(Qs(Record.CompanionValue));
    // Colour tags show their text and the colour button.
    const int c = IsColourType(TagTypeOf(Record)) ? epColour : -1;
    EndPage(size, {epLabel, -1, c, -1, epString}, StringValue);
}

void TEditor::EditBool(int size, const std::string& name, const std::string& value) {
    BeginPage(size, name);
    StringValue->SetCharType(ctBool);
    const std::string v = Trim(value) == "1" ? "1" : "0";
    StringValue->setText(Qs(v));
    StringCheck->setChecked(v == "1");
    EndPage(size, {epLabel, -1, epCheck, -1, epString}, StringValue);
}

void TEditor::EditMemo(int size, const std::string& name, const std::string& value) {
    BeginPage(size, name);
    BigStringValue->setPlainText(Qs(MemoToText(value)));
    BigTranslateValue->setPlainText(Qs(MemoToText(Record.CompanionValue)));
    EndPage(size, {epLabel, -1, -1, -1, epBigString}, BigStringValue);
}

void TEditor::EditUserTag(int size, const std::string& name, const std::string& value) {
    BeginPage(size, name);
    StringValue->setText(Qs(value));
    EndPage(size, {epLabel, epTagName, -1, -1, epString}, TagValue);
}

void TEditor::EditUserTable(int size, const std::string& name) {
    BeginPage(size, name);
    EndPage(size, {epLabel, epTagName, -1, -1, -1}, TagValue);
}

void TEditor::EditList(int size, const std::string& name) {
    BeginPage(size, name);
    table_.ShowTagList(state_.CsvList, TagTypeOf(Record));
    table_.FillClose();
    EndPage(size, {epLabel, -1, -1, -1, epTable}, table_.MainControl());
}

void TEditor::EditEnum(int size, const std::string& name, const std::string& value) {
    BeginPage(size, name);
    std::vector<std::string> list;
    if (std::string message = Fillcombo(state_, Record, state_.AssetPath(), FillSources(), list); !message.empty())
        state_.Messages->ShowMessage(message);
    std::sort(list.begin(), list.end(), [](const std::string& a, const std::string& b) { return LowerCase(a) < LowerCase(b); });
    {
        const QSignalBlocker block(EnumCombo);
        EnumCombo->clear();
        EnumCombo->addItem(Qs(value));
        for (const std::string& entry : list) EnumCombo->addItem(Qs(entry));
        EnumCombo->setCurrentIndex(0);
    }
    enumCurrent_ = value;
    EnumCombo->show();
    EndPage(size, {epLabel, -1, -1, epEnum, -1}, EnumCombo);
}

void TEditor::EditSet(int size, const std::string& name, const std::string& value) {
    BeginPage(size, name);
    if (std::string message = FillSetList(state_, Record, state_.AssetPath(), FillSources(), setItems_); !message.empty())
        state_.Messages->ShowMessage(message);
    const std::vector<bool> checked = ChecksFromSetValue(setItems_, value);
    {
        const QSignalBlocker block(SCheck);
        SCheck->clear();
        for (std::size_t i = 0; i < setItems_.size(); ++i) {
            auto* item = new QListWidgetItem(Qs(setItems_[i]), SCheck);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(checked[i] ? Qt::Checked : Qt::Unchecked);
        }
    }
    SetValue->setText(Qs(value));
    SCheck->show();
    EndPage(size, {epLabel, -1, -1, epSet, -1}, SCheck);
}

void TEditor::SetChecksChange() {
    if (filling_) return;
    setChanged_ = true;
    std::vector<bool> checked;
    for (int i = 0; i < SCheck->count(); ++i) checked.push_back(SCheck->item(i)->checkState() == Qt::Checked);
    SetValue->setText(Qs(SetValueFromChecks(setItems_, checked, Record.Name)));
}

void TEditor::EditNumber(int size, const std::string& name, const std::string& value) {
    BeginPage(size, name);
    number_ = NumberSetup(Record, value, false);
    SetupSpin(NumberValue, number_, number_.start);
    numberFilled_ = NumberValue->value();
    NumberStep->setText(Qs(number_.stepLabel));
    EndPage(size, {epLabel, -1, -1, epNumber, -1}, NumberValue);
}

void TEditor::EditNumberList(int size, const std::string& name, const std::string& value) {
    BeginPage(size, name);
    number_ = NumberSetup(Record, value, true);
    nlistFilled_.assign(NListElement.size(), 0);
    for (std::size_t i = 0; i < NListElement.size(); ++i) {
        const bool used = i < number_.elements.size();
        NListElement[i]->setVisible(used);
        if (i < NListCaption.size()) NListCaption[i]->setVisible(used);
        if (used) SetupSpin(NListElement[i], number_, number_.elements[i]);
        nlistFilled_[i] = NListElement[i]->value();
    }
    NListValue->setText(Qs(value));
    LabelE0_1->setText(Qs(number_.stepLabel));
    EndPage(size, {epLabel, -1, -1, epNumberList, -1}, NListElement[0]);
}

void TEditor::NListChange() {
    std::vector<std::string> texts;
    std::vector<bool> changed;
    for (std::size_t i = 0; i < number_.elements.size() && i < NListElement.size(); ++i) {
        texts.push_back(Ss(NListElement[i]->cleanText()));
        changed.push_back(i >= nlistFilled_.size() || NListElement[i]->value() != nlistFilled_[i] ||
                          (i < nlistTyped_.size() && nlistTyped_[i]));
    }
    nlistChanged_ = std::find(changed.begin(), changed.end(), true) != changed.end();
    NListValue->setText(Qs(EditedNumberList(number_.elements, texts, changed, number_.isInt, number_.decimals)));
}

void TEditor::SetStep(double step) {
    number_.step = step;
    NumberValue->setSingleStep(step);
    for (QDoubleSpinBox* spin : NListElement) spin->setSingleStep(step);
    const std::string text = "\xC2\xB1" + StepText(step);
    NumberStep->setText(Qs(Record.Units + " " + text));
    LabelE0_1->setText(Qs(text));
}

// --- the chooser

void TEditor::MultiTagEditor(const std::string& path, const std::string& name, const std::vector<std::string>& names,
                             const std::string& caption) {
    ResetEditor(600155);
    EditPath = path;
    std::vector<std::string> sorted = names;
    std::sort(sorted.begin(), sorted.end(), [](const std::string& a, const std::string& b) { return LowerCase(a) < LowerCase(b); });
    for (const std::string& n : sorted) IDCombo->addItem(Qs(n));
    const int at = IDCombo->findText(Qs(name));
    IDCombo->setCurrentIndex(at >= 0 ? at : 0);
    ComboCaption_->setText(Qs(caption));
    setWindowTitle(Qs(caption));
    ArrangeSections({epCombo, -1, -1, -1, epString}, kDefaultWidths);
    PositionAtCursor(40, 40, IDCombo);
    IDComboChange();
}

void TEditor::IDComboChange() {
    const std::string name = Ss(IDCombo->currentText());
    if (name.empty()) return;
    const std::string base = EditPath;  // the chooser's path (the container, ending in "\")
    const std::string caption = Ss(ComboCaption_->text());
    const std::string title = Ss(windowTitle());
    if (ChooserRecordOf) {
        Record = ChooserRecordOf(name);
    } else {
        Record = DefaultTagSpec();
        Record.Path = base + name;
        Record.Name = name;
    }
    plan_ = ChoosePage(Record, Language(state_));
    const int type = TagTypeOf(Record);
    // A list type starts from its captions row (callback 232 renders it into the CSV list).
    if (IsListType(type)) state_.SendCommand(ccContainerTable, "");
    // The chooser's names stay; the value page of the chosen type joins them in place.
    std::vector<std::string> names;
    for (int i = 0; i < IDCombo->count(); ++i) names.push_back(Ss(IDCombo->itemText(i)));
    if (IsColourType(type)) {
        plan_.page = TEditorPage::String;
        plan_.message.clear();
    }
    OpenPlan(-1, name, Record.Value);
    {
        const QSignalBlocker block(IDCombo);
        IDCombo->clear();
        for (const std::string& n : names) IDCombo->addItem(Qs(n));
        IDCombo->setCurrentIndex(IDCombo->findText(Qs(name)));
    }
    ComboCaption_->setText(Qs(caption));
    setWindowTitle(Qs(title));
    // A container chosen here is added by OK: the page says what the chooser does, not that its name
    // cannot be edited.
    if (type == ttContainer) MessageLabel->setText(Qs(caption + ": " + name));
    // In place, but at least as large as the chosen page needs: a table, say, shows more than a row.
    if (const TEditorSize own = DecodeEditorSize(plan_.size); !own.keep)
        resize(size().expandedTo(QSize(own.width, own.height)));
    EditPath = base;
    // The chooser keeps its name choice on top of the value page.
    std::array<int, kEditorSections> pages{};
    for (int s = 0; s < kEditorSections; ++s) pages[static_cast<std::size_t>(s)] = ShownPage(s);
    pages[esA] = epCombo;
    if (IsColourType(type)) pages[esC] = epColour;
    ArrangeSections(pages, kDefaultWidths);
    focus_ = IDCombo;
}

// --- colour

void TEditor::EditColour() {
    if (!ColourBox) return;
    const std::string format = LowerCase(Record.Format);
    const std::string caption = Ss(windowTitle());
    const std::string text = Ss(StringValue->text());
    if (format == "rgba") ColourBox->PrepareRgbaColour(caption, text);
    else if (format == "hls") ColourBox->PrepareHlsColour(caption, text);
    else ColourBox->PrepareRgbColour(caption, text);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect r = ColourBox->frameGeometry();
        r.moveCenter(screen->availableGeometry().center());
        ColourBox->move(r.topLeft());
    }
    if (ColourBox->exec() == QDialog::Accepted) StringValue->setText(Qs(ColourBox->GetColourString(format)));
}

// --- OK

TFillSources TEditor::FillSources() const {
    TFillSources sources;
    sources.ConfigList = [this](const std::string& rest, std::vector<std::string>& list) {
        auto* self = const_cast<TEditor*>(this);
        self->ConfigList.clear();
        state_.SendCommand(ccListChildren, rest);
        list = ConfigList;
    };
    sources.Prepared = PreparedList;
    return sources;
}

TPageFields TEditor::PageFields() const {
    TPageFields f;
    f.IDCombo = Ss(IDCombo->currentText());
    f.TagValue = Ss(TagValue->text());
    f.StringValue = Ss(StringValue->text());
    f.TranslateValue = Ss(TranslateValue->text());
    f.BigStringValue = Ss(BigStringValue->toPlainText());
    f.BigTranslateValue = Ss(BigTranslateValue->toPlainText());
    f.EnumCombo = Ss(EnumCombo->currentText());
    f.SetValue = Ss(SetValue->text());
    f.SetChanged = setChanged_;
    f.NumberValue = Ss(NumberValue->cleanText());
    f.NumberChanged = numberChanged_ || numberTyped_;
    f.NListValue = Ss(NListValue->text());
    f.NListChanged = nlistChanged_;
    f.GridModified = table_.Modified();
    return f;
}

// The table's cells travel as CSV lines into a grid of their own, so OK reads what the table holds,
// every row and cell of it.
void TEditor::LoadTableCells(GridModel& grid) const {
    std::vector<std::string> lines{""};
    for (const std::vector<std::string>& row : table_.DataCells()) lines.push_back(JoinCsvLine(row));
    grid.LoadTable(lines);
}

bool TEditor::TableRowsAccepted() {
    // Only while the tag's table shows: the window serves other tasks between tag edits.
    if (plan_.page != TEditorPage::List || ShownPage(esE) != epTable || !table_.Modified()) return true;
    GridModel grid;
    LoadTableCells(grid);
    const std::string refusal = TableRowsRefusal(GridToCsv(grid), Record);
    if (refusal.empty()) return true;
    // The rows stay on the page, as typed, to be corrected.
    state_.Messages->ShowMessage(refusal, "", MessageKind::Error);
    return false;
}

bool TEditor::StoreRecord() {
    TPageFields fields = PageFields();
    GridModel grid;
    if (plan_.page == TEditorPage::List && fields.GridModified) {
        LoadTableCells(grid);
        fields.Grid = &grid;
    }
    if (plan_.page == TEditorPage::Set) {
        std::string error;
        const std::string saved =
            SaveSetToIni(state_, Record.Source, Ss(SetValue->text()), setItems_, cbSaveSet->isChecked(), error);
        // An untouched value is no edit: its items stay in their own order.
        if (setChanged_) SetValue->setText(Qs(saved));
        fields.SetValue = Ss(SetValue->text());
        if (!error.empty()) state_.Messages->ShowMessage(error, "", MessageKind::Error);
    }
    bOKClick(Record, fields, Language(state_), ReadSetting(state_.Settings(), keys::UserID), state_.CurrentKuid,
             state_.CsvList);
    return plan_.page != TEditorPage::Message || IsColourType(TagTypeOf(Record));
}

}  // namespace kelvarn
