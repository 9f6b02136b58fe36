// The settings dialog's tool editor: the menu grid of the chosen menu, the editors of one tool line,
// and the popups of both grids.
#include <QApplication>
#include <QAbstractButton>
#include <QButtonGroup>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QTableWidget>

#include "shell/Macros.h"
#include "shell/MemIni.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/Text.h"
#include "shell/ToolFields.h"
#include "shell/ui/Options.h"

namespace kelvarn {

namespace {

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
std::string S(const QString& text) { return text.toStdString(); }

void SetRadio(QButtonGroup* group, int id) {
    if (QAbstractButton* button = group->button(id)) button->setChecked(true);
}

// The menu grid keeps each row's stored text in the item's data; it shows the caption.
QString RowCaption(const std::string& row) {
    if (StartsWith(row, kTitlePrefix) || StartsWith(row, kFilemaskPrefix)) return Q(row);
    return Q(ParseToolSpec(row).Caption());
}

bool IsToolRow(const std::string& row) { return !StartsWith(row, kTitlePrefix) && !StartsWith(row, kFilemaskPrefix); }

}  // namespace

// ---- tool editor -------------------------------------------------------------------------------

std::vector<std::string> TOptions::MenuGridRows() const {
    std::vector<std::string> rows;
    for (int row = 0; row < menuGrid_->rowCount(); ++row)
        rows.push_back(S(menuGrid_->item(row, 0)->data(Qt::UserRole).toString()));
    return rows;
}

void TOptions::SaveMenuIfChanged() {
    if (!toolsChanged_ || menuSection_.empty()) return;
    StoreToolEntry();
    if (const std::string error = SaveMenu(state_.Settings(), menuSection_, MenuGridRows()); !error.empty())
        state_.Messages->ShowMessage(error, "", MessageKind::Error);
    toolsChanged_ = false;
}

void TOptions::SelectMenu(const std::string& section) {
    SaveMenuIfChanged();
    menuSection_ = section;
    menuRow_ = -1;
    loading_ = true;
    menuGrid_->clearContents();
    const std::vector<std::string> rows = SelectMenuRows(state_.Settings(), section);
    menuGrid_->setRowCount(static_cast<int>(rows.size()));
    for (int row = 0; row < menuGrid_->rowCount(); ++row) {
        auto* item = new QTableWidgetItem(RowCaption(rows[static_cast<std::size_t>(row)]));
        item->setData(Qt::UserRole, Q(rows[static_cast<std::size_t>(row)]));
        menuGrid_->setItem(row, 0, item);
    }
    loading_ = false;
    ClearToolGrid();
    for (QWidget* editor : toolEditors_) editor->setEnabled(false);
    const int first = rows.empty() ? -1 : (IsToolRow(rows.front()) ? 0 : (rows.size() > 1 ? 1 : 0));
    if (first >= 0) menuGrid_->setCurrentCell(first, 0);
}

void TOptions::SelectMenuRow(int row) {
    if (loading_) return;
    StoreToolEntry();
    menuRow_ = row;
    const bool valid = row >= 0 && row < menuGrid_->rowCount();
    const std::string text = valid ? S(menuGrid_->item(row, 0)->data(Qt::UserRole).toString()) : std::string();
    const bool editable = valid && IsToolRow(text) && text != kSeparatorCaption;
    const bool was = toolsChanged_;
    if (editable) LoadToolEntry(kelvarn::LoadToolEntry(text));
    else ClearToolGrid();
    toolsChanged_ = was;
    for (QWidget* editor : toolEditors_) editor->setEnabled(editable);
}

void TOptions::StoreToolEntry() {
    if (menuRow_ < 0 || menuRow_ >= menuGrid_->rowCount()) return;
    QTableWidgetItem* item = menuGrid_->item(menuRow_, 0);
    const std::string old = S(item->data(Qt::UserRole).toString());
    if (!IsToolRow(old) || old == kSeparatorCaption) return;
    const std::string stored = kelvarn::StoreToolEntry(EditorEntry());
    if (stored == old) return;
    const bool was = loading_;
    loading_ = true;
    item->setData(Qt::UserRole, Q(stored));
    item->setText(RowCaption(stored));
    loading_ = was;
}

TToolEntry TOptions::EditorEntry() const {
    TToolEntry entry;
    entry.caption = S(eCaption_->text());
    entry.startIn = S(eStartIn_->text());
    for (int row = 0; row < paramGrid_->rowCount(); ++row) {
        auto cell = [&](int column) {
            QTableWidgetItem* item = paramGrid_->item(row, column);
            return item ? S(item->text()) : std::string();
        };
        entry.params.push_back({cell(0), cell(1)});
    }
    int* numbers[] = {&entry.window, &entry.output, &entry.before, &entry.after};
    for (std::size_t i = 0; i < toolGroups_.size(); ++i)
        if (toolGroups_[i]->checkedId() >= 0) *numbers[i] = toolGroups_[i]->checkedId();
    return entry;
}

void TOptions::LoadToolEntry(const TToolEntry& entry) {
    const bool was = loading_;
    loading_ = true;
    eCaption_->setText(Q(entry.caption));
    eStartIn_->setText(Q(entry.startIn));
    paramGrid_->clearContents();
    paramGrid_->setRowCount(std::max<int>(9, static_cast<int>(entry.params.size()) + 1));
    for (std::size_t row = 0; row < entry.params.size(); ++row) {
        paramGrid_->setItem(static_cast<int>(row), 0, new QTableWidgetItem(Q(entry.params[row].switches)));
        paramGrid_->setItem(static_cast<int>(row), 1, new QTableWidgetItem(Q(entry.params[row].file)));
    }
    SetRadio(toolGroups_[0], entry.window);
    SetRadio(toolGroups_[1], entry.output);
    SetRadio(toolGroups_[2], entry.before);
    SetRadio(toolGroups_[3], entry.after);
    loading_ = was;
}

void TOptions::ClearToolGrid() { LoadToolEntry(TToolEntry{}); }

void TOptions::MenuPopup(const QString& item) {
    const int row = menuGrid_->currentRow();
    auto insertRow = [this](int at, const std::string& text) {
        StoreToolEntry();
        at = std::clamp(at, IsCustomMenu(menuSection_) || IsMaskMenu(menuSection_) ? 1 : 0, menuGrid_->rowCount());
        loading_ = true;
        menuGrid_->insertRow(at);
        auto* cell = new QTableWidgetItem(RowCaption(text));
        cell->setData(Qt::UserRole, Q(text));
        menuGrid_->setItem(at, 0, cell);
        loading_ = false;
        menuRow_ = -1;
        toolsChanged_ = true;
        menuGrid_->setCurrentCell(at, 0);
        SelectMenuRow(at);
    };
    auto rowText = [this](int at) { return S(menuGrid_->item(at, 0)->data(Qt::UserRole).toString()); };
    const bool toolRow = row >= 0 && IsToolRow(rowText(row));
    if (item == "Edit Menu Title") {
        if (!IsCustomMenu(menuSection_) || menuGrid_->rowCount() == 0) return;
        const std::string title = rowText(0).substr(kTitlePrefix.size());
        const std::string name = AskText ? AskText("Rename Menu", "New Name:", title) : std::string();
        if (name.empty()) return;
        const std::string text = std::string(kTitlePrefix) + name;
        menuGrid_->item(0, 0)->setData(Qt::UserRole, Q(text));
        menuGrid_->item(0, 0)->setText(Q(text));
        toolsChanged_ = true;
    } else if (item == "Clear Menu") {
        menuRow_ = -1;
        for (int at = menuGrid_->rowCount() - 1; at >= 0; --at)
            if (IsToolRow(rowText(at))) menuGrid_->removeRow(at);
        toolsChanged_ = true;
        SelectMenuRow(menuGrid_->currentRow());
    } else if (item == "Insert Item") {
        insertRow(row < 0 ? menuGrid_->rowCount() : row, kelvarn::StoreToolEntry(TToolEntry{}));
        eCaption_->setFocus();
    } else if (item == "Rename Item") {
        if (!toolRow || rowText(row) == kSeparatorCaption) return;
        const std::string name = AskText ? AskText("Rename Item", "New Name", S(eCaption_->text())) : std::string();
        if (name.empty()) return;
        eCaption_->setText(Q(name));
        toolsChanged_ = true;
        StoreToolEntry();
    } else if (item == "Insert Divider") {
        insertRow(row < 0 ? menuGrid_->rowCount() : row, std::string(kSeparatorCaption));
    } else if (item == "Copy" || item == "Cut") {
        if (!toolRow) return;
        StoreToolEntry();
        auto* mime = new QMimeData;
        const QString text = Q(rowText(row));
        mime->setText(text);
        mime->setData(kMenuItemMimeType, text.toUtf8());
        QApplication::clipboard()->setMimeData(mime);
        if (item == "Cut") MenuPopup("Delete");
    } else if (item == "Paste") {
        const QMimeData* mime = QApplication::clipboard()->mimeData();
        if (!mime || !mime->hasFormat(kMenuItemMimeType)) return;
        insertRow(row < 0 ? menuGrid_->rowCount() : row, S(QString::fromUtf8(mime->data(kMenuItemMimeType))));
    } else if (item == "Delete") {
        if (!toolRow) return;
        menuRow_ = -1;
        menuGrid_->removeRow(row);
        toolsChanged_ = true;
        SelectMenuRow(menuGrid_->currentRow());
    } else {
        state_.Messages->ShowMessage(S(item) + " not implemented", "", MessageKind::Information);
    }
}

std::string TOptions::CurrentCommandFile() const {
    const int row = std::max(0, paramGrid_->currentRow());
    for (int at : {row, 0}) {
        QTableWidgetItem* item = paramGrid_->item(at, 1);
        if (item && !Trim(S(item->text())).empty()) return ExpandMacros(state_, Trim(S(item->text())));
    }
    return {};
}

void TOptions::ParamPopup(const QString& item) {
    const int row = std::max(0, paramGrid_->currentRow());
    const int column = std::max(0, paramGrid_->currentColumn());
    auto cell = [this](int r, int c) {
        if (!paramGrid_->item(r, c)) paramGrid_->setItem(r, c, new QTableWidgetItem);
        return paramGrid_->item(r, c);
    };
    const std::string command = BuildToolCommand(EditorEntry().params);
    if (item == "Clear Parameters") {
        paramGrid_->clearContents();
        paramGrid_->setRowCount(9);
    } else if (item == "Cut" || item == "Copy") {
        QApplication::clipboard()->setText(cell(row, column)->text());
        if (item == "Cut") cell(row, column)->setText({});
    } else if (item == "Paste") {
        cell(row, column)->setText(cell(row, column)->text() + QApplication::clipboard()->text());
    } else if (item == "Delete") {
        cell(row, column)->setText({});
    } else if (item == "Select All") {
        paramGrid_->selectAll();
    } else if (item.startsWith('%')) {
        cell(row, column)->setText(cell(row, column)->text() + item);
    } else if (item == "Browse for File...") {
        const std::string file = ChooseFile ? ChooseFile("Select File", ExpandMacros(state_, "%programfiles%"),
                                                         "Executable Files (*.exe *.bat *.cmd);;All files (*.*)")
                                            : std::string();
        if (!file.empty()) cell(row, 1)->setText(Q(file));
    } else if (item == "Browse for folder...") {
        const std::string folder = ChooseFolder ? ChooseFolder("Select Folder", {}) : std::string();
        if (!folder.empty()) cell(row, column)->setText(Q(folder));
    } else if (item == "Edit Command Script...") {
        const std::string file = CurrentCommandFile();
        if (IsTextFile(file) && ShowFileInViewer) ShowFileInViewer(ExtractFileName(file), file, "Save");
    } else if (item == "Preview Macro...") {
        state_.Messages->ShowMessage("Evaluates to:\n\n" + ExpandMacros(state_, S(cell(row, column)->text())), "",
                                     MessageKind::Information);
    } else if (item == "Preview Command Line...") {
        const std::string line = ReplaceAll(ReplaceAll(command, kPilcrow, " "), kMiddleDot, " ");
        state_.Messages->ShowMessage("Evaluates to:\n\n" + ExpandMacros(state_, line), "", MessageKind::Information);
    } else {
        state_.Messages->ShowMessage(S(item) + " not implemented", "", MessageKind::Information);
        return;
    }
    toolsChanged_ = true;
}

}  // namespace kelvarn
