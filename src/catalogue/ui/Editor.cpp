#include "catalogue/ui/Editor.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QDoubleSpinBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "catalogue/OutlineDocument.h"
#include "catalogue/OutlineWiring.h"
#include "catalogue/UndoStack.h"
#include "catalogue/ui/OutlineView.h"
#include "shell/MessageSink.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/SettingsKeys.h"
#include "shell/TextLibrary.h"
#include "shell/ui/Alert.h"
#include "shell/ui/Frames.h"
#include "shell/ui/Viewer.h"
#include "shell/ui/XEdit.h"

namespace kelvarn {

namespace {

QString Qs(const std::string& text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

QDoubleSpinBox* MakeSpin(const char* name, QWidget* parent) {
    auto* spin = new QDoubleSpinBox(parent);
    spin->setObjectName(name);
    // Numbers always take "." whatever the desktop's locale.
    spin->setLocale(QLocale::c());
    spin->setRange(-1e9, 1e9);
    spin->setContextMenuPolicy(Qt::NoContextMenu);
    return spin;
}

QWidget* EmptyPage(QStackedWidget* section) {
    auto* page = new QWidget(section);
    section->addWidget(page);
    return page;
}

// A page with a vertical layout, added to its section.
QVBoxLayout* AddPage(QStackedWidget* section, const char* name) {
    auto* page = new QWidget(section);
    if (name) page->setObjectName(name);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    section->addWidget(page);
    return layout;
}

constexpr const char* kNumberListCaptions[5] = {"Left/Right", "Front/Back", "Up/Down", "Yaw", "Pitch"};

// The review dialog's button panel and the width its three buttons take.
constexpr int kReviewButtonPanel = 275;

}  // namespace

TEditor::TEditor(TProgramState& state, ITextViewer& textView, ITableViewer& tableView, QWidget* mainWindow)
    : QDialog(mainWindow),
      state_(state),
      text_(textView),
      table_(tableView),
      mainWindow_(mainWindow),
      outline_(std::make_unique<TOutlineDocument>(state, std::string(kEditorUndoPrefix))),
      outlineWiring_(std::make_unique<TOutlineWiring>(state, *outline_, false)) {
    setObjectName("Editor");
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    BuildSections();
    for (QWidget* panel : panels_) layout->addWidget(panel);
    layout->setStretchFactor(panels_[2], 1);
    BuildFooter();
    BuildAssetPages();
    // The strips of the embedded frames take the Alert colours.
    ApplyAlertScheme(*text_.Alert(), state_.Settings());
    ApplyAlertScheme(*table_.Alert(), state_.Settings());
    ApplyAlertScheme(*outlineView_->Alert(), state_.Settings());
    ResetEditor(600155);
}

TEditor::~TEditor() {
    // The controls outlive this part of the window: their signals and events must no longer reach it.
    for (QObject* child : findChildren<QObject*>()) {
        QObject::disconnect(child, nullptr, this, nullptr);
        child->removeEventFilter(this);
    }
    // The outline view works on the document: it goes first.
    delete outlineView_;
}

void TEditor::BuildSections() {
    const char* names[kEditorSections] = {"SectionA", "SectionB", "SectionC", "SectionD", "SectionE"};
    for (int s = 0; s < kEditorSections; ++s) {
        auto* section = new QStackedWidget(this);
        section->setObjectName(names[s]);
        sections_[static_cast<std::size_t>(s)] = section;
    }
    // A: the label, the tag-name choice.
    QStackedWidget* a = Section(esA);
    QVBoxLayout* l = AddPage(a, "PLabel");
    PLabel = new QLabel(a);
    PLabel->setObjectName("PLabelText");
    PLabel->setWordWrap(true);
    l->addWidget(PLabel);
    l->addStretch();
    l = AddPage(a, "PCombo");
    ComboCaption_ = new QLabel(a);
    ComboCaption_->setObjectName("ComboCaption");
    ComboCaption_->setWordWrap(true);
    l->addWidget(ComboCaption_);
    IDCombo = new QComboBox(a);
    IDCombo->setObjectName("IDCombo");
    NextIDLabel = new QLabel(a);
    NextIDLabel->setObjectName("NextIDLabel");
    l->addWidget(IDCombo);
    l->addWidget(NextIDLabel);
    l->addStretch();

    // B: the tag name.
    QStackedWidget* b = Section(esB);
    EmptyPage(b);
    l = AddPage(b, "PTagName");
    TagValue = new TXEdit(b);
    TagValue->setObjectName("TagValue");
    TagInfo = new QLineEdit(b);
    TagInfo->setObjectName("TagInfo");
    TagInfo->setReadOnly(true);
    l->addWidget(TagValue);
    l->addWidget(TagInfo);
    l->addStretch();

    // C: the bool check box, the colour button.
    QStackedWidget* c = Section(esC);
    EmptyPage(c);
    l = AddPage(c, "PCheck");
    StringCheck = new QCheckBox(c);
    StringCheck->setObjectName("StringCheck");
    l->addWidget(StringCheck);
    l->addStretch();
    l = AddPage(c, "PColour");
    ColourButton = new QPushButton("Colour", c);
    ColourButton->setObjectName("bColour");
    l->addWidget(ColourButton);
    l->addStretch();

    // D: the message, (1-3 the image pages), number, number list, enum and set.
    QStackedWidget* d = Section(esD);
    l = AddPage(d, "MessageTab");
    MessageLabel = new QLabel("This tag cannot be edited", d);
    MessageLabel->setObjectName("MessageLabel");
    MessageLabel->setWordWrap(true);
    l->addWidget(MessageLabel);
    l->addStretch();
    for (int p = 1; p <= 3; ++p) EmptyPage(d);
    l = AddPage(d, "NumberTab");
    NumberValue = MakeSpin("NumberValue", d);
    NumberStep = new QLabel(d);
    NumberStep->setObjectName("NumberStep");
    auto* row = new QHBoxLayout;
    row->addWidget(NumberValue);
    row->addWidget(NumberStep);
    row->addStretch();
    l->addLayout(row);
    l->addStretch();
    l = AddPage(d, "NumListTab");
    auto* grid = new QHBoxLayout;
    for (int i = 0; i < 6; ++i) {
        auto* cell = new QVBoxLayout;
        const std::string name = "NListElement" + std::to_string(i + 1);
        auto* spin = MakeSpin(name.c_str(), d);
        spin->setDecimals(3);
        spin->setFixedWidth(80);
        NListElement[static_cast<std::size_t>(i)] = spin;
        if (i < 5) {
            auto* caption = new QLabel(kNumberListCaptions[i], d);
            caption->setObjectName(QString("NListCaption%1").arg(i + 1));
            NListCaption[static_cast<std::size_t>(i)] = caption;
            cell->addWidget(caption);
        } else {
            cell->addWidget(new QLabel(d));
        }
        cell->addWidget(spin);
        grid->addLayout(cell);
    }
    grid->addStretch();
    l->addLayout(grid);
    row = new QHBoxLayout;
    NListValue = new QLineEdit(d);
    NListValue->setObjectName("NListValue");
    NListValue->setReadOnly(true);
    LabelE0_1 = new QLabel(d);
    LabelE0_1->setObjectName("LabelE0_1");
    row->addWidget(NListValue, 1);
    row->addWidget(LabelE0_1);
    l->addLayout(row);
    l->addStretch();
    l = AddPage(d, "EnumTab");
    EnumCombo = new TEnumCombo(d);
    EnumCombo->setObjectName("EnumCombo");
    l->addWidget(EnumCombo);
    l->addStretch();
    l = AddPage(d, "SetTab");
    SCheck = new QListWidget(d);
    SCheck->setObjectName("SCheck");
    SetValue = new TXEdit(d);
    SetValue->setObjectName("SetValue");
    cbSaveSet = new QCheckBox("Save to INI file", d);
    cbSaveSet->setObjectName("cbSaveSet");
    l->addWidget(SCheck, 1);
    l->addWidget(SetValue);
    l->addWidget(cbSaveSet);

    // E: the text view, the outline, the one-line and multi-line fields, the table; 6 and 7 the
    // clone and new-asset pages.
    QStackedWidget* e = Section(esE);
    EmptyPage(e);
    l = AddPage(e, "MemoTab");
    l->setContentsMargins(0, 0, 0, 0);
    l->addWidget(text_.Widget());
    outlineView_ = new TOutlineView(state_, *outline_, e);
    outlineView_->SetReadOnly(true);
    l = AddPage(e, "OutlineTab");
    l->setContentsMargins(0, 0, 0, 0);
    l->addWidget(outlineView_);
    l = AddPage(e, "StringTab");
    StringValue = new TXEdit(e);
    StringValue->setObjectName("StringValue");
    TranslateLabel = new QLabel(e);
    TranslateLabel->setObjectName("TranslateLabel");
    TranslateValue = new TXEdit(e);
    TranslateValue->setObjectName("TranslateValue");
    l->addWidget(StringValue);
    l->addWidget(TranslateLabel);
    l->addWidget(TranslateValue);
    l->addStretch();
    l = AddPage(e, "BigStringTab");
    BigStringValue = new QPlainTextEdit(e);
    BigStringValue->setObjectName("BigStringValue");
    BigTranslateLabel = new QLabel(e);
    BigTranslateLabel->setObjectName("BigTranslateLabel");
    BigTranslateValue = new QPlainTextEdit(e);
    BigTranslateValue->setObjectName("BigTranslateValue");
    l->addWidget(BigStringValue, 1);
    l->addWidget(BigTranslateLabel);
    l->addWidget(BigTranslateValue, 1);
    l = AddPage(e, "TableTab");
    l->setContentsMargins(0, 0, 0, 0);
    l->addWidget(table_.Widget());
    EmptyPage(e);
    EmptyPage(e);

    // The three panels: A|B, C|D, E.
    const char* panelNames[3] = {"TopPanel", "MiddlePanel", "BottomPanel"};
    for (int p = 0; p < 3; ++p) {
        auto* panel = new QWidget(this);
        panel->setObjectName(panelNames[p]);
        auto* row = new QHBoxLayout(panel);
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(0);
        panels_[static_cast<std::size_t>(p)] = panel;
    }
    auto add = [this](int panel, int section, int stretch) {
        static_cast<QHBoxLayout*>(panels_[static_cast<std::size_t>(panel)]->layout())->addWidget(Section(section), stretch);
    };
    add(0, esA, 0);
    add(0, esB, 1);
    add(1, esC, 0);
    add(1, esD, 1);
    add(2, esE, 1);
    // Without B or D the fixed sections keep to the left.
    for (int p = 0; p < 2; ++p) static_cast<QHBoxLayout*>(panels_[static_cast<std::size_t>(p)]->layout())->addStretch(0);
}

void TEditor::BuildFooter() {
    auto* footer = new QWidget(this);
    footer->setObjectName("Footer");
    auto* row = new QHBoxLayout(footer);
    row->setContentsMargins(6, 4, 6, 6);
    HelpLabel = new QLabel(footer);
    HelpLabel->setObjectName("HelpLabel");
    HelpLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    HelpLabel->setMinimumWidth(1);
    row->addWidget(HelpLabel, 1);
    bEditHelp = new QToolButton(footer);
    bEditHelp->setObjectName("bEditHelp");
    bEditHelp->setText("?");
    bEditHelp->setToolTip("Help");
    row->addWidget(bEditHelp);
    PreviewPanel = new QWidget(footer);
    PreviewPanel->setObjectName("PreviewPanel");
    auto* preview = new QHBoxLayout(PreviewPanel);
    preview->setContentsMargins(0, 0, 0, 0);
    cbPreview = new QCheckBox("Preview Next File", PreviewPanel);
    cbPreview->setObjectName("cbPreview");
    preview->addWidget(cbPreview);
    row->addWidget(PreviewPanel);
    ButtonPanel = new QWidget(footer);
    ButtonPanel->setObjectName("ButtonPanel");
    auto* buttons = new QHBoxLayout(ButtonPanel);
    buttons->setContentsMargins(0, 0, 0, 0);
    bOK = new QPushButton("OK", ButtonPanel);
    bOK->setObjectName("bOK");
    bCancel = new QPushButton("Cancel", ButtonPanel);
    bCancel->setObjectName("bCancel");
    bAbort = new QPushButton("Abort", ButtonPanel);
    bAbort->setObjectName("bAbort");
    buttons->addStretch();
    for (QPushButton* b : {bOK, bCancel, bAbort}) buttons->addWidget(b);
    row->addWidget(ButtonPanel);
    layout()->addWidget(footer);

    ConnectPages();
    connect(bOK, &QPushButton::clicked, this, [this] { OKClicked(); });
    connect(bCancel, &QPushButton::clicked, this, [this] { bCancelClick(bCancel); });
    connect(bAbort, &QPushButton::clicked, this, [this] { bCancelClick(bAbort); });
    connect(bEditHelp, &QToolButton::clicked, this, [this] { EditHelpClick(); });
}

QWidget* TEditor::Page(int section, int page) const {
    QStackedWidget* s = Section(section);
    return page >= 0 && page < s->count() ? s->widget(page) : nullptr;
}

void TEditor::SetPage(int section, int page, QWidget* widget) {
    QStackedWidget* s = Section(section);
    if (page < 0 || page >= s->count() || !widget) return;
    QWidget* old = s->widget(page);
    s->insertWidget(page, widget);
    s->removeWidget(old);
    old->deleteLater();
}

int TEditor::ShownPage(int section) const {
    QStackedWidget* s = Section(section);
    return s->isVisibleTo(const_cast<TEditor*>(this)) ? s->currentIndex() : -1;
}

void TEditor::ClearFields() {
    for (QLineEdit* edit : std::initializer_list<QLineEdit*>{TagValue, TagInfo, SetValue, StringValue, TranslateValue, NListValue})
        edit->clear();
    for (QPlainTextEdit* memo : {BigStringValue, BigTranslateValue}) memo->clear();
    for (QLabel* label : {PLabel, ComboCaption_, NextIDLabel, TranslateLabel, BigTranslateLabel, NumberStep, LabelE0_1, HelpLabel})
        label->clear();
    IDCombo->clear();
    EnumCombo->clear();
    SCheck->clear();
    StringCheck->setChecked(false);
    cbSaveSet->setChecked(false);
    NumberValue->setValue(0);
    for (QDoubleSpinBox* spin : NListElement) spin->setValue(0);
    EditPath.clear();
}

void TEditor::ResetEditor(int size) {
    ClearFields();
    cancelled_ = false;
    for (QWidget* panel : panels_) panel->show();
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setSizeGripEnabled(true);
    setWindowTitle("Kelvarn");
    focus_ = nullptr;
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (const TEditorSize s = DecodeEditorSize(size); !s.keep) resize(s.width, s.height);
    TagValue->SetCharType(ctStandard);
    StringValue->SetCharType(ctStandard);
    for (QWidget* w : std::initializer_list<QWidget*>{TranslateLabel, TranslateValue, BigTranslateLabel, BigTranslateValue,
                                                      EnumCombo, SCheck})
        w->hide();
    bOK->setText("OK");
    bOK->setDefault(true);
    bOK->show();
    bCancel->setText("Cancel");
    bCancel->show();
    bAbort->hide();
    ButtonPanel->setMinimumWidth(0);
    ButtonPanel->setMaximumWidth(QWIDGETSIZE_MAX);
    // The preview box is "shown" but its panel stays collapsed until a review opens it.
    cbPreview->show();
    PreviewPanel->hide();
    bEditHelp->hide();
    text_.SetReadOnly(false);
    outlineView_->Alert()->Close();
    for (QStackedWidget* s : sections_) s->hide();
    static_cast<QBoxLayout*>(layout())->setStretchFactor(panels_[1], 0);
    ApplyBatchMode();
}

void TEditor::PositionAtCursor(int xOffset, int yOffset, QWidget* focus) {
    const QPoint mouse = QCursor::pos();
    QRect frame = frameGeometry();
    QRect centre = frame;
    if (mainWindow_) centre.moveCenter(mainWindow_->frameGeometry().center());
    else if (const QScreen* screen = QGuiApplication::primaryScreen()) centre.moveCenter(screen->availableGeometry().center());
    const int left = xOffset == -2 ? centre.left() : mouse.x() - xOffset;
    const int top = yOffset == -2 ? centre.top() : mouse.y() - yOffset;
    move(left, top);
    focus_ = focus;
}

int TEditor::ControlWidth(int section, int page) const {
    QWidget* p = Page(section, page);
    if (!p) return 0;
    const QFontMetrics metrics(font());
    if (section == esB && page == epTagName) return metrics.horizontalAdvance(TagValue->text()) + 16;
    if (section == esD && page == epMessage) return metrics.horizontalAdvance(MessageLabel->text()) + 8;
    return p->sizeHint().width();
}

void TEditor::ArrangeSections(const std::array<int, kEditorSections>& pages, const std::array<int, kEditorSections>& widths) {
    TSectionFacts facts;
    for (int s = 0; s < kEditorSections; ++s) facts.present[static_cast<std::size_t>(s)] = Section(s)->width();
    facts.bControlWidth = ControlWidth(esB, pages[esB]);
    facts.messageWidth = ControlWidth(esD, epMessage);
    for (QDoubleSpinBox* spin : NListElement) facts.numberElements += spin->isVisibleTo(Section(esD)) ? 1 : 0;
    widths_ = SectionWidths(pages, widths, facts);
    for (int s = 0; s < kEditorSections; ++s) {
        QStackedWidget* section = Section(s);
        const int page = pages[static_cast<std::size_t>(s)];
        if (page < 0 || page >= section->count()) {
            section->hide();
            continue;
        }
        section->setCurrentIndex(page);
        // A stack is as tall as its tallest page unless the hidden pages give up their size.
        for (int p = 0; p < section->count(); ++p)
            section->widget(p)->setSizePolicy(p == page ? QSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred)
                                                        : QSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored));
        section->adjustSize();
        section->show();
        // A and C keep their width; the others fill what is left, at least as wide as asked.
        const int w = widths_[static_cast<std::size_t>(s)];
        if (s == esA || s == esC) section->setFixedWidth(w);
        else {
            section->setMinimumWidth(std::min(w, 1000));
            section->setMaximumWidth(QWIDGETSIZE_MAX);
        }
    }
    // A panel none of whose sections shows takes no room.
    panels_[0]->setVisible(pages[esA] >= 0 || pages[esB] >= 0);
    panels_[1]->setVisible(pages[esC] >= 0 || pages[esD] >= 0);
    panels_[2]->setVisible(pages[esE] >= 0);
    ApplyBatchMode();
    // The window's hints are of these pages from now on: left to the next round of events, the last
    // task's larger page would still give the window its height when it shows.
    for (QStackedWidget* section : sections_)
        if (section->layout()) section->layout()->activate();
    for (QWidget* panel : panels_)
        if (panel->layout()) panel->layout()->activate();
    layout()->activate();
}

void TEditor::ShowTagLabel(const std::string& tag, bool translatable) {
    PLabel->setText(Qs(tag));
    const std::string language = ReadSetting(state_.Settings(), keys::Language);
    if (translatable && !language.empty()) {
        const QString name = Qs(CompanionLabel(Record.Path, tag, language));
        TranslateLabel->setText(name);
        BigTranslateLabel->setText(name);
    }
}

void TEditor::ShowNotEditable(int size, const std::string& message) {
    ResetEditor(size);
    MessageLabel->setText(Qs(message));
    ArrangeSections({epLabel, -1, -1, epMessage, -1}, {-1, -1, -1, -1, -1});
}

void TEditor::ShowTextPage(int size, int flags, bool readOnly, const std::string& caption) {
    ResetEditor(size);
    (void)flags;
    text_.SetReadOnly(readOnly);
    ArrangeSections({-1, -1, -1, -1, epMemo}, {-1, -1, -1, -1, -1});
    setWindowTitle(Qs(caption));
}

void TEditor::ShowText(int size, int flags, const std::vector<std::string>& lines, const std::string& caption) {
    ShowTextPage(size, flags, false, caption);
    text_.LoadStrings(lines, 3, (flags & 1) != 0, (flags & 2) != 0);
    text_.SetCaret(0);
    text_.SetModified(true);
    PositionAtCursor(-2, -2, text_.MainControl());
    ShowModal();
}

void TEditor::ShowTextReadOnly(const std::vector<std::string>& lines) {
    ShowTextPage(640480, 3, true, " Kelvarn");
    text_.LoadStrings(lines, 3, true, true);
    text_.SetCaret(0);
    PositionAtCursor(-2, -2, text_.MainControl());
    ShowModal();
}

void TEditor::ShowFileHeader(const std::string& file) {
    const TFileHeaderReport report = FileHeaderReport(file);
    std::vector<std::string> lines;
    if (report.op == 0 || !ReportViewer || !CallTextLibrary(state_, report.op, file, lines)) return;
    ReportViewer->ShowText(report.caption, lines, "Close");
}

std::optional<std::string> TEditor::InputLine(const std::string& caption, const std::string& prompt,
                                              const std::string& value, const std::string& shownPath) {
    ResetEditor(400090);
    setSizeGripEnabled(false);
    setFixedSize(400, 90);
    setWindowTitle(Qs(caption));
    PLabel->setText(Qs(prompt));
    StringValue->setText(Qs(value));
    StringValue->SetCharType(ctFilePath);
    StringValue->selectAll();
    HelpLabel->setText(Qs(shownPath));
    cbPreview->hide();
    ArrangeSections({epLabel, -1, -1, -1, epString}, {-1, -1, -1, -1, -1});
    // The text field comes to lie near the mouse.
    PositionAtCursor(Section(esA)->width() + 40, 20, StringValue);
    if (ShowModal() != erOK) return std::nullopt;
    return StringValue->text().toStdString();
}

void TEditor::AcceptReject(int size, const std::string& caption, const std::string& alert) {
    ResetEditor(size);
    outlineView_->Alert()->Close();
    bOK->setText("Accept");
    bCancel->setText("Reject");
    ButtonPanel->setFixedWidth(kReviewButtonPanel);
    bAbort->show();
    PreviewPanel->show();
    ArrangeSections({-1, -1, -1, -1, epOutline}, {-1, -1, -1, -1, -1});
    outlineView_->SetReadOnly(true);
    if (!alert.empty()) outlineView_->Alert()->ShowAlert(alert);
    setWindowTitle(Qs(caption));
    PositionAtCursor(-2, -2, outlineView_->MainControl());
}

void TEditor::EditHelpClick() {
    if (!OpenHelp) return;
    std::string path = EditPath, value;
    if (!path.empty()) {
        // The value the page shows, as OK would take it: a kind changed on the page is that kind's help.
        TTagSpec shown = Record;
        std::vector<std::string> rows;
        bOKClick(shown, PageFields(), ReadSetting(state_.Settings(), keys::Language),
                 ReadSetting(state_.Settings(), keys::UserID), state_.CurrentKuid, rows);
        value = shown.Value;
    } else if (SelectedConfigPath) {
        path = SelectedConfigPath();
    }
    if (!path.empty()) OpenHelp(path, value);
}

void TEditor::bCancelClick(QAbstractButton* sender) {
    cancelled_ = true;
    if (sender == bAbort) {
        state_.AbortRequested = true;
        done(erAbort);
    } else {
        done(erCancel);
    }
}

void TEditor::BatchMode(bool on) {
    batch_ = on;
    ApplyBatchMode();
}

void TEditor::ApplyBatchMode() {
    if (!batch_) return;
    // Only the review shows: the tag editing panels and the help button stay hidden.
    panels_[0]->hide();
    panels_[1]->hide();
    bEditHelp->hide();
}

int TEditor::ShowModal() { return exec(); }

void TEditor::OpenSectionDPage(int page, int size, const std::string& caption, QWidget* focus) {
    ResetEditor(size);
    setSizeGripEnabled(false);
    if (const TEditorSize s = DecodeEditorSize(size); !s.keep) setFixedSize(s.width, s.height);
    cbPreview->hide();
    ArrangeSections({-1, -1, -1, page, -1}, {-1, -1, -1, -1, -1});
    // Nothing else shares the window: the page's panel takes all of it.
    static_cast<QBoxLayout*>(layout())->setStretchFactor(panels_[1], 1);
    setWindowTitle(Qs(caption));
    PositionAtCursor(-2, -2, focus);
}

void TEditor::SetCaption(const std::string& caption) { setWindowTitle(Qs(caption)); }

QAbstractButton* TEditor::OKButton() { return bOK; }

void TEditor::OKClicked() {
    // A file shown on the text page whose text changed is offered for saving first.
    if (ShownPage(esE) == epMemo && !text_.ShownFile().empty() && text_.Modified()) {
        const std::string file = text_.ShownFile();
        if (state_.Messages->AskYesNo("'" + ShownPath(file) + "' may have changed\n\nSave File to Disc?"))
            if (std::string error = text_.SaveFile(file); !error.empty())
                state_.Messages->ShowMessage(error, "", MessageKind::Error);
    }
    if (!TableRowsAccepted()) return;
    if (BeforeOK && !BeforeOK()) return;
    done(erOK);
}

void TEditor::reject() { bCancelClick(bCancel); }

bool TEditor::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) FormActivate();
    return QDialog::event(event);
}

void TEditor::closeEvent(QCloseEvent* event) {
    FormClose();
    QDialog::closeEvent(event);
}

void TEditor::done(int result) {
    FormClose();
    QDialog::done(result);
}

void TEditor::FormActivate() {
    if (focus_) focus_->setFocus();
}

void TEditor::FormClose() {
    text_.Clear();
    if (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
}

}  // namespace kelvarn
