// TEditor: the program's one editor window, a modal dialog that every small task shares: the tag
// value pages, the new and clone pages, the one-line input, the text pages, the review of a batch
// and the image pages. Five sections (A and B side by side at the top, C and D in the middle, E
// below) each show one page a task chooses; a footer holds the status label and the buttons.
//
// Each task resets the window (ResetEditor), fills the pages it uses, chooses them (ArrangeSections)
// and places the window; the caller shows it modally and reads the result: 1 OK/Accept, 2 Cancel/
// Reject, 3 Abort. The embedded text view and table view come from src/app/ through the interfaces
// of Frames.h; the embedded outline works on the editor's own document.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QPointer>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/EditorDialogs.h"
#include "catalogue/EditorLayout.h"
#include "catalogue/TagEditorPages.h"
#include "catalogue/TagSpec.h"
#include "shell/ui/EditorPages.h"

class QAbstractButton;
class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QToolButton;

namespace kelvarn {

class ITableViewer;
class ITextViewer;
class TColourBox;
class TOutlineDocument;
class TOutlineView;
class TCloneEditor;
class TNewAssetEditor;
class TOutlineWiring;
class TProgramState;
class TXEdit;
class TViewer;

// The enum page's combo: the first entry holds the value; it leaves the list while the list is
// open, and a chosen entry comes back cleaned as the new first entry. Up and Down open the list;
// while it is open, Escape and Delete do nothing.
class TEnumCombo : public QComboBox {
public:
    using QComboBox::QComboBox;
    std::function<void()> BeforePopup;
    std::function<void()> AfterPopup;
    void showPopup() override;
    void hidePopup() override;
    bool PopupOpen() const { return open_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool open_ = false;
};

// The editor's modal results.
enum TEditorResult : int { erNone = 0, erOK = 1, erCancel = 2, erAbort = 3 };

// Page numbers of the sections as the tasks use them.
enum TPageIndex : int {
    epLabel = 0,       // A: PLabel
    epCombo = 1,       // A: IDCombo
    epTagName = 1,     // B: TagValue
    epCheck = 1,       // C: StringCheck
    epColour = 2,      // C: the colour button
    epMessage = 0,     // D: MessageLabel
    epNumber = 4,      // D: NumberValue
    epNumberList = 5,  // D: NListElement1-6
    epEnum = 6,        // D: EnumCombo
    epSet = 7,         // D: SCheck
    epMemo = 1,        // E: the text view
    epOutline = 2,     // E: the outline, read only
    epString = 3,      // E: StringValue, TranslateValue
    epBigString = 4,   // E: BigStringValue, BigTranslateValue
    epTable = 5,       // E: the table view
    epClone = 6,       // E: CloneEditor
    epNewAsset = 7,    // E: NewAssetEditor
};
inline constexpr int kSectionPages[kEditorSections] = {2, 2, 3, 8, 8};

class TEditor : public QDialog, public IEditorDialogs, public IAssetPages, public IEditorPageHost {
public:
    // The text view and the table view are the editor's own (src/app/ makes them); the window takes
    // their widgets over.
    TEditor(TProgramState& state, ITextViewer& textView, ITableViewer& tableView, QWidget* mainWindow = nullptr);
    ~TEditor() override;

    // --- sections and pages
    QStackedWidget* Section(int section) const { return sections_[static_cast<std::size_t>(section)]; }
    QWidget* Page(int section, int page) const;
    // Puts a task's own page in place of an empty one (the new and clone pages, the image pages).
    void SetPage(int section, int page, QWidget* widget);
    // The page a section shows, -1 when hidden.
    int ShownPage(int section) const;
    int SectionWidth(int section) const { return widths_[static_cast<std::size_t>(section)]; }

    // --- the tasks
    void ResetEditor(int size);
    void ClearFields();
    void PositionAtCursor(int xOffset, int yOffset, QWidget* focus);
    void ArrangeSections(const std::array<int, kEditorSections>& pages, const std::array<int, kEditorSections>& widths);
    int ControlWidth(int section, int page) const;
    void ShowTagLabel(const std::string& tag, bool translatable);
    void ShowNotEditable(int size, const std::string& message);
    void ShowTextPage(int size, int flags, bool readOnly, const std::string& caption);
    void ShowTextReadOnly(const std::vector<std::string>& lines);
    // The header report of a mesh, animation or picture file in the viewer window with "Close";
    // nothing for another kind of file or when the report fails.
    void ShowFileHeader(const std::string& file);
    // Prepares the review of a batch's asset; the caller loads the outline and shows the window.
    void AcceptReject(int size, const std::string& caption, const std::string& alert);
    void EditHelpClick();
    void bCancelClick(QAbstractButton* sender);
    // A batch runs: the normal controls are hidden until it ends.
    void BatchMode(bool on);

    // IEditorDialogs
    std::optional<std::string> InputLine(const std::string& caption, const std::string& prompt,
                                         const std::string& value, const std::string& shownPath) override;
    void ShowText(int size, int flags, const std::vector<std::string>& lines, const std::string& caption) override;

    // IAssetPages: the new-asset and clone pages, shown modally (EditorAssetPages.cpp).
    bool NewAssetDialog(int size, const std::string& caption, TNewAssetFields& fields) override;
    bool CloneAssetDialog(int size, const std::string& caption, TCloneFields& fields) override;

    // IEditorPageHost: the image pages of section D (1 to 3), which src/app/ hands over.
    void SetSectionDPage(int page, QWidget* widget) override { SetPage(esD, page, widget); }
    void OpenSectionDPage(int page, int size, const std::string& caption, QWidget* focus) override;
    void SetCaption(const std::string& caption) override;
    QAbstractButton* OKButton() override;
    QLabel* HelpText() override { return HelpLabel; }

    // Runs when OK is pressed, after the text page's question; false keeps the window open.
    std::function<bool()> BeforeOK;

    // Shows the window modally; the modal result.
    int ShowModal() override;
    bool Cancelled() const { return cancelled_; }

    // --- the tag pages
    // The edited tag's record: the caller fills it from the tag definitions, OK leaves the result.
    TTagSpec Record;
    // Opens the page of the record's type for the tag (the message page for what cannot be edited).
    void TagEditor(const std::string& path, const std::string& name, const std::string& value);
    // The chooser: the names in IDCombo (the given one selected, else the first), the caption in
    // section A, and the value page of the chosen tag's type.
    void MultiTagEditor(const std::string& path, const std::string& name, const std::vector<std::string>& names,
                        const std::string& caption);
    void IDComboChange();
    // The page the last TagEditor or IDComboChange opened.
    const TPagePlan& Plan() const { return plan_; }
    // What the shown page holds, for OK (bOKClick).
    TPageFields PageFields() const;
    // After OK: the page's fields into the record and, for a list tag, the rows into the CSV list;
    // the set page saves its list when asked. False when the page edits nothing (message page).
    bool StoreRecord();
    // OK on a changed table page: false, with the refusal shown and the rows kept, when the rows
    // cannot be written (TableRowsRefusal).
    bool TableRowsAccepted();
    // The colour button: the colour selector on the field's text, written back on OK.
    void EditColour();
    // The list the "+" source reads (callback 228 fills it) and the one "." reads (the caller's).
    std::vector<std::string> ConfigList;
    std::vector<std::string> PreparedList;
    // The record of a name the chooser offers: its definition, path and default value.
    std::function<TTagSpec(const std::string& name)> ChooserRecordOf;
    // The definition line of a user tag among the main config's extensions (LookupTagDefinition).
    std::function<std::string(const std::string& tag)> TagDefinition;
    // The colour selector (made after the editor).
    TColourBox* ColourBox = nullptr;
    // The viewer window the file header shows in (made after the editor).
    TViewer* ReportViewer = nullptr;

    // --- what the program supplies
    // Whether a batch runs (script mode, read from the script unit).
    std::function<bool()> ScriptMode;
    // Opens the wiki help page of a config path (the outline's help link), for the value the page
    // shows (empty for the outline's selected node).
    std::function<void(const std::string& configPath, const std::string& value)> OpenHelp;
    // The config path of the outline's selected node, for help when the editor has none.
    std::function<std::string()> SelectedConfigPath;
    // Where the window centres (the main window); the screen when null.
    QWidget* MainWindow() const { return mainWindow_; }

    // The config path of the tag being edited (empty for the other tasks).
    std::string EditPath;

    // --- the embedded frames
    ITextViewer& TextView() { return text_; }
    ITableViewer& TableView() { return table_; }
    TOutlineDocument& Outline() { return *outline_; }
    TOutlineView& OutlineView() { return *outlineView_; }

    // --- the controls
    QLabel* PLabel;
    QComboBox* IDCombo;
    QLabel* NextIDLabel;
    TXEdit* TagValue;
    QLineEdit* TagInfo;
    QCheckBox* StringCheck;
    QPushButton* ColourButton;
    QLabel* MessageLabel;
    QDoubleSpinBox* NumberValue;
    QLabel* NumberStep;
    std::array<QDoubleSpinBox*, 6> NListElement{};
    std::array<QLabel*, 5> NListCaption{};
    QLineEdit* NListValue;
    QLabel* LabelE0_1;
    TEnumCombo* EnumCombo;
    QListWidget* SCheck;
    TXEdit* SetValue;
    QCheckBox* cbSaveSet;
    TXEdit* StringValue;
    QLabel* TranslateLabel;
    TXEdit* TranslateValue;
    QPlainTextEdit* BigStringValue;
    QLabel* BigTranslateLabel;
    QPlainTextEdit* BigTranslateValue;
    QLabel* HelpLabel;
    QWidget* PreviewPanel;
    QCheckBox* cbPreview;
    QToolButton* bEditHelp;
    QWidget* ButtonPanel;
    QPushButton* bOK;
    QPushButton* bCancel;
    QPushButton* bAbort;
    TNewAssetEditor* NewAssetEditor;
    TCloneEditor* CloneEditor;

    // The control that takes the focus when the window is next activated.
    QWidget* FocusControl() const { return focus_; }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void done(int result) override;

private:
    void BuildSections();
    void ConnectPages();
    // The parts every page editor shares: reset (a negative size keeps the window), the tag label,
    // the pages, and the place at the mouse with the field focused.
    void BeginPage(int size, const std::string& name);
    void EndPage(int size, const std::array<int, kEditorSections>& pages, QWidget* focus);
    void OpenPlan(int size, const std::string& name, const std::string& value);
    void EditString(int size, const std::string& name, const std::string& value, TCharType charClass);
    void EditBool(int size, const std::string& name, const std::string& value);
    void EditMemo(int size, const std::string& name, const std::string& value);
    void EditUserTag(int size, const std::string& name, const std::string& value);
    void EditUserTable(int size, const std::string& name);
    void EditList(int size, const std::string& name);
    void EditEnum(int size, const std::string& name, const std::string& value);
    void EditSet(int size, const std::string& name, const std::string& value);
    void EditNumber(int size, const std::string& name, const std::string& value);
    void EditNumberList(int size, const std::string& name, const std::string& value);
    void SetStep(double step);
    void NListChange();
    void SetChecksChange();
    void LoadTableCells(GridModel& grid) const;
    TFillSources FillSources() const;
    bool PageEvent(QObject* watched, QEvent* event);
    void BuildFooter();
    void BuildAssetPages();
    int ShowAssetPage(int page, QWidget* focus);
    void OKClicked();
    void ApplyBatchMode();
    void FormActivate();
    void FormClose();
    void CentreOn(QWidget* window);

    TProgramState& state_;
    ITextViewer& text_;
    ITableViewer& table_;
    QWidget* mainWindow_;
    std::unique_ptr<TOutlineDocument> outline_;
    std::unique_ptr<TOutlineWiring> outlineWiring_;
    TOutlineView* outlineView_ = nullptr;
    std::array<QStackedWidget*, kEditorSections> sections_{};
    std::array<QWidget*, 3> panels_{};
    std::array<int, kEditorSections> widths_{};
    QPointer<QWidget> focus_;
    bool cancelled_ = false;
    bool batch_ = false;
    TPagePlan plan_;
    TNumberSetup number_;
    bool numberChanged_ = false;
    bool nlistChanged_ = false;
    // The spin boxes' values right after filling: a value confirmed unchanged (Enter emits
    // valueChanged too) is no change, so the value's own text goes back.
    double numberFilled_ = 0;
    std::vector<double> nlistFilled_;
    // Typed into by the user: a number typed is taken as typed, even one equal to the value shown.
    bool numberTyped_ = false;
    std::vector<bool> nlistTyped_;
    bool setChanged_ = false;  // the set's items were checked or its value typed
    bool filling_ = false;  // a page is being filled: its change handlers stay quiet
    std::vector<std::string> setItems_;
    std::string enumCurrent_;
    QLabel* ComboCaption_ = nullptr;
};

}  // namespace kelvarn
